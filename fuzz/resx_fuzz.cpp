// Any bytes as a PE file: open it, walk the whole tree, and show and save
// every leaf as the explorer does: the conversion its type has, and the
// file form into memory; every leaf's listing as text and JSON; every icon or
// cursor group as one file, and the file's thumbnail as ovlix-resx makes
// it. Then the tree again with the first of its languages chosen, and with
// every language of every resource. Damage may give errors, never a read
// outside the bytes.
#include <cstdint>

#include "resx/ExeImage.h"
#include "resx/icon_choice.h"
#include "resx/icon_group_file.h"
#include "resx/language_names.h"
#include "resx/listing.h"
#include "resx/picture.h"
#include "resx/picture_scale.h"
#include "resx/png_codec.h"
#include "resx/resource_walk.h"

namespace {

void ShowAndSave(const WalkNode& node) {
  if (node.damaged) return;  // nothing more of it can be read
  std::string out;
  if (node.list) {
    if (node.depth == 1 && (node.item->TypeCode() == rtIcon || node.item->TypeCode() == rtCursor)) {
      std::vector<std::uint16_t> missing;
      try {
        out = GroupIconFile(static_cast<TIconResource&>(*node.item), missing);
      } catch (const EExeError&) {
      }
    }
    return;
  }
  TPicture picture;
  TStrings lines;
  try {
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
  TListing listing;  // its type's listing, as the window shows it as text
  try {
    ListResource(*node.item, listing);
  } catch (const EExeError&) {
  }
  ListingJson(listing, "damaged");
}

// Another language's tree: what each leaf reads.
void Save(const WalkNode& node) {
  if (node.list || node.damaged) return;
  std::string out;
  try {
    node.item->SaveToStream(out);
  } catch (const EExeError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    TExeImage image("fuzz.dll", Bytes(data, size));
    std::vector<std::string> errors;
    WalkResources(image, ShowAndSave, errors);
    if (TIconResource* group = FirstIconGroup(image)) {
      TPicture picture;
      if (ReadableIconPixels(group->SubList(), 48, 1024, picture)) EncodePng(ScaleToFit(picture, 48));
    }
    std::vector<std::uint16_t> languages = image.Languages();
    if (!languages.empty()) {
      LanguageName(languages.front());
      image.SetLanguage(languages.front());
      WalkResources(image, Save, errors);
    }
    WalkResources(image, Save, errors, WalkLanguages::Every);
  } catch (const EExeError&) {
  }
  return 0;
}
