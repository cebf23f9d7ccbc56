// The ShockMgr device on Linux: the kernel's hdaps driver exposes the same
// two-axis sensor as the text "(x,y)\n" in sysfs.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/winapi.h"

constexpr char kHdapsPositionPath[] = "/sys/devices/platform/hdaps/position";

// Parses the sensor's text strictly: "(", the first raw value, ",", the
// second, ")" and an optional newline, with optional spaces between them;
// both values signed 16-bit. False for anything else.
bool ParseHdapsPosition(const char* text, std::size_t length, std::int16_t* x,
                        std::int16_t* y);

// Opens the position file, kept open for all reads; -1 with a Windows error
// code in *error when that fails.
int OpenHdapsPosition(const char* path, DWORD* error);

// Answers one device request the way the Windows driver does: the read
// request fills a 36-byte reply with the raw values at offsets 4 and 6.
// Returns 0 or a Windows error code.
DWORD AnswerShockMgrRequest(int fd, DWORD control_code, void* out,
                            DWORD out_size, DWORD* returned);
