#include "resx/ExeImage.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <type_traits>

#include "platform/codepage.h"
#include "platform/little_endian.h"
#include "platform/text_util.h"

// Nothing of the tree is ever destroyed: an item that came to hold memory
// of its own would lose it.
template <class... Item>
constexpr bool kNeedNoDestruction = (std::is_trivially_destructible_v<Item> && ...);
static_assert(kNeedNoDestruction<TResourceItem, TIconResource, TCursorResource, TIconResEntry, TCursorResEntry,
                                 TBitMapResource, TStringResource, TMenuResource>);

namespace {

constexpr std::uint32_t kNtHeadersSize = 248;  // the 32-bit layout the readability probe covers
constexpr std::uint32_t kSectionHeaderSize = 40;
constexpr std::uint32_t kDirectorySize = 16;
constexpr std::uint32_t kEntrySize = 8;

}  // namespace

bool HighBitSet(std::uint32_t value) { return (value & 0x80000000u) != 0; }
std::uint32_t StripHighBit(std::uint32_t value) { return value & 0x7FFFFFFFu; }

std::string WideToNarrow(const std::uint8_t* units, std::size_t count) {
  return platform::Utf16ToUtf8(count,
                               [units](std::size_t i) { return char32_t(units[2 * i] | units[2 * i + 1] << 8); });
}

std::uint32_t ColorsForBitCount(std::uint32_t bitCount) {
  switch (bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
  }
}

ResourceClass ResourceClassFor(std::uint32_t typeCode) {
  switch (typeCode) {
    case rtCursorEntry: return ResourceClass::CursorEntry;
    case rtBitmap: return ResourceClass::Bitmap;
    case rtIconEntry: return ResourceClass::IconEntry;
    case rtMenu: return ResourceClass::Menu;
    case rtString: return ResourceClass::String;
    case rtCursor: return ResourceClass::Cursor;
    case rtIcon: return ResourceClass::Icon;
    default: return ResourceClass::Item;
  }
}

// ---- the image --------------------------------------------------------

TExeImage::TExeImage(const std::string& fileName)
    : TExeImage(fileName, [&fileName](platform::FileView& file) { return file.Open(fileName); }) {}

TExeImage::TExeImage(const std::string& fileName, Bytes bytes)
    : TExeImage(fileName, [bytes](platform::FileView& file) { return file.Open(bytes); }) {}

Damage TExeImage::Opened(platform::FileView::Result result) {
  switch (result) {
    case platform::FileView::Result::CannotOpen: return {Flaw::CannotOpen, 0, fileName_.c_str()};
    case platform::FileView::Result::Empty: return {Flaw::EmptyFile};
    case platform::FileView::Result::Opened: break;
  }
  return CheckHeaders();
}

TExeImage::~TExeImage() = default;

Damage TExeImage::CheckHeaders() {
  if (!file_.Holds(0, 2)) return {Flaw::NotMz};
  Read<std::uint16_t> mz = ReadU16(0, "DOS header");
  if (!mz) return mz.damage;
  if (*mz != 0x5A4D) return {Flaw::NotMz};
  // e_lfanew is signed on the platform: a negative one points before the file
  std::int64_t lfanew = -1;
  if (file_.Holds(0, 0x40)) {
    Read<std::uint32_t> field = ReadU32(0x3C, "DOS header");
    if (!field) return field.damage;
    lfanew = static_cast<std::int32_t>(*field);
  }
  if (lfanew < 0 || !file_.Holds(static_cast<std::uint64_t>(lfanew), kNtHeadersSize)) return {Flaw::NotPe};
  Read<std::uint32_t> signature = ReadU32(static_cast<std::uint64_t>(lfanew), "NT headers");
  if (!signature) return signature.damage;
  if (*signature != 0x00004550) return {Flaw::NotPe};
  ntHeaders_ = static_cast<std::uint64_t>(lfanew);
  return {};
}

Damage TExeImage::Unreadable(std::uint64_t offset, std::uint64_t size, const char* what) const {
  // asking whether the bytes lie in the file may find it cut: once it was,
  // what is missing is put down to that
  bool inFile = file_.Holds(offset, size);
  if (file_.Shrunk()) return {Flaw::Shorter};
  if (!inFile) return {Flaw::Outside, offset, what};
  return {Flaw::Unmapped, offset, what};
}

