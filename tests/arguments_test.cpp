#include "app/arguments.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>

namespace {

struct Conversion {
  const char* text;
  std::int32_t expected;
};

std::ostream& operator<<(std::ostream& stream, const Conversion& c) {
  return stream << '"' << c.text << "\" gives " << c.expected;
}

class ConvertArgumentTest : public ::testing::TestWithParam<Conversion> {};

TEST_P(ConvertArgumentTest, FollowsAtolAndSaturates) {
  EXPECT_EQ(ConvertArgument(GetParam().text), GetParam().expected)
      << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ConvertArgumentTest,
    ::testing::Values(
        Conversion{"100", 100}, Conversion{"0", 0}, Conversion{"-7", -7},
        Conversion{"+7", 7}, Conversion{"  \t\n\v\f\r42", 42},
        Conversion{"25ms", 25}, Conversion{"abc", 0}, Conversion{"", 0},
        Conversion{"-", 0}, Conversion{"+-3", 0}, Conversion{" - 3", 0},
        Conversion{"3 4", 3}, Conversion{"0x10", 0}, Conversion{"007", 7},
        Conversion{"2147483647", 2147483647},
        Conversion{"2147483648", 2147483647},
        Conversion{"-2147483648", -2147483647 - 1},
        Conversion{"-2147483649", -2147483647 - 1},
        Conversion{"99999999999", 2147483647},
        Conversion{"-99999999999", -2147483647 - 1},
        Conversion{"000000000000000000000000000012", 12},
        Conversion{"99999999999999999999999999999999", 2147483647}));

}  // namespace
