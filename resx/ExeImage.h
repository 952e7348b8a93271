// The resource extractor's engine: a PE executable or library mapped
// read-only (TExeImage) and its resource tree (TResourceList and
// TResourceItem with their subclasses), built lazily and once. Items point
// into the mapping; nothing is copied.
//
// Every read is bounded by the mapping: an offset, count, size, name or RVA
// from the file that leads outside it is damage, and the tree built so far
// stays. Opening the file, each read and each conversion (AssignTo,
// SaveToStream) give a Damage or a Read<T> (resx/damage.h): the value, or
// where and what the damage is; the walk (resource_walk.h) passes damage on
// as it meets it, and nothing here throws. A directory that is its own
// ancestor, one listed already under another entry, directories nested
// deeper than any resource compiler makes, and more items than kMaxItems in
// one file stop their branch the same way.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <memory_resource>
#include <optional>
#include <span>
#include <string>
#include <unordered_set>
#include <unordered_map>
#include <vector>

#include "platform/file_view.h"
#include "platform/little_endian.h"
#include "resx/damage.h"
#include "resx/rxtypes.h"

using Bytes = std::span<const std::uint8_t>;
using TStrings = std::vector<std::string>;
struct TPicture;

class TExeImage;
class TResourceItem;

bool HighBitSet(std::uint32_t value);
std::uint32_t StripHighBit(std::uint32_t value);
// Exactly `count` UTF-16LE code units (read from unaligned bytes) as UTF-8.
std::string WideToNarrow(const std::uint8_t* units, std::size_t count);
// Palette entries implied by a bit count: 1 -> 2, 4 -> 16, 8 -> 256, else 0.
std::uint32_t ColorsForBitCount(std::uint32_t bitCount);

// The tree's items and lists are made in their image's arena
// (TExeImage::Make) and go with it, never destroyed: they hold nothing but
// the arena's memory (items are trivially destructible, lists keep their
// items in the arena).
class TResourceList {
 public:
  TResourceList(TExeImage& image, std::uint64_t directory, std::uint32_t typeCode, const TResourceList* parent);
  TResourceList(const TResourceList&) = delete;
  TResourceList& operator=(const TResourceList&) = delete;

  // Built on the first call. When the file is damaged the items are those
  // read before the damage, which ItemsDamage tells.
  std::span<TResourceItem* const> Items();
  Damage ItemsDamage() {
    Items();
    return damage_;
  }
  // Whether Items() was called: its damage was then told to that caller.
  bool Built() const { return built_; }
  // Appends the name of Items()[index] as this list shows it: an image of
  // an icon group is named by the group's entry for it, and one image may
  // stand in several groups. Damage when the name lies outside the file.
  virtual Damage AppendItemName(std::size_t index, std::string& out);

  std::uint32_t TypeCode() const { return typeCode_; }
  // Whether the items are the languages of one resource (TLanguageList).
  bool HoldsLanguages() const { return holdsLanguages_; }
  std::uint64_t Directory() const { return directory_; }
  const TResourceList* Parent() const { return parent_; }
  int Depth() const { return depth_; }
  TExeImage& Image() const { return image_; }

 protected:
  virtual Damage Build();
  TExeImage& image_;
  std::uint64_t directory_;  // file offset of the directory (or group data)
  std::uint32_t typeCode_;
  const TResourceList* parent_;
  int depth_;
  bool holdsLanguages_ = false;
  std::pmr::vector<TResourceItem*> items_;  // in the image's arena

  ~TResourceList() = default;  // never called: see above

 private:
  bool built_ = false;
  Damage damage_;
};

// Every language of one resource: the items of its language directory, of
// the resource's own class, each leading to its language's data and named
// by its LANGID, in file order. Entries that lead to a further directory,
// or are named by a string or a number above 16 bits, are no language and
// are left out.
class TLanguageList : public TResourceList {
 public:
  TLanguageList(TResourceItem& resource, std::uint64_t directory);
  TResourceItem& Resource() const { return resource_; }

 protected:
  Damage Build() override;
  TResourceItem& resource_;
};

