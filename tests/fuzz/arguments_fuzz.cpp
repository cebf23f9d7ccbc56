// Any bytes as the two command-line numbers: the conversion never crashes and
// always equals atol's rules worked out on 64-bit integers, then clamped.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/arguments.h"

namespace {

std::int32_t Reference(const std::string& text) {
  std::size_t at = 0;
  while (at < text.size() &&
         (text[at] == ' ' || (text[at] >= '\t' && text[at] <= '\r'))) {
    ++at;
  }
  std::int64_t sign = 1;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    if (text[at] == '-') sign = -1;
    ++at;
  }
  // Far beyond the 32-bit range yet far from the 64-bit limit.
  constexpr std::int64_t kCap = std::int64_t{1} << 40;
  std::int64_t value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    value = value * 10 + (text[at] - '0');
    if (value > kCap) value = kCap;
  }
  value *= sign;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<std::int32_t>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  // The first NUL splits the bytes into the two arguments, as argv would.
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t split = bytes.find('\0');
  const std::string first = bytes.substr(0, split);
  const std::string second =
      split == std::string::npos ? std::string() : bytes.substr(split + 1);
  for (const std::string& argument : {first, second}) {
    // c_str() stops at any further NUL, as argv does.
    const std::string as_argv = argument.c_str();
    if (ConvertArgument(as_argv.c_str()) != Reference(as_argv)) std::abort();
  }
  return 0;
}
