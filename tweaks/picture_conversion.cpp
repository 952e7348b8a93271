#include "tweaks/picture_conversion.h"

#include "platform/little_endian.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "framework/exception.h"
#include "platform/atomic_file.h"

std::string PictureExtension(std::string_view path) {
  std::size_t dot = path.find('.');
  if (dot == std::string_view::npos) return std::string(path.substr(0, 255));
  if (dot + 1 >= 255) throw Exception("Range check error");
  return std::string(path.substr(dot + 1, 255));
}

bool IsJpegPath(std::string_view path) { return PictureExtension(path) == "jpg"; }

namespace {

struct JpegFailure {
  jpeg_error_mgr manager;
  std::jmp_buf back;
  int code = 0;
};

void OnJpegError(j_common_ptr info) {
  auto* failure = reinterpret_cast<JpegFailure*>(info->err);
  failure->code = info->err->msg_code;
  std::longjmp(failure->back, 1);
}

using platform::Put16;
using platform::Put32;
std::uint32_t Get16(std::string_view b, std::size_t at) { return platform::Get16(platform::AsBytes(b), at); }
std::uint32_t Get32(std::string_view b, std::size_t at) { return platform::Get32(platform::AsBytes(b), at); }

}  // namespace

namespace {

// The BMP's headers: a 14-byte file header and a 40-byte information
// header for bottom-up rows of `stride` bytes.
std::string BmpHeaders(std::uint32_t width, std::uint32_t height, std::size_t stride) {
  std::size_t pixels = stride * height;
  std::string out;
  out += "BM";
  Put32(out, static_cast<std::uint32_t>(kBmpHeaderSize + pixels));
  Put32(out, 0);
  Put32(out, kBmpHeaderSize);
  Put32(out, 40);
  Put32(out, width);
  Put32(out, height);
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, 0);  // BI_RGB
  Put32(out, static_cast<std::uint32_t>(pixels));
  Put32(out, 2835);  // 72 dpi
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  return out;
}

// libjpeg gives CMYK (and YCCK, which it turns into CMYK) as Adobe writes
// it, inverted: 255 is no ink. djpeg's BMP writer turns it into RGB so,
// each channel times K, rounded: (c * k / 255.0 + 0.5) in whole numbers.
void CmykToBgr(const std::uint8_t* cmyk, std::uint8_t* bgr, std::size_t width) {
  for (std::size_t x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
    unsigned k = cmyk[3];
    bgr[0] = static_cast<std::uint8_t>((2 * cmyk[2] * k + 255) / 510);
    bgr[1] = static_cast<std::uint8_t>((2 * cmyk[1] * k + 255) / 510);
    bgr[2] = static_cast<std::uint8_t>((2 * cmyk[0] * k + 255) / 510);
  }
}

}  // namespace

