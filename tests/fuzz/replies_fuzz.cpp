// Any bytes as what the device delivers, on both sides of the stand-in: as
// the 36-byte reply record decoded by the Accelerometer, and as the text of
// the hdaps position file. Nothing crashes, a short reply never counts, and
// the parser accepts only two signed 16-bit values that it read correctly.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "device/accelerometer.h"
#include "platform/hdaps.h"
#include "tests/scripted_platform.h"

namespace {

void DecodeReply(const std::uint8_t* data, std::size_t size) {
  Script& script = TheScript();
  script = Script{};
  script.recording = false;
  Reply reply;
  reply.returned = size > 0 ? data[0] % 40 : 36;
  std::memcpy(reply.record.data(), data + (size > 0),
              std::min(reply.record.size(), size - (size > 0)));
  script.replies = {reply};

  Accelerometer reader;
  reader.Acquire();
  const auto raw = [&](std::size_t at) {
    return static_cast<std::int16_t>(reply.record[at] | reply.record[at + 1]
                                                            << 8);
  };
  const bool counts = reply.returned >= 8;
  if (reader.x != (counts ? raw(4) - AXIS_OFFSET : 0)) std::abort();
  if (reader.y != (counts ? raw(6) - AXIS_OFFSET : 0)) std::abort();
}

void ParsePosition(const std::uint8_t* data, std::size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  std::int16_t x = 0;
  std::int16_t y = 0;
  if (!ParseHdapsPosition(text, size, &x, &y)) return;
  // An accepted text holds exactly those two numbers, in range, in order.
  const std::string copy(text, size);
  long first = 0;
  long second = 0;
  char close = 0;
  if (std::sscanf(copy.c_str(), " (%ld ,%ld %c", &first, &second, &close) !=
          3 ||
      close != ')' || first != x || second != y || first < INT16_MIN ||
      first > INT16_MAX || second < INT16_MIN || second > INT16_MAX) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  DecodeReply(data, size);
  ParsePosition(data, size);
  return 0;
}
