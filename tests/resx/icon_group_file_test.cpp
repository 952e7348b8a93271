#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include "resx/icon_group_file.h"
#include "resx/picture.h"
#include "resx/resource_walk.h"
#include "tests/resx/fixtures.h"

namespace {

using platform::AsBytes;

std::uint32_t Le32(const std::string& s, std::size_t at) { return platform::Get32(AsBytes(s), at); }
std::uint16_t Le16(const std::string& s, std::size_t at) { return platform::Get16(AsBytes(s), at); }

std::string Png(int size) {
  QImage image(size, size, QImage::Format_ARGB32);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) image.setPixel(x, y, qRgba(x * 7, y * 5, 90, x == y ? 0 : 255));
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes.toStdString();
}

std::string HotSpot(int x, int y) {
  std::string s;
  Put16(s, static_cast<std::uint32_t>(x)), Put16(s, static_cast<std::uint32_t>(y));
  return s;
}

struct Library {
  explicit Library(const std::vector<ResNode>& types) : file(BuildPe(types)), image("icons.dll", AsBytes(file.bytes)) {}
  // the first group of the type
  TIconResource& Group(std::uint32_t type) {
    for (TResourceItem* t : image.Resources().Value()->Items())
      if (t->Name() == type) return dynamic_cast<TIconResource&>(*t->SubList().Value()->Items()[0]);
    throw std::runtime_error("no such type");
  }
  PeFile file;
  TExeImage image;
};

QImage Read(QImageReader& reader, int index) {
  reader.jumpToImage(index);
  return reader.read().convertToFormat(QImage::Format_ARGB32);
}

// What the explorer window shows for an image, as an ARGB image.
QImage Shown(TResourceItem& item) {
  TPicture picture;
  item.AssignTo(picture).Check();
  if (!picture.png.empty())
    return QImage::fromData(picture.png.data(), static_cast<int>(picture.png.size()))
        .convertToFormat(QImage::Format_ARGB32);
  QImage image(picture.width, picture.height, QImage::Format_ARGB32);
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x)
      image.setPixel(x, y, picture.pixels[static_cast<std::size_t>(y * picture.width + x)]);
  return image;
}

void ExpectSamePixels(const QImage& a, const QImage& b) {
  ASSERT_EQ(a.size(), b.size());
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      if (qAlpha(p) == 0 && qAlpha(q) == 0) continue;
      ASSERT_EQ(qAlpha(p), qAlpha(q)) << x << "," << y;
      // a reader that premultiplies may be one off in a translucent channel
      int slack = qAlpha(p) == 255 ? 0 : 2;
      ASSERT_LE(std::abs(qRed(p) - qRed(q)), slack) << x << "," << y;
      ASSERT_LE(std::abs(qGreen(p) - qGreen(q)), slack) << x << "," << y;
      ASSERT_LE(std::abs(qBlue(p) - qBlue(q)), slack) << x << "," << y;
    }
}

TEST(GroupIconFile, HoldsEveryImageOfTheGroupInItsOrderAsStored) {
  std::string small = IconImage(16, 16, 4), png = Png(64), large = IconImage(48, 48, 32, true);
  Library lib(
      {Dir(3u, {Named(1u, small), Named(2u, png), Named(3u, large)}),
       Dir(14u,
           {Named(7u,
                  IconGroup(
                      {{48, 48, 0, 32, 3, 0}, {16, 16, 16, 4, 1, 0}, {0, 0, 0, 32, 2, 0}, {32, 32, 0, 8, 9, 0}}))})});
  std::vector<std::uint16_t> missing;
  std::string file = GroupIconFile(lib.Group(14), missing).Value();
  EXPECT_EQ(missing, std::vector<std::uint16_t>{9});

  ASSERT_GE(file.size(), 6u + 3 * 16);
  EXPECT_EQ(Le16(file, 0), 0);
  EXPECT_EQ(Le16(file, 2), 1);
  ASSERT_EQ(Le16(file, 4), 3);
  struct Expected {
    int width, height, colors, bits;
    const std::string& bytes;
  };
  const Expected expected[] = {{48, 48, 0, 32, large}, {16, 16, 16, 4, small}, {0, 0, 0, 32, png}};
  std::uint32_t offset = 6 + 3 * 16;
  for (int i = 0; i < 3; ++i) {
    std::size_t e = 6 + 16 * static_cast<std::size_t>(i);
    EXPECT_EQ(static_cast<unsigned char>(file[e]), expected[i].width) << i;
    EXPECT_EQ(static_cast<unsigned char>(file[e + 1]), expected[i].height) << i;
    EXPECT_EQ(static_cast<unsigned char>(file[e + 2]), expected[i].colors) << i;
    EXPECT_EQ(Le16(file, e + 4), 1) << i;
    EXPECT_EQ(Le16(file, e + 6), expected[i].bits) << i;
    ASSERT_EQ(Le32(file, e + 8), expected[i].bytes.size()) << i;  // the stored size, whatever the group said
    ASSERT_EQ(Le32(file, e + 12), offset) << i;
    EXPECT_EQ(file.substr(offset, expected[i].bytes.size()), expected[i].bytes) << i;
    offset += static_cast<std::uint32_t>(expected[i].bytes.size());
  }
  EXPECT_EQ(file.size(), offset);

  // an icon reader sees the pictures the window shows, PNG images too
  QByteArray bytes(file.data(), static_cast<qsizetype>(file.size()));
  QBuffer buffer(&bytes);
  QImageReader reader(&buffer, "ico");
  ASSERT_EQ(reader.imageCount(), 3);
  std::span<TResourceItem* const> images = lib.image.IconEntries->SubList().Value()->Items();
  ExpectSamePixels(Read(reader, 0), Shown(*images[2]));
  ExpectSamePixels(Read(reader, 1), Shown(*images[0]));
  ExpectSamePixels(Read(reader, 2), Shown(*images[1]));
}

