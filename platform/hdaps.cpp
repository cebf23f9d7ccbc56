#include "platform/hdaps.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// The one request the Windows driver answers, and its reply's size.
constexpr DWORD kReadRequest =
    CTL_CODE(FILE_DEVICE_DISK, 0xCFF, METHOD_BUFFERED, FILE_ANY_ACCESS);
constexpr DWORD kReplySize = 36;

struct Cursor {
  const char* at;
  const char* end;

  void SkipSpaces() {
    while (at != end && *at == ' ') ++at;
  }
  bool Take(char c) {
    SkipSpaces();
    if (at == end || *at != c) return false;
    ++at;
    return true;
  }
  bool TakeInt16(std::int16_t* value) {
    SkipSpaces();
    const bool negative = at != end && *at == '-';
    if (negative) ++at;
    if (at == end || *at < '0' || *at > '9') return false;
    std::int32_t magnitude = 0;
    for (; at != end && *at >= '0' && *at <= '9'; ++at) {
      magnitude = magnitude * 10 + (*at - '0');
      if (magnitude > 32768) return false;
    }
    if (!negative && magnitude > 32767) return false;
    *value = static_cast<std::int16_t>(negative ? -magnitude : magnitude);
    return true;
  }
};

void PutInt16(unsigned char* at, std::int16_t value) {
  const auto bits = static_cast<std::uint16_t>(value);
  at[0] = static_cast<unsigned char>(bits & 0xFF);
  at[1] = static_cast<unsigned char>(bits >> 8);
}

}  // namespace

bool ParseHdapsPosition(const char* text, std::size_t length, std::int16_t* x,
                        std::int16_t* y) {
  Cursor cursor{text, text + length};
  std::int16_t first = 0;
  std::int16_t second = 0;
  if (!cursor.Take('(') || !cursor.TakeInt16(&first) || !cursor.Take(',') ||
      !cursor.TakeInt16(&second) || !cursor.Take(')')) {
    return false;
  }
  cursor.SkipSpaces();
  if (cursor.at != cursor.end && *cursor.at == '\n') ++cursor.at;
  if (cursor.at != cursor.end) return false;
  *x = first;
  *y = second;
  return true;
}

int OpenHdapsPosition(const char* path, DWORD* error) {
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd >= 0) return fd;
  switch (errno) {
    case ENOENT:
    case ENOTDIR:
    case ENODEV:
    case ENXIO:
      *error = ERROR_FILE_NOT_FOUND;
      break;
    case EACCES:
    case EPERM:
      *error = ERROR_ACCESS_DENIED;
      break;
    default:
      *error = ERROR_OPEN_FAILED;
  }
  return -1;
}

DWORD AnswerShockMgrRequest(int fd, DWORD control_code, void* out,
                            DWORD out_size, DWORD* returned) {
  if (control_code != kReadRequest) return ERROR_INVALID_FUNCTION;
  if (out == nullptr || out_size < kReplySize) return ERROR_INSUFFICIENT_BUFFER;

  // A sysfs attribute is produced afresh by each read at offset 0. Its text is
  // short; a full buffer means something other than the position.
  char text[64];
  ssize_t length;
  do {
    length = pread(fd, text, sizeof text, 0);
  } while (length < 0 && errno == EINTR);
  if (length < 0) {
    switch (errno) {
      case EIO:
        return ERROR_NOT_READY;
      case EBUSY:
      case EAGAIN:
        return ERROR_BUSY;
      default:
        return ERROR_READ_FAULT;
    }
  }
  std::int16_t x = 0;
  std::int16_t y = 0;
  if (length == static_cast<ssize_t>(sizeof text) ||
      !ParseHdapsPosition(text, static_cast<std::size_t>(length), &x, &y)) {
    return ERROR_INVALID_DATA;
  }
  auto* reply = static_cast<unsigned char*>(out);
  std::memset(reply, 0, kReplySize);
  PutInt16(reply + 4, x);
  PutInt16(reply + 6, y);
  if (returned != nullptr) *returned = kReplySize;
  return 0;
}
