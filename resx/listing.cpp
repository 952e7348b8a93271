#include "resx/listing.h"

#include "resx/parsed_resources.h"

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

Damage ListResource(TResourceItem& item, TListing& out) {
  std::uint32_t type = item.TypeCode();
  Read<bool> list = item.IsList();
  if (!list) return list.damage;
  Read<std::string> typeName = item.TypeName();
  if (!typeName) return typeName.damage;
  if (*list || !HasListing(type)) return {Flaw::NoListing};
  out.json.BeginObject();
  out.json.String("type", *typeName);
  Read<Bytes> data = item.ResourceData();
  if (!data) return data.damage;
  if (type == rtMenu || type == rtString) {  // the window's own listing, and its lines as JSON
    Damage damage = item.AssignTo(out.lines);
    PrintJson(out.lines, out.json);
    return damage;
  }
  switch (type) {
    case rtDialog: return ListDialog(*data, out);
    case rtAccelerators: return ListAccelerators(*data, out);
    case rtMessageTable: return ListMessageTable(*data, out);
    case rtVersion: return ListVersionInfo(*data, out);
    default: return ListManifest(*data, out);
  }
}

std::string ListingJson(TListing& listing, Damage damage) {
  listing.json.CloseTo(1);
  if (listing.json.Depth() == 0) listing.json.BeginObject();
  if (damage.Found()) listing.json.String("error", damage.Message());
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
Damage ListParsed(Bytes data, TListing& out) {
  Parsed parsed;
  Damage damage = Parse(data, parsed);
  PrintScript(parsed, out.lines);
  PrintJson(parsed, out.json);
  return damage;
}

}  // namespace

Damage ListAccelerators(Bytes data, TListing& out) { return ListParsed<AcceleratorTable>(data, out); }
Damage ListDialog(Bytes data, TListing& out) { return ListParsed<Dialog>(data, out); }
Damage ListMessageTable(Bytes data, TListing& out) { return ListParsed<MessageTable>(data, out); }
Damage ListVersionInfo(Bytes data, TListing& out) { return ListParsed<VersionResource>(data, out); }

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
