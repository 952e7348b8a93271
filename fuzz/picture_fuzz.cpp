// Any bytes as a picture file: the JPEG decoder and the BMP check either
// refuse them with their message or give a BMP that passes the check as it is.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "framework/exception.h"
#include "tweaks/picture_conversion.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    std::string bmp = JpegToBmp(bytes, 1u << 22);
    if (ValidatedBmp(bmp) != bmp) std::abort();
  } catch (const Exception&) {
  }
  try {
    std::string copy = ValidatedBmp(bytes);
    if (copy.size() != bytes.size()) std::abort();
  } catch (const Exception&) {
  }
  return 0;
}
