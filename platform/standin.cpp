// The Windows API stand-in for Linux. The device \\.\ShockMgr is backed by
// the kernel's hdaps driver, which reads the same accelerometer; any other
// name fails to open, as a missing file does on Windows.
#include <sys/prctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>

#include "platform/hdaps.h"
#include "platform/winapi.h"

namespace {

// Per thread, as on Windows.
thread_local DWORD last_error = 0;

// Between timeBeginPeriod and timeEndPeriod, sleeps keep to a grid of
// deadlines, the way Windows wakes sleepers on its timer ticks: each pause
// ends one interval after the previous one was due, so the wake-up latency of
// one sleep (often 0.1 ms on a virtual machine) is not added to every sample.
struct Pacing {
  bool on = false;
  timespec due{};  // when the previous pause was due to end
};
thread_local Pacing pacing;

constexpr long kNsPerMs = 1000000L;
constexpr long kNsPerSecond = 1000000000L;

timespec Later(timespec time, DWORD milliseconds) {
  time.tv_sec += static_cast<std::time_t>(milliseconds / 1000);
  time.tv_nsec += static_cast<long>(milliseconds % 1000) * kNsPerMs;
  if (time.tv_nsec >= kNsPerSecond) {
    time.tv_nsec -= kNsPerSecond;
    ++time.tv_sec;
  }
  return time;
}

bool Before(const timespec& a, const timespec& b) {
  return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

int Descriptor(HANDLE handle) {
  return static_cast<int>(reinterpret_cast<std::intptr_t>(handle));
}

const char* ErrorText(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
      return "no accelerometer found: there is no "
             "/sys/devices/platform/hdaps/position; the hdaps kernel module "
             "may not be loaded (modprobe hdaps)";
    case ERROR_ACCESS_DENIED:
      return "permission denied to read /sys/devices/platform/hdaps/position";
    case ERROR_OPEN_FAILED:
      return "cannot open /sys/devices/platform/hdaps/position";
    case ERROR_INVALID_FUNCTION:
      return "the device does not know this request";
    case ERROR_INSUFFICIENT_BUFFER:
      return "the reply buffer is too small";
    case ERROR_INVALID_HANDLE:
      return "the device is not open";
    case ERROR_INVALID_DATA:
      return "the sensor's reading is not a position";
    case ERROR_NOT_READY:
      return "the sensor is not ready";
    case ERROR_BUSY:
      return "the sensor is busy";
    case ERROR_READ_FAULT:
      return "cannot read the sensor";
    default:
      return "system error";
  }
}

}  // namespace

HANDLE CreateFileA(LPCSTR file_name, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD,
                   DWORD, HANDLE) {
  if (file_name == nullptr || std::strcmp(file_name, "\\\\.\\ShockMgr") != 0) {
    last_error = ERROR_FILE_NOT_FOUND;
    return INVALID_HANDLE_VALUE;
  }
  DWORD error = 0;
  const int fd = OpenHdapsPosition(kHdapsPositionPath, &error);
  if (fd < 0) {
    last_error = error;
    return INVALID_HANDLE_VALUE;
  }
  return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(fd));
}

BOOL DeviceIoControl(HANDLE device, DWORD control_code, LPVOID, DWORD,
                     LPVOID out_buffer, DWORD out_size, LPDWORD bytes_returned,
                     LPOVERLAPPED) {
  if (device == INVALID_HANDLE_VALUE) {
    last_error = ERROR_INVALID_HANDLE;
    return 0;
  }
  const DWORD error = AnswerShockMgrRequest(
      Descriptor(device), control_code, out_buffer, out_size, bytes_returned);
  if (error != 0) {
    last_error = error;
    return 0;
  }
  return 1;
}

BOOL CloseHandle(HANDLE object) {
  if (object == INVALID_HANDLE_VALUE || close(Descriptor(object)) != 0) {
    last_error = ERROR_INVALID_HANDLE;
    return 0;
  }
  return 1;
}

void Sleep(DWORD milliseconds) {
  // Sleep(0) only gives up the time slice on Windows; here it costs nothing,
  // which keeps a run without pauses fast.
  if (milliseconds == 0) return;
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  timespec due = Later(now, milliseconds);
  if (pacing.on) {
    // Keep to the grid unless the caller fell a whole interval behind it (a
    // slow reader of our output, say): then start a new one rather than
    // catching up in a burst.
    const timespec on_grid = Later(pacing.due, milliseconds);
    if (Before(now, on_grid)) due = on_grid;
    pacing.due = due;
  }
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &due, nullptr) ==
         EINTR) {
  }
}

DWORD GetLastError() { return last_error; }

DWORD FormatMessageA(DWORD, LPCVOID, DWORD message_id, DWORD, LPSTR buffer,
                     DWORD size, va_list*) {
  const char* text = ErrorText(message_id);
  const std::size_t length = std::strlen(text);
  if (buffer == nullptr || size <= length) return 0;
  std::memcpy(buffer, text, length + 1);
  return static_cast<DWORD>(length);
}

// Windows' timer resolution has a Linux counterpart in the thread's timer
// slack: by default every sleep may run 50 µs late, 5 % of a 1 ms interval.
MMRESULT timeBeginPeriod(UINT) {
  prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
  pacing = Pacing{true, {}};
  return TIMERR_NOERROR;
}

MMRESULT timeEndPeriod(UINT) {
  // 0 restores the thread's default.
  prctl(PR_SET_TIMERSLACK, 0UL, 0UL, 0UL, 0UL);
  pacing = Pacing{};
  return TIMERR_NOERROR;
}
