// The look of a folder skin, read from "Options.dat" in its folder.
//
// Options.dat is a private-profile (INI) text file. Section [Colors] gives
// colours as #RRGGBB for the parts of every window:
//   Window, WindowText            window background and its labels
//   Button, ButtonText            buttons
//   Base, Text                    edit boxes, lists and other input fields
//   Highlight, HighlightedText    the selection
//   Light, Midlight, Mid, Dark,   the shades of frames and bevels; Mid also
//   Shadow                        outlines check boxes and edit boxes
//   Link, LinkVisited             link labels
//   AlternateBase, ToolTipBase, ToolTipText, PlaceholderText, BrightText
// Section [Disabled] gives the same parts for disabled controls (the page
// button of the page on view among them). A missing file, a missing key or
// a value that is not #RRGGBB leaves that part to be derived from the
// skin's other colours (see skin_palette.h).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::array<const char*, 20> kSkinPartKeys = {"Window",
                                                              "WindowText",
                                                              "Button",
                                                              "ButtonText",
                                                              "Base",
                                                              "Text",
                                                              "Highlight",
                                                              "HighlightedText",
                                                              "Light",
                                                              "Midlight",
                                                              "Mid",
                                                              "Dark",
                                                              "Shadow",
                                                              "Link",
                                                              "LinkVisited",
                                                              "AlternateBase",
                                                              "ToolTipBase",
                                                              "ToolTipText",
                                                              "PlaceholderText",
                                                              "BrightText"};

using SkinColors = std::array<std::optional<std::uint32_t>, kSkinPartKeys.size()>;  // 0xRRGGBB

struct SkinLook {
  SkinColors colors;    // [Colors]
  SkinColors disabled;  // [Disabled]
  bool Names() const;   // true when the file names any colour
};

SkinLook ParseSkinOptions(std::string_view bytes);
std::optional<std::uint32_t> ParseSkinColor(std::string_view text);

// The look of the skin folder `folder` (its Options.dat found without
// regard to case).
SkinLook ReadSkinLook(const std::string& folder);