Read<std::span<TResourceItem* const>> TExeImage::ImagesWithId(bool cursors, std::uint32_t id) {
  auto& index = imageIds_[cursors];
  Damage damage;  // told by the group that builds the index, once
  if (!index) {
    index.emplace();
    TResourceItem* images = cursors ? CursorEntries : IconEntries;
    Read<bool> list = images != nullptr ? images->IsList() : Read<bool>(false);
    Read<TResourceList*> sub = list && *list ? images->SubList() : Read<TResourceList*>(nullptr, list.damage);
    damage = sub.damage;
    if (*sub != nullptr) {
      std::span<TResourceItem* const> items = sub.value->Items();
      damage = sub.value->ItemsDamage();
      index->items.assign(items.begin(), items.end());
      // a directory lists its ids in ascending order, unless it is damaged
      auto byId = [](const TResourceItem* a, const TResourceItem* b) { return a->Name() < b->Name(); };
      if (!std::is_sorted(index->items.begin(), index->items.end(), byId))
        std::stable_sort(index->items.begin(), index->items.end(), byId);
      index->ids.reserve(index->items.size());
      for (const TResourceItem* item : index->items) index->ids.push_back(item->Name());
    }
  }
  auto [from, to] = std::equal_range(index->ids.begin(), index->ids.end(), id);
  return Read<std::span<TResourceItem* const>>(
      std::span<TResourceItem* const>(index->items)
          .subspan(static_cast<std::size_t>(from - index->ids.begin()), static_cast<std::size_t>(to - from)),
      damage);
}

Damage TExeImage::CountItem() { return ++itemCount_ > kMaxItems ? Damage{Flaw::TooMany} : Damage{}; }

Read<std::optional<std::uint64_t>> TExeImage::FindSection(const std::string& name) const {
  Read<std::uint16_t> count = ReadU16(ntHeaders_ + 6, "file header");
  Read<std::uint16_t> optionalSize = ReadU16(ntHeaders_ + 20, "file header");
  if (!count) return count.damage;
  if (!optionalSize) return optionalSize.damage;
  // the section table follows the optional header, whatever its size (a
  // 64-bit image has a longer one)
  std::uint64_t table = ntHeaders_ + 24 + *optionalSize;
  for (std::uint32_t i = 0; i < *count; ++i) {
    Read<Bytes> read = ReadBytes(table + std::uint64_t{i} * kSectionHeaderSize, kSectionHeaderSize, "section header");
    if (!read) return read.damage;
    Bytes header = *read;
    std::size_t length = 0;
    while (length < 8 && header[length] != 0) ++length;
    if (platform::EqualsNoCase(std::string_view(reinterpret_cast<const char*>(header.data()), length), name))
      return std::optional<std::uint64_t>(table + std::uint64_t{i} * kSectionHeaderSize);
  }
  return std::optional<std::uint64_t>();
}

Read<TResourceList*> TExeImage::Resources() {
  if (resources_) return resources_;
  if (opening_.Found()) return opening_;
  if (!sectionFound_) {
    Read<std::optional<std::uint64_t>> section = FindSection(".rsrc");
    if (!section) return section.damage;
    if (!*section) return Damage{Flaw::NoResources};
    // the section header was read whole
    Bytes header = *ReadBytes(**section, kSectionHeaderSize, "section header");
    resourceVirtualAddress_ = platform::Get32(header, 12);
    resourceBase_ = platform::Get32(header, 20);
    // the tree's directories, names and small data: read as they are met,
    // not faulted in
    std::uint32_t size = platform::Get32(header, 16);
    if (Damage cut = Intact(); cut.Found()) return cut;
    file_.Window(resourceBase_, size);
    // what a walk reads first, for a batch to read with other files': the
    // root directory, at the start, and the last page, where resource
    // compilers put the group and version data
    file_.WillNeed(resourceBase_, kDirectorySize);
    if (size > platform::FileView::kPage) file_.WillNeed(resourceBase_ + size - 1, 1);
    sectionFound_ = true;
  }
  // a tree built again (for another language) lists its directories anew
  listed_.clear();
  TakeDirectory(resourceBase_);
  resources_ = Make<TResourceList>(*this, resourceBase_, 0, nullptr);
  return resources_;
}

void TExeImage::SetLanguage(std::optional<std::uint16_t> language) {
  language_ = language;
  resources_ = nullptr;
  IconEntries = CursorEntries = nullptr;
  imageIds_[0].reset();
  imageIds_[1].reset();
  languageLists_.clear();
  itemCount_ = 0;
}

