#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include "resx/dib.h"
#include "resx/icon_choice.h"
#include "resx/picture_scale.h"
#include "resx/png_codec.h"
#include "tests/resx/fixtures.h"

namespace {

using platform::AsBytes;

TPicture Picture(int width, int height, std::vector<std::uint32_t> pixels) {
  TPicture p;
  p.width = width;
  p.height = height;
  p.pixels = std::move(pixels);
  return p;
}

std::string QtPng(int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32);
  image.fill(qRgba(10, 20, 30, 200));
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes.toStdString();
}

TEST(PngCodec, PixelsAndAlphaSurviveTheRoundTrip) {
  TPicture in = Picture(3, 2, {0x00000000, 0x80FF0000, 0xFF00FF00, 0x400000FF, 0xFFFFFFFF, 0x12345678});
  for (PngCompression compression : {PngCompression::Tight, PngCompression::Fast}) {
    std::string png = EncodePng(in, compression).Value();
    EXPECT_TRUE(IsPng(AsBytes(png)));
    TPicture out;
    EXPECT_FALSE(DecodePng(AsBytes(png), out).Found());
    EXPECT_EQ(out.width, 3);
    EXPECT_EQ(out.height, 2);
    EXPECT_EQ(out.pixels, in.pixels);
    // another reader sees the same
    QImage qt = QImage::fromData(reinterpret_cast<const uchar*>(png.data()), static_cast<int>(png.size()));
    EXPECT_EQ(qt.convertToFormat(QImage::Format_ARGB32).pixel(1, 0), 0x80FF0000u);
  }
  // a picture of many pixels, compressed either way, holds them all: the
  // room written into is the largest PNG of the picture
  TPicture noise;
  noise.width = noise.height = 256;
  std::uint32_t seed = 1;
  for (int i = 0; i < 256 * 256; ++i) noise.pixels.push_back(seed = seed * 1664525u + 1013904223u);
  for (PngCompression compression : {PngCompression::Tight, PngCompression::Fast}) {
    TPicture out;
    EXPECT_FALSE(DecodePng(AsBytes(*EncodePng(noise, compression)), out).Found());
    EXPECT_EQ(out.pixels, noise.pixels);
  }
}

