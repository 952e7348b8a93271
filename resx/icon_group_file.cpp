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

Read<std::string> GroupIconFile(TIconResource& group, std::vector<std::uint16_t>& missing) {
  bool cursors = group.TypeCode() == rtCursor;
  Read<Bytes> read = group.ResourceData();
  if (!read) return read.damage;
  Bytes data = *read;
  const Damage endsEarly{Flaw::EndsEarly, 0, "an icon group"};
  if (data.size() < 6) return endsEarly;
  std::size_t count = Get16(data, 4);
  if (count > (data.size() - 6) / kGroupEntrySize) return endsEarly;
  Read<TResourceList*> sub = group.SubList();
  if (!sub) return sub.damage;
  auto& list = static_cast<TIconResourceList&>(**sub);
  // The damage of the images' directory is told by whoever reads it first:
  // the window's tree has shown it already, and its save takes what it can.
  const bool toldBefore = list.Built();

  struct Image {
    Bytes group;  // the group's entry
    Bytes bytes;  // the image as stored, after a cursor's hot spot
    Bytes hotSpot;
    bool found = false;
  };
  // each entry's image as the walk meets the group's images, in the
  // group's order: the first of its id, in its first language
  std::vector<Image> entries(count);
  Damage failed;
  std::size_t index = 0;
  std::vector<Damage> errors;  // an image's damage is told by reading its data
  WalkList(
      list,
      [&](WalkNode& n) {
        n.next = WalkOn::Over;
        // the list was built from the group's data as it was then: a file
        // rewritten in place since may hold fewer entries now
        std::size_t entry = list.EntryOf(index++);
        if (entry >= entries.size()) {
          failed = {Flaw::Data, 0, "an icon group changed while it was read"};
          n.next = WalkOn::Stop;
          return;
        }
        Image& taken = entries[entry];
        if (taken.found) return;
        Read<Bytes> stored = n.item->ResourceData();
        failed = stored.damage;
        if (stored && cursors && stored->size() < 4)
          failed = {Flaw::Data, 0, "a cursor image ends before its hot spot"};
        if (failed.Found()) {
          n.next = WalkOn::Stop;
          return;
        }
        taken = {{}, *stored, {}, true};
        if (cursors) {
          taken.hotSpot = stored->first(4);
          taken.bytes = stored->subspan(4);
        }
      },
      errors);
  // the group's list stops where the images' directory is damaged
  if (Damage listed = list.ItemsDamage(); listed.Found() && !toldBefore) return listed;
  if (failed.Found()) return failed;
  std::vector<Image> images;
  for (std::size_t i = 0; i < count; ++i) {
    Bytes entry = data.subspan(6 + i * kGroupEntrySize, kGroupEntrySize);
    if (!entries[i].found) {
      missing.push_back(Get16(entry, 12));
      continue;
    }
    entries[i].group = entry;
    images.push_back(entries[i]);
  }
  if (images.empty()) return Damage{Flaw::Data, 0, "the group's images are missing"};

  std::string file;
  Put16(file, 0);
  Put16(file, cursors ? 2 : 1);
  Put16(file, static_cast<std::uint16_t>(images.size()));
  std::uint64_t offset = 6 + images.size() * kFileEntrySize;
  std::uint64_t total = offset;
  for (const Image& i : images) total += i.bytes.size();
  if (total > kMaxFileSize) return Damage{Flaw::Data, 0, "the group's images are too large for one file"};
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

Read<TIconResource*> FirstIconGroup(TExeImage& image) {
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
  if (none.Found()) return none;
  return first;
}