Read<std::vector<std::uint16_t>> TExeImage::Languages() {
  if (Read<TResourceList*> root = Resources(); !root) return root.damage;
  // the entries of a directory that can be read, as the tree reads them; a
  // damaged file may share its directories many times over, so the entries
  // read are bounded as the tree's items are
  std::size_t budget = kMaxItems;
  auto entries = [&](std::uint64_t directory, auto&& each) {
    Read<std::uint32_t> count = EntryCount(directory);
    if (!count) return;
    const std::uint64_t size = std::uint64_t{*count} * kEntrySize;
    const std::uint8_t* bytes = file_.At(directory + kDirectorySize, size);
    if (bytes == nullptr) return;
    Bytes block(bytes, size);
    for (std::size_t at = 0; at < block.size() && budget > 0; at += kEntrySize, --budget)
      each(platform::Get32(block, at), platform::Get32(block, at + 4));
  };
  std::vector<std::uint16_t> languages;
  auto below = [this](std::uint32_t offsetToData) { return resourceBase_ + StripHighBit(offsetToData); };
  entries(resourceBase_, [&](std::uint32_t, std::uint32_t type) {
    if (!HighBitSet(type)) return;
    entries(below(type), [&](std::uint32_t, std::uint32_t name) {
      if (!HighBitSet(name)) return;
      entries(below(name), [&](std::uint32_t language, std::uint32_t data) {
        if (language <= 0xFFFF && !HighBitSet(data)) languages.push_back(static_cast<std::uint16_t>(language));
      });
    });
  });
  std::sort(languages.begin(), languages.end());
  languages.erase(std::unique(languages.begin(), languages.end()), languages.end());
  return languages;
}

// ---- lists ------------------------------------------------------------

TResourceList::TResourceList(TExeImage& image, std::uint64_t directory, std::uint32_t typeCode,
                             const TResourceList* parent)
    : image_(image),
      directory_(directory),
      typeCode_(typeCode),
      parent_(parent),
      depth_(parent ? parent->depth_ + 1 : 0),
      items_(image.Arena()) {}

Damage TResourceList::AppendItemName(std::size_t index, std::string& out) {
  return items_[index]->AppendDisplayName(out);
}

std::span<TResourceItem* const> TResourceList::Items() {
  if (!built_) {
    built_ = true;
    damage_ = Build();
  }
  return items_;
}

Read<std::uint32_t> TExeImage::EntryCount(std::uint64_t directory) const {
  const std::uint8_t* at = file_.At(directory + 12, 4);
  if (at == nullptr || file_.Shrunk()) return Unreadable(directory + 12, 4, "resource directory");
  Bytes counts(at, 4);  // the named entries', then the numbered ones'
  return std::uint32_t{platform::Get16(counts, 0)} + platform::Get16(counts, 2);
}

Damage TResourceList::Build() {
  Read<std::uint32_t> count = image_.EntryCount(directory_);
  if (!count) return count.damage;
  Read<Bytes> entries =
      image_.ReadBytes(directory_ + kDirectorySize, std::uint64_t{*count} * kEntrySize, "resource directory entries");
  if (!entries) return entries.damage;
  items_.reserve(*count);
  for (std::uint32_t i = 0; i < *count; ++i) {
    if (Damage many = image_.CountItem(); many.Found()) return many;
    const std::uint32_t name = platform::Get32(*entries, std::size_t{i} * kEntrySize);
    const std::uint32_t offsetToData = platform::Get32(*entries, std::size_t{i} * kEntrySize + 4);
    auto make = [&]<class Item>() -> TResourceItem* { return image_.Make<Item>(image_, *this, name, offsetToData); };
    TResourceItem* item = nullptr;
    switch (ResourceClassFor(typeCode_)) {
      case ResourceClass::CursorEntry: item = make.operator()<TCursorResEntry>(); break;
      case ResourceClass::Bitmap: item = make.operator()<TBitMapResource>(); break;
      case ResourceClass::IconEntry: item = make.operator()<TIconResEntry>(); break;
      case ResourceClass::Menu: item = make.operator()<TMenuResource>(); break;
      case ResourceClass::String: item = make.operator()<TStringResource>(); break;
      case ResourceClass::Cursor: item = make.operator()<TCursorResource>(); break;
      case ResourceClass::Icon: item = make.operator()<TIconResource>(); break;
      case ResourceClass::Item: item = make.operator()<TResourceItem>(); break;
    }
    // the fields were copied from the file: a cut since may have made them zeros
    if (Damage cut = image_.Intact(); cut.Found()) return cut;
    if (parent_ == nullptr && name == rtCursorEntry) {
      image_.CursorEntries = item;  // the images are shown through their groups
    } else if (parent_ == nullptr && name == rtIconEntry) {
      image_.IconEntries = item;
    } else {
      items_.push_back(item);
    }
  }
  return {};
}

