// Device-independent bitmaps as resources store them: a core (12-byte),
// info (40-byte) or later (52, 56, 108, 124-byte) header, bit fields, a
// palette and the pixels; 1, 4, 8, 16, 24 and 32 bits; BI_RGB, BI_RLE8,
// BI_RLE4, BI_BITFIELDS and BI_ALPHABITFIELDS. Icon and cursor images are
// the same with a doubled height and a 1-bit AND mask after the pixels.
#pragma once

#include <cstdint>
#include <span>

#include "resx/damage.h"
#include "resx/picture.h"

struct DibInfo {
  std::uint32_t headerSize = 0;
  bool core = false;
  std::int64_t width = 0;
  std::int64_t height = 0;  // negative: rows top down
  std::uint16_t planes = 0;
  std::uint16_t bitCount = 0;
  std::uint32_t compression = 0;
  std::uint32_t colorsUsed = 0;
  std::uint32_t masks[4] = {};  // red, green, blue, alpha
  std::uint32_t maskBytes = 0;  // bit fields stored after a 40-byte header
  std::uint32_t paletteEntries = 0;
  std::uint32_t paletteEntrySize = 4;

  // From the start of the header: where the palette and the pixels begin.
  std::uint64_t PaletteOffset() const { return std::uint64_t{headerSize} + maskBytes; }
  std::uint64_t PixelOffset() const { return PaletteOffset() + std::uint64_t{paletteEntries} * paletteEntrySize; }
};

// Flaw::BitmapHeader when the bytes hold no header this reader knows.
Read<DibInfo> ReadDibInfo(std::span<const std::uint8_t> dib);

// Decodes the image whose header starts `dib`; the pixels lie at
// `pixelOffset` from there. `icon`: the height counts the image and its
// AND mask, which follows the pixels. Flaw::BitmapHeader or
// Flaw::BitmapData when the header or the pixels do not fit the data.
Damage DecodeDib(std::span<const std::uint8_t> dib, std::uint64_t pixelOffset, bool icon, TPicture& out);

bool IsPng(std::span<const std::uint8_t> data);
