// The command as a process: the test build of main against the scripted
// platform, and the production binary on this machine, which has no device.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
  Lines calls;
};

std::string Slurp(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

Lines SplitLines(const std::string& text) {
  Lines lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

// Runs binary with args; stdout goes to a file, or to out_path if given.
Outcome RunCommand(const std::string& binary, const Lines& args,
                   const std::string& script, const char* out_path = nullptr) {
  const std::string dir = ::testing::TempDir();
  const std::string out = out_path ? out_path : dir + "vornisk_out";
  const std::string err = dir + "vornisk_err";
  const std::string calls = dir + "vornisk_calls";
  std::remove(calls.c_str());

  std::vector<std::string> words{binary};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  std::string script_env = "VORNISK_SCRIPT=" + script;
  std::string calls_env = "VORNISK_CALLS=" + calls;
  char* envp[] = {script_env.data(), calls_env.data(), nullptr};

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = 0;
  Outcome outcome;
  const int spawned =
      posix_spawn(&pid, binary.c_str(), &actions, nullptr, argv.data(), envp);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    ADD_FAILURE() << "cannot start " << binary;
    return outcome;
  }
  int wait_status = 0;
  waitpid(pid, &wait_status, 0);
  outcome.status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1;
  if (out_path == nullptr) outcome.out = Slurp(out);
  outcome.err = Slurp(err);
  outcome.calls = SplitLines(Slurp(calls));
  return outcome;
}

const char kUsage[] =
    "This software acquires accelerometer datum in your thinkpad.\n"
    "    The Vornisk authors (see README.md)\n"
    "\n"
    "To use the software, type following line;\n"
    "Vornisk.exe Interval(ms) Repetation(hoe many loop?)\n";

const std::string kOpen =
    "CreateFileA(\\\\.\\ShockMgr, 0x80000000, 0x3, null, 3, 0x0, null)";
const std::string kRead =
    "DeviceIoControl(device, 0x733fc, null, 0, output, 36, returned, null)";
const std::string kClose = "CloseHandle(device)";

struct Case {
  const char* name;
  Lines args;
  std::string script;
  std::string out;
  int status;
  std::optional<Lines> calls;  // every platform call, in order
  Lines err;                   // each a line of stderr, in order
};

std::ostream& operator<<(std::ostream& stream, const Case& c) {
  return stream << c.name;
}

class CommandTest : public ::testing::TestWithParam<Case> {};

TEST_P(CommandTest, PrintsExactlyAndCallsThePlatformAsExpected) {
  const Case& c = GetParam();
  const Outcome outcome = RunCommand(VORNISK_SCRIPTED, c.args, c.script);
  EXPECT_EQ(outcome.out, c.out);
  EXPECT_EQ(outcome.status, c.status);
  if (c.calls) {
    EXPECT_EQ(outcome.calls, *c.calls);
  }
  EXPECT_EQ(SplitLines(outcome.err), c.err);
}

const std::string k60m40 = "60, -40\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandTest,
    ::testing::Values(
        Case{"NoArguments", {}, "700,600", kUsage, 255, Lines{}, {}},
        Case{"OneArgument", {"100"}, "700,600", kUsage, 255, Lines{}, {}},
        Case{"NoRepetitionsStillOpensAndCloses",
             {"100", "0"},
             "700,600",
             "",
             0,
             Lines{"timeBeginPeriod(1)", kOpen, kClose, "timeEndPeriod(1)"},
             {}},
        Case{"IntervalWithoutDigitsIsZero",
             {"abc", "3"},
             "700,600",
             k60m40 + k60m40 + k60m40,
             0,
             // Without pauses the lines stay in the stream's buffer.
             Lines{kOpen, kRead, "Sleep(0) stdout=0", kRead,
                   "Sleep(0) stdout=0", kRead, "Sleep(0) stdout=0", kClose},
             {}},
        Case{"IntervalStopsAtTheFirstNonDigitAndPacedLinesAreFlushed",
             {"25ms", "2"},
             "700,600",
             k60m40 + k60m40,
             0,
             Lines{"timeBeginPeriod(1)", kOpen, kRead, "Sleep(25) stdout=8",
                   kRead, "Sleep(25) stdout=16", kClose, "timeEndPeriod(1)"},
             {}},
        Case{"ExtraArgumentsAreIgnored",
             {"10", "3", "word"},
             "700,600",
             k60m40 + k60m40 + k60m40,
             0,
             std::nullopt,
             {}},
        Case{"NegativeValues",
             {"0", "2"},
             "-32768,-1",
             "-33408, -641\n-33408, -641\n",
             0,
             std::nullopt,
             {}},
        Case{"NegativeRepetitionsTakeNoSample",
             {"0", "-3"},
             "700,600",
             "",
             0,
             Lines{kOpen, kClose},
             {}},
        Case{"LinesBeforeTheFirstGoodReadAreZero",
             {"0", "3"},
             "fail 700,600",
             "0, 0\n" + k60m40 + k60m40,
             0,
             std::nullopt,
             {"Vornisk: Failed to DeviceIoControl: scripted error 31 "
              "(error 31)",
              "Vornisk: 1 of 3 reads failed"}},
        Case{"FailedReadsRepeatTheLastValuesAndAreReportedOnce",
             {"0", "4"},
             "700,600 fail fail 640,640",
             k60m40 + k60m40 + k60m40 + "0, 0\n",
             0,
             std::nullopt,
             {"Vornisk: Failed to DeviceIoControl: scripted error 31 "
              "(error 31)",
              "Vornisk: 2 of 4 reads failed"}},
        Case{"AShortReplyIsAFailedRead",
             {"0", "2"},
             "700,600 1000,1000/6",
             k60m40 + k60m40,
             0,
             std::nullopt,
             {"Vornisk: Failed to DeviceIoControl: the reply held 6 of 36 "
              "bytes",
              "Vornisk: 1 of 2 reads failed"}},
        Case{"AbsentDeviceGivesZeroLinesAndSaysWhyOnce",
             {"0", "2"},
             "absent",
             "0, 0\n0, 0\n",
             0,
             Lines{kOpen,
                   "DeviceIoControl(INVALID_HANDLE_VALUE, 0x733fc, null, 0, "
                   "output, 36, returned, null)",
                   "Sleep(0) stdout=0",
                   "DeviceIoControl(INVALID_HANDLE_VALUE, 0x733fc, null, 0, "
                   "output, 36, returned, null)",
                   "Sleep(0) stdout=0", "CloseHandle(INVALID_HANDLE_VALUE)"},
             {"Vornisk: Failed to createfile: \\\\.\\ShockMgr: scripted "
              "error 2 (error 2)",
              "Vornisk: 2 of 2 reads failed"}},
        Case{"HugeIntervalSaturates",
             {"99999999999", "1"},
             "700,600",
             k60m40,
             0,
             Lines{"timeBeginPeriod(1)", kOpen, kRead,
                   "Sleep(2147483647) stdout=8", kClose, "timeEndPeriod(1)"},
             {}},
        Case{"NegativeIntervalMeansNoPause",
             {"-99999999999", "2"},
             "700,600",
             k60m40 + k60m40,
             0,
             Lines{kOpen, kRead, "Sleep(0) stdout=0", kRead,
                   "Sleep(0) stdout=0", kClose},
             {"Vornisk: interval -2147483648 is negative: sampling without "
              "pause"}}),
    [](const ::testing::TestParamInfo<Case>& param) {
      return std::string(param.param.name);
    });