TLanguageList::TLanguageList(TResourceItem& resource, std::uint64_t directory)
    : TResourceList(resource.Owner().Image(), directory, resource.TypeCode(), &resource.Owner()), resource_(resource) {
  holdsLanguages_ = true;
}

Damage TLanguageList::Build() {
  Damage damage = TResourceList::Build();
  std::erase_if(items_,
                [](const TResourceItem* item) { return item->Name() > 0xFFFF || HighBitSet(item->OffsetToData()); });
  return damage;
}

TIconResourceList::TIconResourceList(TExeImage& image, std::uint64_t directory, std::uint32_t typeCode,
                                     const TResourceList* parent)
    : TResourceList(image, directory, typeCode, parent), entries_(image.Arena()) {}

Damage TIconResourceList::Build() {
  Read<std::uint16_t> count = image_.ReadU16(directory_ + 4, "icon group");
  if (!count) return count.damage;
  Read<Bytes> entries = image_.ReadBytes(directory_ + 6, std::uint64_t{*count} * 14, "icon group entries");
  if (!entries) return entries.damage;
  // every image whose id the entry names, in file order (a file without
  // images shows its groups empty); the images of RT_CURSOR are
  // TCursorResEntry and those of RT_ICON TIconResEntry, as their lists make them
  for (std::uint16_t i = 0; i < *count; ++i) {
    std::uint64_t entry = directory_ + 6 + std::uint64_t{i} * 14;
    std::uint16_t id = platform::Get16(*entries, std::size_t{i} * 14 + 12);
    Read<std::span<TResourceItem* const>> images = image_.ImagesWithId(Cursors(), id);
    if (!images) return images.damage;
    for (TResourceItem* candidate : *images) {
      if (Damage many = image_.CountItem(); many.Found()) return many;
      items_.push_back(candidate);
      entries_.push_back(entry);
    }
  }
  return image_.Intact();
}

// ---- items ------------------------------------------------------------

namespace {

Damage AppendCountedName(const TExeImage& image, std::uint32_t field, std::string& out) {
  std::uint64_t at = image.ResourceBase() + StripHighBit(field);
  Read<std::uint16_t> length = image.ReadU16(at, "resource name");
  if (!length) return length.damage;
  Read<Bytes> units = image.ReadBytes(at + 2, 2 * std::uint64_t{*length}, "resource name");
  if (!units) return units.damage;
  out += WideToNarrow(units->data(), *length);
  return image.Intact();
}

// Appends "%d X %d %d<unit>", made without a format parser: a group of
// many images is named image by image.
void AppendSizeName(std::string& out, unsigned width, unsigned height, unsigned count, std::string_view unit) {
  char buf[48];
  char* at = std::to_chars(buf, buf + 10, width).ptr;
  at = std::copy_n(" X ", 3, at);
  at = std::to_chars(at, at + 10, height).ptr;
  *at++ = ' ';
  at = std::to_chars(at, at + 10, count).ptr;
  at = std::copy(unit.begin(), unit.end(), at);  // unit is one of two short words
  out.append(buf, static_cast<std::size_t>(at - buf));
}

}  // namespace

Damage TResourceItem::AssignTo(TPicture&) { return {Flaw::NotPicture, 0, ClassName()}; }
Damage TResourceItem::AssignTo(TStrings&) { return {Flaw::NotLines, 0, ClassName()}; }

