// Vornisk: samples the notebook's accelerometer and prints one "x, y" line per
// sample on stdout.
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "app/arguments.h"
#include "device/accelerometer.h"
#include "platform/winapi.h"

namespace {

void PrintUsage() {
  std::fputs("This software acquires accelerometer datum in your thinkpad.\n",
             stdout);
  std::fputs("    The Vornisk authors (see README.md)\n\n", stdout);
  std::fputs("To use the software, type following line;\n", stdout);
  std::fputs("Vornisk.exe Interval(ms) Repetation(hoe many loop?)\n", stdout);
}

// Gathers sample lines and hands them to stdout in blocks: a library call per
// line would cost more than everything else in a run without pauses.
class SampleLines {
 public:
  // Appends "x, y\n".
  void Add(std::int32_t x, std::int32_t y) {
    char* end = buffer_ + size_;
    end = std::to_chars(end, end + kMaxNumber, x).ptr;
    *end++ = ',';
    *end++ = ' ';
    end = std::to_chars(end, end + kMaxNumber, y).ptr;
    *end++ = '\n';
    size_ = static_cast<std::size_t>(end - buffer_);
  }

  bool Full() const { return size_ > sizeof buffer_ - kMaxLine; }

  // Writes what was gathered to stdout; false on a write error.
  bool Drain() {
    const std::size_t size = size_;
    size_ = 0;
    return std::fwrite(buffer_, 1, size, stdout) == size;
  }

 private:
  static constexpr std::size_t kMaxNumber = 11;  // "-2147483648"
  static constexpr std::size_t kMaxLine = 2 * kMaxNumber + 3;
  char buffer_[8192];
  std::size_t size_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    PrintUsage();
    return -1;
  }
  const std::int32_t interval = ConvertArgument(argv[1]);
  const std::int32_t repetitions = ConvertArgument(argv[2]);

  // Sleep takes an unsigned count, in which a negative interval would be a
  // pause of days.
  if (interval < 0) {
    std::fprintf(stderr,
                 "Vornisk: interval %ld is negative: sampling without pause\n",
                 static_cast<long>(interval));
  }
  const DWORD pause = interval > 0 ? static_cast<DWORD>(interval) : 0;
  // Paced samples go out as they are taken, so that a reader at the other end
  // of a pipe sees them live and an interrupted run loses none; a run without
  // pauses is left to the stream's buffering.
  const bool paced = pause > 0;
  if (paced) timeBeginPeriod(1);

  // errno of the first failed write, 0 while all is well.
  int write_error = 0;
  const auto write_failed = [&write_error] {
    write_error = errno != 0 ? errno : EIO;
  };
  {
    SampleLines lines;
    Accelerometer reader;
    for (std::int32_t taken = 0; taken < repetitions; ++taken) {
      reader.Acquire();
      lines.Add(reader.x, reader.y);
      if ((paced || lines.Full()) &&
          (!lines.Drain() || (paced && std::fflush(stdout) != 0))) {
        write_failed();
        break;
      }
      Sleep(pause);
    }
    if (write_error == 0 && (!lines.Drain() || std::fflush(stdout) != 0)) {
      write_failed();
    }
  }

  if (paced) timeEndPeriod(1);
  if (write_error != 0) {
    std::fprintf(stderr, "Vornisk: write error: %s\n",
                 std::strerror(write_error));
    return 1;
  }
  return 0;
}
