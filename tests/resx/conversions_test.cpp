#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include "resx/ExeImage.h"
#include "resx/dib.h"
#include "resx/picture.h"
#include "tests/resx/fixtures.h"

namespace {

using platform::AsBytes;

// One image of one resource: type / name / language.
struct One {
  explicit One(std::uint32_t type, std::string data, std::uint32_t name = 1)
      : file(BuildPe({Dir(type, {Named(name, std::move(data))})})), image("one.dll", AsBytes(file.bytes)) {}
  TResourceItem& Item() { return *image.Resources().Value()->Items()[0]->SubList().Value()->Items()[0]; }
  // The RT_ICON type is hidden from the root: its images are reached through
  // the image's IconEntries, recorded while the root is enumerated.
  TResourceItem& IconImage() {
    image.Resources().Value()->Items();
    return *image.IconEntries->SubList().Value()->Items()[0];
  }
  PeFile file;
  TExeImage image;
};

std::uint32_t Le32(const std::string& s, std::size_t at) { return platform::Get32(AsBytes(s), at); }
std::uint16_t Le16(const std::string& s, std::size_t at) { return platform::Get16(AsBytes(s), at); }

QImage Decode(const std::string& file, const char* format) {
  QByteArray bytes(file.data(), static_cast<qsizetype>(file.size()));
  QBuffer buffer(&bytes);
  QImageReader reader(&buffer, format);
  return reader.read().convertToFormat(QImage::Format_ARGB32);
}

void ExpectSamePixels(const TPicture& picture, const QImage& image) {
  ASSERT_EQ(image.width(), picture.width);
  ASSERT_EQ(image.height(), picture.height);
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x) {
      std::uint32_t ours = picture.pixels[static_cast<std::size_t>(y * picture.width + x)];
      QRgb theirs = image.pixel(x, y);
      if (qAlpha(theirs) == 0 && (ours >> 24) == 0) continue;  // transparent either way
      ASSERT_EQ(ours >> 24, static_cast<std::uint32_t>(qAlpha(theirs))) << x << "," << y;
      // a reader that premultiplies may be one off in a translucent channel
      int slack = qAlpha(theirs) == 255 ? 0 : 2;
      ASSERT_LE(std::abs(int((ours >> 16) & 0xFF) - qRed(theirs)), slack) << x << "," << y;
      ASSERT_LE(std::abs(int((ours >> 8) & 0xFF) - qGreen(theirs)), slack) << x << "," << y;
      ASSERT_LE(std::abs(int(ours & 0xFF) - qBlue(theirs)), slack) << x << "," << y;
    }
}

TEST(BitmapFileForm, PixelOffsetsForEveryHeader) {
  struct Case {
    std::uint32_t header;
    int bits;
    std::uint32_t used;
    std::uint32_t offset;
  } cases[] = {{40, 24, 0, 54},   {40, 8, 0, 1078},
               {40, 8, 20, 134},  {12, 4, 0, 74},
               {40, 32, 0, 54},   {40, 1, 0, 62},
               {40, 16, 0, 66},  // bit fields after the header
               {124, 32, 0, 138}, {108, 8, 0, 14 + 108 + 1024},
               {56, 16, 0, 70}};
  for (const Case& c : cases) {
    One one(rtBitmap, Bitmap(c.header, 5, 3, c.bits, c.used));
    std::string file;
    one.Item().SaveToStream(file).Check();
    EXPECT_EQ(file.substr(0, 2), "BM");
    EXPECT_EQ(Le32(file, 2), one.Item().Place().Value().size + 14);
    EXPECT_EQ(Le32(file, 10), c.offset) << c.header << "/" << c.bits;
    // the picture shows those pixels, and so does a common reader of the file
    TPicture picture;
    one.Item().AssignTo(picture).Check();
    ASSERT_EQ(picture.width, 5);
    ASSERT_EQ(picture.height, 3);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x)
        ASSERT_EQ(picture.pixels[static_cast<std::size_t>(y * 5 + x)], c.used && PatternIndex(x, y, c.bits) >= c.used
                                                                           ? 0xFF000000u  // beyond the palette: black
                                                                           : PatternColor(x, y, c.bits))
            << c.header << "/" << c.bits << " at " << x << "," << y;
    // (Qt rounds 5- and 6-bit channels down, the platform to nearest)
    if ((c.header == 40 || c.header == 12) && c.used == 0 && c.bits != 16)
      ExpectSamePixels(picture, Decode(file, "bmp"));
  }
}

