#include "resx/rxtypes.h"

#include <iterator>

const char* ResourceTypeDisplayName(std::uint32_t code) {
  static constexpr const char* kNames[] = {
      "Unknown0",     "CursorEntry", "Bitmap",       "IconEntry", "Menu",      "Dialog", "String",    "FontDir", "Font",
      "Accelerators", "RCData",      "MessageTable", "Cursor",    "Unknown13", "Icon",   "Unknown15", "Version"};
  return code < std::size(kNames) ? kNames[code] : nullptr;
}
