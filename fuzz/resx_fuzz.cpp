// Any bytes as a PE file, shown as the explorer shows it: open it, walk the
// whole tree, and for every leaf the conversion its type has, its file form
// into memory, and its listing as text and JSON. Damage may give errors,
// never a read outside the bytes.
#include <cstdint>

#include "fuzz/resx_leaf.h"
#include "resx/ExeImage.h"
#include "resx/listing.h"
#include "resx/picture.h"
#include "resx/resource_walk.h"

namespace {

void Show(const WalkNode& node) {
  if (node.list || node.damaged) return;  // the walk told the damage
  std::string out;
  if (!SaveLeaf(*node.item, out)) return;
  const std::uint32_t type = node.item->TypeCode();
  if (type == rtBitmap || type == rtIconEntry || type == rtCursorEntry) {
    TPicture picture;
    static_cast<void>(node.item->AssignTo(picture));
  }
  if (!HasListing(type)) return;
  TListing listing;
  ListingJson(listing, ListResource(*node.item, listing));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // nothing here throws: damage is a value
  TExeImage image("fuzz.dll", Bytes(data, size));
  std::vector<Damage> errors;
  static_cast<void>(WalkResources(image, Show, errors));
  return 0;
}