TEST(BitmapPicture, RunLengthEncoded) {
  // 8-bit RLE, 4 x 2: a run of 3 of index 5 and one absolute pixel, then row 2
  std::string rle = DibHeader(40, 4, 2, 8, 1);
  rle += std::string("\x03\x05\x00\x03\x01\x02\x03\x00\x00\x00\x04\x07\x00\x01", 14);
  One one(rtBitmap, rle);
  TPicture picture;
  one.Item().AssignTo(picture).Check();
  ASSERT_EQ(picture.pixels.size(), 8u);
  auto color = [](std::uint32_t i) { return 0xFF000000u | i << 16 | (2 * i) << 8 | (3 * i); };
  EXPECT_EQ(picture.pixels[4], color(5));  // bottom row first
  EXPECT_EQ(picture.pixels[7], color(1));
  EXPECT_EQ(picture.pixels[0], color(7));
}

// A picture whose header claims far more rows than its data holds is
// refused before its pixels are made: a few bytes may claim 32 million
// pixels. A child process with little address space to spare tells a
// refusal from an allocation that merely succeeded.
TEST(BitmapPicture, ShortDataIsRefusedBeforeItsPixelsAreMade) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer reserves more address space than the limit allows";
#else
  struct Case {
    const char* name;
    std::uint32_t type;
    std::string data;
  } cases[] = {{"bitmap", rtBitmap, DibHeader(40, 5792, 5792, 24) + std::string(64, '\x7F')},
               {"icon image", rtIconEntry, DibHeader(40, 5792, 2 * 5792, 32) + std::string(64, '\x7F')},
               {"unknown depth", rtBitmap, DibHeader(40, 5792, 5792, 2) + std::string(64, '\x7F')}};
  for (Case& c : cases) {
    One one(c.type, c.data);
    TResourceItem& item = c.type == rtIconEntry ? one.IconImage() : one.Item();
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      long pages = 0;
      std::FILE* statm = std::fopen("/proc/self/statm", "r");
      if (statm == nullptr || std::fscanf(statm, "%ld", &pages) != 1) _exit(3);
      rlimit limit{};
      limit.rlim_cur = limit.rlim_max =
          static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (48u << 20);
      setrlimit(RLIMIT_AS, &limit);
      TPicture picture;
      try {
        // (an icon image that does not decode shows nothing)
        if (item.AssignTo(picture).Found()) _exit(0);
      } catch (const std::bad_alloc&) {
        _exit(1);
      }
      _exit(picture.pixels.empty() ? 0 : 2);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << c.name
                                      << ": 1 = the pixels were made first, 2 = pixels of bytes that are not there";
  }
#endif
}

TEST(IconImages, PicturesAndFilesAsStored) {
  struct Case {
    int size, bits;
    bool alpha;
  } cases[] = {{32, 4, false}, {16, 32, true}, {48, 32, false}};
  for (const Case& c : cases) {
    std::string data = IconImage(c.size, c.size, c.bits, c.alpha);
    One one(rtIconEntry, data);
    TResourceItem& item = one.IconImage();
    TPicture picture;
    item.AssignTo(picture).Check();
    ASSERT_EQ(picture.width, c.size);
    EXPECT_EQ(picture.pixels[0] >> 24, 0u);  // x == y is transparent (mask or alpha)
    EXPECT_EQ(picture.pixels[1] >> 24, c.alpha ? 0x80u : 0xFFu);
    std::string file;
    item.SaveToStream(file).Check();
    EXPECT_EQ(Le16(file, 2), 1);
    EXPECT_EQ(Le16(file, 4), 1);
    EXPECT_EQ(static_cast<std::uint8_t>(file[6]), c.size);
    EXPECT_EQ(static_cast<std::uint8_t>(file[7]), c.size);
    EXPECT_EQ(static_cast<std::uint8_t>(file[8]), c.bits == 4 ? 16 : 0);
    EXPECT_EQ(Le16(file, 10), 1);
    EXPECT_EQ(Le16(file, 12), c.bits);
    EXPECT_EQ(Le32(file, 14), data.size());
    EXPECT_EQ(Le32(file, 18), 22u);
    EXPECT_EQ(file.substr(22), data);  // the image as stored, not re-encoded
    // (Qt's reader takes a 32-bit image without alpha as transparent, where
    // the platform uses its mask)
    if (c.bits == 4 || c.alpha) ExpectSamePixels(picture, Decode(file, "ico"));
  }
}

