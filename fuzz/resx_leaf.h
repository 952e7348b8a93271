// A leaf's file form into memory, as the explorer saves it.
#pragma once

#include <string>

#include "resx/ExeImage.h"

// False when the leaf's bytes cannot be read: every conversion of it reads
// the same bytes and fails alike.
inline bool SaveLeaf(TResourceItem& item, std::string& out) {
  if (!item.ResourceData()) return false;
  static_cast<void>(item.SaveToStream(out));  // damage of the conversion
  return true;
}
