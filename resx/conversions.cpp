// How resource items show and save themselves: bitmaps, icon and cursor
// images as pictures and files, string tables and menus as text listings.
#include <initializer_list>
#include <string>
#include <vector>

#include "framework/format.h"
#include "platform/little_endian.h"
#include "resx/ExeImage.h"
#include "resx/dib.h"

namespace {

using platform::Put16;
using platform::Put32;
void Append(std::string& out, Bytes data) { out.append(reinterpret_cast<const char*>(data.data()), data.size()); }

constexpr auto U16 = platform::Get16;
constexpr auto U32 = platform::Get32;

// Where the pixels of a bitmap file begin: after the file header, the DIB
// header, any bit fields that follow a 40-byte header, and the palette.
std::uint32_t BitmapPixelOffset(Bytes data) {
  if (data.size() >= 4 && U32(data, 0) == 12) {
    std::uint32_t colors = data.size() >= 12 ? ColorsForBitCount(U16(data, 10)) : 0;
    return 14 + 12 + 3 * colors;
  }
  std::optional<DibInfo> info = ReadDibInfo(data);
  if (!info) throw EExeError("Bitmap header is not valid");
  std::uint64_t offset = 14 + info->PixelOffset();
  return offset > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(offset);
}

// The image of an icon or cursor entry, after a cursor's hot spot.
Read<Bytes> IconImage(TIconResEntry& item) {
  Read<Bytes> data = item.ResourceData();
  if (!data || item.TypeCode() != rtCursorEntry) return data;
  if (data->size() < 4) return Damage{Flaw::IconImage};
  return data->subspan(4);
}

}  // namespace

void TBitMapResource::SaveToStream(std::string& out) {
  Bytes data = ResourceData().Value();
  std::string header;
  Put16(header, 0x4D42);
  Put32(header, static_cast<std::uint32_t>(data.size() + 14));
  Put32(header, 0);
  Put32(header, BitmapPixelOffset(data));
  out += header;
  Append(out, data);
  image_.Intact().Check();
}

void TBitMapResource::AssignTo(TPicture& picture) {
  Bytes data = ResourceData().Value();
  picture.Clear();
  // the picture shows what the saved file holds
  DecodeDib(data, BitmapPixelOffset(data) - 14, false, picture).Check();
  image_.Intact().Check();
}

Damage TIconResEntry::ReadPicture(TPicture& picture) {
  Read<Bytes> read = IconImage(*this);
  if (!read) return read.damage;
  Bytes image = *read;
  picture.Clear();
  if (IsPng(image)) {
    picture.png = image;
    if (image.size() >= 24) {
      picture.width = static_cast<int>(image[18] << 8 | image[19]);
      picture.height = static_cast<int>(image[22] << 8 | image[23]);
    }
  } else if (std::optional<DibInfo> info = ReadDibInfo(image)) {
    if (DecodeDib(image, info->PixelOffset(), true, picture).Found())
      picture.Clear();  // an image that does not decode shows nothing
  }
  return image_.Intact();
}

void TIconResEntry::AssignTo(TPicture& picture) { ReadPicture(picture).Check(); }

