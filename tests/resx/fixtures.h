// Resource data for the extractor's tests: DIB bitmaps and icon images with
// known pixels, string tables and menus.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/resx/pe_writer.h"

// A DIB header and palette; `headerSize` 12 makes a core header.
std::string DibHeader(std::uint32_t headerSize, int width, int height, int bits, std::uint32_t compression = 0,
                      std::uint32_t colorsUsed = 0);
// A bottom-up bitmap whose pixel (x, y) (y from the top) has palette index
// or colour Pattern(x, y) for its depth, palette entry i = (i, 2i, 3i).
std::string Bitmap(std::uint32_t headerSize, int width, int height, int bits, std::uint32_t colorsUsed = 0);
std::uint32_t PatternIndex(int x, int y, int bits);
// The ARGB the pattern pixel decodes to.
std::uint32_t PatternColor(int x, int y, int bits);

// An icon image (DIB with doubled height and AND mask): `bits` 4 or 32; the
// mask makes the pixels with x == y transparent; 32-bit images carry alpha
// 0x80 when `alpha`.
std::string IconImage(int width, int height, int bits, bool alpha = false);
// An RT_GROUP_ICON (or RT_GROUP_CURSOR, with 16-bit width and height
// fields) naming the images by id.
struct GroupImage {
  int width, height, colors, bits;
  std::uint16_t id;
  std::uint32_t size;
};
std::string IconGroup(const std::vector<GroupImage>& images, bool cursor = false);

// An RT_STRING block with the given 16 slots.
std::string StringBlock(const std::vector<std::u16string>& slots);

// RT_VERSION data: fixed file information for version 1.2.3.4 (product
// 1.2.0.0, flags debug and prerelease, NT Win32, an application), string
// tables by block name ("040904B0") with their keys and values, and
// translations (language in the low word, code page in the high word).
struct VersionTable {
  std::u16string block;
  std::vector<std::pair<std::u16string, std::u16string>> strings;
};
std::string VersionInfo(const std::vector<VersionTable>& tables, const std::vector<std::uint32_t>& translations);

// RT_DIALOG data, DIALOG or DIALOGEX: caption "O programu" at 10, 20, size
// 200 x 100, font 8 "MS Sans Serif", and one control of each predefined
// class (BUTTON, EDIT, STATIC with an icon ordinal for text, LISTBOX,
// SCROLLBAR, COMBOBOX) and one of the class "SysListView32".
std::string DialogTemplate(bool extended);
// Resources in three languages, some in only one or two, each language's
// data telling its language:
//   String/1     0409 "Hello", 0405 "Ahoj", 0407 "Hallo" (slot 0)
//   RCData/7     0405 "cz" only
//   RCData/8     0407 "de", then 0409 "en" (the first is not the lowest)
//   RCData/NAME  0409 "name-en", 0405 "name-cz"
//   Icon/MAIN    a group (0409) of image 1, which is 16 x 16 in 0409 and
//                32 x 32 in 0405
PeFile ThreeLanguages();
