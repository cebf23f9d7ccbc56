// The Windows API stand-in for other hosts. No accelerometer driver answers
// here, so opening the device fails as it does on a Windows machine without
// the driver.
#include <cerrno>
#include <cstring>
#include <ctime>

#include "platform/winapi.h"

namespace {

// Per thread, as on Windows.
thread_local DWORD last_error = 0;

HANDLE Fail(DWORD error) {
  last_error = error;
  return INVALID_HANDLE_VALUE;
}

const char* ErrorText(DWORD error) {
  switch (error) {
    case ERROR_INVALID_FUNCTION:
      return "the device does not know this request";
    case ERROR_FILE_NOT_FOUND:
      return "no such device";
    case ERROR_ACCESS_DENIED:
      return "access denied";
    case ERROR_INVALID_HANDLE:
      return "the device is not open";
    case ERROR_GEN_FAILURE:
      return "the device did not answer";
    case ERROR_INSUFFICIENT_BUFFER:
      return "the reply buffer is too small";
    default:
      return "system error";
  }
}

}  // namespace

HANDLE CreateFileA(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD,
                   HANDLE) {
  return Fail(ERROR_FILE_NOT_FOUND);
}

BOOL DeviceIoControl(HANDLE, DWORD, LPVOID, DWORD, LPVOID, DWORD, LPDWORD,
                     LPOVERLAPPED) {
  last_error = ERROR_INVALID_HANDLE;
  return 0;
}

BOOL CloseHandle(HANDLE) {
  last_error = ERROR_INVALID_HANDLE;
  return 0;
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

MMRESULT timeBeginPeriod(UINT) { return TIMERR_NOERROR; }
MMRESULT timeEndPeriod(UINT) { return TIMERR_NOERROR; }
