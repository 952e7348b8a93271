// How resource items show and save themselves: bitmaps, icon and cursor
// images as pictures and files, string tables and menus as text listings
// (parsed_resources.h).
#include <string>
#include <vector>

#include "platform/little_endian.h"
#include "resx/ExeImage.h"
#include "resx/dib.h"
#include "resx/parsed_resources.h"

namespace {

using platform::Put16;
using platform::Put32;
void Append(std::string& out, Bytes data) { out.append(reinterpret_cast<const char*>(data.data()), data.size()); }

constexpr auto U16 = platform::Get16;
constexpr auto U32 = platform::Get32;

// Where the pixels of a bitmap file begin: after the file header, the DIB
// header, any bit fields that follow a 40-byte header, and the palette.
Read<std::uint32_t> BitmapPixelOffset(Bytes data) {
  if (data.size() >= 4 && U32(data, 0) == 12) {
    std::uint32_t colors = data.size() >= 12 ? ColorsForBitCount(U16(data, 10)) : 0;
    return 14 + 12 + 3 * colors;
  }
  Read<DibInfo> info = ReadDibInfo(data);
  if (!info) return info.damage;
  std::uint64_t offset = 14 + info->PixelOffset();
  return offset > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(offset);
}

// The image in an icon or cursor entry's data, after a cursor's hot spot.
Read<Bytes> IconImage(const TIconResEntry& item, const Read<Bytes>& data) {
  if (!data || item.TypeCode() != rtCursorEntry) return data;
  if (data->size() < 4) return Damage{Flaw::IconImage};
  return data->subspan(4);
}

}  // namespace

Damage TBitMapResource::SaveToStream(std::string& out) {
  Read<Bytes> data = ResourceData();
  if (!data) return data.damage;
  Read<std::uint32_t> pixels = BitmapPixelOffset(*data);
  if (!pixels) return pixels.damage;
  Put16(out, 0x4D42);
  Put32(out, static_cast<std::uint32_t>(data->size() + 14));
  Put32(out, 0);
  Put32(out, *pixels);
  Append(out, *data);
  return image_.Intact();
}

Damage TBitMapResource::AssignTo(TPicture& picture) {
  Read<Bytes> data = ResourceData();
  if (!data) return data.damage;
  picture.Clear();
  Read<std::uint32_t> pixels = BitmapPixelOffset(*data);
  if (!pixels) return pixels.damage;
  // the picture shows what the saved file holds
  if (Damage damage = DecodeDib(*data, *pixels - 14, false, picture); damage.Found()) return damage;
  return image_.Intact();
}

Damage TIconResEntry::AssignTo(TPicture& picture) {
  Read<Bytes> read = IconImage(*this, ResourceData());
  if (!read) return read.damage;
  Bytes image = *read;
  picture.Clear();
  if (IsPng(image)) {
    picture.png = image;
    if (image.size() >= 24) {
      picture.width = static_cast<int>(image[18] << 8 | image[19]);
      picture.height = static_cast<int>(image[22] << 8 | image[23]);
    }
  } else if (Read<DibInfo> info = ReadDibInfo(image)) {
    if (DecodeDib(image, info->PixelOffset(), true, picture).Found())
      picture.Clear();  // an image that does not decode shows nothing
  }
  return image_.Intact();
}

Damage TIconResEntry::SaveToStream(std::string& out) {
  Read<Bytes> data = ResourceData();
  Read<Bytes> read = IconImage(*this, data);
  if (!read) return read.damage;
  Bytes image = *read;
  bool cursor = TypeCode() == rtCursorEntry;
  std::uint32_t width = 0, height = 0, colors = 0, planes = 0, bits = 0;
  if (IsPng(image)) {  // an .ICO of a PNG image holds it as it is
    if (image.size() < 24) return {Flaw::IconImage};
    width = image[19];  // the low bytes of the big-endian IHDR width and height
    height = image[23];
    planes = 1;
    bits = 32;
  } else {
    Read<DibInfo> dib = ReadDibInfo(image);
    if (!dib || dib->width <= 0 || dib->height <= 0) return {Flaw::IconImage};
    const DibInfo& info = *dib;
    width = static_cast<std::uint32_t>(info.width) & 0xFF;  // 256 is written as 0
    height = static_cast<std::uint32_t>(info.height / 2) & 0xFF;
    colors = info.bitCount < 8 ? ColorsForBitCount(info.bitCount) : 0;
    planes = info.planes;
    bits = info.bitCount;
  }
  std::string file;
  Put16(file, 0);
  Put16(file, cursor ? 2 : 1);
  Put16(file, 1);
  file += static_cast<char>(width);
  file += static_cast<char>(height);
  file += static_cast<char>(colors);
  file += '\0';
  // a cursor's entry holds its hot spot where an icon's holds planes and bits
  Put16(file, cursor ? U16(*data, 0) : planes);
  Put16(file, cursor ? U16(*data, 2) : bits);
  Put32(file, static_cast<std::uint32_t>(image.size()));
  Put32(file, 22);
  out += file;
  Append(out, image);
  return image_.Intact();
}

namespace {

// A string table or menu parsed and printed as far as it was read.
template <class Parsed, class... Name>
Damage AssignLines(TResourceItem& item, TStrings& lines, Name... name) {
  lines.clear();
  Read<Bytes> data = item.ResourceData();
  if (!data) return data.damage;
  Parsed parsed;
  Damage damage = Parse(*data, name..., parsed);
  PrintScript(parsed, lines);
  return damage.Found() ? damage : item.Owner().Image().Intact();
}

}  // namespace

Damage TStringResource::AssignTo(TStrings& lines) { return AssignLines<StringTable>(*this, lines, ResourceName()); }

Damage TMenuResource::AssignTo(TStrings& lines) { return AssignLines<Menu>(*this, lines); }
