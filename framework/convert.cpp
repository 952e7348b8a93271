#include "framework/convert.h"

#include <climits>
#include <optional>

#include "framework/exception.h"

namespace {

std::optional<int> ParseDecimal(std::string_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return std::nullopt;
  long long value = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT_MAX || value < INT_MIN) return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace

int StrToInt(std::string_view text) {
  if (auto v = ParseDecimal(text)) return *v;
  throw Exception("'" + std::string(text) + "' is not a valid integer value");
}

int StrToIntDef(std::string_view text, int fallback) {
  auto v = ParseDecimal(text);
  return v ? *v : fallback;
}

std::string IntToStr(long long value) { return std::to_string(value); }

unsigned CheckedCardinal(long long value) {
  if (value < 0 || value > UINT_MAX) throw Exception("Range check error");
  return static_cast<unsigned>(value);
}

int CheckedMultiply(int a, int b) {
  long long product = static_cast<long long>(a) * b;
  if (product > INT_MAX || product < INT_MIN) throw Exception("Integer overflow");
  return static_cast<int>(product);
}