TEST(IconImages, PngImagesAndCursors) {
  QImage source(20, 10, QImage::Format_ARGB32);
  source.fill(qRgba(10, 20, 30, 128));
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  source.save(&buffer, "PNG");
  std::string pngData(png.constData(), static_cast<std::size_t>(png.size()));
  One icon(rtIconEntry, pngData);
  TResourceItem& image = icon.IconImage();
  TPicture picture;
  image.AssignTo(picture).Check();
  EXPECT_EQ(picture.png.size(), pngData.size());
  EXPECT_EQ(picture.width, 20);
  // saved as "Ikony (*.ICO)": an icon file that holds the PNG as it is
  std::string saved;
  image.SaveToStream(saved).Check();
  EXPECT_EQ(Le16(saved, 2), 1);  // an icon file
  EXPECT_EQ(Le16(saved, 4), 1);  // of one image
  EXPECT_EQ(saved[6], 20);
  EXPECT_EQ(saved[7], 10);
  EXPECT_EQ(saved.substr(22), pngData);
  QImage read = QImage::fromData(QByteArray::fromStdString(saved), "ICO");
  EXPECT_EQ(read.size(), QSize(20, 10));

  std::string hotSpot;
  Put16(hotSpot, 5), Put16(hotSpot, 9);
  std::string cursorImage = IconImage(32, 32, 4);
  PeFile file = BuildPe(
      {Dir(1u, {Named(7u, hotSpot + cursorImage)}), Dir(12u, {Named(1u, IconGroup({{32, 32, 0, 1, 7, 0}}, true))})});
  TExeImage cursors("c.dll", AsBytes(file.bytes));
  TResourceItem& group = *cursors.Resources().Value()->Items()[0]->SubList().Value()->Items()[0];
  TResourceItem& cursor = *group.SubList().Value()->Items()[0];
  std::string name;
  EXPECT_FALSE(group.SubList().Value()->AppendItemName(0, name).Found());
  EXPECT_EQ(name, "32 X 32 1 Bit(s)");
  cursor.AssignTo(picture).Check();
  EXPECT_EQ(picture.width, 32);
  std::string cur;
  cursor.SaveToStream(cur).Check();
  EXPECT_EQ(Le16(cur, 2), 2);   // a cursor file
  EXPECT_EQ(Le16(cur, 10), 5);  // with its hot spot
  EXPECT_EQ(Le16(cur, 12), 9);
  EXPECT_EQ(cur.substr(22), cursorImage);

  One broken(rtIconEntry, "not an image at all");
  TResourceItem& bad = broken.IconImage();
  bad.AssignTo(picture).Check();
  EXPECT_TRUE(picture.Empty());
  EXPECT_EQ(bad.SaveToStream(saved).Message(), "Icon image is not valid");
}

// A picture that cannot be made is a damage of its own, for the window or
// the command line to show: the conversions never throw.
TEST(BitmapPicture, AHeaderNoReaderKnowsIsDamage) {
  for (const std::string& data : {std::string("tiny"), DibHeader(40, 4, 4, 24).substr(0, 20),
                                  std::string("\xC8\0\0\0", 4) + std::string(60, '\0')}) {  // 200 bytes of header
    One one(rtBitmap, data);
    std::string file = "kept";
    Damage saved = one.Item().SaveToStream(file);
    EXPECT_EQ(saved.flaw, Flaw::BitmapHeader) << data.size();
    EXPECT_EQ(saved.Message(), "Bitmap header is not valid");
    EXPECT_EQ(file, "kept");  // nothing of a file that is none
    TPicture picture;
    EXPECT_EQ(one.Item().AssignTo(picture).flaw, Flaw::BitmapHeader);
  }
  // a header that reads, over pixels that are not there
  One cut(rtBitmap, DibHeader(40, 64, 64, 24) + std::string(16, '\x7F'));
  TPicture picture;
  EXPECT_EQ(cut.Item().AssignTo(picture).Message(), "Bitmap data is not valid");
}

