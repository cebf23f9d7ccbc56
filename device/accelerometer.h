// Reads the notebook's two-axis accelerometer through its driver's device.
#pragma once

#include <cstdint>

#include "platform/winapi.h"

// The driver's read request: a buffered control code of the disk device type.
constexpr DWORD SHOCKMGR_READ_REQUEST =
    CTL_CODE(FILE_DEVICE_DISK, 0xCFF, METHOD_BUFFERED, FILE_ANY_ACCESS);
static_assert(SHOCKMGR_READ_REQUEST == 0x000733FC,
              "the driver answers this control code only");

// Bytes in the driver's reply record; the axis values sit at offsets 4 and 6.
constexpr DWORD SHOCKMGR_REPLY_SIZE = 36;
// The driver's raw values are centred on 640 for a level notebook.
constexpr std::int32_t AXIS_OFFSET = 640;

// Opens the device on construction and closes it on destruction. Nothing
// here fails towards the caller: if the device is absent or a read fails,
// x and y keep their last values (0 before the first good read), and the
// reason is reported once on stderr.
class Accelerometer {
 public:
  Accelerometer() noexcept;
  ~Accelerometer();
  Accelerometer(const Accelerometer&) = delete;
  Accelerometer& operator=(const Accelerometer&) = delete;

  // Takes one reading into x and y.
  void Acquire() noexcept;

 private:
  HANDLE handle;
  unsigned char raw[SHOCKMGR_REPLY_SIZE] = {};

 public:
  std::int32_t x = 0;
  std::int32_t y = 0;

 private:
  std::uint32_t reads_ = 0;
  std::uint32_t failed_reads_ = 0;
};