TEST(GroupIconFile, ACursorGroupKeepsEachHotSpot) {
  std::string arrow = IconImage(32, 32, 4), hand = IconImage(16, 16, 32);
  Library lib({Dir(1u, {Named(1u, HotSpot(3, 5) + arrow), Named(2u, HotSpot(0, 15) + hand)}),
               Dir(12u, {Named(1u, IconGroup({{32, 32, 0, 4, 1, 0}, {16, 16, 0, 32, 2, 0}}, true))})});
  std::vector<std::uint16_t> missing;
  std::string file = GroupIconFile(lib.Group(12), missing).Value();
  EXPECT_TRUE(missing.empty());
  ASSERT_EQ(Le16(file, 2), 2);
  ASSERT_EQ(Le16(file, 4), 2);
  // width and height in bytes (the group's height counts the mask), the
  // colours of a 4-bit image, the hot spot where an icon has planes and bits
  EXPECT_EQ(file.substr(6, 4), std::string("\x20\x20\x10\x00", 4));
  EXPECT_EQ(Le16(file, 10), 3);
  EXPECT_EQ(Le16(file, 12), 5);
  EXPECT_EQ(Le32(file, 14), arrow.size());
  EXPECT_EQ(file.substr(22, 4), std::string("\x10\x10\x00\x00", 4));
  EXPECT_EQ(Le16(file, 26), 0);
  EXPECT_EQ(Le16(file, 28), 15);
  EXPECT_EQ(file.substr(Le32(file, 18), arrow.size()), arrow);
  EXPECT_EQ(file.substr(Le32(file, 34)), hand);
}

TEST(GroupIconFile, DamagedGroupsAreRefused) {
  auto error = [](const std::vector<ResNode>& types, std::uint32_t groupType) {
    Library lib(types);
    std::vector<std::uint16_t> missing;
    return GroupIconFile(lib.Group(groupType), missing).damage.Message();
  };
  std::string group = IconGroup({{16, 16, 16, 4, 1, 0}});
  std::string longer = group;
  longer[4] = 2;  // names two entries, holds one
  EXPECT_EQ(error({Dir(3u, {Named(1u, IconImage(16, 16, 4))}), Dir(14u, {Named(1u, longer)})}, 14),
            "Damaged file: an icon group ends early");
  EXPECT_EQ(error({Dir(3u, {Named(1u, IconImage(16, 16, 4))}), Dir(14u, {Named(1u, "\0\0\1")})}, 14),
            "Damaged file: an icon group ends early");
  EXPECT_EQ(error({Dir(3u, {Named(2u, IconImage(16, 16, 4))}), Dir(14u, {Named(1u, group)})}, 14),
            "Damaged file: the group's images are missing");
  EXPECT_EQ(error({Dir(1u, {Named(1u, "\3")}), Dir(12u, {Named(1u, IconGroup({{16, 16, 0, 4, 1, 0}}, true))})}, 12),
            "Damaged file: a cursor image ends before its hot spot");
  // one image of 40 kB named 2,000 times would make an 80 MB file
  std::vector<GroupImage> many(2000, GroupImage{100, 100, 0, 32, 1, 0});
  EXPECT_EQ(error({Dir(3u, {Named(1u, IconImage(100, 100, 32))}), Dir(14u, {Named(1u, IconGroup(many))})}, 14),
            "Damaged file: the group's images are too large for one file");
}

TEST(FirstIconGroup, IsTheFirstIconGroupInResourceOrder) {
  std::string image = IconImage(16, 16, 4);
  std::string group = IconGroup({{16, 16, 16, 4, 1, 0}});
  Library named({Dir(3u, {Named(1u, image)}), Dir(12u, {Named(1u, IconGroup({{16, 16, 0, 4, 1, 0}}, true))}),
                 Dir(14u, {Named(u"MAIN", group), Named(2u, group), Named(5u, group)})});
  TIconResource* first = FirstIconGroup(named.image).Value();
  ASSERT_NE(first, nullptr);
  std::string name, damage;
  EXPECT_TRUE(!first->AppendDisplayName(name).Found());
  EXPECT_EQ(name, "MAIN");
  EXPECT_EQ(first->TypeCode(), rtIcon);

  Library cursorsOnly(
      {Dir(1u, {Named(1u, HotSpot(0, 0) + image)}), Dir(12u, {Named(1u, IconGroup({{16, 16, 0, 4, 1, 0}}, true))})});
  EXPECT_EQ(FirstIconGroup(cursorsOnly.image).Value(), nullptr);
  TExeImage text("text.dll", platform::AsBytes(std::string("not a program")));
  EXPECT_EQ(FirstIconGroup(text).damage.flaw, Flaw::NotMz);
}