// The images of one RT_GROUP_ICON (RT_GROUP_CURSOR) resource: the items of
// the RT_ICON (RT_CURSOR) names whose ids the group names, in group order.
class TIconResourceList : public TResourceList {
 public:
  TIconResourceList(TExeImage& image, std::uint64_t directory, std::uint32_t typeCode, const TResourceList* parent);
  // "<width> X <height> <colours> Colors" (of a cursor "... <bits> Bit(s)")
  // from the group's entry for the image.
  Damage AppendItemName(std::size_t index, std::string& out) override;
  // Which of the group's entries names Items()[index], counted from 0: an
  // entry whose id several images have stands for each of them.
  std::size_t EntryOf(std::size_t index) const {
    return static_cast<std::size_t>((entries_[index] - directory_ - 6) / 14);
  }

 protected:
  Damage Build() override;
  virtual bool Cursors() const { return false; }

 private:
  std::pmr::vector<std::uint64_t> entries_;  // file offset of each item's 14-byte group entry
};

class TCursorResourceList : public TIconResourceList {
 public:
  using TIconResourceList::TIconResourceList;

 protected:
  bool Cursors() const override { return true; }
};

// Where an item lies: a leaf's data (its RVA and size, from its data
// entry), a list's directory (its offset in the section, size 0).
struct ItemPlace {
  std::uint32_t offset = 0;
  std::uint32_t size = 0;
};

class TResourceItem {
 public:
  // `name` and `offsetToData`: the fields of the item's directory entry.
  TResourceItem(TExeImage& image, TResourceList& owner, std::uint32_t name, std::uint32_t offsetToData)
      : image_(image), owner_(owner), name_(name), offsetToData_(offsetToData) {}
  TResourceItem(const TResourceItem&) = delete;
  TResourceItem& operator=(const TResourceItem&) = delete;

  virtual const char* ClassName() const { return "TResourceItem"; }
  // The item as a picture, or as the lines of its listing (string tables
  // and menus, what was read before any damage): Flaw::NotPicture and
  // Flaw::NotLines unless overridden.
  virtual Damage AssignTo(TPicture& picture);
  virtual Damage AssignTo(TStrings& lines);
  // Appends the display name: a walk over many items keeps one buffer.
  // Damage when the name lies outside the file.
  Damage AppendDisplayName(std::string& out);
  virtual Read<bool> IsList();
  virtual Read<TResourceList*> SubList();
  // Appends the item's file form; on damage what was appended is no file.
  virtual Damage SaveToStream(std::string& out);

  std::uint32_t Name() const { return name_; }  // the Name field of the entry
  std::uint32_t OffsetToData() const { return offsetToData_; }
  // The Name of the resource the item stands for: of an item of a
  // TLanguageList, its resource's (its own Name is the LANGID).
  std::uint32_t ResourceName() const;
  std::uint32_t TypeCode() const { return owner_.TypeCode(); }
  Read<std::string> TypeName() const;
  // File offset of the data entry of a leaf; asked for again and again.
  Read<std::uint64_t> DataEntry() { return dataEntry_ ? Read<std::uint64_t>(*dataEntry_) : FindDataEntry(); }
  Read<std::uint64_t> DataOffset();  // file offset of a leaf's data
  Read<Bytes> ResourceData();        // a leaf's data, read from the file
  Read<ItemPlace> Place();
  TResourceList& Owner() const { return owner_; }

  // Whether the entry leads to a directory of languages, each leading to
  // data: a resource as compilers store it.
  Read<bool> HasLanguages();
  // The item's languages, each its own item (built on the first call).
  Read<TResourceList*> LanguageList();
  // The LANGID an item of a TLanguageList stands for.
  std::optional<std::uint16_t> Language() const;

 protected:
  // The OffsetToData of the first entry of the directory this entry leads
  // to; nothing when that directory is empty.
  Read<std::optional<std::uint32_t>> FirstChildOffsetToData() const;
  // The OffsetToData of the language that stands for the resource, given
  // the first one of its directory: the image's chosen language where the
  // directory holds it, else the first.
  Read<std::uint32_t> StandingOffsetToData(std::uint32_t first) const;
  Read<std::uint64_t> FindDataEntry();
  TExeImage& image_;
  TResourceList& owner_;
  TResourceList* subList_ = nullptr;

 private:
  // The entry's two fields, read once: every view of the item asks for them.
  std::uint32_t name_;
  std::uint32_t offsetToData_;
  std::optional<bool> isList_;
  std::optional<std::uint64_t> dataEntry_;
};

// RT_GROUP_ICON and RT_GROUP_CURSOR: always lists, of their images.
class TIconResource : public TResourceItem {
 public:
  using TResourceItem::TResourceItem;
  const char* ClassName() const override { return "TIconResource"; }
  Read<bool> IsList() override { return true; }
  Read<TResourceList*> SubList() override;