TEST(StringTables, OneLinePerStringWithItsId) {
  std::vector<std::u16string> table(16);
  table[0] = u"Soubor";
  table[3] = u"Řekl \"ahoj\"\ndvakrát";
  One first(rtString, StringBlock(table), 1);
  TStrings lines;
  first.Item().AssignTo(lines).Check();
  EXPECT_EQ(lines, (TStrings{"0,  \"Soubor\"", "3,  \"Řekl \"ahoj\"\ndvakrát\""}));
  std::vector<std::u16string> all(16, u"s");
  One second(rtString, StringBlock(all), 2);
  second.Item().AssignTo(lines).Check();
  ASSERT_EQ(lines.size(), 16u);
  EXPECT_EQ(lines.front(), "16,  \"s\"");
  EXPECT_EQ(lines.back(), "31,  \"s\"");
  One cut(rtString, StringBlock(table).substr(0, 20), 1);
  EXPECT_TRUE(cut.Item().AssignTo(lines).Found());
  TPicture picture;
  EXPECT_EQ(first.Item().AssignTo(picture).Message(), "Cannot assign a TStringResource to a TPicture");
}

std::string MenuItem(std::uint16_t flags, std::uint16_t id, const std::u16string& text) {
  std::string out;
  Put16(out, flags);
  if (!(flags & 0x10)) Put16(out, id);
  return out + Utf16(text) + std::string(2, '\0');
}

TEST(Menus, ClassicTemplatesNestAsWritten) {
  std::string menu(4, '\0');
  menu += MenuItem(0x10, 0, u"&Soubor");
  menu += MenuItem(0, 1, u"&Otevřít\tCtrl+O");
  menu += MenuItem(0, 0, u"");
  menu += MenuItem(0x80, 2, u"&Konec");
  menu += MenuItem(0x90, 0, u"&Nápověda");  // the last popup of the bar
  menu += MenuItem(0x10, 0, u"Více");
  menu += MenuItem(0x80, 3, u"O programu");
  menu += MenuItem(0x80, 4, u"Obsah");
  One one(rtMenu, menu);
  TStrings lines;
  one.Item().AssignTo(lines).Check();
  EXPECT_EQ(lines, (TStrings{"POPUP \"&Soubor\"", "  MENUITEM \"&Otevřít\tCtrl+O\",  1", "  MENUITEM SEPARATOR",
                             "  MENUITEM \"&Konec\",  2", "ENDPOPUP", "POPUP \"&Nápověda\"", "  POPUP \"Více\"",
                             "    MENUITEM \"O programu\",  3", "  ENDPOPUP", "  MENUITEM \"Obsah\",  4", "ENDPOPUP"}));
  One cut(rtMenu, menu.substr(0, menu.size() - 4));
  EXPECT_TRUE(cut.Item().AssignTo(lines).Found());
}

std::string MenuExItem(std::uint32_t type, std::uint32_t id, std::uint16_t flags, const std::u16string& text) {
  std::string out;
  Put32(out, type), Put32(out, 0), Put32(out, id), Put16(out, flags);
  out += Utf16(text) + std::string(2, '\0');
  while (out.size() % 4) out += '\0';
  if (flags & 0x01) Put32(out, 0);  // the popup's help id
  return out;
}

TEST(Menus, ExtendedTemplates) {
  std::string menu;
  Put16(menu, 1), Put16(menu, 4), Put32(menu, 0);
  menu += MenuExItem(0, 0, 0x01, u"&Úpravy");
  menu += MenuExItem(0, 100, 0, u"Kopírovat");
  menu += MenuExItem(0x800, 0, 0, u"");
  menu += MenuExItem(0, 70000, 0x80, u"Vložit");
  menu += MenuExItem(0, 0, 0x81, u"Okno");
  menu += MenuExItem(0, 5, 0x80, u"Zavřít");
  One one(rtMenu, menu);
  TStrings lines;
  one.Item().AssignTo(lines).Check();
  EXPECT_EQ(lines, (TStrings{"POPUP \"&Úpravy\"", "  MENUITEM \"Kopírovat\",  100", "  MENUITEM SEPARATOR",
                             "  MENUITEM \"Vložit\",  70000", "ENDPOPUP", "POPUP \"Okno\"", "  MENUITEM \"Zavřít\",  5",
                             "ENDPOPUP"}));
}

TEST(RawForm, GenericTypesSaveTheirBytes) {
  One one(rtRCData, std::string("\0\x01\x02"
                                "data",
                                7));
  std::string out = "prefix";
  one.Item().SaveToStream(out).Check();
  EXPECT_EQ(out, std::string("prefix\0\x01\x02"
                             "data",
                             13));
  TStrings lines;
  EXPECT_EQ(one.Item().AssignTo(lines).Message(), "Cannot assign a TResourceItem to a TStrings");
  EXPECT_EQ(ColorsForBitCount(1), 2u);
  EXPECT_EQ(ColorsForBitCount(8), 256u);
  EXPECT_EQ(ColorsForBitCount(24), 0u);
}

}  // namespace
