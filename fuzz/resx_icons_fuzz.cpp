// Any bytes as a PE file, as the icon tools read it: every icon and cursor
// group as one file, and the thumbnail of the first icon group. Damage may
// give errors, never a read outside the bytes.
#include <cstdint>

#include "resx/ExeImage.h"
#include "resx/icon_choice.h"
#include "resx/icon_group_file.h"
#include "resx/picture_scale.h"
#include "resx/png_codec.h"

namespace {

void GroupFiles(TResourceItem& type) {
  if (type.Name() != rtIcon && type.Name() != rtCursor) return;
  std::vector<std::uint16_t> missing;
  for (TResourceItem* group : type.SubList().Items()) {
    try {
      GroupIconFile(static_cast<TIconResource&>(*group), missing);
    } catch (const EExeError&) {
    }
  }
}

void Thumbnail(TExeImage& image) {
  TIconResource* group = FirstIconGroup(image);
  TPicture picture;
  if (group != nullptr && ReadableIconPixels(group->SubList(), 48, 1024, picture) != nullptr)
    EncodePng(ScaleToFit(picture, 48), PngCompression::Fast);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    TExeImage image("fuzz.dll", Bytes(data, size));
    for (TResourceItem* type : image.Resources().Items()) {
      try {
        GroupFiles(*type);
      } catch (const EExeError&) {
      }
    }
    Thumbnail(image);
  } catch (const EExeError&) {
  }
  return 0;
}
