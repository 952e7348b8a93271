// RT_VERSION as a listing: the fixed file information, then every string
// table with its language and code page, then the translations.
//
// The data is a tree of blocks: u16 length, u16 value length, u16 type (0
// binary, 1 text), a zero-terminated UTF-16 key, the value and the
// children, each aligned to four bytes from the start of the data.
#include <optional>
#include <vector>

#include "framework/format.h"
#include "resx/listing.h"
#include "resx/parsed_resources.h"

namespace {

constexpr const char* kWhat = "the version information";
constexpr std::uint32_t kFixedSignature = 0xFEEF04BD;
constexpr std::size_t kFixedSize = 52;

std::size_t Align4(std::size_t at) { return (at + 3) / 4 * 4; }

// The version information is still read and listed in one pass, which
// stops at the first damage.
std::uint16_t Data16(Bytes data, std::size_t at) {
  DataReader r(data, kWhat);
  std::uint16_t value = r.U16(at);
  r.Damaged().Check();
  return value;
}

std::uint32_t Data32(Bytes data, std::size_t at) {
  DataReader r(data, kWhat);
  std::uint32_t value = r.U32(at);
  r.Damaged().Check();
  return value;
}

std::string ZeroTerminated(Bytes data, std::size_t& at, std::size_t end) {
  DataReader r(data, kWhat);
  std::string text = r.Text(at, end);
  r.Damaged().Check();
  return text;
}

struct Block {
  std::size_t end;
  std::size_t value;  // where the value begins
  std::uint16_t valueLength;
  std::string key;
};

// Reads blocks. A block that runs past the end of the data (cut short) is
// read as far as the data goes, and the cut is remembered; one that runs
// past its parent is damage at once.
class BlockReader {
 public:
  explicit BlockReader(Bytes data) : data_(data) {}

  // The block at `at`, which must end by `end`.
  Block Read(std::size_t at, std::size_t end) {
    std::uint16_t length = Data16(data_, at);
    std::size_t size = length;
    if (length < 6) throw EExeError("Damaged file: a block of the version information does not fit");
    if (size > end - at) {
      if (end != data_.size()) throw EExeError("Damaged file: a block of the version information does not fit");
      cut_ = true;
      size = end - at;
    }
    Block block{at + size, 0, Data16(data_, at + 2), {}};
    std::size_t p = at + 6;
    block.key = ZeroTerminated(data_, p, block.end);
    block.value = std::min(Align4(p), block.end);
    return block;
  }

  // The children of a block, from `at` to `end`; a length of zero is
  // padding that ends them.
  template <class Visit>
  void Children(std::size_t at, std::size_t end, Visit visit) {
    for (at = Align4(at); at < end && Data16(data_, at) != 0;) {
      Block child = Read(at, end);
      visit(child);
      at = Align4(child.end);
    }
  }

  bool Cut() const { return cut_; }

 private:
  Bytes data_;
  bool cut_ = false;
};

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

struct Fixed {
  std::uint32_t fileMs, fileLs, productMs, productLs, flagsMask, flags, os, type, subtype;
};
struct Table {
  std::string block;
  std::optional<std::uint32_t> language, codePage;
  std::vector<std::pair<std::string, std::string>> strings;
};
struct Translation {
  std::uint16_t language, codePage;
};

// Language and code page from a table's name, eight hexadecimal digits.
void LanguageOf(Table& table) {
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

// What was read, as JSON: also when the data ends in damage.
void WriteJson(JsonWriter& json, const std::optional<Fixed>& fixed, const std::vector<Table>& tables,
               const std::vector<Translation>& translations) {
  if (fixed) {
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
  for (const Table& table : tables) {
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
  for (const Translation& t : translations) {
    json.BeginObject();
    json.Number("language", t.language);
    json.Number("codePage", t.codePage);
    json.End();
  }
  json.End();
}

}  // namespace

void ListVersionInfo(Bytes data, TListing& out) {
  std::optional<Fixed> fixed;
  std::vector<Table> tables;
  std::vector<Translation> translations;
  TStrings& lines = out.lines;
  try {
    BlockReader reader(data);
    Block root = reader.Read(0, data.size());
    std::size_t children = root.value;
    if (root.valueLength > 0) {
      if (root.valueLength < kFixedSize || root.value + kFixedSize > root.end)
        throw EExeError("Damaged file: the fixed file information does not fit");
      auto at = [&](std::size_t field) { return Data32(data, root.value + 4 * field); };
      if (at(0) != kFixedSignature) throw EExeError("Damaged file: the fixed file information has a wrong signature");
      fixed = Fixed{at(2), at(3), at(4), at(5), at(6), at(7), at(8), at(9), at(10)};
      lines.push_back("FILEVERSION " + Dotted(fixed->fileMs, fixed->fileLs));
      lines.push_back("PRODUCTVERSION " + Dotted(fixed->productMs, fixed->productLs));
      lines.push_back(Format("FILEFLAGSMASK 0x%x", {fixed->flagsMask}));
      lines.push_back("FILEFLAGS " + WithNames(fixed->flags, FlagNames(fixed->flags)));
      lines.push_back("FILEOS " + WithName(fixed->os, NameOf(kOses, fixed->os)));
      lines.push_back("FILETYPE " + WithName(fixed->type, NameOf(kTypes, fixed->type)));
      lines.push_back(Format("FILESUBTYPE 0x%x", {fixed->subtype}));
      children = std::min(root.value + root.valueLength, root.end);
    }
    reader.Children(children, root.end, [&](const Block& info) {
      if (info.key == "StringFileInfo") {
        lines.push_back("BLOCK \"StringFileInfo\"");
        reader.Children(info.value, info.end, [&](const Block& table) {
          Table& t = tables.emplace_back(Table{table.key, {}, {}, {}});
          LanguageOf(t);
          lines.push_back("  BLOCK \"" + t.block + "\"" +
                          (t.language ? Format("  // language 0x%.4x, code page %d", {*t.language, *t.codePage}) : ""));
          reader.Children(table.value, table.end, [&](const Block& string) {
            std::size_t p = string.value;
            std::string value = p < string.end ? ZeroTerminated(data, p, string.end) : std::string();
            t.strings.emplace_back(string.key, value);
            lines.push_back("    VALUE \"" + string.key + "\", \"" + value + "\"");
          });
        });
      } else if (info.key == "VarFileInfo") {
        lines.push_back("BLOCK \"VarFileInfo\"");
        reader.Children(info.value, info.end, [&](const Block& var) {
          if (var.valueLength > var.end - var.value && !reader.Cut())
            throw EExeError("Damaged file: the translations do not fit");
          std::string line = "  VALUE \"" + var.key + "\"";
          for (std::size_t at = var.value; at + 4 <= std::min<std::size_t>(var.value + var.valueLength, var.end);
               at += 4) {
            Translation t{Data16(data, at), Data16(data, at + 2)};
            if (var.key == "Translation") translations.push_back(t);
            line += Format(", 0x%.4x, %d", {t.language, t.codePage});
          }
          lines.push_back(line);
        });
      }
    });
    if (reader.Cut()) throw EExeError("Damaged file: the version information is cut short");
  } catch (const EExeError&) {
    WriteJson(out.json, fixed, tables, translations);
    throw;
  }
  WriteJson(out.json, fixed, tables, translations);
}
