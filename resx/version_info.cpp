// RT_VERSION parsed into a VersionResource, and printed as resource-script
// text (the fixed file information, then every string table with its
// language and code page, then the translations) and as JSON.
//
// The data is a tree of blocks: u16 length, u16 value length, u16 type (0
// binary, 1 text), a zero-terminated UTF-16 key, the value and the
// children, each aligned to four bytes from the start of the data.
#include <algorithm>
#include <vector>

#include "framework/format.h"
#include "resx/parsed_resources.h"

namespace {

constexpr std::uint32_t kFixedSignature = 0xFEEF04BD;
constexpr std::size_t kFixedSize = 52;

std::size_t Align4(std::size_t at) { return (at + 3) / 4 * 4; }

Damage Flawed(const char* what) { return {Flaw::Data, 0, what}; }

struct Block {
  std::size_t end = 0;
  std::size_t value = 0;  // where the value begins
  std::uint16_t valueLength = 0;
  std::string key;
};

// Reads blocks. A block that runs past the end of the data (cut short) is
// read as far as the data goes, and the cut is remembered; one that runs
// past its parent is damage at once. Every damage is kept in the
// DataReader, and a read after it reads nothing.
class BlockReader {
 public:
  explicit BlockReader(DataReader& reader) : r_(reader) {}

  // The block at `at`, which must end by `end`; false on damage.
  bool Read(std::size_t at, std::size_t end, Block& block) {
    std::size_t size = r_.U16(at);
    if (r_.Failed()) return false;
    if (size < 6) return Fail("a block of the version information does not fit");
    if (size > end - at) {
      if (end != r_.Data().size()) return Fail("a block of the version information does not fit");
      cut_ = true;
      size = end - at;
    }
    block.end = at + size;
    block.valueLength = r_.U16(at + 2);
    std::size_t p = at + 6;
    block.key = r_.Text(p, block.end);
    block.value = std::min(Align4(p), block.end);
    return !r_.Failed();
  }

  // Visits the children of a block, from `at` to `end`, while `visit`
  // returns true; a length of zero is padding that ends them. False on
  // damage.
  template <class Visit>
  bool Children(std::size_t at, std::size_t end, Visit visit) {
    for (at = Align4(at); at < end && r_.U16(at) != 0;) {
      Block child;
      if (!Read(at, end, child) || !visit(child)) return false;
      at = Align4(child.end);
    }
    return !r_.Failed();
  }

  bool Fail(const char* what) {
    r_.Fail(Flawed(what));
    return false;
  }
  bool Cut() const { return cut_; }

