#include "resx/icon_group_file.h"

#include "platform/little_endian.h"
#include "resx/resource_walk.h"
#include "resx/rxtypes.h"

namespace {

using platform::Get16;
using platform::Get32;
using platform::Put16;
using platform::Put32;

constexpr std::size_t kGroupEntrySize = 14;  // GRPICONDIRENTRY, its id last
constexpr std::size_t kFileEntrySize = 16;   // ICONDIRENTRY, its offset last
// A group may name one image many times: the file it makes is bounded.
constexpr std::uint64_t kMaxFileSize = std::uint64_t{64} << 20;

}  // namespace

std::string GroupIconFile(TIconResource& group, std::vector<std::uint16_t>& missing) {
  bool cursors = group.TypeCode() == rtCursor;
  Bytes data = group.ResourceData().Value();
  if (data.size() < 6) throw EExeError("Damaged file: an icon group ends early");
  std::size_t count = Get16(data, 4);
  if (count > (data.size() - 6) / kGroupEntrySize) throw EExeError("Damaged file: an icon group ends early");

  struct Image {
    Bytes group;  // the group's entry
    Bytes bytes;  // the image as stored, after a cursor's hot spot
    Bytes hotSpot;
  };
  std::vector<Image> images;
  TExeImage& image = group.Owner().Image();
  for (std::size_t i = 0; i < count; ++i) {
    Bytes entry = data.subspan(6 + i * kGroupEntrySize, kGroupEntrySize);
    std::uint16_t id = Get16(entry, 12);
    std::span<TResourceItem* const> found = image.ImagesWithId(cursors, id).Value();
    if (found.empty()) {
      missing.push_back(id);
      continue;
    }
    Bytes stored = found.front()->ResourceData().Value();  // its first language
    Image taken{entry, stored, {}};
    if (cursors) {
      if (stored.size() < 4) throw EExeError("Damaged file: a cursor image ends before its hot spot");
      taken.hotSpot = stored.first(4);
      taken.bytes = stored.subspan(4);
    }
    images.push_back(taken);
  }
  if (images.empty()) throw EExeError("Damaged file: the group's images are missing");

  std::string file;
  Put16(file, 0);
  Put16(file, cursors ? 2 : 1);
  Put16(file, static_cast<std::uint16_t>(images.size()));
  std::uint64_t offset = 6 + images.size() * kFileEntrySize;
  std::uint64_t total = offset;
  for (const Image& i : images) total += i.bytes.size();
  if (total > kMaxFileSize) throw EExeError("Damaged file: the group's images are too large for one file");
  file.reserve(static_cast<std::size_t>(total));
  for (const Image& i : images) {
    if (cursors) {
      // a cursor group's entry holds 16-bit sizes, the height doubled for
      // the mask; the file's holds bytes and the hot spot
      std::uint16_t width = Get16(i.group, 0), height = Get16(i.group, 2), bits = Get16(i.group, 6);
      file += static_cast<char>(width & 0xFF);
      file += static_cast<char>((height / 2) & 0xFF);
      file += static_cast<char>(bits < 8 ? ColorsForBitCount(bits) & 0xFF : 0);
      file += '\0';
      Put16(file, Get16(i.hotSpot, 0));
      Put16(file, Get16(i.hotSpot, 2));
    } else {
      file.append(reinterpret_cast<const char*>(i.group.data()), 8);
    }
    Put32(file, static_cast<std::uint32_t>(i.bytes.size()));
    Put32(file, static_cast<std::uint32_t>(offset));
    offset += i.bytes.size();
  }
  for (const Image& i : images) file.append(reinterpret_cast<const char*>(i.bytes.data()), i.bytes.size());
  return file;
}

TIconResource* FirstIconGroup(TExeImage& image) {
  TIconResource* first = nullptr;
  std::vector<Damage> errors;  // a damaged branch holds no group to show
  Damage none = WalkResources(
      image,
      [&](WalkNode& n) {
        if (n.depth == 0) {
          if (n.item->Name() != rtIcon) n.next = WalkOn::Over;
        } else if ((first = dynamic_cast<TIconResource*>(n.item)) != nullptr) {
          n.next = WalkOn::Stop;
        } else {
          n.next = WalkOn::Over;
        }
      },
      errors);
  none.Check();
  return first;
}
