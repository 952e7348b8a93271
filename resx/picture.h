// What the resource extractor shows of a bitmap, icon or cursor image: the
// decoded pixels, or the bytes of an image stored as PNG for the window's
// own PNG reader.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

struct TPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, straight alpha, rows top down
  std::span<const std::uint8_t> png;  // set instead of pixels for a PNG image

  void Clear() { *this = TPicture{}; }
  bool Empty() const { return pixels.empty() && png.empty(); }
};