 protected:
  // The list of the group's images, over the group data.
  template <class List>
  Read<TResourceList*> GroupList();
};

class TCursorResource : public TIconResource {
 public:
  using TIconResource::TIconResource;
  const char* ClassName() const override { return "TCursorResource"; }
  Read<TResourceList*> SubList() override;
};

// One RT_ICON image.
class TIconResEntry : public TResourceItem {
 public:
  using TResourceItem::TResourceItem;
  const char* ClassName() const override { return "TIconResEntry"; }
  // The picture: its pixels, or a PNG image as stored (in `png`); an image
  // that does not decode gives an empty picture. Damage when its data
  // cannot be read.
  Damage AssignTo(TPicture& picture) override;
  using TResourceItem::AssignTo;
  // A one-image .ICO (.CUR for a cursor image) that holds the image as
  // stored; an image stored as PNG is held in it as the PNG it is.
  Damage SaveToStream(std::string& out) override;
};

// One RT_CURSOR image: a hot spot, then an icon image.
class TCursorResEntry : public TIconResEntry {
 public:
  using TIconResEntry::TIconResEntry;
  const char* ClassName() const override { return "TCursorResEntry"; }
};

class TBitMapResource : public TResourceItem {
 public:
  using TResourceItem::TResourceItem;
  const char* ClassName() const override { return "TBitMapResource"; }
  Damage AssignTo(TPicture& picture) override;
  using TResourceItem::AssignTo;
  Damage SaveToStream(std::string& out) override;  // a .BMP file
};

class TStringResource : public TResourceItem {
 public:
  using TResourceItem::TResourceItem;
  const char* ClassName() const override { return "TStringResource"; }
  Damage AssignTo(TStrings& lines) override;
  using TResourceItem::AssignTo;
};

class TMenuResource : public TResourceItem {
 public:
  using TResourceItem::TResourceItem;
  const char* ClassName() const override { return "TMenuResource"; }
  Damage AssignTo(TStrings& lines) override;
  using TResourceItem::AssignTo;
};

enum class ResourceClass { Item, CursorEntry, Bitmap, IconEntry, Menu, String, Cursor, Icon };
ResourceClass ResourceClassFor(std::uint32_t typeCode);

class TExeImage {
 public:
  // Opens the file; Opening() tells what kept it from being opened:
  // Flaw::CannotOpen, EmptyFile, NotMz or NotPe. An image not opened has no
  // resources (Resources() gives the same damage). The file is read through
  // a FileView: its headers and a resource section of up to a megabyte are
  // read into memory as they are met, the rest is mapped when first read
  // (Flaw::Unmapped when it cannot be). A file cut short by another program
  // after it was opened gives Flaw::Shorter for what it no longer holds.
  explicit TExeImage(const std::string& fileName);
  // The same over bytes the caller keeps alive (tests, fuzzing).
  TExeImage(const std::string& fileName, Bytes bytes);
  // The same over the view `open` opens and whose result it returns (a
  // file opened and read with others, say).
  template <std::invocable<platform::FileView&> Open>
  TExeImage(const std::string& fileName, Open open) : fileName_(fileName) {
    opening_ = Opened(open(file_));
  }
  ~TExeImage();
  TExeImage(const TExeImage&) = delete;
  TExeImage& operator=(const TExeImage&) = delete;

  const std::string& FileName() const { return fileName_; }
  // What kept the file from being opened as a PE image; no damage once it was.
  Damage Opening() const { return opening_; }
  // The file, for a caller to read what Resources() said a walk reads first
  // (platform::FileView::PagesToRead).
  platform::FileView& File() { return file_; }
  // File offset of the first section header named `name` (case-insensitive,
  // at most 8 characters, a name ending at its first zero byte).
  Read<std::optional<std::uint64_t>> FindSection(const std::string& name) const;
  // The root list; Flaw::NoResources without a ".rsrc" section.
  Read<TResourceList*> Resources();

  // The languages (LANGIDs) of the file's resources, of every type, sorted,
  // each once. Directories that cannot be read are passed over (a walk
  // reports them). Damaged as Resources() is.
  Read<std::vector<std::uint16_t>> Languages();
  // The language that stands for each resource that has it; the others,
  // and every resource when none is chosen, show their first language.
  // Choosing drops the tree built so far (its memory stays with the image,
  // so items still held are not left dangling): Resources() builds it
  // anew for the choice.
  void SetLanguage(std::optional<std::uint16_t> language);
  std::optional<std::uint16_t> Language() const { return language_; }

