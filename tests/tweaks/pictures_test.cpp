#include <gtest/gtest.h>

#include "framework/exception.h"
#include "platform/spawn.h"
#include "tests/support/jpeg_writer.h"
#include <jerror.h>
#include "tests/support/temp_root.h"
#include "tweaks/picture_conversion.h"

namespace {

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const Exception& e) {
    return e.what();
  }
  return "no error";
}

TEST(PictureExtension, TheFirstFullStopOfTheWholePath) {
  EXPECT_EQ(PictureExtension("C:\\Obrazky\\more.jpg"), "jpg");
  EXPECT_TRUE(IsJpegPath("C:\\Obrazky\\more.jpg"));
  EXPECT_EQ(PictureExtension("C:\\Fotky.2005\\a.jpg"), "2005\\a.jpg");
  EXPECT_FALSE(IsJpegPath("C:\\Fotky.2005\\a.jpg"));
  EXPECT_FALSE(IsJpegPath("a.JPG"));
  EXPECT_FALSE(IsJpegPath("a.jpeg"));
  EXPECT_EQ(PictureExtension("bez tecky"), "bez tecky");
  EXPECT_EQ(PictureExtension(std::string(300, 'x')).size(), 255u);
  EXPECT_EQ(PictureExtension("a." + std::string(300, 'y')).size(), 255u);
  // the 254th character is the last place a full stop may stand
  EXPECT_EQ(PictureExtension(std::string(253, 'x') + ".jpg"), "jpg");
  EXPECT_EQ(ErrorOf([] { PictureExtension(std::string(254, 'x') + ".jpg"); }), "Range check error");
}

// djpeg, libjpeg's own command-line decoder, on the same JPEG.
std::string DjpegBmp(const TempRoot& root, const std::string& jpeg) {
  std::string jpegPath = (root.dir() / "a.jpg").string(), reference = (root.dir() / "djpeg.bmp").string();
  root.Write(jpegPath, jpeg);
  if (platform::RunAndWait({"djpeg", "-bmp", "-dct", "int", "-outfile", reference, jpegPath}) != 0) return {};
  return root.Read(reference);
}

TEST(JpegToBmp, AStandardBmpWithLibjpegsPixels) {
  std::string jpeg = EncodeTestJpeg(37, 21);  // odd width: padded rows
  std::string bmp = JpegToBmp(jpeg);
  std::size_t stride = (37 * 3 + 3) & ~3u;
  ASSERT_EQ(bmp.size(), 54 + stride * 21);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  EXPECT_EQ(static_cast<unsigned char>(bmp[14]), 40);
  EXPECT_EQ(static_cast<unsigned char>(bmp[18]), 37);
  EXPECT_EQ(static_cast<unsigned char>(bmp[22]), 21);
  EXPECT_EQ(static_cast<unsigned char>(bmp[28]), 24);
  // each row's padding is zero
  for (std::size_t row = 0; row < 21; ++row) EXPECT_EQ(bmp.substr(54 + row * stride + 37 * 3, 1), std::string(1, '\0'));
  EXPECT_EQ(ValidatedBmp(bmp), bmp);

  TempRoot root;
  // the bottom row comes first, blue first: as djpeg writes it
  std::string theirs = DjpegBmp(root, jpeg);
  if (theirs.empty()) GTEST_SKIP() << "djpeg is not installed";
  ASSERT_EQ(theirs.size(), bmp.size());
  EXPECT_EQ(theirs.substr(54), bmp.substr(54));
}

// Print shops and Photoshop save CMYK JPEGs (Adobe's inverted inks, stored
// as CMYK or as YCCK): they become the same RGB pixels djpeg gives.
TEST(JpegToBmp, CmykAndYcckPicturesGiveDjpegsPixels) {
  TempRoot root;
  for (J_COLOR_SPACE stored : {JCS_CMYK, JCS_YCCK}) {
    std::string jpeg = EncodeTestJpeg(45, 23, stored);
    std::string bmp;
    ASSERT_NO_THROW(bmp = JpegToBmp(jpeg)) << stored;
    std::string theirs = DjpegBmp(root, jpeg);
    if (theirs.empty()) GTEST_SKIP() << "djpeg is not installed";
    ASSERT_EQ(theirs.size(), bmp.size()) << stored;
    EXPECT_EQ(theirs.substr(54), bmp.substr(54)) << stored;
    EXPECT_EQ(ValidatedBmp(bmp), bmp);
  }
  // as ImageMagick writes one, where it is installed
  std::string source = (root.dir() / "rgb.jpg").string(), converted = (root.dir() / "cmyk.jpg").string();
  root.Write(source, EncodeTestJpeg(30, 20));
  if (platform::RunAndWait({"convert", source, "-colorspace", "CMYK", converted}) != 0) return;
  std::string jpeg = root.Read(converted);
  std::string theirs = DjpegBmp(root, jpeg);
  ASSERT_FALSE(theirs.empty());
  EXPECT_EQ(theirs.substr(54), JpegToBmp(jpeg).substr(54));
}

TEST(JpegToBmp, BrokenInputIsAnErrorWithLibjpegsCode) {
  std::string jpeg = EncodeTestJpeg(16, 16);
  EXPECT_EQ(ErrorOf([] { JpegToBmp("not a jpeg at all"); }).rfind("JPEG error #", 0), 0u);
  EXPECT_EQ(ErrorOf([&] { JpegToBmp(jpeg.substr(0, 200)); }).rfind("JPEG error #", 0), 0u);
  EXPECT_EQ(ErrorOf([] { JpegToBmp(""); }).rfind("JPEG error #", 0), 0u);
}

TEST(JpegToBmp, APictureClaimingGigabytesIsRefusedAtOnce) {
  std::string jpeg = EncodeTestJpeg(16, 16);
  std::size_t sof = jpeg.find("\xFF\xC0");
  ASSERT_NE(sof, std::string::npos);
  for (std::size_t at : {sof + 5, sof + 7}) {  // height, then width: 60000
    jpeg[at] = static_cast<char>(0xEA);
    jpeg[at + 1] = static_cast<char>(0x60);
  }
  EXPECT_EQ(ErrorOf([&] { JpegToBmp(jpeg); }), "JPEG error #" + std::to_string(JERR_IMAGE_TOO_BIG));
}

TEST(BmpCopy, OnlyRealBitmapsPass) {
  std::string bmp = JpegToBmp(EncodeTestJpeg(8, 8));
  EXPECT_EQ(ErrorOf([] { ValidatedBmp("BM"); }), "Bitmap image is not valid");
  EXPECT_EQ(ErrorOf([&] { ValidatedBmp(EncodeTestJpeg(8, 8)); }), "Bitmap image is not valid");
  EXPECT_EQ(ErrorOf([&] { ValidatedBmp(bmp.substr(0, bmp.size() - 10)); }), "Bitmap image is not valid");
  std::string wrongSize = bmp;
  wrongSize[2] = 1;  // a wrong size in the file header is made right
  EXPECT_EQ(ValidatedBmp(wrongSize), bmp);
}

}  // namespace
