#include "tests/resx/fixtures.h"

namespace {
std::uint32_t Stride(int width, int bits) { return static_cast<std::uint32_t>((width * bits + 31) / 32 * 4); }
}  // namespace

std::string DibHeader(std::uint32_t headerSize, int width, int height, int bits, std::uint32_t compression,
                      std::uint32_t colorsUsed) {
  std::string h;
  Put32(h, headerSize);
  int entries = colorsUsed ? static_cast<int>(colorsUsed) : bits <= 8 ? 1 << bits : 0;
  if (headerSize == 12) {
    Put16(h, static_cast<std::uint32_t>(width)), Put16(h, static_cast<std::uint32_t>(height));
    Put16(h, 1), Put16(h, static_cast<std::uint32_t>(bits));
  } else {
    Put32(h, static_cast<std::uint32_t>(width)), Put32(h, static_cast<std::uint32_t>(height));
    Put16(h, 1), Put16(h, static_cast<std::uint32_t>(bits));
    Put32(h, compression), Put32(h, 0), Put32(h, 0), Put32(h, 0);
    Put32(h, colorsUsed), Put32(h, 0);
    h.resize(headerSize, '\0');
    if (headerSize >= 52 && bits >= 16) {  // masks inside the header
      bool b16 = bits == 16;
      Poke32(h, 40, b16 ? 0xF800 : 0xFF0000), Poke32(h, 44, b16 ? 0x07E0 : 0xFF00), Poke32(h, 48, b16 ? 0x001F : 0xFF);
    }
    if (headerSize == 40 && compression == 3) {  // bit fields after the header
      bool b16 = bits == 16;
      Put32(h, b16 ? 0xF800 : 0xFF0000), Put32(h, b16 ? 0x07E0 : 0xFF00), Put32(h, b16 ? 0x001F : 0xFF);
    }
  }
  for (int i = 0; i < entries; ++i) {
    h += static_cast<char>(3 * i), h += static_cast<char>(2 * i), h += static_cast<char>(i);  // blue, green, red
    if (headerSize != 12) h += '\0';
  }
  return h;
}

std::uint32_t PatternIndex(int x, int y, int bits) {
  std::uint32_t v = static_cast<std::uint32_t>(x * 7 + y * 3);
  return bits >= 16 ? v * 0x010305u : v % (1u << bits);
}

std::uint32_t PatternColor(int x, int y, int bits) {
  std::uint32_t i = PatternIndex(x, y, bits);
  if (bits <= 8) return 0xFF000000u | (i & 0xFF) << 16 | ((2 * i) & 0xFF) << 8 | ((3 * i) & 0xFF);
  if (bits == 16) {  // 5-6-5 as the fixtures store it
    std::uint32_t r = (i >> 11) & 0x1F, g = (i >> 5) & 0x3F, b = i & 0x1F;
    return 0xFF000000u | ((r * 255 + 15) / 31) << 16 | ((g * 255 + 31) / 63) << 8 | ((b * 255 + 15) / 31);
  }
  return 0xFF000000u | (i & 0xFFFFFF);
}

std::string Bitmap(std::uint32_t headerSize, int width, int height, int bits, std::uint32_t colorsUsed) {
  std::uint32_t compression = bits == 16 && headerSize == 40 ? 3 : 0;
  if (headerSize > 40 && bits >= 16) compression = 3;
  std::string out = DibHeader(headerSize, width, height, bits, compression, colorsUsed);
  for (int row = height - 1; row >= 0; --row) {
    std::string line(Stride(width, bits), '\0');
    for (int x = 0; x < width; ++x) {
      std::uint32_t v = PatternIndex(x, row, bits);
      switch (bits) {
        case 1: line[static_cast<std::size_t>(x / 8)] |= static_cast<char>(v << (7 - x % 8)); break;
        case 4: line[static_cast<std::size_t>(x / 2)] |= static_cast<char>(v << (x % 2 ? 0 : 4)); break;
        case 8: line[static_cast<std::size_t>(x)] = static_cast<char>(v); break;
        case 16: line[2 * x] = static_cast<char>(v & 0xFF), line[2 * x + 1] = static_cast<char>((v >> 8) & 0xFF); break;
        case 24:
        case 32:
          for (int k = 0; k < 3; ++k) line[static_cast<std::size_t>(bits / 8 * x + k)] = static_cast<char>((v >> (8 * k)) & 0xFF);
          break;
      }
    }
    out += line;
  }
  return out;
}

std::string IconImage(int width, int height, int bits, bool alpha) {
  std::string out = DibHeader(40, width, 2 * height, bits);
  for (int row = height - 1; row >= 0; --row) {
    std::string line(Stride(width, bits), '\0');
    for (int x = 0; x < width; ++x) {
      std::uint32_t v = PatternIndex(x, row, bits);
      if (bits == 4) line[static_cast<std::size_t>(x / 2)] |= static_cast<char>(v << (x % 2 ? 0 : 4));
      if (bits == 32) {
        for (int k = 0; k < 3; ++k) line[static_cast<std::size_t>(4 * x + k)] = static_cast<char>((v >> (8 * k)) & 0xFF);
        line[static_cast<std::size_t>(4 * x + 3)] = alpha ? static_cast<char>(x == row ? 0 : 0x80) : '\0';
      }
    }
    out += line;
  }
  for (int row = height - 1; row >= 0; --row) {
    std::string line(Stride(width, 1), '\0');
    if (row < width) line[static_cast<std::size_t>(row / 8)] |= static_cast<char>(0x80 >> (row % 8));
    out += line;
  }
  return out;
}

std::string IconGroup(const std::vector<GroupImage>& images, bool cursor) {
  std::string g;
  Put16(g, 0), Put16(g, cursor ? 2 : 1), Put16(g, static_cast<std::uint32_t>(images.size()));
  for (const GroupImage& i : images) {
    if (cursor) {
      Put16(g, static_cast<std::uint32_t>(i.width)), Put16(g, static_cast<std::uint32_t>(2 * i.height));
    } else {
      g += static_cast<char>(i.width), g += static_cast<char>(i.height), g += static_cast<char>(i.colors), g += '\0';
    }
    Put16(g, 1), Put16(g, static_cast<std::uint32_t>(i.bits)), Put32(g, i.size), Put16(g, i.id);
  }
  return g;
}

std::string StringBlock(const std::vector<std::u16string>& slots) {
  std::string out;
  for (std::size_t i = 0; i < 16; ++i) {
    std::u16string s = i < slots.size() ? slots[i] : u"";
    Put16(out, static_cast<std::uint32_t>(s.size()));
    out += Utf16(s);
  }
  return out;
}

PeFile ThreeLanguages() {
  auto strings = [](const std::u16string& text) { return StringBlock({text}); };
  return BuildPe({
      Dir(3u, {Dir(1u, {Leaf(0x0409u, IconImage(16, 16, 4)), Leaf(0x0405u, IconImage(32, 32, 4))})}),
      Dir(6u, {Dir(1u, {Leaf(0x0409u, strings(u"Hello")), Leaf(0x0405u, strings(u"Ahoj")),
                        Leaf(0x0407u, strings(u"Hallo"))})}),
      Dir(10u, {Dir(u"NAME", {Leaf(0x0409u, "name-en"), Leaf(0x0405u, "name-cz")}), Dir(7u, {Leaf(0x0405u, "cz")}),
                Dir(8u, {Leaf(0x0407u, "de"), Leaf(0x0409u, "en")})}),
      Dir(14u, {Named(u"MAIN", IconGroup({{16, 16, 16, 4, 1, 0}}))}),
  });
}
