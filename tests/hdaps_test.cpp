#include "platform/hdaps.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <ostream>
#include <string>

namespace {

struct Position {
  std::string text;
  bool parses;
  std::int16_t x, y;
};

std::ostream& operator<<(std::ostream& stream, const Position& c) {
  return stream << '"' << c.text << '"';
}

class ParseHdapsPositionTest : public ::testing::TestWithParam<Position> {};

TEST_P(ParseHdapsPositionTest, AcceptsOnlyTwoSigned16BitValues) {
  const Position& c = GetParam();
  std::int16_t x = 1234;
  std::int16_t y = 1234;
  EXPECT_EQ(ParseHdapsPosition(c.text.data(), c.text.size(), &x, &y), c.parses);
  // A text that does not parse leaves the values alone.
  EXPECT_EQ(x, c.parses ? c.x : 1234);
  EXPECT_EQ(y, c.parses ? c.y : 1234);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseHdapsPositionTest,
    ::testing::Values(Position{"(700,600)\n", true, 700, 600},
                      Position{"(700,600)", true, 700, 600},
                      Position{"( 700 , 600 )\n", true, 700, 600},
                      Position{"  (700,600)  \n", true, 700, 600},
                      Position{"(-5,-600)\n", true, -5, -600},
                      Position{"(0,0)\n", true, 0, 0},
                      Position{"(32767,-32768)\n", true, 32767, -32768},
                      Position{"(0007,-0)\n", true, 7, 0},
                      Position{"(32768,0)\n", false, 0, 0},
                      Position{"(0,-32769)\n", false, 0, 0},
                      Position{"(99999999999999999999,0)\n", false, 0, 0},
                      Position{"", false, 0, 0}, Position{"\n", false, 0, 0},
                      Position{"(700,600", false, 0, 0},
                      Position{"(700,", false, 0, 0},
                      Position{"(700)\n", false, 0, 0},
                      Position{"700,600\n", false, 0, 0},
                      Position{"(700,600)\n\n", false, 0, 0},
                      Position{"(700,600)x", false, 0, 0},
                      Position{"(700,600,1)\n", false, 0, 0},
                      Position{"(+700,600)\n", false, 0, 0},
                      Position{"(- 7,600)\n", false, 0, 0},
                      Position{"(7 0,600)\n", false, 0, 0},
                      Position{"(0x10,600)\n", false, 0, 0},
                      Position{"(\t700,600)\n", false, 0, 0},
                      Position{std::string("(700,600)\0", 10), false, 0, 0},
                      Position{"garbage", false, 0, 0}));

constexpr DWORD kReadRequest = 0x000733FC;

// A position file of the test's own, standing in for sysfs.
class HdapsDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Write("(700,600)\n");
    DWORD error = 0;
    fd_ = OpenHdapsPosition(path_.c_str(), &error);
    ASSERT_GE(fd_, 0) << error;
  }
  void TearDown() override {
    if (fd_ >= 0) close(fd_);
    std::remove(path_.c_str());
  }

  void Write(const std::string& text) {
    std::FILE* file = std::fopen(path_.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs(text.c_str(), file);
    std::fclose(file);
  }

  DWORD Answer(DWORD code = kReadRequest, DWORD size = 36) {
    reply_.fill(0xEE);
    returned_ = 0;
    return AnswerShockMgrRequest(fd_, code, reply_.data(), size, &returned_);
  }

  std::string path_ = ::testing::TempDir() + "vornisk_hdaps_position";
  int fd_ = -1;
  std::array<unsigned char, 40> reply_{};
  DWORD returned_ = 0;
};

TEST_F(HdapsDeviceTest, RepliesWithTheRawValuesAtFourAndSix) {
  ASSERT_EQ(Answer(), 0u);
  EXPECT_EQ(returned_, 36u);
  std::array<unsigned char, 40> expected{};
  expected.fill(0xEE);
  for (std::size_t i = 0; i < 36; ++i) expected[i] = 0;
  expected[4] = 700 & 0xFF;
  expected[5] = 700 >> 8;
  expected[6] = 600 & 0xFF;
  expected[7] = 600 >> 8;
  EXPECT_EQ(reply_, expected);  // nothing written past the 36 bytes
}

TEST_F(HdapsDeviceTest, ReadsAfreshOnTheKeptDescriptor) {
  ASSERT_EQ(Answer(), 0u);
  Write("(-32768,32767)\n");
  ASSERT_EQ(Answer(), 0u);
  EXPECT_EQ(reply_[4], 0x00);
  EXPECT_EQ(reply_[5], 0x80);
  EXPECT_EQ(reply_[6], 0xFF);
  EXPECT_EQ(reply_[7], 0x7F);
}

TEST_F(HdapsDeviceTest, FailsAsTheWindowsDriverDoes) {
  EXPECT_EQ(Answer(0x000733F8), ERROR_INVALID_FUNCTION);
  EXPECT_EQ(Answer(kReadRequest, 35), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(AnswerShockMgrRequest(fd_, kReadRequest, nullptr, 36, &returned_),
            ERROR_INSUFFICIENT_BUFFER);
  for (const char* text : {"", "(700,600", "(70000,600)\n", "hello\n"}) {
    Write(text);
    EXPECT_EQ(Answer(), ERROR_INVALID_DATA) << '"' << text << '"';
  }
  Write(std::string(100, ' ') + "(700,600)\n");
  EXPECT_EQ(Answer(), ERROR_INVALID_DATA);
  EXPECT_EQ(returned_, 0u);
}

TEST(HdapsOpenTest, MapsAMissingSensorToFileNotFound) {
  const std::string file = ::testing::TempDir() + "vornisk_hdaps_file";
  std::fclose(std::fopen(file.c_str(), "w"));
  for (const std::string& path :
       {::testing::TempDir() + "vornisk_no_such_file", file + "/position"}) {
    DWORD error = 0;
    EXPECT_EQ(OpenHdapsPosition(path.c_str(), &error), -1) << path;
    EXPECT_EQ(error, ERROR_FILE_NOT_FOUND) << path;
  }
  std::remove(file.c_str());
}

TEST(HdapsOpenTest, AReadErrorFailsTheRequest) {
  // A directory opens, but every read of it fails.
  DWORD error = 0;
  const int fd = OpenHdapsPosition(::testing::TempDir().c_str(), &error);
  ASSERT_GE(fd, 0);
  unsigned char reply[36];
  DWORD returned = 0;
  EXPECT_EQ(AnswerShockMgrRequest(fd, kReadRequest, reply, 36, &returned),
            ERROR_READ_FAULT);
  close(fd);
}

}  // namespace