// A full disk must not pass for success: the run stops at the failed write,
// still closes the device, and exits 1.
TEST(CommandWriteErrorTest, StopsClosesAndExitsOne) {
  struct WriteCase {
    Lines args;
    Lines calls;
  };
  const WriteCase cases[] = {
      // Paced, the first line is flushed and fails at once.
      {{"10", "5"},
       {"timeBeginPeriod(1)", kOpen, kRead, kClose, "timeEndPeriod(1)"}},
      // Buffered, the failure shows when the buffer is written out.
      {{"0", "5"},
       {kOpen, kRead, "Sleep(0)", kRead, "Sleep(0)", kRead, "Sleep(0)", kRead,
        "Sleep(0)", kRead, "Sleep(0)", kClose}},
  };
  for (const WriteCase& c : cases) {
    const Outcome outcome =
        RunCommand(VORNISK_SCRIPTED, c.args, "700,600", "/dev/full");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.calls, c.calls);
    EXPECT_EQ(outcome.err, "Vornisk: write error: No space left on device\n");
  }
}

TEST(ProductionBinaryTest, RunsToTheEndWithoutADevice) {
  const Outcome outcome = RunCommand(VORNISK_BINARY, {"0", "3"}, "");
  EXPECT_EQ(outcome.out, "0, 0\n0, 0\n0, 0\n");
  EXPECT_EQ(outcome.status, 0);
  EXPECT_NE(
      outcome.err.find("Vornisk: Failed to createfile: \\\\.\\ShockMgr: "),
      std::string::npos)
      << outcome.err;
  EXPECT_NE(outcome.err.find("Vornisk: 3 of 3 reads failed\n"),
            std::string::npos)
      << outcome.err;
}

TEST(ProductionBinaryTest, ReportsAFullDisk) {
  const Outcome outcome =
      RunCommand(VORNISK_BINARY, {"0", "5"}, "", "/dev/full");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("Vornisk: write error: No space left on device\n"),
            std::string::npos)
      << outcome.err;
}

}  // namespace
