#include "platform/profile.h"

#include "platform/atomic_file.h"
#include "platform/paths.h"
#include "platform/text_util.h"

namespace platform {
namespace {

bool IsComment(std::string_view trimmed) { return !trimmed.empty() && (trimmed[0] == ';' || trimmed[0] == '#'); }

// The section name of a "[name]" line, or nothing.
std::optional<std::string_view> SectionName(std::string_view line) {
  std::string_view t = Trim(line);
  if (t.size() < 2 || t.front() != '[') return std::nullopt;
  std::size_t close = t.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(t.substr(1, close - 1));
}

struct Entry {
  std::string_view key;
  std::string_view value;
};

std::optional<Entry> ParseEntry(std::string_view line) {
  std::string_view t = Trim(line);
  if (t.empty() || IsComment(t) || t.front() == '[') return std::nullopt;
  std::size_t eq = t.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return Entry{Trim(t.substr(0, eq)), Trim(t.substr(eq + 1))};
}

std::string_view Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

// The text to put after "=": the value itself, or, when reading would change
// it (blanks around it, quotes around it), the value in double quotes, which
// reading takes off again. Ordinary values are written as they are.
std::string StoredValue(std::string_view value) {
  if (Unquote(Trim(value)) == value) return std::string(value);
  return "\"" + std::string(value) + "\"";
}

bool HasLineBreak(std::string_view text) { return text.find('\n') != std::string_view::npos; }

// Cuts to at most `maxChars` UTF-8 characters.
std::string CutCharacters(std::string_view text, std::size_t maxChars) {
  std::size_t chars = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      if (chars == maxChars) return std::string(text.substr(0, i));
      ++chars;
    }
  }
  return std::string(text);
}

}  // namespace

ProfileDocument ProfileDocument::Parse(std::string_view bytes) {
  SplitText split = SplitLines(bytes);
  ProfileDocument doc;
  doc.lines_ = std::move(split.lines);
  doc.eol_ = split.crlf ? "\r\n" : "\n";
  doc.bom_ = split.bom;
  return doc;
}

std::optional<ProfileDocument::Location> ProfileDocument::FindSection(std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    auto name = SectionName(lines_[i]);
    if (!name || !EqualsNoCase(*name, section)) continue;
    Location where{i, i + 1};
    while (where.end < lines_.size() && !SectionName(lines_[where.end])) ++where.end;
    return where;
  }
  return std::nullopt;
}

std::optional<std::size_t> ProfileDocument::FindKey(const Location& where, std::string_view key) const {
  for (std::size_t i = where.header + 1; i < where.end; ++i) {
    auto entry = ParseEntry(lines_[i]);
    if (entry && EqualsNoCase(entry->key, key)) return i;
  }
  return std::nullopt;
}

std::optional<std::string> ProfileDocument::Get(std::string_view section, std::string_view key) const {
  auto where = FindSection(section);
  if (!where) return std::nullopt;
  auto line = FindKey(*where, key);
  if (!line) return std::nullopt;
  return std::string(Unquote(ParseEntry(lines_[*line])->value));
}

void ProfileDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  auto where = FindSection(section);
  if (!where) {
    if (!lines_.empty() && !Trim(lines_.back()).empty()) lines_.emplace_back();
    lines_.push_back("[" + std::string(section) + "]");
    lines_.push_back(std::string(key) + "=" + StoredValue(value));
    return;
  }
  if (auto line = FindKey(*where, key)) {
    std::string stored(ParseEntry(lines_[*line])->key);
    lines_[*line] = stored + "=" + StoredValue(value);
    return;
  }
  // A new key goes after the section's last entry, before any trailing blank
  // lines or comments that separate it from the next section.
  std::size_t at = where->header + 1;
  for (std::size_t i = where->header + 1; i < where->end; ++i)
    if (ParseEntry(lines_[i])) at = i + 1;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::string(key) + "=" + StoredValue(value));
}

std::string ProfileDocument::Serialize() const {
  std::string out = bom_ ? "\xEF\xBB\xBF" : "";
  for (const auto& line : lines_) {
    out += line;
    out += eol_;
  }
  return out;
}

std::string ResolveProfilePath(std::string_view fileName) {
  if (fileName.find('/') != std::string_view::npos) return std::string(fileName);
  return (WindowsDirectory() / std::string(fileName)).string();
}

std::string GetPrivateProfileStringA(std::string_view section, std::string_view key, std::string_view defaultValue,
                                     DWORD size, std::string_view fileName) {
  std::size_t limit = size == 0 ? 0 : size - 1;
  auto bytes = ReadWholeFile(ResolveProfilePath(fileName));
  if (!bytes) return CutCharacters(defaultValue, limit);
  auto value = ProfileDocument::Parse(*bytes).Get(section, key);
  return CutCharacters(value ? *value : defaultValue, limit);
}

BOOL WritePrivateProfileStringA(std::string_view section, std::string_view key, std::string_view value,
                                std::string_view fileName) {
  // a line break would end the entry early and put the rest of the value in
  // the file as lines of its own
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return FALSE_;
  std::string path = ResolveProfilePath(fileName);
  bool missing = false;
  auto bytes = ReadWholeFile(path, &missing);
  if (!bytes && !missing) return FALSE_;  // never replace a file we could not read
  ProfileDocument doc = ProfileDocument::Parse(bytes ? *bytes : std::string());
  doc.Set(section, key, value);
  // settings files may hold a password: a new one is its owner's alone
  return WriteFileAtomically(path, doc.Serialize(), 0600) ? TRUE_ : FALSE_;
}

}  // namespace platform
