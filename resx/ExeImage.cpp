#include "resx/ExeImage.h"

#include <algorithm>
#include <charconv>
#include <initializer_list>
#include <string_view>
#include <type_traits>

#include "framework/format.h"
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

constexpr const char* kShorter = "Damaged file: the file has become shorter since it was opened";

// Upper-case hexadecimal, as the engine's messages give offsets; made
// without a format parser: a damaged tree may give thousands of messages.
struct Hex {
  explicit Hex(std::uint64_t value) : end(std::to_chars(digits, digits + sizeof digits, value, 16).ptr) {
    std::transform(digits, end, digits, [](char c) { return c >= 'a' ? static_cast<char>(c - 'a' + 'A') : c; });
  }
  std::string_view View() const { return {digits, static_cast<std::size_t>(end - digits)}; }
  char digits[16];
  char* end;
};

// The message made in one allocation: each damaged entry of a tree costs one.
std::string Message(std::initializer_list<std::string_view> parts) {
  std::size_t size = 0;
  for (std::string_view part : parts) size += part.size();
  std::string message;
  message.reserve(size);
  for (std::string_view part : parts) message += part;
  return message;
}

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

void TExeImage::Opened(platform::FileView::Result result) {
  switch (result) {
    case platform::FileView::Result::CannotOpen: throw EExeError("Couldn't open: " + fileName_);
    case platform::FileView::Result::Empty: throw EExeError("CreateFileMapping failed");
    case platform::FileView::Result::Opened: break;
  }
  CheckHeaders();
}

TExeImage::~TExeImage() = default;

void TExeImage::CheckHeaders() {
  if (!file_.Holds(0, 2) || U16(0, "DOS header") != 0x5A4D) throw EExeError("unrecognized file format");
  // e_lfanew is signed on the platform: a negative one points before the file
  std::int64_t lfanew = file_.Holds(0, 0x40) ? static_cast<std::int32_t>(U32(0x3C, "DOS header")) : -1;
  if (lfanew < 0 || !file_.Holds(static_cast<std::uint64_t>(lfanew), kNtHeadersSize) ||
      U32(static_cast<std::uint64_t>(lfanew), "NT headers") != 0x00004550)
    throw EExeError("Not a PE (WIN32 Executable) file");
  ntHeaders_ = static_cast<std::uint64_t>(lfanew);
}

std::string TExeImage::Damage(std::uint64_t offset, std::uint64_t size, const char* what) const {
  // asking whether the bytes lie in the file may find it cut: once it was,
  // what is missing is put down to that
  bool inFile = file_.Holds(offset, size);
  if (file_.Shrunk()) return kShorter;
  if (!inFile) return Message({"Damaged file: ", what, " at offset ", Hex(offset).View(), " lies outside the file"});
  return "MapViewOfFile failed";
}

void TExeImage::Unreadable(std::uint64_t offset, std::uint64_t size, const char* what) const {
  throw EExeError(Damage(offset, size, what));
}

const std::uint8_t* TExeImage::TryRead(std::uint64_t offset, std::uint64_t size, const char* what,
                                       std::string& damage) const {
  const std::uint8_t* at = file_.At(offset, size);
  if (at == nullptr) damage = Damage(offset, size, what);
  return at;
}

bool TExeImage::TryIntact(std::string& damage) const {
  if (!file_.Shrunk()) return true;
  damage = kShorter;
  return false;
}

bool TExeImage::TryU16(std::uint64_t offset, const char* what, std::uint16_t& value, std::string& damage) const {
  const std::uint8_t* at = TryRead(offset, 2, what, damage);
  if (at == nullptr) return false;
  value = platform::Get16(Bytes(at, 2), 0);
  return TryIntact(damage);
}

bool TExeImage::TryU32(std::uint64_t offset, const char* what, std::uint32_t& value, std::string& damage) const {
  const std::uint8_t* at = TryRead(offset, 4, what, damage);
  if (at == nullptr) return false;
  value = platform::Get32(Bytes(at, 4), 0);
  return TryIntact(damage);
}

void TExeImage::Shorter() { throw EExeError(kShorter); }