// The file holds the images the walk finds below the group, each entry's
// once, in the group's order: an id the group names twice is held twice,
// one it lacks is told as often as it is named.
TEST(GroupIconFile, TheImagesAreThoseTheWalkFindsBelowTheGroup) {
  std::string small = IconImage(16, 16, 4), large = IconImage(48, 48, 32, true);
  Library lib(
      {Dir(3u, {Named(1u, small), Named(2u, large)}), Dir(14u, {Named(7u, IconGroup({{16, 16, 16, 4, 1, 0},
                                                                                     {32, 32, 0, 8, 9, 0},
                                                                                     {48, 48, 0, 32, 2, 0},
                                                                                     {16, 16, 16, 4, 1, 0},
                                                                                     {32, 32, 0, 8, 9, 0}}))})});
  std::vector<std::uint16_t> missing;
  std::string file = GroupIconFile(lib.Group(14), missing).Value();
  EXPECT_EQ(missing, (std::vector<std::uint16_t>{9, 9}));
  ASSERT_EQ(Le16(file, 4), 3);
  std::vector<std::string> held;
  for (std::size_t i = 0; i < 3; ++i)
    held.push_back(file.substr(Le32(file, 6 + 16 * i + 12), Le32(file, 6 + 16 * i + 8)));
  std::vector<std::string> walked;
  std::vector<Damage> errors;
  WalkList(
      *lib.Group(14).SubList().Value(),
      [&](const WalkNode& n) {
        Bytes data = n.item->ResourceData().Value();
        walked.emplace_back(reinterpret_cast<const char*>(data.data()), data.size());
      },
      errors);
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(held, walked);
  EXPECT_EQ(held, (std::vector<std::string>{small, large, small}));
}

// A group rewritten in place (a file over a megabyte is read where it lies)
// after its list was built names fewer entries than the list has images:
// damage, not a read past the entries.
TEST(GroupIconFile, AGroupThatShrankSinceItsListWasBuiltIsDamage) {
  std::string group = IconGroup({{16, 16, 16, 4, 1, 0}, {16, 16, 16, 4, 2, 0}, {16, 16, 16, 4, 3, 0}});
  std::string image = IconImage(16, 16, 4);
  Library lib({Dir(3u, {Named(1u, image), Named(2u, image), Named(3u, image)}),
               Dir(10u, {Named(1u, std::string(std::size_t{3} << 20, 'Z'))}), Dir(14u, {Named(1u, group)})});
  TIconResource& shown = lib.Group(14);
  ASSERT_EQ(shown.SubList().Value()->Items().size(), 3u);  // as the window's tree shows it
  lib.file.bytes[lib.file.bytes.rfind(group) + 4] = 1;
  std::vector<std::uint16_t> missing;
  EXPECT_EQ(GroupIconFile(shown, missing).damage.Message(), "Damaged file: an icon group changed while it was read");
}

// The damage of the images' directory is told once, to whoever reads it
// first: the command line, which reads it for the group, tells it; the
// window's save, after its tree showed it, takes what can be read.
TEST(GroupIconFile, TheImagesDirectorysDamageIsToldOnce) {
  auto damaged = [] {
    PeFile pe = BuildPe(
        {Dir(3u, {Named(1u, IconImage(16, 16, 4))}), Dir(14u, {Named(1u, IconGroup({{16, 16, 16, 4, 1, 0}}))})});
    // the root's entry for the images leads to the groups' directory
    std::uint32_t groups = 0x80000000u | pe.directories[2];
    for (int i = 0; i < 4; ++i) pe.bytes[pe.resourceOffset + 16 + 4 + i] = static_cast<char>(groups >> (8 * i));
    return pe.bytes;
  };
  const std::string listedAlready = "Damaged file: the resource directory at offset";
  std::string first = damaged();
  TExeImage commandLine("icons.dll", AsBytes(first));
  std::vector<std::uint16_t> missing;
  auto group = FirstIconGroup(commandLine);
  ASSERT_TRUE(group && *group != nullptr);
  EXPECT_EQ(GroupIconFile(**group, missing).damage.Message().rfind(listedAlready, 0), 0u);

  std::string second = damaged();
  TExeImage window("icons.dll", AsBytes(second));
  std::vector<Damage> told;
  TIconResource* shown = nullptr;
  Damage none = WalkResources(
      window,
      [&](const WalkNode& n) {
        if (shown == nullptr) shown = dynamic_cast<TIconResource*>(n.item);
      },
      told);
  ASSERT_FALSE(none.Found());
  ASSERT_NE(shown, nullptr);
  ASSERT_FALSE(told.empty());
  EXPECT_EQ(GroupIconFile(*shown, missing).damage.Message(), "Damaged file: the group's images are missing");
}

}  // namespace