Damage TResourceItem::AppendDisplayName(std::string& out) {
  std::uint32_t name = Name();
  if (owner_.Parent() == nullptr && name <= 16) {
    out += ResourceTypeDisplayName(name);
  } else if (HighBitSet(name)) {
    return AppendCountedName(image_, name, out);
  } else if (owner_.HoldsLanguages()) {  // its LANGID, four hexadecimal digits
    constexpr char kDigits[] = "0123456789ABCDEF";
    for (int shift = 12; shift >= 0; shift -= 4) out += kDigits[(name >> shift) & 0xF];
  } else {
    char digits[10];  // "%d" of a value below 2^31
    out.append(digits, static_cast<std::size_t>(std::to_chars(digits, digits + 10, name).ptr - digits));
  }
  return {};
}

Read<std::string> TResourceItem::TypeName() const {
  std::uint32_t code = TypeCode();
  if (const char* known = ResourceTypeDisplayName(code)) return std::string(known);
  if (!HighBitSet(code)) return std::to_string(code);
  std::string name;
  if (Damage damage = AppendCountedName(image_, code, name); damage.Found()) return damage;
  return name;
}

Read<std::optional<std::uint32_t>> TResourceItem::FirstChildOffsetToData() const {
  std::uint64_t d = image_.ResourceBase() + StripHighBit(OffsetToData());
  Read<std::uint32_t> count = image_.EntryCount(d);
  if (!count) return count.damage;
  if (*count == 0) return std::optional<std::uint32_t>();
  Read<std::uint32_t> first = image_.ReadU32(d + kDirectorySize + 4, "resource directory entry");
  if (!first) return first.damage;
  return std::optional<std::uint32_t>(*first);
}

Read<std::uint32_t> TResourceItem::StandingOffsetToData(std::uint32_t first) const {
  // asked for every leaf of a walk: without a chosen language it reads nothing
  std::optional<std::uint16_t> language = image_.Language();
  if (!language || HighBitSet(first)) return first;
  std::uint64_t d = image_.ResourceBase() + StripHighBit(OffsetToData());
  Read<std::uint32_t> count = image_.EntryCount(d);
  if (!count) return count.damage;
  Read<Bytes> entries =
      image_.ReadBytes(d + kDirectorySize, std::uint64_t{*count} * kEntrySize, "resource directory entries");
  if (!entries) return entries.damage;
  std::uint32_t chosen = first;
  for (std::uint32_t i = 0; i < *count; ++i) {
    std::uint32_t offset = platform::Get32(*entries, 8 * i + 4);
    // a language entry that leads to a directory holds no data of its own
    if (platform::Get32(*entries, 8 * i) == *language && !HighBitSet(offset)) {
      chosen = offset;
      break;
    }
  }
  return Read<std::uint32_t>(chosen, image_.Intact());
}

Read<bool> TResourceItem::HasLanguages() {
  if (!HighBitSet(OffsetToData())) return false;
  Read<std::optional<std::uint32_t>> first = FirstChildOffsetToData();
  if (!first) return first.damage;
  return *first && !HighBitSet(**first);
}

Read<TResourceList*> TResourceItem::LanguageList() {
  Read<bool> languages = HasLanguages();
  if (!languages) return languages.damage;
  if (!*languages) return Damage{Flaw::NoLanguages};
  TResourceList*& list = image_.languageLists_[this];
  if (list == nullptr) list = image_.Make<TLanguageList>(*this, image_.ResourceBase() + StripHighBit(OffsetToData()));
  return list;
}

std::uint32_t TResourceItem::ResourceName() const {
  return owner_.HoldsLanguages() ? static_cast<const TLanguageList&>(owner_).Resource().Name() : Name();
}

std::optional<std::uint16_t> TResourceItem::Language() const {
  if (!owner_.HoldsLanguages()) return std::nullopt;
  return static_cast<std::uint16_t>(Name());
}

Read<bool> TResourceItem::IsList() {
  if (isList_) return *isList_;
  if (!HighBitSet(OffsetToData())) {
    isList_ = false;  // the entry leads straight to its data
    return false;
  }
  Read<std::optional<std::uint32_t>> first = FirstChildOffsetToData();
  if (!first) return first.damage;
  const bool list = *first && HighBitSet(**first);
  // a name entry leads through its first language to the data: every view
  // of the leaf asks for it next
  if (*first && !list) {
    Read<std::uint32_t> standing = StandingOffsetToData(**first);
    if (!standing) return standing.damage;
    dataEntry_ = image_.ResourceBase() + *standing;
  }
  isList_ = list;
  return list;
}

