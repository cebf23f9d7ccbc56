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
  timespec left{static_cast<std::time_t>(milliseconds / 1000),
                static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
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
  return TIMERR_NOERROR;
}

MMRESULT timeEndPeriod(UINT) {
  // 0 restores the thread's default.
  prctl(PR_SET_TIMERSLACK, 0UL, 0UL, 0UL, 0UL);
  return TIMERR_NOERROR;
}
