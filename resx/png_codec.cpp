#include "resx/png_codec.h"

#include <png.h>

#include <bit>
#include <cstring>
#include <vector>

namespace {

// One pixel 0xAARRGGBB is the bytes B, G, R, A on this little-endian host.
static_assert(std::endian::native == std::endian::little);

struct ImageGuard {
  png_image image;
  ImageGuard() {
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
  }
  ~ImageGuard() { png_image_free(&image); }
};

}  // namespace

Read<std::string> EncodePng(const TPicture& picture, PngCompression compression) {
  if (picture.width <= 0 || picture.height <= 0 ||
      picture.pixels.size() != static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height))
    return Damage{Flaw::IconImage};
  ImageGuard png;
  png.image.width = static_cast<png_uint_32>(picture.width);
  png.image.height = static_cast<png_uint_32>(picture.height);
  png.image.format = PNG_FORMAT_BGRA;
  if (compression == PngCompression::Fast) png.image.flags = PNG_IMAGE_FLAG_FAST;
  // written once, into room for the largest PNG of the image: asking the
  // size first would compress it twice
  png_alloc_size_t size = PNG_IMAGE_PNG_SIZE_MAX(png.image);
  std::string out(size, '\0');
  if (!png_image_write_to_memory(&png.image, out.data(), &size, 0, picture.pixels.data(), 0, nullptr))
    return Damage{Flaw::PngWrite};
  out.resize(size);
  return out;
}

Damage DecodePng(std::span<const std::uint8_t> png, TPicture& out) {
  ImageGuard reader;
  if (!png_image_begin_read_from_memory(&reader.image, png.data(), png.size())) return {Flaw::IconImage};
  std::uint64_t pixels = std::uint64_t{reader.image.width} * reader.image.height;
  if (pixels == 0 || pixels > kMaxPngPixels) return {Flaw::IconImage};
  reader.image.format = PNG_FORMAT_BGRA;
  std::vector<std::uint32_t> decoded(pixels);
  if (!png_image_finish_read(&reader.image, nullptr, decoded.data(), 0, nullptr)) return {Flaw::IconImage};
  out.Clear();
  out.width = static_cast<int>(reader.image.width);
  out.height = static_cast<int>(reader.image.height);
  out.pixels = std::move(decoded);
  return {};
}
