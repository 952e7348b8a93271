// The look of a folder skin, read from "Options.dat" in its folder.
//
// Options.dat is a private-profile (INI) text file. Section [Colors] gives
// colours as #RRGGBB for these parts of every window:
//   Window, WindowText            window background and its labels
//   Button, ButtonText            buttons
//   Base, Text                    edit boxes, lists and other input fields
//   Highlight, HighlightedText    the selection
// A missing file, a missing key or a value that is not #RRGGBB leaves that
// part as the built-in skin draws it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum class SkinPart { Window, WindowText, Button, ButtonText, Base, Text, Highlight, HighlightedText, Count };

inline constexpr std::array<const char*, static_cast<std::size_t>(SkinPart::Count)> kSkinPartKeys = {
    "Window", "WindowText", "Button", "ButtonText", "Base", "Text", "Highlight", "HighlightedText"};

struct SkinLook {
  std::array<std::optional<std::uint32_t>, static_cast<std::size_t>(SkinPart::Count)> colors;  // 0xRRGGBB
};

SkinLook ParseSkinOptions(std::string_view bytes);
std::optional<std::uint32_t> ParseSkinColor(std::string_view text);

// The look of the skin folder `folder` (its Options.dat found without
// regard to case).
SkinLook ReadSkinLook(const std::string& folder);