  TResourceItem* IconEntries = nullptr;
  TResourceItem* CursorEntries = nullptr;
  std::uint64_t ResourceBase() const { return resourceBase_; }
  std::uint32_t ResourceVirtualAddress() const { return resourceVirtualAddress_; }

  // Bounded reads of the file: outside it they give damage naming `what`.
  // The bytes stay valid as long as the image; those of a mapped part of
  // the file read as zeros once a cut has taken their page, which Intact
  // tells after they were used (ReadU16 and ReadU32 ask it themselves).
  Read<Bytes> ReadBytes(std::uint64_t offset, std::uint64_t size, const char* what) const {
    const std::uint8_t* at = file_.At(offset, size);
    if (at == nullptr) return Unreadable(offset, size, what);
    return Bytes(at, size);
  }
  Read<std::uint16_t> ReadU16(std::uint64_t offset, const char* what) const {
    Read<Bytes> bytes = ReadBytes(offset, 2, what);
    if (!bytes) return bytes.damage;
    return Read<std::uint16_t>(platform::Get16(*bytes, 0), Intact());
  }
  Read<std::uint32_t> ReadU32(std::uint64_t offset, const char* what) const {
    Read<Bytes> bytes = ReadBytes(offset, 4, what);
    if (!bytes) return bytes.damage;
    return Read<std::uint32_t>(platform::Get32(*bytes, 0), Intact());
  }
  // Flaw::Shorter once the file was found cut: bytes read from it since
  // may be zeros in place of what it held. Whatever copies or converts the
  // file's bytes asks it after, before it hands out what it made.
  Damage Intact() const { return file_.Shrunk() ? Damage{Flaw::Shorter} : Damage{}; }
  // The bytes, read with ReadBytes, are real when this finds no damage:
  // their pages are touched now and a cut told, for bytes handed out to be
  // read later.
  Damage Readable(Bytes bytes) const {
    file_.FaultIn(bytes.data(), bytes.size());
    return Intact();
  }
  // Named and numbered entries of the directory at `directory`.
  Read<std::uint32_t> EntryCount(std::uint64_t directory) const;

  static constexpr std::size_t kMaxItems = 250000;
  static constexpr int kMaxDepth = 16;
  // Counts one more item of the tree; damage when the file holds more.
  Damage CountItem();
  // Takes the directory at `directory` for a list; false when a list of it
  // was made before: one directory that many entries lead to is listed
  // once, or a small file would be a tree of millions of items.
  bool TakeDirectory(std::uint64_t directory) { return listed_.insert(directory).second; }
  // The images of IconEntries (CursorEntries) by their ids, in file order;
  // built once, for the group lists.
  // Damage of the images' directory is told by the first call.
  Read<std::span<TResourceItem* const>> ImagesWithId(bool cursors, std::uint32_t id);

  // A new item or list of the tree, in the image's arena.
  std::pmr::memory_resource* Arena() { return &arena_; }
  template <class T, class... Args>
  T* Make(Args&&... args) {
    return new (arena_.allocate(sizeof(T), alignof(T))) T(std::forward<Args>(args)...);
  }

 private:
  Damage Opened(platform::FileView::Result result);
  Damage CheckHeaders();
  // Why bytes could not be read: outside the file, gone from it since, or
  // not mapped.
  Damage Unreadable(std::uint64_t offset, std::uint64_t size, const char* what) const;
  std::string fileName_;
  platform::FileView file_;
  Damage opening_;
  std::uint64_t ntHeaders_ = 0;
  std::pmr::monotonic_buffer_resource arena_{8192};         // the tree's memory
  std::pmr::unordered_set<std::uint64_t> listed_{&arena_};  // the directories with a list
  TResourceList* resources_ = nullptr;
  bool sectionFound_ = false;
  std::optional<std::uint16_t> language_;
  std::uint64_t resourceBase_ = 0;
  std::uint32_t resourceVirtualAddress_ = 0;
  std::size_t itemCount_ = 0;
  // The images ordered by id, then file order, beside their ids.
  struct ImageIndex {
    std::vector<std::uint32_t> ids;
    std::vector<TResourceItem*> items;
  };
  std::optional<ImageIndex> imageIds_[2];
  friend class TResourceItem;
  std::unordered_map<const TResourceItem*, TResourceList*> languageLists_;
};
