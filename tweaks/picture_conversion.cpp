#include "tweaks/picture_conversion.h"

#include "platform/little_endian.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

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

RgbImage DecodeJpeg(std::string_view bytes, std::uint64_t maxPixels) {
  jpeg_decompress_struct info{};
  JpegFailure failure;
  info.err = jpeg_std_error(&failure.manager);
  failure.manager.error_exit = OnJpegError;
  failure.manager.output_message = [](j_common_ptr) {};
  // Nothing local may change between setjmp and a jump back: the pixels
  // live behind a pointer set before it, and libjpeg's own memory goes with
  // jpeg_destroy_decompress.
  auto pixels = std::make_unique<std::vector<std::uint8_t>>();
  if (setjmp(failure.back) != 0) {
    jpeg_destroy_decompress(&info);
    throw Exception("JPEG error #" + std::to_string(failure.code));
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  info.dct_method = JDCT_ISLOW;
  info.do_fancy_upsampling = TRUE;
  info.scale_num = info.scale_denom = 1;
  jpeg_calc_output_dimensions(&info);
  if (static_cast<std::uint64_t>(info.output_width) * info.output_height > maxPixels) {
    jpeg_destroy_decompress(&info);
    throw Exception("JPEG error #" + std::to_string(JERR_IMAGE_TOO_BIG));
  }
  jpeg_start_decompress(&info);
  std::size_t stride = static_cast<std::size_t>(info.output_width) * 3;
  pixels->resize(stride * info.output_height);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = pixels->data() + stride * info.output_scanline;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  RgbImage image;
  image.width = static_cast<int>(info.output_width);
  image.height = static_cast<int>(info.output_height);
  image.rgb = std::move(*pixels);
  jpeg_destroy_decompress(&info);
  return image;
}

std::string EncodeBmp24(const RgbImage& image) {
  std::size_t width = static_cast<std::size_t>(image.width);
  std::size_t stride = (width * 3 + 3) & ~std::size_t{3};
  std::size_t pixels = stride * static_cast<std::size_t>(image.height);
  std::string out;
  out.reserve(54 + pixels);
  out += "BM";
  Put32(out, static_cast<std::uint32_t>(54 + pixels));
  Put32(out, 0);
  Put32(out, 54);
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(image.width));
  Put32(out, static_cast<std::uint32_t>(image.height));
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, 0);  // BI_RGB
  Put32(out, static_cast<std::uint32_t>(pixels));
  Put32(out, 2835);  // 72 dpi
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  std::size_t row0 = out.size();
  out.resize(row0 + pixels, '\0');
  char* dest = out.data() + row0;
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* src = image.rgb.data() + static_cast<std::size_t>(image.height - 1 - y) * width * 3;
    char* row = dest + static_cast<std::size_t>(y) * stride;
    for (std::size_t x = 0; x < width; ++x) {
      row[x * 3] = static_cast<char>(src[x * 3 + 2]);
      row[x * 3 + 1] = static_cast<char>(src[x * 3 + 1]);
      row[x * 3 + 2] = static_cast<char>(src[x * 3]);
    }
  }
  return out;
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
  WritePicture(bmpPath, EncodeBmp24(DecodeJpeg(ReadPictureFile(jpegPath))));
}

void CopyBmp(const std::string& sourcePath, const std::string& bmpPath) {
  WritePicture(bmpPath, ValidatedBmp(ReadPictureFile(sourcePath)));
}
