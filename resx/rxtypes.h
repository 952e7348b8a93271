// Resource type codes: 0 to 16 are the published RT_ values; every other
// code (larger ids, and named types, whose code has the high bit set) is a
// generic type.
#pragma once

#include <cstdint>

enum TResourceType : std::uint32_t {
  rtUnknown0,
  rtCursorEntry,
  rtBitmap,
  rtIconEntry,
  rtMenu,
  rtDialog,
  rtString,
  rtFontDir,
  rtFont,
  rtAccelerators,
  rtRCData,
  rtMessageTable,
  rtCursor,
  rtUnknown13,
  rtIcon,
  rtUnknown15,
  rtVersion,
};

// The enumerator's name without its "rt" prefix, for codes 0 to 16;
// nullptr for any other code.
const char* ResourceTypeDisplayName(std::uint32_t code);
