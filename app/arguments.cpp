#include "app/arguments.h"

#include <cstdint>
#include <limits>

std::int32_t ConvertArgument(const char* text) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  // The C locale's white space, as atol sees it.
  while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
  const bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  std::int64_t magnitude = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    magnitude = magnitude * 10 + (*text - '0');
    // Past the limit the remaining digits cannot bring it back.
    if (magnitude > kMax) {
      return negative ? std::numeric_limits<std::int32_t>::min()
                      : std::numeric_limits<std::int32_t>::max();
    }
  }
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}
