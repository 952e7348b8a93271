#include "resx/listing.h"

#include "resx/parsed_resources.h"

#include "framework/format.h"
#include "platform/little_endian.h"

bool HasListing(std::uint32_t typeCode) {
  switch (typeCode) {
    case rtMenu:
    case rtDialog:
    case rtString:
    case rtAccelerators:
    case rtMessageTable:
    case rtVersion:
    case rtManifest: return true;
    default: return false;
  }
}

namespace {

// Menus and string tables: the window's own listing, and its lines as JSON.
template <class Parsed, class... Name>
void ListParsedLines(Bytes data, TListing& out, Name... name) {
  Parsed parsed;
  Damage damage = Parse(data, name..., parsed);
  PrintScript(parsed, out.lines);
  PrintJson(out.lines, out.json);
  damage.Check();
}

}  // namespace

void ListResource(TResourceItem& item, TListing& out) {
  std::uint32_t type = item.TypeCode();
  const bool list = item.IsList().Value();
  const std::string typeName = item.TypeName().Value();
  if (list || !HasListing(type)) throw EExeError(Format("type %s has no listing", {typeName}));
  out.json.BeginObject();
  out.json.String("type", typeName);
  Bytes data = item.ResourceData().Value();
  switch (type) {
    case rtMenu: ListParsedLines<Menu>(data, out); break;
    case rtString: ListParsedLines<StringTable>(data, out, item.ResourceName()); break;
    case rtDialog: ListDialog(data, out); break;
    case rtAccelerators: ListAccelerators(data, out); break;
    case rtMessageTable: ListMessageTable(data, out); break;
    case rtVersion: ListVersionInfo(data, out); break;
    default: ListManifest(data, out); break;
  }
}

std::string ListingJson(TListing& listing, const char* error) {
  listing.json.CloseTo(1);
  if (listing.json.Depth() == 0) listing.json.BeginObject();
  if (error != nullptr) listing.json.String("error", error);
  listing.json.CloseTo(0);
  return listing.json.Text();
}

void PrintJson(const TStrings& lines, JsonWriter& json) {
  json.BeginArray("lines");
  for (const std::string& line : lines) json.String({}, line);
  json.End();
}

namespace {

template <class Parsed>
void ListParsed(Bytes data, TListing& out) {
  Parsed parsed;
  Damage damage = Parse(data, parsed);
  PrintScript(parsed, out.lines);
  PrintJson(parsed, out.json);
  damage.Check();
}

}  // namespace

void ListAccelerators(Bytes data, TListing& out) { ListParsed<AcceleratorTable>(data, out); }
void ListDialog(Bytes data, TListing& out) { ListParsed<Dialog>(data, out); }
void ListMessageTable(Bytes data, TListing& out) { ListParsed<MessageTable>(data, out); }
void ListVersionInfo(Bytes data, TListing& out) { ListParsed<VersionResource>(data, out); }

std::uint16_t DataReader::U16(std::size_t at) {
  if (at > data_.size() || data_.size() - at < 2) {
    Fail({Flaw::EndsEarly, 0, what_});
    return 0;
  }
  return platform::Get16(data_, at);
}

std::uint32_t DataReader::U32(std::size_t at) {
  if (at > data_.size() || data_.size() - at < 4) {
    Fail({Flaw::EndsEarly, 0, what_});
    return 0;
  }
  return platform::Get32(data_, at);
}

std::string DataReader::Text(std::size_t& at, std::size_t end) {
  if (end > data_.size()) end = data_.size();
  std::size_t n = 0;
  while (true) {
    if (at > end || (end - at) / 2 <= n) {
      Fail({Flaw::NoEnd, 0, what_});
      return {};
    }
    if (platform::Get16(data_, at + 2 * n) == 0) break;
    ++n;
  }
  std::string text = WideToNarrow(data_.data() + at, n);
  at += 2 * (n + 1);
  return text;
}
