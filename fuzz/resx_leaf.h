// A leaf's file form into memory, as the explorer saves it.
#pragma once

#include <string>

#include "resx/ExeImage.h"

// False when the leaf's bytes cannot be read: every conversion of it reads
// the same bytes and fails alike.
inline bool SaveLeaf(TResourceItem& item, std::string& out) {
  Bytes data;
  std::string damage;
  if (!item.TryResourceData(data, damage)) return false;
  try {
    item.SaveToStream(out);
  } catch (const EExeError&) {
  }
  return true;
}
