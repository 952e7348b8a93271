#include "skin/skin_look.h"

#include "platform/atomic_file.h"
#include "platform/host_path.h"
#include "platform/profile.h"
#include "platform/text_util.h"

std::optional<std::uint32_t> ParseSkinColor(std::string_view text) {
  text = platform::Trim(text);
  if (text.size() != 7 || text[0] != '#') return std::nullopt;
  std::uint32_t value = 0;
  for (char c : text.substr(1)) {
    int digit = c >= '0' && c <= '9'   ? c - '0'
                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                       : -1;
    if (digit < 0) return std::nullopt;
    value = value << 4 | static_cast<std::uint32_t>(digit);
  }
  return value;
}

bool SkinLook::Names() const {
  for (const SkinColors* group : {&colors, &disabled})
    for (const auto& color : *group)
      if (color) return true;
  return false;
}

SkinLook ParseSkinOptions(std::string_view bytes) {
  SkinLook look;
  platform::ProfileDocument doc = platform::ProfileDocument::Parse(bytes);
  for (std::size_t i = 0; i < kSkinPartKeys.size(); ++i) {
    if (std::optional<std::string> value = doc.Get("Colors", kSkinPartKeys[i])) look.colors[i] = ParseSkinColor(*value);
    if (std::optional<std::string> value = doc.Get("Disabled", kSkinPartKeys[i]))
      look.disabled[i] = ParseSkinColor(*value);
  }
  return look;
}

SkinLook ReadSkinLook(const std::string& folder) {
  std::optional<std::string> bytes = platform::ReadWholeFile(platform::ResolveHostPath(folder + "/Options.dat"));
  return bytes ? ParseSkinOptions(*bytes) : SkinLook{};
}