Read<TResourceList*> TResourceItem::SubList() {
  if (subList_) return subList_;
  Read<bool> list = IsList();
  if (!list) return list.damage;
  if (!*list) return Damage{Flaw::NotAList};
  std::uint64_t d = image_.ResourceBase() + StripHighBit(OffsetToData());
  for (const TResourceList* up = &owner_; up != nullptr; up = up->Parent())
    if (up->Directory() == d) return Damage{Flaw::ContainsItself, d};
  if (owner_.Depth() + 1 > TExeImage::kMaxDepth) return Damage{Flaw::NestsTooDeep};
  if (!image_.TakeDirectory(d)) return Damage{Flaw::ListedAlready, d};
  // below the type level the lists keep the type's code
  std::uint32_t code = owner_.Parent() == nullptr ? Name() : owner_.TypeCode();
  subList_ = image_.Make<TResourceList>(image_, d, code, &owner_);
  return subList_;
}

template <class List>
Read<TResourceList*> TIconResource::GroupList() {
  if (!subList_) {
    Read<std::uint64_t> data = DataOffset();
    if (!data) return data.damage;
    subList_ = image_.Make<List>(image_, *data, TypeCode(), &owner_);
  }
  return subList_;
}

Read<TResourceList*> TIconResource::SubList() { return GroupList<TIconResourceList>(); }
Read<TResourceList*> TCursorResource::SubList() { return GroupList<TCursorResourceList>(); }

Read<std::uint64_t> TResourceItem::FindDataEntry() {
  std::uint32_t own = OffsetToData();
  if (HighBitSet(own)) {
    Read<std::optional<std::uint32_t>> first = FirstChildOffsetToData();
    if (!first) return first.damage;
    if (!*first) return Damage{Flaw::EmptyDirectory};
    Read<std::uint32_t> standing = StandingOffsetToData(**first);
    if (!standing) return standing.damage;
    own = StripHighBit(*standing);
  }
  dataEntry_ = image_.ResourceBase() + own;
  return *dataEntry_;
}

Read<std::uint64_t> TResourceItem::DataOffset() {
  Read<std::uint64_t> entry = DataEntry();
  if (!entry) return entry;
  Read<std::uint32_t> rva = image_.ReadU32(*entry, "resource data entry");
  if (!rva) return rva.damage;
  if (*rva < image_.ResourceVirtualAddress()) return Damage{Flaw::BeforeSection, *rva};
  return image_.ResourceBase() + (*rva - image_.ResourceVirtualAddress());
}

Read<Bytes> TResourceItem::ResourceData() {
  Read<std::uint64_t> at = DataOffset();
  if (!at) return at.damage;
  Read<std::uint32_t> size = image_.ReadU32(*dataEntry_ + 4, "resource data entry");
  if (!size) return size.damage;
  Read<Bytes> data = image_.ReadBytes(*at, *size, "resource data");
  if (!data) return data;
  return Read<Bytes>(*data, image_.Readable(*data));
}

Read<ItemPlace> TResourceItem::Place() {
  Read<bool> list = IsList();
  if (!list) return list.damage;
  if (*list) return ItemPlace{StripHighBit(OffsetToData()), 0};
  Read<std::uint64_t> entry = DataEntry();
  if (!entry) return entry.damage;
  Read<Bytes> fields = image_.ReadBytes(*entry, 8, "resource data entry");
  if (!fields) return fields.damage;
  return Read<ItemPlace>(ItemPlace{platform::Get32(*fields, 0), platform::Get32(*fields, 4)}, image_.Intact());
}

Damage TResourceItem::SaveToStream(std::string& out) {
  Read<Bytes> data = ResourceData();
  if (!data) return data.damage;
  out.append(reinterpret_cast<const char*>(data->data()), data->size());
  return image_.Intact();
}

Damage TIconResourceList::AppendItemName(std::size_t index, std::string& out) {
  const std::uint64_t entry = entries_[index];
  Read<Bytes> read = image_.ReadBytes(entry, 14, Cursors() ? "cursor group entry" : "icon group entry");
  if (!read) return read.damage;
  Bytes e = *read;
  if (Cursors())
    AppendSizeName(out, platform::Get16(e, 0), platform::Get16(e, 0), platform::Get16(e, 6), " Bit(s)");
  else  // a width or height byte of 0 stands for 256
    AppendSizeName(out, e[0] ? e[0] : 256u, e[1] ? e[1] : 256u, e[2], " Colors");
  return image_.Intact();
}
