// Number conversions with the original framework's rules and messages.
#pragma once

#include <string>
#include <string_view>

// Strict decimal: an optional sign and digits, nothing else, within the
// 32-bit range; otherwise "'%s' is not a valid integer value".
int StrToInt(std::string_view text);
// The same rule, with `fallback` in place of the error.
int StrToIntDef(std::string_view text, int fallback);
std::string IntToStr(long long value);

// Assigning `value` to an unsigned 32-bit property: a negative value fails
// with "Range check error".
unsigned CheckedCardinal(long long value);
// 32-bit multiplication that fails with "Integer overflow".
int CheckedMultiply(int a, int b);
