// Any bytes as a PE file, as the icon tools read it: every icon and cursor
// group the walk meets as one file, and the thumbnail of the first icon
// group. Damage may give errors, never a read outside the bytes.
#include <cstdint>

#include "resx/ExeImage.h"
#include "resx/icon_choice.h"
#include "resx/icon_group_file.h"
#include "resx/picture_scale.h"
#include "resx/png_codec.h"
#include "resx/resource_walk.h"

namespace {

void GroupFile(const WalkNode& node) {
  const std::uint32_t type = node.item->TypeCode();
  if (node.depth != 1 || (type != rtIcon && type != rtCursor)) return;
  std::vector<std::uint16_t> missing;
  static_cast<void>(GroupIconFile(static_cast<TIconResource&>(*node.item), missing));
}

void Thumbnail(TExeImage& image) {
  Read<TIconResource*> group = FirstIconGroup(image);
  if (!group || *group == nullptr) return;
  Read<TResourceList*> images = (*group)->SubList();
  TPicture picture;
  if (images && ReadableIconPixels(**images, 48, 1024, picture) != nullptr)
    EncodePng(ScaleToFit(picture, 48), PngCompression::Fast);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // nothing here throws: damage is a value
  TExeImage image("fuzz.dll", Bytes(data, size));
  std::vector<Damage> errors;
  if (WalkResources(image, GroupFile, errors).Found()) return 0;
  Thumbnail(image);
  return 0;
}
