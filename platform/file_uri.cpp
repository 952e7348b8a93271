#include "platform/file_uri.h"

namespace platform {

std::string FileUri(std::string_view absolutePath) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri = "file://";
  uri.reserve(uri.size() + absolutePath.size() * 3);
  for (char c : absolutePath) {
    auto byte = static_cast<unsigned char>(c);
    bool kept = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
                c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
    if (kept) {
      uri += c;
    } else {
      uri += '%';
      uri += kHex[byte >> 4];
      uri += kHex[byte & 0xF];
    }
  }
  return uri;
}

}  // namespace platform
