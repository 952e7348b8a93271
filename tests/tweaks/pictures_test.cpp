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

TEST(JpegToBmp, AStandardBmpWithLibjpegsPixels) {
  std::string jpeg = EncodeTestJpeg(37, 21);  // odd width: padded rows
  RgbImage image = DecodeJpeg(jpeg);
  ASSERT_EQ(image.width, 37);
  ASSERT_EQ(image.height, 21);
  std::string bmp = EncodeBmp24(image);
  std::size_t stride = (37 * 3 + 3) & ~3u;
  ASSERT_EQ(bmp.size(), 54 + stride * 21);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  EXPECT_EQ(static_cast<unsigned char>(bmp[14]), 40);
  EXPECT_EQ(static_cast<unsigned char>(bmp[28]), 24);
  // the bottom row comes first, blue first
  const std::uint8_t* top = image.rgb.data();
  std::size_t lastRow = 54 + stride * 20;
  EXPECT_EQ(static_cast<unsigned char>(bmp[lastRow]), top[2]);
  EXPECT_EQ(static_cast<unsigned char>(bmp[lastRow + 2]), top[0]);
  EXPECT_EQ(ValidatedBmp(bmp), bmp);

  TempRoot root;
  std::string jpegPath = (root.dir() / "a.jpg").string();
  root.Write(jpegPath, jpeg);
  // libjpeg's own command-line decoder, where it is installed, writes the same pixels
  std::string reference = (root.dir() / "djpeg.bmp").string();
  if (platform::RunAndWait({"djpeg", "-bmp", "-dct", "int", "-outfile", reference, jpegPath}) != 0)
    GTEST_SKIP() << "djpeg is not installed";
  std::string theirs = root.Read(reference);
  ASSERT_EQ(theirs.size(), bmp.size());
  EXPECT_EQ(theirs.substr(54), bmp.substr(54));
}

TEST(JpegToBmp, BrokenInputIsAnErrorWithLibjpegsCode) {
  std::string jpeg = EncodeTestJpeg(16, 16);
  EXPECT_EQ(ErrorOf([] { DecodeJpeg("not a jpeg at all"); }).rfind("JPEG error #", 0), 0u);
  EXPECT_EQ(ErrorOf([&] { DecodeJpeg(jpeg.substr(0, 200)); }).rfind("JPEG error #", 0), 0u);
  EXPECT_EQ(ErrorOf([] { DecodeJpeg(""); }).rfind("JPEG error #", 0), 0u);
}

TEST(JpegToBmp, APictureClaimingGigabytesIsRefusedAtOnce) {
  std::string jpeg = EncodeTestJpeg(16, 16);
  std::size_t sof = jpeg.find("\xFF\xC0");
  ASSERT_NE(sof, std::string::npos);
  for (std::size_t at : {sof + 5, sof + 7}) {  // height, then width: 60000
    jpeg[at] = static_cast<char>(0xEA);
    jpeg[at + 1] = static_cast<char>(0x60);
  }
  EXPECT_EQ(ErrorOf([&] { DecodeJpeg(jpeg); }), "JPEG error #" + std::to_string(JERR_IMAGE_TOO_BIG));
}

TEST(BmpCopy, OnlyRealBitmapsPass) {
  std::string bmp = EncodeBmp24(DecodeJpeg(EncodeTestJpeg(8, 8)));
  EXPECT_EQ(ErrorOf([] { ValidatedBmp("BM"); }), "Bitmap image is not valid");
  EXPECT_EQ(ErrorOf([&] { ValidatedBmp(EncodeTestJpeg(8, 8)); }), "Bitmap image is not valid");
  EXPECT_EQ(ErrorOf([&] { ValidatedBmp(bmp.substr(0, bmp.size() - 10)); }), "Bitmap image is not valid");
  std::string wrongSize = bmp;
  wrongSize[2] = 1;  // a wrong size in the file header is made right
  EXPECT_EQ(ValidatedBmp(wrongSize), bmp);
}

}  // namespace
