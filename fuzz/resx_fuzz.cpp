// Any bytes as a PE file: open it, walk the whole tree, and show and save
// every leaf as the explorer does: the conversion its type has, and the
// file form into memory; every leaf's listing as text and JSON; every icon or
// cursor group as one file, and the file's thumbnail as ovlix-resx makes
// it. Then the tree again with the last of its languages chosen, and with
// every language of every resource; a data entry read once is not read again. Damage may give errors, never a read
// outside the bytes.
#include <cstdint>
#include <set>
#include <tuple>

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

// The data entries whose bytes were read for an input, by type: the same
// entry read again as the same type, through another tree or another
// language, reads the same bytes and fails or succeeds as it did.
using ReadEntries = std::set<std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>>;

bool FirstRead(ReadEntries& read, const WalkNode& node) {
  return read.emplace(node.item->TypeCode(), node.offset, node.size).second;
}

void ShowAndSave(ReadEntries& read, const WalkNode& node) {
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
  FirstRead(read, node);
  try {
    node.item->SaveToStream(out);
  } catch (const EExeError&) {
    return;  // every conversion reads the same bytes
  }
  const std::uint32_t type = node.item->TypeCode();
  if (type == rtBitmap || type == rtIconEntry || type == rtCursorEntry) {
    TPicture picture;
    try {
      node.item->AssignTo(picture);
    } catch (const EExeError&) {
    }
  }
  if (!HasListing(type)) return;
  TListing listing;  // its type's listing, as the window shows it as text
  try {
    ListResource(*node.item, listing);
  } catch (const EExeError&) {
  }
  ListingJson(listing, "damaged");
}

// Another language's tree: what each leaf not read yet reads.
void Save(ReadEntries& read, const WalkNode& node) {
  if (node.list || node.damaged || !FirstRead(read, node)) return;
  std::string out;
  try {
    node.item->SaveToStream(out);
  } catch (const EExeError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // freed before the input ends, or libFuzzer takes what is kept for a leak
  // and runs the input again to look for it
  ReadEntries read;
  auto showAndSave = [&read](const WalkNode& node) { ShowAndSave(read, node); };
  auto save = [&read](const WalkNode& node) { Save(read, node); };
  try {
    TExeImage image("fuzz.dll", Bytes(data, size));
    std::vector<std::string> errors;
    WalkResources(image, showAndSave, errors);
    if (TIconResource* group = FirstIconGroup(image)) {
      TPicture picture;
      if (ReadableIconPixels(group->SubList(), 48, 1024, picture)) EncodePng(ScaleToFit(picture, 48));
    }
    std::vector<std::uint16_t> languages = image.Languages();
    if (!languages.empty()) LanguageName(languages.back());
    if (languages.size() > 1) {  // one language chosen is the tree already walked
      image.SetLanguage(languages.back());
      WalkResources(image, save, errors);
    }
    WalkResources(image, save, errors, WalkLanguages::Every);
  } catch (const EExeError&) {
  }
  return 0;
}
