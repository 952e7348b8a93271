// Little-endian fields of the platform's file formats (bitmaps, icons, PE
// images), written to and read from byte strings. Readers take a bounded
// view; the caller checks the bounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <string>

namespace platform {

inline void Put16(std::string& out, std::uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
inline void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
inline std::uint16_t Get16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}
inline std::uint32_t Get32(std::span<const std::uint8_t> b, std::size_t at) {
  return Get16(b, at) | std::uint32_t{Get16(b, at + 2)} << 16;
}
inline std::span<const std::uint8_t> AsBytes(std::string_view s) {
  return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

}  // namespace platform