TEST(PngCodec, DamagedAndHugeImagesAreRefused) {
  TPicture out;
  std::string png = QtPng(4, 4);
  for (std::string bad :
       {png.substr(0, 40), png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n garbage"), std::string()}) {
    EXPECT_EQ(DecodePng(AsBytes(bad), out).flaw, Flaw::IconImage);
  }
  std::string corrupt = png;
  corrupt[corrupt.find("IDAT") + 6] ^= 0x55;  // the pixels' data no longer match their checksum
  EXPECT_EQ(DecodePng(AsBytes(corrupt), out).flaw, Flaw::IconImage);
  EXPECT_EQ(DecodePng(AsBytes(QtPng(1025, 1024)), out).flaw, Flaw::IconImage);  // more than kMaxPngPixels
  EXPECT_EQ(EncodePng(Picture(2, 2, {1, 2, 3})).damage.flaw, Flaw::IconImage);  // pixels that do not fill it
}

TEST(PictureScale, ShrinkingAveragesAndTransparencyLendsNoColour) {
  // 4 x 2: left square red and a transparent pixel, right square blue and green
  TPicture in = Picture(4, 2,
                        {0xFFFF0000, 0x00FFFFFF, 0xFF0000FF, 0xFF00FF00,  //
                         0xFFFF0000, 0xFFFF0000, 0xFF0000FF, 0xFF00FF00});
  TPicture out = ScaleToFit(in, 2);
  ASSERT_EQ(out.width, 2);
  ASSERT_EQ(out.height, 1);
  EXPECT_EQ(out.pixels[0], 0xBFFF0000u);  // three quarters red; the white is transparent
  EXPECT_EQ(out.pixels[1], 0xFF008080u);  // half blue, half green
}

// Source pixels split between two target pixels lend each the part it
// covers, and an average halfway between two values rounds up.
TEST(PictureScale, PartlyCoveredPixelsCountByTheirPartAndHalvesRoundUp) {
  TPicture in = Picture(3, 1, {0xFF000000, 0xFF030000, 0xFF060000});
  TPicture out = ScaleToFit(in, 2);
  ASSERT_EQ(out.width, 2);
  ASSERT_EQ(out.height, 1);
  EXPECT_EQ(out.pixels[0], 0xFF010000u);  // (0 + 3 / 2) / 1.5
  EXPECT_EQ(out.pixels[1], 0xFF050000u);  // (3 / 2 + 6) / 1.5
  TPicture halves = ScaleToFit(Picture(2, 1, {0xFF00FE00, 0xFF01FF01}), 1);
  EXPECT_EQ(halves.pixels, std::vector<std::uint32_t>{0xFF01FF01u});  // 0.5 -> 1, 254.5 -> 255
}

TEST(PictureScale, EnlargingKeepsPixelsCrispAndProportionsKept) {
  TPicture in = Picture(2, 1, {0xFF112233, 0x80445566});
  TPicture out = ScaleToFit(in, 6);
  ASSERT_EQ(out.width, 6);
  ASSERT_EQ(out.height, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 6; ++x)
      EXPECT_EQ(out.pixels[static_cast<std::size_t>(y * 6 + x)], x < 3 ? 0xFF112233u : 0x80445566u);
  TPicture same = ScaleToFit(in, 2);
  EXPECT_EQ(same.pixels, in.pixels);
  // a third: each pixel the mean of the three it covers
  TPicture row = Picture(6, 3, std::vector<std::uint32_t>(18, 0xFF306090));
  row.pixels[0] = 0xFF000000;
  TPicture small = ScaleToFit(row, 2);
  ASSERT_EQ(small.width, 2);
  EXPECT_EQ(small.pixels[0], 0xFF2B5580u);  // (8 x 0x30 + 0) / 9 = 0x2B, ...
  EXPECT_EQ(small.pixels[1], 0xFF306090u);
}

struct Group {
  explicit Group(const std::vector<std::pair<std::string, GroupImage>>& images) {
    std::vector<ResNode> entries;
    std::vector<GroupImage> group;
    for (const auto& [data, entry] : images) {
      entries.push_back(Named(entry.id, data));
      group.push_back(entry);
    }
    file = BuildPe({Dir(3u, entries), Dir(14u, {Named(1u, IconGroup(group))})});
    image.emplace("icons.dll", AsBytes(file.bytes));
  }
  TResourceList& Images() {
    return *image->Resources().Value()->Items()[0]->SubList().Value()->Items()[0]->SubList().Value();
  }
  PeFile file;
  std::optional<TExeImage> image;
};

std::optional<IconImageInfo> Info(TIconResEntry* image) {
  if (image == nullptr) return std::nullopt;
  Read<IconImageInfo> info = DescribeIconImage(*image);
  return info ? std::optional(*info) : std::nullopt;
}

TEST(IconChoice, ImagesAreDescribedByTheirOwnHeaders) {
  // the group entries lie; the images' headers tell
  Group g({{IconImage(16, 16, 4), {99, 99, 0, 1, 1, 0}}, {QtPng(64, 48), {0, 0, 0, 0, 2, 0}}});
  auto images = g.Images().Items();
  Read<IconImageInfo> dib = DescribeIconImage(static_cast<TIconResEntry&>(*images[0]));
  ASSERT_TRUE(dib);
  EXPECT_EQ(dib->width, 16);
  EXPECT_EQ(dib->height, 16);
  EXPECT_EQ(dib->bits, 4);
  EXPECT_EQ(dib->colors, 16u);
  EXPECT_FALSE(dib->png);
  Read<IconImageInfo> png = DescribeIconImage(static_cast<TIconResEntry&>(*images[1]));
  ASSERT_TRUE(png);
  EXPECT_EQ(png->width, 64);
  EXPECT_EQ(png->height, 48);
  EXPECT_EQ(png->bits, 32);
  EXPECT_TRUE(png->png);
}

TEST(IconChoice, TheSmallestLargeEnoughElseTheLargestAndTheDeepest) {
  Group g({{IconImage(16, 16, 4), {16, 16, 16, 4, 1, 0}},
           {IconImage(32, 32, 4), {32, 32, 16, 4, 2, 0}},
           {IconImage(32, 32, 32), {32, 32, 0, 32, 3, 0}},
           {IconImage(48, 48, 32), {48, 48, 0, 32, 4, 0}},
           {QtPng(256, 256), {0, 0, 0, 32, 5, 0}},
           {"damaged", {8, 8, 0, 4, 6, 0}}});
  auto side = [&](int size, int maxSide = 1024) {
    std::optional<IconImageInfo> i = Info(ChooseIconImage(g.Images(), size, maxSide));
    return i ? std::to_string(i->width) + "/" + std::to_string(i->bits) : std::string("none");
  };
  EXPECT_EQ(side(32), "32/32");  // the deeper of two
  EXPECT_EQ(side(20), "32/32");  // large enough beats closer but too small
  EXPECT_EQ(side(40), "48/32");
  EXPECT_EQ(side(300), "256/32");
  EXPECT_EQ(side(0), "256/32");
  EXPECT_EQ(side(300, 100), "48/32");
  EXPECT_EQ(side(8), "16/4");
  EXPECT_EQ(side(8, 10), "none");
}

TEST(IconChoice, AnImageWhosePixelsAreDamagedGivesWayToTheNextBest) {
  Group g({{IconImage(48, 48, 32).substr(0, 100), {48, 48, 0, 32, 1, 0}},  // its header reads, its pixels do not
           {IconImage(16, 16, 4), {16, 16, 16, 4, 2, 0}}});
  EXPECT_EQ(Info(ChooseIconImage(g.Images(), 48, 1024))->width, 48);
  TPicture picture;
  TIconResEntry* read = ReadableIconPixels(g.Images(), 48, 1024, picture);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(picture.width, 16);
  Group broken({{IconImage(48, 48, 32).substr(0, 100), {48, 48, 0, 32, 1, 0}}});
  EXPECT_EQ(ReadableIconPixels(broken.Images(), 48, 1024, picture), nullptr);
}

TEST(IconChoice, EachDamagedImageIsTriedOnce) {
  // thousands of images whose headers read and whose pixels do not, then a
  // good one: a thumbnail of such a file is made, each damaged image
  // described and tried once instead of once for every image tried before
  std::vector<std::pair<std::string, GroupImage>> images;
  const std::string damaged = IconImage(48, 48, 32).substr(0, 100);
  for (std::uint16_t id = 1; id <= 10000; ++id) images.push_back({damaged, {48, 48, 0, 32, id, 0}});
  images.push_back({IconImage(16, 16, 4), {16, 16, 16, 4, 10001, 0}});
  Group g(images);
  TPicture picture;
  TIconResEntry* read = ReadableIconPixels(g.Images(), 48, 1024, picture);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(picture.width, 16);
  EXPECT_EQ(read, g.Images().Items().back());
}

TEST(IconChoice, PixelsOfAPngImageAreDecoded) {
  Group g({{QtPng(20, 10), {20, 10, 0, 32, 1, 0}}, {IconImage(16, 16, 4), {16, 16, 16, 4, 2, 0}}});
  TPicture picture;
  EXPECT_FALSE(IconPixels(static_cast<TIconResEntry&>(*g.Images().Items()[0]), picture).Found());
  ASSERT_EQ(picture.width, 20);
  ASSERT_EQ(picture.pixels.size(), 200u);
  EXPECT_EQ(picture.pixels[0], 0xC80A141Eu);
  EXPECT_FALSE(IconPixels(static_cast<TIconResEntry&>(*g.Images().Items()[1]), picture).Found());
  EXPECT_EQ(picture.width, 16);
  EXPECT_EQ(picture.pixels.size(), 256u);
}

}  // namespace
