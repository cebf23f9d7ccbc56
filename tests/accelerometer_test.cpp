#include "device/accelerometer.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/scripted_platform.h"

namespace {

using Calls = std::vector<std::string>;

const std::string kOpen =
    "CreateFileA(\\\\.\\ShockMgr, 0x80000000, 0x3, null, 3, 0x0, null)";
const std::string kRead =
    "DeviceIoControl(device, 0x733fc, null, 0, output, 36, returned, null)";

class AccelerometerTest : public ::testing::Test {
 protected:
  AccelerometerTest() { TheScript() = Script{}; }

  static void Answer(std::vector<Reply> replies) {
    TheScript().replies = std::move(replies);
  }
};

TEST_F(AccelerometerTest, OpensTheDeviceAndClosesItOnce) {
  { Accelerometer reader; }
  EXPECT_EQ(TheScript().calls, (Calls{kOpen, "CloseHandle(device)"}));
}

TEST_F(AccelerometerTest, SendsOneReadRequestPerAcquire) {
  Answer({Reply::Axes(700, 600)});
  {
    Accelerometer reader;
    reader.Acquire();
    reader.Acquire();
  }
  EXPECT_EQ(TheScript().calls,
            (Calls{kOpen, kRead, kRead, "CloseHandle(device)"}));
}

TEST_F(AccelerometerTest, StartsAtZeroBeforeAnyGoodRead) {
  Answer({Reply::Failure()});
  Accelerometer reader;
  EXPECT_EQ(reader.x, 0);
  EXPECT_EQ(reader.y, 0);
  reader.Acquire();
  EXPECT_EQ(reader.x, 0);
  EXPECT_EQ(reader.y, 0);
}

struct Decoding {
  unsigned char low, high;  // the raw value's bytes, little-endian
  std::int32_t expected;
};

std::ostream& operator<<(std::ostream& stream, const Decoding& c) {
  return stream << "bytes " << int{c.low} << ' ' << int{c.high} << " give "
                << c.expected;
}

class DecodingTest : public AccelerometerTest,
                     public ::testing::WithParamInterface<Decoding> {};

// Both axes decode the same way, and no byte outside offsets 4 to 7 counts:
// the record around them is filled with zeros and then with ones.
TEST_P(DecodingTest, SubtractsTheOffsetFromTheSignedRawValue) {
  const Decoding& c = GetParam();
  for (const int filler : {0x00, 0xFF}) {
    Reply reply;
    reply.record.fill(static_cast<unsigned char>(filler));
    reply.record[4] = c.low;
    reply.record[5] = c.high;
    reply.record[6] = c.low;
    reply.record[7] = c.high;
    Answer({reply});
    Accelerometer reader;
    reader.Acquire();
    EXPECT_EQ(reader.x, c.expected) << "filler " << filler;
    EXPECT_EQ(reader.y, c.expected) << "filler " << filler;
  }
}

INSTANTIATE_TEST_SUITE_P(
    RawValues, DecodingTest,
    ::testing::Values(Decoding{0x80, 0x02, 0}, Decoding{0x00, 0x00, -640},
                      Decoding{0xFF, 0xFF, -641}, Decoding{0x00, 0x80, -33408},
                      Decoding{0xFF, 0x7F, 32127}, Decoding{0xBC, 0x02, 60}));

TEST_F(AccelerometerTest, TakesTheFirstAxisAtOffsetFourAndTheSecondAtSix) {
  Answer({Reply::Axes(700, 600)});
  Accelerometer reader;
  reader.Acquire();
  EXPECT_EQ(reader.x, 60);
  EXPECT_EQ(reader.y, -40);
}

// A failed request, or a reply that stops short of the axis values, leaves
// the last good values in place; a reply of exactly 8 bytes is enough.
TEST_F(AccelerometerTest, KeepsTheLastValuesWhenAReadFails) {
  struct Case {
    Reply second;
    std::int32_t x, y;
  };
  const Case cases[] = {
      {Reply::Failure(), 60, -40},
      {Reply::Failure(ERROR_INVALID_FUNCTION), 60, -40},
      {Reply::Axes(1000, 1000, 0), 60, -40},
      {Reply::Axes(1000, 1000, 7), 60, -40},
      {Reply::Axes(1000, 1000, 8), 360, 360},
  };
  for (const Case& c : cases) {
    TheScript() = Script{};
    Answer({Reply::Axes(700, 600), c.second});
    Accelerometer reader;
    reader.Acquire();
    reader.Acquire();
    EXPECT_EQ(reader.x, c.x) << "returned " << c.second.returned;
    EXPECT_EQ(reader.y, c.y) << "returned " << c.second.returned;
  }
}

TEST_F(AccelerometerTest, RunsToTheEndWithoutADevice) {
  TheScript().device_present = false;
  Answer({Reply::Axes(700, 600)});
  {
    Accelerometer reader;
    reader.Acquire();
    EXPECT_EQ(reader.x, 0);
    EXPECT_EQ(reader.y, 0);
  }
  EXPECT_EQ(TheScript().calls,
            (Calls{kOpen,
                   "DeviceIoControl(INVALID_HANDLE_VALUE, 0x733fc, null, 0, "
                   "output, 36, returned, null)",
                   "CloseHandle(INVALID_HANDLE_VALUE)"}));
}

}  // namespace
