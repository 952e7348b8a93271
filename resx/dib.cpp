#include "resx/dib.h"

#include <bit>

#include "platform/little_endian.h"
#include "resx/ExeImage.h"

namespace {

constexpr std::uint32_t BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3, BI_ALPHABITFIELDS = 6;
// No resource image comes near this; it keeps a few bytes of RLE data from
// asking for gigabytes.
constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 25;

constexpr auto U16 = platform::Get16;
constexpr auto U32 = platform::Get32;

constexpr Damage kInvalid{Flaw::BitmapData};

// A channel of a bit-field pixel scaled to 8 bits.
std::uint32_t Channel(std::uint32_t pixel, std::uint32_t mask) {
  if (mask == 0) return 0;
  int shift = std::countr_zero(mask);
  std::uint32_t value = (pixel & mask) >> shift;
  int bits = std::popcount(mask >> shift);
  if (bits >= 8) return value >> (bits - 8);
  std::uint32_t top = (1u << bits) - 1;
  return (value * 255 + top / 2) / top;
}

struct Decoder {
  std::span<const std::uint8_t> dib;
  const DibInfo& info;
  std::uint32_t width;
  std::uint32_t height;
  bool topDown;
  std::vector<std::uint32_t> palette;

  void ReadPalette() {
    std::uint64_t at = info.PaletteOffset();
    for (std::uint32_t i = 0; i < info.paletteEntries && i < 256; ++i, at += info.paletteEntrySize) {
      if (at + 3 > dib.size()) break;  // a short palette: the rest is black
      palette.push_back(0xFF000000u | std::uint32_t{dib[at + 2]} << 16 | std::uint32_t{dib[at + 1]} << 8 | dib[at]);
    }
  }
  std::uint32_t Color(std::uint32_t index) const { return index < palette.size() ? palette[index] : 0xFF000000u; }
  std::uint32_t& At(std::vector<std::uint32_t>& px, std::uint32_t x, std::uint32_t row) const {
    std::uint32_t y = topDown ? row : height - 1 - row;
    return px[std::size_t{y} * width + x];
  }
  static std::uint64_t Stride(std::uint64_t w, std::uint32_t bits) { return (w * bits + 31) / 32 * 4; }

  // Uncompressed rows must all lie in the data, checked before the pixels
  // are made: a few bytes may claim 32 million of them.
  bool RowsFit(std::uint64_t at) const {
    std::uint32_t bits = info.bitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
    return at <= dib.size() && Stride(width, bits) * height <= dib.size() - at;
  }

  void Rows(std::uint64_t at, std::vector<std::uint32_t>& px, bool& anyAlpha) const {
    std::uint32_t bits = info.bitCount;
    std::uint64_t stride = Stride(width, bits);
    bool fields = info.compression == BI_BITFIELDS || info.compression == BI_ALPHABITFIELDS || info.headerSize > 40;
    std::uint32_t masks[4] = {info.masks[0], info.masks[1], info.masks[2], info.masks[3]};
    if (!fields || (masks[0] | masks[1] | masks[2]) == 0) {
      if (bits == 16) masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F, masks[3] = 0;
      if (bits == 32) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF, masks[3] = 0xFF000000u;
    }
    for (std::uint32_t row = 0; row < height; ++row) {
      const std::uint8_t* line = dib.data() + at + row * stride;
      for (std::uint32_t x = 0; x < width; ++x) {
        std::uint32_t& out = At(px, x, row);
        switch (bits) {
          case 1: out = Color((line[x / 8] >> (7 - x % 8)) & 1); break;
          case 4: out = Color((line[x / 2] >> (x % 2 ? 0 : 4)) & 0xF); break;
          case 8: out = Color(line[x]); break;
          case 24:
            out =
                0xFF000000u | std::uint32_t{line[3 * x + 2]} << 16 | std::uint32_t{line[3 * x + 1]} << 8 | line[3 * x];
            break;
          case 16:
          case 32: {
            std::uint32_t v = bits == 16 ? U16({line, 2 * std::size_t{width}}, 2 * std::size_t{x})
                                         : U32({line, 4 * std::size_t{width}}, 4 * std::size_t{x});
            std::uint32_t a = masks[3] ? Channel(v, masks[3]) : 0xFF;
            if (masks[3] && a) anyAlpha = true;
            out = a << 24 | Channel(v, masks[0]) << 16 | Channel(v, masks[1]) << 8 | Channel(v, masks[2]);
            break;
          }
          default: break;  // RowsFit took only the depths above
        }
      }
    }
  }

  // False when a run of literal pixels runs past the data.
  bool Rle(std::uint64_t at, std::vector<std::uint32_t>& px) const {
    bool four = info.compression == BI_RLE4;
    std::uint32_t x = 0, row = 0;
    auto put = [&](std::uint32_t index) {
      if (x < width && row < height) At(px, x, row) = Color(index);
      ++x;
    };
    while (at + 1 < dib.size() && row < height) {
      std::uint8_t count = dib[at], value = dib[at + 1];
      at += 2;
      if (count > 0) {
        for (std::uint32_t i = 0; i < count; ++i) put(four ? (i % 2 ? value & 0xF : value >> 4) : value);
      } else if (value == 0) {
        x = 0, ++row;
      } else if (value == 1) {
        break;
      } else if (value == 2) {
        if (at + 1 >= dib.size()) break;
        x += dib[at], row += dib[at + 1];
        at += 2;
      } else {
        std::uint64_t bytes = four ? (value + 1) / 2 : value;
        if (at + bytes > dib.size()) return false;
        for (std::uint32_t i = 0; i < value; ++i)
          put(four ? (i % 2 ? dib[at + i / 2] & 0xF : dib[at + i / 2] >> 4) : dib[at + i]);
        at += (bytes + 1) / 2 * 2;
      }
    }
    return true;
  }

