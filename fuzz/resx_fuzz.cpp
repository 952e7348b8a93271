// Any bytes as a PE file: open it, walk the whole tree, and show and save
// every leaf as the explorer does: the conversion its type has, and the
// file form into memory. Damage may give errors, never a read outside the
// bytes.
#include <cstdint>

#include "resx/ExeImage.h"
#include "resx/picture.h"
#include "resx/resource_walk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    TExeImage image("fuzz.dll", Bytes(data, size));
    std::vector<std::string> errors;
    std::string out;
    TPicture picture;
    TStrings lines;
    WalkResources(image, [&](const WalkNode& node) {
      if (node.list || node.damaged) return;  // nothing more of it can be read
      try {
        out.clear();
        node.item->SaveToStream(out);
        switch (node.item->TypeCode()) {
          case rtBitmap:
          case rtIconEntry:
          case rtCursorEntry: node.item->AssignTo(picture); break;
          case rtString:
          case rtMenu: node.item->AssignTo(lines); break;
          default: break;
        }
      } catch (const EExeError&) {
      }
    }, errors);
  } catch (const EExeError&) {
  }
  return 0;
}
