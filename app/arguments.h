#pragma once

#include <cstdint>

// Converts a command-line number by atol's rules: leading white space is
// skipped, an optional sign and decimal digits are read, and anything after
// them is ignored; a text without digits gives 0. Unlike atol it never
// overflows: values beyond the signed 32-bit range saturate at its limits.
std::int32_t ConvertArgument(const char* text);