 private:
  DataReader& r_;
  bool cut_ = false;
};

// Language and code page from a table's name, eight hexadecimal digits.
void LanguageOf(VersionStringTable& table) {
  if (table.block.size() != 8) return;
  std::uint32_t value = 0;
  for (char c : table.block) {
    int digit = c >= '0' && c <= '9'   ? c - '0'
                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                       : -1;
    if (digit < 0) return;
    value = value << 4 | static_cast<std::uint32_t>(digit);
  }
  table.language = value >> 16;
  table.codePage = value & 0xFFFF;
}

// The fixed file information, the root's value of `root.valueLength` bytes.
Damage ParseFixed(DataReader& r, const Block& root, std::optional<FixedFileInfo>& out) {
  if (root.valueLength < kFixedSize || root.value + kFixedSize > root.end)
    return Flawed("the fixed file information does not fit");
  auto at = [&](std::size_t field) { return r.U32(root.value + 4 * field); };
  if (at(0) != kFixedSignature) return Flawed("the fixed file information has a wrong signature");
  out = FixedFileInfo{at(2), at(3), at(4), at(5), at(6), at(7), at(8), at(9), at(10)};
  return {};
}

// The tables of a StringFileInfo block; what was read before a damage stays.
bool ParseStrings(BlockReader& reader, DataReader& r, const Block& info, VersionBlock& out) {
  return reader.Children(info.value, info.end, [&](const Block& table) {
    VersionStringTable& t = out.tables.emplace_back(VersionStringTable{table.key, {}, {}, {}});
    LanguageOf(t);
    return reader.Children(table.value, table.end, [&](const Block& string) {
      std::size_t p = string.value;
      std::string value = p < string.end ? r.Text(p, string.end) : std::string();
      if (r.Failed()) return false;
      t.strings.emplace_back(string.key, value);
      return true;
    });
  });
}

// The vars of a VarFileInfo block, each a list of language and code page.
bool ParseVars(BlockReader& reader, DataReader& r, const Block& info, VersionBlock& out) {
  return reader.Children(info.value, info.end, [&](const Block& var) {
    if (var.valueLength > var.end - var.value && !reader.Cut()) return reader.Fail("the translations do not fit");
    VersionVar v{var.key, {}};
    const std::size_t end = std::min<std::size_t>(var.value + var.valueLength, var.end);
    for (std::size_t at = var.value; at + 4 <= end; at += 4) v.values.push_back({r.U16(at), r.U16(at + 2)});
    out.vars.push_back(std::move(v));
    return true;
  });
}

std::string Dotted(std::uint32_t high, std::uint32_t low) {
  return Format("%d.%d.%d.%d", {high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF});
}

struct Named {
  std::uint32_t value;
  const char* name;
};

constexpr Named kFlags[] = {{0x01, "VS_FF_DEBUG"},        {0x02, "VS_FF_PRERELEASE"},   {0x04, "VS_FF_PATCHED"},
                            {0x08, "VS_FF_PRIVATEBUILD"}, {0x10, "VS_FF_INFOINFERRED"}, {0x20, "VS_FF_SPECIALBUILD"}};
constexpr Named kOses[] = {
    {0x00000000, "VOS_UNKNOWN"},       {0x00010000, "VOS_DOS"},          {0x00040000, "VOS_NT"},
    {0x00000001, "VOS__WINDOWS16"},    {0x00000004, "VOS__WINDOWS32"},   {0x00010001, "VOS_DOS_WINDOWS16"},
    {0x00010004, "VOS_DOS_WINDOWS32"}, {0x00040004, "VOS_NT_WINDOWS32"}, {0x00050000, "VOS_WINCE"}};
constexpr Named kTypes[] = {{0, "VFT_UNKNOWN"}, {1, "VFT_APP"}, {2, "VFT_DLL"},       {3, "VFT_DRV"},
                            {4, "VFT_FONT"},    {5, "VFT_VXD"}, {7, "VFT_STATIC_LIB"}};

template <std::size_t N>
const char* NameOf(const Named (&table)[N], std::uint32_t value) {
  for (const Named& n : table)
    if (n.value == value) return n.name;
  return nullptr;
}

std::vector<std::string> FlagNames(std::uint32_t flags) {
  std::vector<std::string> names;
  for (const Named& n : kFlags)
    if (flags & n.value) names.push_back(n.name);
  return names;
}

// "0x3 (VS_FF_DEBUG | VS_FF_PRERELEASE)": the value, and its names when it has any.
std::string WithNames(std::uint32_t value, const std::vector<std::string>& names) {
  std::string text = Format("0x%x", {value});
  for (std::size_t i = 0; i < names.size(); ++i) text += (i == 0 ? " (" : " | ") + names[i];
  return names.empty() ? text : text + ")";
}

std::string WithName(std::uint32_t value, const char* name) {
  return WithNames(value, name ? std::vector<std::string>{name} : std::vector<std::string>{});
}

}  // namespace

Damage Parse(Bytes data, VersionResource& out) {
  DataReader r(data, "the version information");
  BlockReader reader(r);
  Block root;
  if (!reader.Read(0, data.size(), root)) return r.Damaged();
  std::size_t children = root.value;
  if (root.valueLength > 0) {
    if (Damage damage = ParseFixed(r, root, out.fixed); damage.Found()) return damage;
    children = std::min(root.value + root.valueLength, root.end);
  }
  reader.Children(children, root.end, [&](const Block& info) {
    if (info.key == "StringFileInfo")
      return ParseStrings(reader, r, info, out.blocks.emplace_back(VersionBlock{true, {}, {}}));
    if (info.key == "VarFileInfo")
      return ParseVars(reader, r, info, out.blocks.emplace_back(VersionBlock{false, {}, {}}));
    return true;
  });
  if (r.Failed()) return r.Damaged();
  if (reader.Cut()) return Flawed("the version information is cut short");
  return {};
}

