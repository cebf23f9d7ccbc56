#include "device/accelerometer.h"

#include <cstdio>

namespace {

constexpr char kDevicePath[] = "\\\\.\\ShockMgr";
// A reply must reach past both axis values to count.
constexpr DWORD kAxesEnd = 8;

// Prints "Vornisk: <what>: <the system's text> (error N)" on stderr.
void ReportSystemError(const char* what, DWORD error) {
  char text[256];
  DWORD length =
      FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, text, sizeof text, nullptr);
  // The system's texts end in a full stop and a line end.
  while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' ||
                        text[length - 1] == ' ' || text[length - 1] == '.')) {
    --length;
  }
  std::fprintf(stderr, "Vornisk: %s: %.*s (error %lu)\n", what,
               static_cast<int>(length), text,
               static_cast<unsigned long>(error));
}

// A little-endian signed 16-bit value, widened before the offset comes off so
// that the most negative raw value gives -33408 and never wraps.
std::int32_t AxisValue(const unsigned char* bytes) {
  std::int32_t value = bytes[0] | bytes[1] << 8;
  if (value >= 0x8000) value -= 0x10000;
  return value - AXIS_OFFSET;
}

}  // namespace

Accelerometer::Accelerometer() noexcept
    : handle(CreateFileA(kDevicePath, GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr)) {
  if (handle == INVALID_HANDLE_VALUE) {
    ReportSystemError("Failed to createfile: \\\\.\\ShockMgr", GetLastError());
  }
}

Accelerometer::~Accelerometer() {
  if (failed_reads_ > 0) {
    std::fprintf(stderr, "Vornisk: %lu of %lu reads failed\n",
                 static_cast<unsigned long>(failed_reads_),
                 static_cast<unsigned long>(reads_));
  }
  CloseHandle(handle);
}

void Accelerometer::Acquire() noexcept {
  ++reads_;
  DWORD returned = 0;
  const BOOL answered =
      DeviceIoControl(handle, SHOCKMGR_READ_REQUEST, nullptr, 0, raw,
                      SHOCKMGR_REPLY_SIZE, &returned, nullptr);
  if (answered && returned >= kAxesEnd) {
    x = AxisValue(raw + 4);
    y = AxisValue(raw + 6);
    return;
  }
  // The first failure says why; the count follows at the end of the run. A
  // device that never opened has said so already.
  const DWORD error = answered ? 0 : GetLastError();
  if (++failed_reads_ == 1 && handle != INVALID_HANDLE_VALUE) {
    if (answered) {
      std::fprintf(stderr,
                   "Vornisk: Failed to DeviceIoControl: the reply held %lu of "
                   "%lu bytes\n",
                   static_cast<unsigned long>(returned),
                   static_cast<unsigned long>(SHOCKMGR_REPLY_SIZE));
    } else {
      ReportSystemError("Failed to DeviceIoControl", error);
    }
  }
}
