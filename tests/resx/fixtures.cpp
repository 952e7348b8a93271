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
          for (int k = 0; k < 3; ++k)
            line[static_cast<std::size_t>(bits / 8 * x + k)] = static_cast<char>((v >> (8 * k)) & 0xFF);
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
        for (int k = 0; k < 3; ++k)
          line[static_cast<std::size_t>(4 * x + k)] = static_cast<char>((v >> (8 * k)) & 0xFF);
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

namespace {

void Pad4(std::string& s) { s.resize((s.size() + 3) / 4 * 4, '\0'); }

// A version block: u16 length, value length, type; the key; the value; the
// children, each aligned to four bytes.
std::string VersionBlock(const std::u16string& key, const std::string& value, bool text,
                         const std::vector<std::string>& children) {
  std::string b(6, '\0');
  b += Utf16(key) + std::string(2, '\0');
  Pad4(b);
  b += value;
  for (const std::string& child : children) {
    Pad4(b);
    b += child;
  }
  b[0] = static_cast<char>(b.size() & 0xFF), b[1] = static_cast<char>(b.size() >> 8);
  std::size_t valueLength = text ? value.size() / 2 : value.size();
  b[2] = static_cast<char>(valueLength & 0xFF), b[3] = static_cast<char>(valueLength >> 8);
  b[4] = text ? 1 : 0;
  return b;
}

}  // namespace

std::string VersionInfo(const std::vector<VersionTable>& tables, const std::vector<std::uint32_t>& translations) {
  std::string fixed;
  for (std::uint32_t v :
       {0xFEEF04BDu, 0x10000u, 0x00010002u, 0x00030004u, 0x00010002u, 0u, 0x3Fu, 0x3u, 0x40004u, 1u, 0u, 0u, 0u})
    Put32(fixed, v);
  std::vector<std::string> tableBlocks;
  for (const VersionTable& t : tables) {
    std::vector<std::string> strings;
    for (const auto& [key, value] : t.strings)
      strings.push_back(VersionBlock(key, Utf16(value) + std::string(2, '\0'), true, {}));
    tableBlocks.push_back(VersionBlock(t.block, "", true, strings));
  }
  std::string pairs;
  for (std::uint32_t t : translations) Put32(pairs, t);
  return VersionBlock(u"VS_VERSION_INFO", fixed, false,
                      {VersionBlock(u"StringFileInfo", "", true, tableBlocks),
                       VersionBlock(u"VarFileInfo", "", true, {VersionBlock(u"Translation", pairs, false, {})})});
}

namespace {

// A name or ordinal of a dialog template.
std::string NameOrOrdinal(const std::u16string& text, int ordinal) {
  std::string s;
  if (ordinal >= 0) {
    Put16(s, 0xFFFF), Put16(s, static_cast<std::uint32_t>(ordinal));
    return s;
  }
  return Utf16(text) + std::string(2, '\0');
}

}  // namespace

std::string DialogTemplate(bool extended) {
  struct Control {
    int atom;
    std::u16string className, text;
    int textOrdinal, id;
    std::uint32_t style;
  };
  const std::vector<Control> controls = {{0x80, u"", u"OK", -1, 1, 0x50010001},
                                         {0x81, u"", u"", -1, 100, 0x50810080},
                                         {0x82, u"", u"", 101, -1, 0x50000003},
                                         {0x83, u"", u"", -1, 101, 0x50A10001},
                                         {0x84, u"", u"", -1, 102, 0x50000001},
                                         {0x85, u"", u"", -1, 103, 0x50210003},
                                         {-1, u"SysListView32", u"Seznam", -1, 104, 0x50010001}};
  std::string d;
  std::uint32_t style = 0x80C800C8;
  if (extended) {
    Put16(d, 1), Put16(d, 0xFFFF), Put32(d, 0), Put32(d, 0), Put32(d, style);
  } else {
    Put32(d, style), Put32(d, 0);
  }
  Put16(d, static_cast<std::uint32_t>(controls.size()));
  Put16(d, 10), Put16(d, 20), Put16(d, 200), Put16(d, 100);
  d += NameOrOrdinal(u"", -1) + NameOrOrdinal(u"", -1) + Utf16(u"O programu") + std::string(2, '\0');
  Put16(d, 8);
  if (extended) Put16(d, 400), Put16(d, 0x0100);  // weight, not italic, character set 1
  d += Utf16(u"MS Sans Serif") + std::string(2, '\0');
  for (const Control& c : controls) {
    Pad4(d);
    std::uint32_t id = c.id < 0 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(c.id);
    if (extended) {
      Put32(d, 0), Put32(d, c.atom == 0x81 ? 0x200 : 0), Put32(d, c.style);
    } else {
      Put32(d, c.style), Put32(d, c.atom == 0x81 ? 0x200 : 0);
    }
    Put16(d, 7), Put16(d, static_cast<std::uint32_t>(10 + 10 * c.id)), Put16(d, 50), Put16(d, 14);
    if (extended)
      Put32(d, id);
    else
      Put16(d, id & 0xFFFF);
    d += NameOrOrdinal(c.className, c.atom) + NameOrOrdinal(c.text, c.textOrdinal);
    Put16(d, 0);  // no creation data
  }
  return d;
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
