// Any bytes as a PE file: open it, walk the whole tree, show and save every
// leaf, and list every leaf as each kind of listing. Damage may give
// errors, never a read outside the bytes.
#include <cstdint>

#include "resx/ExeImage.h"
#include "resx/listing.h"
#include "resx/picture.h"
#include "resx/resource_walk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    TExeImage image("fuzz.dll", Bytes(data, size));
    std::vector<std::string> errors;
    WalkResources(image, [](const WalkNode& node) {
      if (node.list) return;
      std::string out;
      TPicture picture;
      TStrings lines;
      try {
        node.item->SaveToStream(out);
      } catch (const EExeError&) {
      }
      try {
        node.item->AssignTo(picture);
      } catch (const EExeError&) {
      }
      try {
        node.item->AssignTo(lines);
      } catch (const EExeError&) {
      }
      // every leaf through every listing, whatever its type
      using Conversion = void (*)(Bytes, TListing&);
      for (Conversion list : {ListVersionInfo, ListManifest, ListAccelerators, ListDialog, ListMessageTable}) {
        TListing listing;
        try {
          list(node.item->ResourceData(), listing);
        } catch (const EExeError&) {
        }
        ListingJson(listing, "damaged");
      }
      TListing listing;
      try {
        ListResource(*node.item, listing);
      } catch (const EExeError&) {
      }
    }, errors);
  } catch (const EExeError&) {
  }
  return 0;
}