void TIconResEntry::SaveToStream(std::string& out) {
  Bytes data = ResourceData().Value();
  Bytes image = IconImage(*this).Value();
  bool cursor = TypeCode() == rtCursorEntry;
  std::uint32_t width = 0, height = 0, colors = 0, planes = 0, bits = 0;
  if (IsPng(image)) {  // an .ICO of a PNG image holds it as it is
    if (image.size() < 24) throw EExeError("Icon image is not valid");
    width = image[19];  // the low bytes of the big-endian IHDR width and height
    height = image[23];
    planes = 1;
    bits = 32;
  } else {
    std::optional<DibInfo> read = ReadDibInfo(image);
    if (!read || read->width <= 0 || read->height <= 0) throw EExeError("Icon image is not valid");
    const DibInfo& info = *read;
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
  Put16(file, cursor ? U16(data, 0) : planes);
  Put16(file, cursor ? U16(data, 2) : bits);
  Put32(file, static_cast<std::uint32_t>(image.size()));
  Put32(file, 22);
  out += file;
  Append(out, image);
  image_.Intact().Check();
}

void TStringResource::AssignTo(TStrings& lines) {
  lines.clear();
  Bytes data = ResourceData().Value();
  long long first = (static_cast<long long>(ResourceName()) - 1) * 16;
  std::size_t at = 0;
  for (int slot = 0; slot < 16; ++slot) {
    if (at + 2 > data.size()) throw EExeError("Damaged file: a string table ends early");
    std::size_t n = U16(data, at);
    at += 2;
    if (n > (data.size() - at) / 2) throw EExeError("Damaged file: a string table ends early");
    if (n > 0) lines.push_back(std::to_string(first + slot) + ",  \"" + WideToNarrow(data.data() + at, n) + "\"");
    at += 2 * n;
  }
  image_.Intact().Check();
}

namespace {

// The text of a menu item: UTF-16 up to its zero, which must lie in the data.
std::size_t MenuText(Bytes data, std::size_t at, std::string& text) {
  std::size_t n = 0;
  while (true) {
    if (at + 2 * n + 2 > data.size()) throw EExeError("Damaged file: a menu item runs past the end of the menu");
    if (U16(data, at + 2 * n) == 0) break;
    ++n;
  }
  text = WideToNarrow(data.data() + at, n);
  return n;
}

// A classic item's flags as a resource compiler writes them, in its order.
constexpr struct {
  std::uint16_t bit;
  const char* word;
} kMenuFlags[] = {{0x0008, "CHECKED"},      {0x0001, "GRAYED"},    {0x4000, "HELP"},      {0x0002, "INACTIVE"},
                  {0x0020, "MENUBARBREAK"}, {0x0040, "MENUBREAK"}, {0x0100, "OWNERDRAW"}, {0x0004, "BITMAP"}};

std::string ClassicFlags(std::uint16_t flags) {
  std::string words;
  for (const auto& f : kMenuFlags)
    if (flags & f.bit) words += std::string(", ") + f.word;
  return words;
}

// An extended item's id, type, state (and a popup's help id), left out
// from the last non-zero one on, as a resource compiler writes them.
std::string ExtendedFields(std::initializer_list<long long> fields) {
  std::size_t n = fields.size();
  while (n > 0 && fields.begin()[n - 1] == 0) --n;
  std::string text;
  for (std::size_t i = 0; i < n; ++i) text += (i == 0 ? ",  " : ", ") + std::to_string(fields.begin()[i]);
  return text;
}

class MenuListing {
 public:
  explicit MenuListing(TStrings& lines) : lines_(lines) {}
  void Line(const std::string& text) { lines_.push_back(std::string(level_ > 0 ? 2 * level_ : 0, ' ') + text); }
  // `fields`: what follows the text (an id, flags), written as it stands.
  void Item(const std::string& text, bool popup, const std::string& fields) {
    if (text.empty())
      Line("MENUITEM SEPARATOR");
    else if (popup)
      Line(Format("POPUP \"%s\"", {text}) + fields);
    else
      Line(Format("MENUITEM \"%s\"", {text}) + fields);
  }
  // A popup's items are one level deeper; a popup that is the last of its
  // own level closes that level only after its items are done.
  void Open(bool last) {
    closesParent_.push_back(last);
    ++level_;
  }
  // The last item of a level: closes its popup, and the popups it was the
  // last of. The menu bar itself has no ENDPOPUP.
  void Close() {
    while (!closesParent_.empty()) {
      --level_;
      Line("ENDPOPUP");
      bool more = closesParent_.back();
      closesParent_.pop_back();
      if (!more) return;
    }
  }

 private:
  TStrings& lines_;
  int level_ = 0;
  std::vector<bool> closesParent_;
};

// The listing of a menu template, classic or extended.
void ListMenu(Bytes data, TStrings& lines) {
  if (data.size() < 4) throw EExeError("Damaged file: a menu without its header");
  MenuListing listing(lines);
  std::string text;
  if (U16(data, 0) == 1) {
    // extended template: after the header (and the offset it names) items of
    // type, state, id, flags (0x01 popup, 0x80 last) and text, each aligned
    // to four bytes; a popup's help id precedes its items
    std::size_t at = 4 + std::size_t{U16(data, 2)};
    while (at < data.size()) {
      if (at + 14 > data.size()) throw EExeError("Damaged file: a menu item runs past the end of the menu");
      std::uint32_t type = U32(data, at), state = U32(data, at + 4), id = U32(data, at + 8);
      std::uint16_t flags = U16(data, at + 12);
      std::size_t n = MenuText(data, at + 14, text);
      at = (at + 14 + 2 * (n + 1) + 3) / 4 * 4;
      bool popup = flags & 0x01, last = flags & 0x80;
      if (type & 0x800) text.clear();  // MFT_SEPARATOR
      const long long signedId = static_cast<std::int32_t>(id);
      if (popup) {
        if (at + 4 > data.size()) throw EExeError("Damaged file: a menu item runs past the end of the menu");
        listing.Item(text, true, ExtendedFields({signedId, type, state, U32(data, at)}));
        at += 4;
        listing.Open(last);
      } else {
        listing.Item(text, false, ExtendedFields({signedId, type, state}));
        if (last) listing.Close();
      }
    }
    return;
  }
  std::size_t at = 4;
  while (at < data.size()) {
    if (at + 2 > data.size()) throw EExeError("Damaged file: a menu item runs past the end of the menu");
    std::uint16_t flags = U16(data, at);
    at += 2;
    bool popup = flags & 0x10, last = flags & 0x80;
    long long id = 0;
    if (!popup) {
      if (at + 2 > data.size()) throw EExeError("Damaged file: a menu item runs past the end of the menu");
      id = U16(data, at);
      at += 2;
    }
    std::size_t n = MenuText(data, at, text);
    at += 2 * (n + 1);
    listing.Item(text, popup, (popup ? std::string() : ",  " + std::to_string(id)) + ClassicFlags(flags));
    if (popup)
      listing.Open(last);
    else if (last)
      listing.Close();
  }
}

}  // namespace

void TMenuResource::AssignTo(TStrings& lines) {
  lines.clear();
  ListMenu(ResourceData().Value(), lines);
  image_.Intact().Check();
}
