#include "resx/listing.h"

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

void ListResource(TResourceItem& item, TListing& out) {
  std::uint32_t type = item.TypeCode();
  const bool list = item.IsList().Value();
  const std::string typeName = item.TypeName().Value();
  if (list || !HasListing(type)) throw EExeError(Format("type %s has no listing", {typeName}));
  out.json.BeginObject();
  out.json.String("type", typeName);
  Bytes data = item.ResourceData().Value();
  switch (type) {
    case rtMenu:
    case rtString: {
      // the window's own listing; a damaged table keeps the lines before it
      auto json = [&out] {
        out.json.BeginArray("lines");
        for (const std::string& line : out.lines) out.json.String({}, line);
        out.json.End();
      };
      try {
        item.AssignTo(out.lines);
      } catch (const EExeError&) {
        json();
        throw;
      }
      json();
      break;
    }
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

std::uint16_t Data16(Bytes data, std::size_t at, const char* what) {
  if (at > data.size() || data.size() - at < 2) throw EExeError(Format("Damaged file: %s ends early", {what}));
  return platform::Get16(data, at);
}

std::uint32_t Data32(Bytes data, std::size_t at, const char* what) {
  if (at > data.size() || data.size() - at < 4) throw EExeError(Format("Damaged file: %s ends early", {what}));
  return platform::Get32(data, at);
}

std::string ZeroTerminated(Bytes data, std::size_t& at, std::size_t end, const char* what) {
  if (end > data.size()) end = data.size();
  std::size_t n = 0;
  while (true) {
    if (at > end || (end - at) / 2 <= n) throw EExeError(Format("Damaged file: a text in %s has no end", {what}));
    if (platform::Get16(data, at + 2 * n) == 0) break;
    ++n;
  }
  std::string text = WideToNarrow(data.data() + at, n);
  at += 2 * (n + 1);
  return text;
}
