// The pictures the desktop tweaks write: JPEG or BMP by the path's
// extension, JPEG decoded with libjpeg (full size, 24-bit, the most accurate
// decoding), written as a standard 24-bit Windows BMP; BMP files checked and
// copied as they are. Files appear whole or not at all.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The text after the first full stop of the whole path (at most 255
// characters); the whole path when it has none. "Range check error" when
// that full stop is the 255th character or later.
std::string PictureExtension(std::string_view path);
// A JPEG exactly when the extension is "jpg", case included.
bool IsJpegPath(std::string_view path);

// The whole 24-bit BMP file of a JPEG: a 14-byte file header, a 40-byte
// information header, rows bottom to top padded to 4 bytes; the pixels as
// djpeg -bmp gives them, CMYK and YCCK pictures included.
// "JPEG error #%d" with libjpeg's message code for what it cannot decode,
// and with its "image too big" code for a picture of more than `maxPixels`
// (a few hundred bytes may claim a picture of gigabytes).
constexpr std::uint64_t kMaxPicturePixels = 256ULL << 20;
constexpr std::uint32_t kBmpHeaderSize = 54;
std::string JpegToBmp(std::string_view bytes, std::uint64_t maxPixels = kMaxPicturePixels);
// Checks a BMP file and returns it with its file header made right;
// "Bitmap image is not valid" for anything else.
std::string ValidatedBmp(std::string_view bytes);

// The steps as the handlers take them, with the handlers' messages:
// "Cannot open file %s", "JPEG error #%d", "Bitmap image is not valid",
// "Cannot create file %s".
std::string ReadPictureFile(const std::string& path);
void ConvertJpegToBmp(const std::string& jpegPath, const std::string& bmpPath);
void CopyBmp(const std::string& sourcePath, const std::string& bmpPath);
