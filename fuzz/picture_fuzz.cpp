// Any bytes as a picture file: the JPEG decoder and the BMP check either
// refuse them with their message or give a picture that encodes again.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "framework/exception.h"
#include "tweaks/picture_conversion.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    RgbImage image = DecodeJpeg(bytes, 1u << 22);
    if (image.rgb.size() != static_cast<std::size_t>(image.width) * image.height * 3) std::abort();
    ValidatedBmp(EncodeBmp24(image));
  } catch (const Exception&) {
  }
  try {
    std::string copy = ValidatedBmp(bytes);
    if (copy.size() != bytes.size()) std::abort();
  } catch (const Exception&) {
  }
  return 0;
}
