// A scripted stand-in for the Windows API, linked in place of the real one.
// It answers the device's requests from a script and records every call.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/winapi.h"

// One answer of the device to a read request.
struct Reply {
  BOOL answered = 1;
  DWORD returned = 36;  // the byte count reported back
  DWORD error = 0;      // the last error when not answered
  std::array<unsigned char, 36> record{};

  static Reply Axes(std::int16_t raw_x, std::int16_t raw_y,
                    DWORD returned = 36);
  static Reply Failure(DWORD error = ERROR_GEN_FAILURE);
};

struct Script {
  bool device_present = true;
  // Answered in order; the last one repeats once they run out, and with none
  // every read fails.
  std::vector<Reply> replies;
  std::size_t next_reply = 0;

  bool recording = true;
  std::vector<std::string> calls;
  // Appended to each recorded Sleep, for what a test wants to know there.
  std::function<std::string()> sleep_note;
};

// The one script that the stand-in answers from; tests reset it.
Script& TheScript();

// What CreateFileA hands out for the device.
inline HANDLE const kDeviceHandle = reinterpret_cast<HANDLE>(0x5ad);