  // The AND mask: a set bit is a transparent pixel. A mask cut off by the
  // end of the data leaves the rest opaque.
  void Mask(std::uint64_t at, std::vector<std::uint32_t>& px) const {
    std::uint64_t stride = Stride(width, 1);
    for (std::uint32_t row = 0; row < height; ++row, at += stride) {
      if (at > dib.size() || stride > dib.size() - at) return;
      for (std::uint32_t x = 0; x < width; ++x)
        if ((dib[at + x / 8] >> (7 - x % 8)) & 1) At(px, x, row) &= 0x00FFFFFFu;
    }
  }
};

}  // namespace

bool IsPng(std::span<const std::uint8_t> data) {
  static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  return data.size() >= 8 && std::equal(kSignature, kSignature + 8, data.begin());
}

Read<DibInfo> ReadDibInfo(std::span<const std::uint8_t> dib) {
  DibInfo info;
  if (dib.size() < 12) return Damage{Flaw::BitmapHeader};
  info.headerSize = U32(dib, 0);
  if (info.headerSize == 12) {
    info.core = true;
    info.width = U16(dib, 4);
    info.height = U16(dib, 6);
    info.planes = U16(dib, 8);
    info.bitCount = U16(dib, 10);
    info.paletteEntrySize = 3;
    info.paletteEntries = ColorsForBitCount(info.bitCount);
    return info;
  }
  if (info.headerSize < 16 || info.headerSize > dib.size()) return Damage{Flaw::BitmapHeader};
  info.width = static_cast<std::int32_t>(U32(dib, 4));
  info.height = static_cast<std::int32_t>(U32(dib, 8));
  info.planes = U16(dib, 12);
  info.bitCount = U16(dib, 14);
  if (info.headerSize >= 20) info.compression = U32(dib, 16);
  if (info.headerSize >= 36) info.colorsUsed = U32(dib, 32);
  if (info.headerSize >= 52) {
    for (int i = 0; i < 3; ++i) info.masks[i] = U32(dib, 40 + 4 * std::size_t(i));
    if (info.headerSize >= 56) info.masks[3] = U32(dib, 52);
  } else if (info.headerSize == 40 && (info.compression == BI_BITFIELDS || info.compression == BI_ALPHABITFIELDS)) {
    // the masks follow the header
    info.maskBytes = info.compression == BI_BITFIELDS ? 12 : 16;
    for (std::uint32_t i = 0; i < info.maskBytes / 4; ++i)
      if (40 + 4 * i + 4 <= dib.size()) info.masks[i] = U32(dib, 40 + 4 * std::size_t(i));
  }
  info.paletteEntries = info.colorsUsed != 0 ? info.colorsUsed : ColorsForBitCount(info.bitCount);
  return info;
}

Damage DecodeDib(std::span<const std::uint8_t> dib, std::uint64_t pixelOffset, bool icon, TPicture& out) {
  Read<DibInfo> read = ReadDibInfo(dib);
  if (!read) return read.damage;
  const DibInfo& info = *read;
  std::int64_t h = info.height < 0 ? -info.height : info.height;
  if (icon) h /= 2;
  if (info.width <= 0 || h <= 0 || static_cast<std::uint64_t>(info.width) * static_cast<std::uint64_t>(h) > kMaxPixels)
    return kInvalid;
  Decoder d{dib,
            info,
            static_cast<std::uint32_t>(info.width),
            static_cast<std::uint32_t>(h),
            info.height < 0 && !icon && !info.core,
            {}};
  bool rle = !info.core && ((info.compression == BI_RLE8 && info.bitCount == 8) ||
                            (info.compression == BI_RLE4 && info.bitCount == 4));
  if (!rle) {
    if (!info.core && info.compression != BI_RGB && info.compression != BI_BITFIELDS &&
        info.compression != BI_ALPHABITFIELDS)
      return kInvalid;  // JPEG or PNG inside a DIB, or an unknown compression
    if (!d.RowsFit(pixelOffset)) return kInvalid;
  }
  if (info.bitCount <= 8) d.ReadPalette();
  std::vector<std::uint32_t> px(std::size_t{d.width} * d.height, 0);
  bool anyAlpha = false;
  if (rle) {
    if (!d.Rle(pixelOffset, px)) return kInvalid;
  } else {
    d.Rows(pixelOffset, px, anyAlpha);
  }
  bool hasAlphaChannel = info.bitCount == 32 || (info.bitCount == 16 && info.masks[3] != 0);
  if (hasAlphaChannel && !anyAlpha)  // an alpha channel that is all zero means "no alpha"
    for (std::uint32_t& p : px) p |= 0xFF000000u;
  if (icon && !anyAlpha) d.Mask(pixelOffset + Decoder::Stride(d.width, info.bitCount) * d.height, px);
  out.Clear();
  out.width = static_cast<int>(d.width);
  out.height = static_cast<int>(d.height);
  out.pixels = std::move(px);
  return {};
}