void PrintScript(const VersionResource& version, TStrings& lines) {
  if (const std::optional<FixedFileInfo>& fixed = version.fixed) {
    lines.push_back("FILEVERSION " + Dotted(fixed->fileMs, fixed->fileLs));
    lines.push_back("PRODUCTVERSION " + Dotted(fixed->productMs, fixed->productLs));
    lines.push_back(Format("FILEFLAGSMASK 0x%x", {fixed->flagsMask}));
    lines.push_back("FILEFLAGS " + WithNames(fixed->flags, FlagNames(fixed->flags)));
    lines.push_back("FILEOS " + WithName(fixed->os, NameOf(kOses, fixed->os)));
    lines.push_back("FILETYPE " + WithName(fixed->type, NameOf(kTypes, fixed->type)));
    lines.push_back(Format("FILESUBTYPE 0x%x", {fixed->subtype}));
  }
  for (const VersionBlock& block : version.blocks) {
    lines.push_back(block.strings ? "BLOCK \"StringFileInfo\"" : "BLOCK \"VarFileInfo\"");
    for (const VersionStringTable& t : block.tables) {
      lines.push_back("  BLOCK \"" + t.block + "\"" +
                      (t.language ? Format("  // language 0x%.4x, code page %d", {*t.language, *t.codePage}) : ""));
      for (const auto& [key, value] : t.strings) lines.push_back("    VALUE \"" + key + "\", \"" + value + "\"");
    }
    for (const VersionVar& var : block.vars) {
      std::string line = "  VALUE \"" + var.key + "\"";
      for (const LanguageAndCodePage& v : var.values) line += Format(", 0x%.4x, %d", {v.language, v.codePage});
      lines.push_back(line);
    }
  }
}

// The fixed information, every string table, and the values of every
// "Translation" var.
void PrintJson(const VersionResource& version, JsonWriter& json) {
  if (const std::optional<FixedFileInfo>& fixed = version.fixed) {
    json.BeginObject("fixedFileInfo");
    json.String("fileVersion", Dotted(fixed->fileMs, fixed->fileLs));
    json.String("productVersion", Dotted(fixed->productMs, fixed->productLs));
    json.Number("fileFlagsMask", fixed->flagsMask);
    json.Number("fileFlags", fixed->flags);
    json.BeginArray("fileFlagNames");
    for (const std::string& name : FlagNames(fixed->flags)) json.String({}, name);
    json.End();
    json.Number("fileOS", fixed->os);
    if (const char* name = NameOf(kOses, fixed->os)) json.String("fileOSName", name);
    json.Number("fileType", fixed->type);
    if (const char* name = NameOf(kTypes, fixed->type)) json.String("fileTypeName", name);
    json.Number("fileSubtype", fixed->subtype);
    json.End();
  }
  json.BeginArray("stringTables");
  for (const VersionBlock& block : version.blocks)
    for (const VersionStringTable& table : block.tables) {
      json.BeginObject();
      json.String("block", table.block);
      if (table.language) json.Number("language", *table.language);
      if (table.codePage) json.Number("codePage", *table.codePage);
      json.BeginArray("strings");
      for (const auto& [key, value] : table.strings) {
        json.BeginObject();
        json.String("key", key);
        json.String("value", value);
        json.End();
      }
      json.End();
      json.End();
    }
  json.End();
  json.BeginArray("translations");
  for (const VersionBlock& block : version.blocks)
    for (const VersionVar& var : block.vars) {
      if (var.key != "Translation") continue;
      for (const LanguageAndCodePage& t : var.values) {
        json.BeginObject();
        json.Number("language", t.language);
        json.Number("codePage", t.codePage);
        json.End();
      }
    }
  json.End();
}
