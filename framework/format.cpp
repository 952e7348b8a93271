#include "framework/format.h"

#include <charconv>
#include <cstdio>

#include "framework/exception.h"

namespace {

std::string Pad(std::string text, int width, bool left) {
  if (static_cast<int>(text.size()) >= width) return text;
  std::string blanks(static_cast<std::size_t>(width) - text.size(), ' ');
  return left ? text + blanks : blanks + text;
}

}  // namespace

std::string Format(std::string_view format, std::initializer_list<FormatArg> args) {
  std::string out;
  auto next = args.begin();
  auto invalid = [&] {
    return Exception("Format '" + std::string(format) + "' invalid or incompatible with argument");
  };
  for (std::size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    if (c != '%') {
      out += c;
      continue;
    }
    if (++i == format.size()) throw invalid();
    if (format[i] == '%') {
      out += '%';
      continue;
    }
    bool left = false;
    if (format[i] == '-') {
      left = true;
      ++i;
    }
    int width = 0, precision = -1;
    while (i < format.size() && format[i] >= '0' && format[i] <= '9') width = width * 10 + (format[i++] - '0');
    if (i < format.size() && format[i] == '.') {
      precision = 0;
      ++i;
      while (i < format.size() && format[i] >= '0' && format[i] <= '9')
        precision = precision * 10 + (format[i++] - '0');
    }
    if (i == format.size() || next == args.end()) throw invalid();
    const auto& value = (next++)->value();
    char kind = format[i];
    char buf[64];
    std::string piece;
    if ((kind == 'd' || kind == 'x' || kind == 'X') && std::holds_alternative<long long>(value)) {
      long long n = std::get<long long>(value);
      int digits = precision < 0 ? 1 : precision;
      if (kind == 'd' && precision < 0)  // the common case, without a second format parser
        *std::to_chars(buf, buf + sizeof buf - 1, n).ptr = '\0';
      else if (kind == 'd')
        std::snprintf(buf, sizeof buf, "%.*lld", digits, n);
      else  // hexadecimal shows the 32-bit pattern of negative numbers
        std::snprintf(buf, sizeof buf, "%.*llX", digits,
                      n < 0 ? static_cast<unsigned long long>(static_cast<std::uint32_t>(n))
                            : static_cast<unsigned long long>(n));
      piece = buf;
    } else if (kind == 's' && std::holds_alternative<std::string>(value)) {
      piece = std::get<std::string>(value);
      if (precision >= 0 && piece.size() > static_cast<std::size_t>(precision))
        piece.resize(static_cast<std::size_t>(precision));
    } else if (kind == 'p' && std::holds_alternative<std::uintptr_t>(value)) {
      std::snprintf(buf, sizeof buf, "%016llX", static_cast<unsigned long long>(std::get<std::uintptr_t>(value)));
      piece = buf;
    } else {
      throw invalid();
    }
    out += Pad(std::move(piece), width, left);
  }
  return out;
}
