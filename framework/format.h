// printf-like formatting with the original framework's rules: %d signed
// decimal, %x upper-case hexadecimal without prefix, a precision on %x pads
// with zeros (%.7x), %s text, %p a pointer as 16 hex digits, %% a percent
// sign. Widths (%8d, %-8s) pad with blanks. A directive without an argument
// of its kind fails with "Format '%s' invalid or incompatible with argument".
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

class FormatArg {
 public:
  FormatArg(int v) : value_(static_cast<long long>(v)) {}
  FormatArg(long v) : value_(static_cast<long long>(v)) {}
  FormatArg(long long v) : value_(v) {}
  FormatArg(unsigned v) : value_(static_cast<long long>(v)) {}
  FormatArg(unsigned long v) : value_(static_cast<long long>(v)) {}
  FormatArg(unsigned long long v) : value_(static_cast<long long>(v)) {}
  FormatArg(const char* v) : value_(std::string(v)) {}
  FormatArg(std::string_view v) : value_(std::string(v)) {}
  FormatArg(const std::string& v) : value_(v) {}
  FormatArg(const void* v) : value_(reinterpret_cast<std::uintptr_t>(v)) {}

  const std::variant<long long, std::string, std::uintptr_t>& value() const { return value_; }

 private:
  std::variant<long long, std::string, std::uintptr_t> value_;
};

std::string Format(std::string_view format, std::initializer_list<FormatArg> args);