std::span<TResourceItem* const> TExeImage::ImagesWithId(bool cursors, std::uint32_t id) {
  auto& index = imageIds_[cursors];
  if (!index) {
    index.emplace();
    TResourceItem* images = cursors ? CursorEntries : IconEntries;
    if (images != nullptr && images->IsList()) {
      std::span<TResourceItem* const> items = images->SubList().Items();
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
  return std::span(index->items)
      .subspan(static_cast<std::size_t>(from - index->ids.begin()), static_cast<std::size_t>(to - from));
}

void TExeImage::CountItem() {
  if (++itemCount_ > kMaxItems)
    throw EExeError(Format("Damaged file: more than %d resources", {static_cast<long long>(kMaxItems)}));
}

std::optional<std::uint64_t> TExeImage::FindSection(const std::string& name) const {
  std::uint16_t count = U16(ntHeaders_ + 6, "file header");
  // the section table follows the optional header, whatever its size (a
  // 64-bit image has a longer one)
  std::uint64_t table = ntHeaders_ + 24 + U16(ntHeaders_ + 20, "file header");
  for (std::uint32_t i = 0; i < count; ++i) {
    Bytes header = Read(table + std::uint64_t{i} * kSectionHeaderSize, kSectionHeaderSize, "section header");
    std::size_t length = 0;
    while (length < 8 && header[length] != 0) ++length;
    if (platform::EqualsNoCase(std::string_view(reinterpret_cast<const char*>(header.data()), length), name))
      return table + std::uint64_t{i} * kSectionHeaderSize;
  }
  return std::nullopt;
}

TResourceList& TExeImage::Resources() {
  if (resources_) return *resources_;
  if (!sectionFound_) {
    std::optional<std::uint64_t> section = FindSection(".rsrc");
    if (!section) throw EExeError("Žádné zdroje v tomto souboru.");
    resourceVirtualAddress_ = U32(*section + 12, "section header");
    resourceBase_ = U32(*section + 20, "section header");
    // the tree's directories, names and small data: read as they are met,
    // not faulted in
    std::uint32_t size = U32(*section + 16, "section header");
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
  return *resources_;
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

std::vector<std::uint16_t> TExeImage::Languages() {
  Resources();
  // the entries of a directory that can be read, as the tree reads them; a
  // damaged file may share its directories many times over, so the entries
  // read are bounded as the tree's items are
  std::size_t budget = kMaxItems;
  auto entries = [&](std::uint64_t directory, auto&& each) {
    std::optional<std::uint32_t> count = ReadEntryCount(directory);
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

bool TResourceList::AppendItemName(std::size_t index, std::string& out, std::string& damage) {
  return items_[index]->TryAppendDisplayName(out, damage);
}

std::span<TResourceItem* const> TResourceList::Items() {
  if (!built_) {
    built_ = true;
    Build();
  }
  return items_;
}

std::uint32_t TExeImage::EntryCount(std::uint64_t directory) const {
  std::uint32_t count = 0;
  std::string damage;
  if (!TryEntryCount(directory, count, damage)) throw EExeError(std::move(damage));
  return count;
}

bool TExeImage::TryEntryCount(std::uint64_t directory, std::uint32_t& count, std::string& damage) const {
  std::optional<std::uint32_t> read = ReadEntryCount(directory);
  if (!read || file_.Shrunk()) {
    damage = Damage(directory + 12, 4, "resource directory");
    return false;
  }
  count = *read;
  return true;
}

std::optional<std::uint32_t> TExeImage::ReadEntryCount(std::uint64_t directory) const {
  const std::uint8_t* at = file_.At(directory + 12, 4);
  if (at == nullptr) return std::nullopt;
  Bytes counts(at, 4);  // the named entries', then the numbered ones'
  return std::uint32_t{platform::Get16(counts, 0)} + platform::Get16(counts, 2);
}

void TResourceList::Build() {
  std::uint32_t count = image_.EntryCount(directory_);
  image_.Read(directory_ + kDirectorySize, std::uint64_t{count} * kEntrySize, "resource directory entries");
  items_.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    image_.CountItem();
    std::uint64_t entry = directory_ + kDirectorySize + std::uint64_t{i} * kEntrySize;
    TResourceItem* item = nullptr;
    switch (ResourceClassFor(typeCode_)) {
      case ResourceClass::CursorEntry: item = image_.Make<TCursorResEntry>(image_, *this, entry); break;
      case ResourceClass::Bitmap: item = image_.Make<TBitMapResource>(image_, *this, entry); break;
      case ResourceClass::IconEntry: item = image_.Make<TIconResEntry>(image_, *this, entry); break;
      case ResourceClass::Menu: item = image_.Make<TMenuResource>(image_, *this, entry); break;
      case ResourceClass::String: item = image_.Make<TStringResource>(image_, *this, entry); break;
      case ResourceClass::Cursor: item = image_.Make<TCursorResource>(image_, *this, entry); break;
      case ResourceClass::Icon: item = image_.Make<TIconResource>(image_, *this, entry); break;
      case ResourceClass::Item: item = image_.Make<TResourceItem>(image_, *this, entry); break;
    }
    if (parent_ == nullptr && item->Name() == rtCursorEntry) {
      image_.CursorEntries = item;  // the images are shown through their groups
    } else if (parent_ == nullptr && item->Name() == rtIconEntry) {
      image_.IconEntries = item;
    } else {
      items_.push_back(item);
    }
  }
}

TLanguageList::TLanguageList(TResourceItem& resource, std::uint64_t directory)
    : TResourceList(resource.Owner().Image(), directory, resource.TypeCode(), &resource.Owner()), resource_(resource) {
  holdsLanguages_ = true;
}

void TLanguageList::Build() {
  TResourceList::Build();
  std::erase_if(items_, [this](const TResourceItem* item) {
    return item->Name() > 0xFFFF || HighBitSet(image_.U32(item->DirEntry() + 4, "resource directory entry"));
  });
}

TIconResourceList::TIconResourceList(TExeImage& image, std::uint64_t directory, std::uint32_t typeCode,
                                     const TResourceList* parent)
    : TResourceList(image, directory, typeCode, parent), entries_(image.Arena()) {}

void TIconResourceList::Build() {
  std::uint16_t count = image_.U16(directory_ + 4, "icon group");
  image_.Read(directory_ + 6, std::uint64_t{count} * 14, "icon group entries");
  // every image whose id the entry names, in file order (a file without
  // images shows its groups empty); the images of RT_CURSOR are
  // TCursorResEntry and those of RT_ICON TIconResEntry, as their lists make them
  for (std::uint16_t i = 0; i < count; ++i) {
    std::uint64_t entry = directory_ + 6 + std::uint64_t{i} * 14;
    std::uint16_t id = image_.U16(entry + 12, "icon group entry");
    for (TResourceItem* candidate : image_.ImagesWithId(Cursors(), id)) {
      image_.CountItem();
      items_.push_back(candidate);
      entries_.push_back(entry);
    }
  }
}

// ---- items ------------------------------------------------------------

TResourceItem::TResourceItem(TExeImage& image, TResourceList& owner, std::uint64_t dirEntry)
    : image_(image), owner_(owner), dirEntry_(dirEntry) {
  Bytes entry = image.Read(dirEntry, kEntrySize, "resource directory entry");
  name_ = platform::Get32(entry, 0);
  offsetToData_ = platform::Get32(entry, 4);
  image.CheckIntact();
}

namespace {

bool AppendCountedName(const TExeImage& image, std::uint32_t field, std::string& out, std::string& damage) {
  std::uint64_t at = image.ResourceBase() + StripHighBit(field);
  std::uint16_t length = 0;
  if (!image.TryU16(at, "resource name", length, damage)) return false;
  const std::uint8_t* units = image.TryRead(at + 2, 2 * std::uint64_t{length}, "resource name", damage);
  if (units == nullptr) return false;
  out += WideToNarrow(units, length);
  return image.TryIntact(damage);
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

[[noreturn]] void CannotAssign(const char* item, const char* target) {
  throw EExeError(Format("Cannot assign a %s to a %s", {item, target}));
}

}  // namespace

void TResourceItem::AssignTo(TPicture&) { CannotAssign(ClassName(), "TPicture"); }
void TResourceItem::AssignTo(TStrings&) { CannotAssign(ClassName(), "TStrings"); }

bool TResourceItem::TryAppendDisplayName(std::string& out, std::string& damage) {
  std::uint32_t name = Name();
  if (owner_.Parent() == nullptr && name <= 16) {
    out += ResourceTypeDisplayName(name);
  } else if (HighBitSet(name)) {
    return AppendCountedName(image_, name, out, damage);
  } else if (owner_.HoldsLanguages()) {  // its LANGID, four hexadecimal digits
    constexpr char kDigits[] = "0123456789ABCDEF";
    for (int shift = 12; shift >= 0; shift -= 4) out += kDigits[(name >> shift) & 0xF];
  } else {
    char digits[10];  // "%d" of a value below 2^31
    out.append(digits, static_cast<std::size_t>(std::to_chars(digits, digits + 10, name).ptr - digits));
  }
  return true;
}

std::string TResourceItem::TypeName() const {
  std::uint32_t code = TypeCode();
  if (const char* known = ResourceTypeDisplayName(code)) return known;
  if (!HighBitSet(code)) return std::to_string(code);
  std::string name;
  std::string damage;
  if (!AppendCountedName(image_, code, name, damage)) throw EExeError(std::move(damage));
  return name;
}

std::optional<std::uint32_t> TResourceItem::FirstChildOffsetToData() const {
  std::optional<std::uint32_t> first;
  std::string damage;
  if (!TryFirstChildOffsetToData(first, damage)) throw EExeError(std::move(damage));
  return first;
}

bool TResourceItem::TryFirstChildOffsetToData(std::optional<std::uint32_t>& first, std::string& damage) const {
  std::uint64_t d = image_.ResourceBase() + StripHighBit(OffsetToData());
  std::uint32_t count = 0;
  if (!image_.TryEntryCount(d, count, damage)) return false;
  first.reset();
  if (count == 0) return true;
  std::uint32_t offset = 0;
  if (!image_.TryU32(d + kDirectorySize + 4, "resource directory entry", offset, damage)) return false;
  first = offset;
  return true;
}

bool TResourceItem::TryChosenOffsetToData(std::uint32_t first, std::uint32_t& chosen, std::string& damage) const {
  chosen = first;
  std::optional<std::uint16_t> language = image_.Language();
  if (!language || HighBitSet(first)) return true;
  std::uint64_t d = image_.ResourceBase() + StripHighBit(OffsetToData());
  std::uint32_t count = 0;
  if (!image_.TryEntryCount(d, count, damage)) return false;
  const std::uint64_t size = std::uint64_t{count} * kEntrySize;
  const std::uint8_t* at = image_.TryRead(d + kDirectorySize, size, "resource directory entries", damage);
  if (at == nullptr) return false;
  Bytes entries(at, size);
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint32_t offset = platform::Get32(entries, 8 * i + 4);
    // a language entry that leads to a directory holds no data of its own
    if (platform::Get32(entries, 8 * i) == *language && !HighBitSet(offset)) {
      chosen = offset;
      break;
    }
  }
  return image_.TryIntact(damage);
}

bool TResourceItem::HasLanguages() {
  if (!HighBitSet(OffsetToData())) return false;
  std::optional<std::uint32_t> first = FirstChildOffsetToData();
  return first && !HighBitSet(*first);
}

TResourceList& TResourceItem::LanguageList() {
  if (!HasLanguages()) throw EExeError("ResourceItem has no languages");
  TResourceList*& list = image_.languageLists_[this];
  if (list == nullptr) list = image_.Make<TLanguageList>(*this, image_.ResourceBase() + StripHighBit(OffsetToData()));
  return *list;
}

std::uint32_t TResourceItem::ResourceName() const {
  return owner_.HoldsLanguages() ? static_cast<const TLanguageList&>(owner_).Resource().Name() : Name();
}

std::optional<std::uint16_t> TResourceItem::Language() const {
  if (!owner_.HoldsLanguages()) return std::nullopt;
  return static_cast<std::uint16_t>(Name());
}

bool TResourceItem::IsList() {
  bool list = false;
  std::string damage;
  if (!TryIsList(list, damage)) throw EExeError(std::move(damage));
  return list;
}

bool TResourceItem::TryIsList(bool& list, std::string& damage) {
  if (!isList_) {
    if (!HighBitSet(OffsetToData())) {
      isList_ = false;  // the entry leads straight to its data
    } else {
      std::optional<std::uint32_t> first;
      if (!TryFirstChildOffsetToData(first, damage)) return false;
      isList_ = first && HighBitSet(*first);
      // a name entry leads through its first language to the data: every
      // view of the leaf asks for it next
      if (first && !*isList_) {
        std::uint32_t standing = 0;
        if (!TryStandingOffsetToData(*first, standing, damage)) return false;
        dataEntry_ = image_.ResourceBase() + standing;
      }
    }
  }
  list = *isList_;
  return true;
}

TResourceList& TResourceItem::SubList() {
  if (subList_) return *subList_;
  if (!IsList()) throw EExeError("ResourceItem is not a list");
  std::uint64_t d = image_.ResourceBase() + StripHighBit(OffsetToData());
  for (const TResourceList* up = &owner_; up != nullptr; up = up->Parent())
    if (up->Directory() == d)
      throw EExeError(
          Format("Damaged file: the resource directory at offset %x contains itself", {static_cast<long long>(d)}));
  if (owner_.Depth() + 1 > TExeImage::kMaxDepth) throw EExeError("Damaged file: resource directories nest too deep");
  if (!image_.TakeDirectory(d))
    throw EExeError(Format("Damaged file: the resource directory at offset %x is listed already under another entry",
                           {static_cast<long long>(d)}));
  // below the type level the lists keep the type's code
  std::uint32_t code = owner_.Parent() == nullptr ? Name() : owner_.TypeCode();
  subList_ = image_.Make<TResourceList>(image_, d, code, &owner_);
  return *subList_;
}

template <class List>
TResourceList& TIconResource::GroupList() {
  if (!subList_) {
    subList_ = image_.Make<List>(image_, DataOffset(), TypeCode(), &owner_);
  }
  return *subList_;
}

TResourceList& TIconResource::SubList() { return GroupList<TIconResourceList>(); }
TResourceList& TCursorResource::SubList() { return GroupList<TCursorResourceList>(); }

std::uint64_t TResourceItem::FindDataEntry() {
  std::string damage;
  if (!TryFindDataEntry(damage)) throw EExeError(std::move(damage));
  return *dataEntry_;
}

bool TResourceItem::TryFindDataEntry(std::string& damage) {
  std::uint32_t own = OffsetToData();
  if (HighBitSet(own)) {
    std::optional<std::uint32_t> first;
    if (!TryFirstChildOffsetToData(first, damage)) return false;
    if (!first) {
      damage = "Damaged file: an empty resource directory";
      return false;
    }
    if (!TryStandingOffsetToData(*first, own, damage)) return false;
    own = StripHighBit(own);
  }
  dataEntry_ = image_.ResourceBase() + own;
  return true;
}

std::uint64_t TResourceItem::DataOffset() {
  std::uint64_t at = 0;
  std::string damage;
  if (!TryDataOffset(at, damage)) throw EExeError(std::move(damage));
  return at;
}

bool TResourceItem::TryDataOffset(std::uint64_t& at, std::string& damage) {
  std::uint32_t rva = 0;
  if ((!dataEntry_ && !TryFindDataEntry(damage)) || !image_.TryU32(*dataEntry_, "resource data entry", rva, damage))
    return false;
  if (rva < image_.ResourceVirtualAddress()) {
    damage = Message({"Damaged file: resource data at RVA ", Hex(rva).View(), " lies before its section"});
    return false;
  }
  at = image_.ResourceBase() + (rva - image_.ResourceVirtualAddress());
  return true;
}

Bytes TResourceItem::ResourceData() {
  Bytes data;
  std::string damage;
  if (!TryResourceData(data, damage)) throw EExeError(std::move(damage));
  return data;
}

bool TResourceItem::TryResourceData(Bytes& data, std::string& damage) {
  std::uint64_t at = 0;
  std::uint32_t size = 0;
  if (!TryDataOffset(at, damage) || !image_.TryU32(*dataEntry_ + 4, "resource data entry", size, damage)) return false;
  const std::uint8_t* bytes = image_.TryRead(at, size, "resource data", damage);
  if (bytes == nullptr) return false;
  data = Bytes(bytes, size);
  return image_.TryReadable(data, damage);
}

std::uint32_t TResourceItem::ResourceSize() {
  if (IsList()) return 0;
  return image_.U32(DataEntry() + 4, "resource data entry");
}

bool TResourceItem::TryDataEntry(std::uint32_t& offset, std::uint32_t& size, std::string& damage) {
  if (!dataEntry_ && !TryFindDataEntry(damage)) return false;
  std::uint64_t entry = *dataEntry_;
  return image_.TryU32(entry, "resource data entry", offset, damage) &&
         image_.TryU32(entry + 4, "resource data entry", size, damage);
}

std::uint32_t TResourceItem::Offset() {
  if (IsList()) return StripHighBit(OffsetToData());
  return image_.U32(DataEntry(), "resource data entry");
}

void TResourceItem::SaveToStream(std::string& out) {
  Bytes data = ResourceData();
  out.append(reinterpret_cast<const char*>(data.data()), data.size());
  image_.CheckIntact();
}

bool TIconResourceList::AppendItemName(std::size_t index, std::string& out, std::string& damage) {
  const std::uint64_t entry = entries_[index];
  if (Cursors()) {
    std::uint16_t width = 0;
    std::uint16_t bits = 0;
    if (!image_.TryU16(entry, "cursor group entry", width, damage) ||
        !image_.TryU16(entry + 6, "cursor group entry", bits, damage))
      return false;
    AppendSizeName(out, width, width, bits, " Bit(s)");
    return true;
  }
  const std::uint8_t* e = image_.TryRead(entry, 14, "icon group entry", damage);
  if (e == nullptr) return false;
  // a width or height byte of 0 stands for 256
  AppendSizeName(out, e[0] ? e[0] : 256u, e[1] ? e[1] : 256u, e[2], " Colors");
  return image_.TryIntact(damage);
}