std::string JpegToBmp(std::string_view bytes, std::uint64_t maxPixels) {
  jpeg_decompress_struct info{};
  JpegFailure failure;
  info.err = jpeg_std_error(&failure.manager);
  failure.manager.error_exit = OnJpegError;
  failure.manager.output_message = [](j_common_ptr) {};
  // Nothing local may change between setjmp and a jump back: the file and
  // the CMYK row live behind pointers set before it, and libjpeg's own
  // memory goes with jpeg_destroy_decompress.
  auto bmp = std::make_unique<std::string>();
  auto cmykRow = std::make_unique<std::vector<std::uint8_t>>();
  if (setjmp(failure.back) != 0) {
    jpeg_destroy_decompress(&info);
    throw Exception("JPEG error #" + std::to_string(failure.code));
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  // the BMP's own order, blue first, straight from the colour conversion
  info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
  info.dct_method = JDCT_ISLOW;
  info.do_fancy_upsampling = TRUE;
  info.scale_num = info.scale_denom = 1;
  jpeg_calc_output_dimensions(&info);
  if (static_cast<std::uint64_t>(info.output_width) * info.output_height > maxPixels) {
    jpeg_destroy_decompress(&info);
    throw Exception("JPEG error #" + std::to_string(JERR_IMAGE_TOO_BIG));
  }
  jpeg_start_decompress(&info);
  std::size_t width = info.output_width, height = info.output_height;
  std::size_t stride = (width * 3 + 3) & ~std::size_t{3};
  *bmp = BmpHeaders(info.output_width, info.output_height, stride);
  bmp->resize(kBmpHeaderSize + stride * height);  // the padding stays zero
  auto* pixels = reinterpret_cast<std::uint8_t*>(bmp->data() + kBmpHeaderSize);
  if (cmyk) cmykRow->resize(width * 4);
  // rows are decoded into their place in the file, the bottom one first
  while (info.output_scanline < info.output_height) {
    std::uint8_t* row = pixels + stride * (height - 1 - info.output_scanline);
    JSAMPROW target = cmyk ? cmykRow->data() : row;
    jpeg_read_scanlines(&info, &target, 1);
    if (cmyk) CmykToBgr(cmykRow->data(), row, width);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return std::move(*bmp);
}

std::string ValidatedBmp(std::string_view b) {
  Exception invalid("Bitmap image is not valid");
  if (b.size() < 26 || b.substr(0, 2) != "BM") throw invalid;
  std::uint32_t header = Get32(b, 14);
  std::uint64_t width = 0, height = 0, bits = 0, compression = 0, colours = 0;
  if (header == 12) {
    width = Get16(b, 18);
    height = Get16(b, 20);
    bits = Get16(b, 24);
  } else if (header == 40 || header == 52 || header == 56 || header == 64 || header == 108 || header == 124) {
    if (b.size() < 14 + std::size_t{header}) throw invalid;
    width = Get32(b, 18);
    std::int32_t h = static_cast<std::int32_t>(Get32(b, 22));
    height = static_cast<std::uint64_t>(h < 0 ? -static_cast<std::int64_t>(h) : h);
    bits = Get16(b, 28);
    compression = Get32(b, 30);
    colours = Get32(b, 46);
    if (static_cast<std::int32_t>(width) <= 0) throw invalid;
  } else {
    throw invalid;
  }
  if (width == 0 || height == 0 || width > 65535 || height > 65535) throw invalid;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) throw invalid;
  if (compression > 3 && compression != 6) throw invalid;
  std::uint64_t entry = header == 12 ? 3 : 4;
  std::uint64_t palette = bits <= 8 ? (colours != 0 ? colours : (1ULL << bits)) * entry : colours * entry;
  std::uint64_t masks = (header == 40 && compression == 3) ? 12 : 0;
  std::uint64_t offset = 14 + header + masks + palette;
  std::uint64_t stride = ((width * bits + 31) / 32) * 4;
  bool rle = compression == 1 || compression == 2;
  if (offset > b.size() || (!rle && offset + stride * height > b.size())) throw invalid;
  // the file header as it should be: size, reserved zero, pixel offset kept
  std::string out(b);
  std::uint32_t stated = Get32(b, 10);
  std::string fixed;
  Put32(fixed, static_cast<std::uint32_t>(b.size()));
  Put32(fixed, 0);
  Put32(fixed, stated >= 14 + header && stated < b.size() ? stated : static_cast<std::uint32_t>(offset));
  out.replace(2, 12, fixed);
  return out;
}

std::string ReadPictureFile(const std::string& path) {
  auto bytes = platform::ReadWholeFile(path);
  if (!bytes) throw Exception("Cannot open file " + path);
  return *bytes;
}

namespace {
void WritePicture(const std::string& path, const std::string& bytes) {
  if (!platform::WriteFileAtomically(path, bytes, 0644)) throw Exception("Cannot create file " + path);
}
}  // namespace

void ConvertJpegToBmp(const std::string& jpegPath, const std::string& bmpPath) {
  WritePicture(bmpPath, JpegToBmp(ReadPictureFile(jpegPath)));
}

void CopyBmp(const std::string& sourcePath, const std::string& bmpPath) {
  WritePicture(bmpPath, ValidatedBmp(ReadPictureFile(sourcePath)));
}
