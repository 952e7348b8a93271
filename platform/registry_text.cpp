#include "platform/registry_text.h"

#include <cstdio>

#include "platform/text_util.h"

namespace platform {
namespace {

constexpr std::string_view kHeader4 = "REGEDIT4";
constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";

std::string Escape(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out;
}

// Reads a quoted string at the start of `s`; returns the text and moves `s`
// past the closing quote.
std::optional<std::string> ReadQuoted(std::string_view& s) {
  if (s.empty() || s.front() != '"') return std::nullopt;
  std::string out;
  for (std::size_t i = 1; i < s.size(); ++i) {
    char c = s[i];
    if (c == '\\' && i + 1 < s.size()) {
      out += s[++i];
    } else if (c == '"') {
      s.remove_prefix(i + 1);
      return out;
    } else {
      out += c;
    }
  }
  return std::nullopt;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::string> ParseHexBytes(std::string_view s) {
  std::string bytes;
  int high = -1;
  for (char c : s) {
    if (c == ',' || c == ' ' || c == '\t' || c == '\\') {
      if (high >= 0) return std::nullopt;
      continue;
    }
    int d = HexDigit(c);
    if (d < 0) return std::nullopt;
    if (high < 0) {
      high = d;
    } else {
      bytes += static_cast<char>(high * 16 + d);
      high = -1;
    }
  }
  if (high >= 0) return std::nullopt;
  return bytes;
}

// The data part after "=", without the raw lines.
std::optional<RegValue> ParseData(std::string_view data, std::string* why) {
  data = Trim(data);
  if (!data.empty() && data.front() == '"') {
    auto text = ReadQuoted(data);
    if (!text || !Trim(data).empty()) {
      *why = "unterminated string";
      return std::nullopt;
    }
    return RegValue::String(*text);
  }
  if (data.starts_with("dword:")) {
    std::string_view digits = data.substr(6);
    if (digits.empty() || digits.size() > 8) {
      *why = "bad dword";
      return std::nullopt;
    }
    std::uint32_t n = 0;
    for (char c : digits) {
      int d = HexDigit(c);
      if (d < 0) {
        *why = "bad dword";
        return std::nullopt;
      }
      n = n * 16 + static_cast<std::uint32_t>(d);
    }
    return RegValue::Dword(n);
  }
  if (data.starts_with("hex")) {
    DWORD type = REG_BINARY;
    std::string_view rest = data.substr(3);
    if (rest.starts_with("(")) {
      std::size_t close = rest.find(')');
      if (close == std::string_view::npos || close == 1) {
        *why = "bad hex type";
        return std::nullopt;
      }
      type = 0;
      for (char c : rest.substr(1, close - 1)) {
        int d = HexDigit(c);
        if (d < 0 || type > 0x0FFFFFFF) {
          *why = "bad hex type";
          return std::nullopt;
        }
        type = type * 16 + static_cast<DWORD>(d);
      }
      rest.remove_prefix(close + 1);
    }
    if (!rest.starts_with(":")) {
      *why = "bad hex value";
      return std::nullopt;
    }
    auto bytes = ParseHexBytes(rest.substr(1));
    if (!bytes) {
      *why = "bad hex bytes";
      return std::nullopt;
    }
    return RegValue{type, *bytes};
  }
  *why = "unknown value type";
  return std::nullopt;
}

std::string FormatLine(std::string_view name, const RegValue& v) {
  std::string out = name.empty() ? std::string("@") : "\"" + Escape(name) + "\"";
  out += '=';
  if (v.type == REG_SZ) {
    out += "\"" + Escape(v.data) + "\"";
  } else if (v.type == REG_DWORD && v.data.size() == 4) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "dword:%08x", v.AsDword());
    out += buf;
  } else {
    char buf[16];
    if (v.type == REG_BINARY) {
      out += "hex:";
    } else {
      std::snprintf(buf, sizeof buf, "hex(%x):", v.type);
      out += buf;
    }
    for (std::size_t i = 0; i < v.data.size(); ++i) {
      std::snprintf(buf, sizeof buf, i == 0 ? "%02x" : ",%02x", static_cast<unsigned char>(v.data[i]));
      out += buf;
    }
  }
  return out;
}

}  // namespace

RegValue RegValue::Dword(std::uint32_t n) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<char>((n >> (8 * i)) & 0xFF);
  return {REG_DWORD, bytes};
}

std::uint32_t RegValue::AsDword() const {
  std::uint32_t n = 0;
  for (std::size_t i = 0; i < 4 && i < data.size(); ++i)
    n |= static_cast<std::uint32_t>(static_cast<unsigned char>(data[i])) << (8 * i);
  return n;
}

std::string NormalizeKeyPath(std::string_view path) {
  std::string out;
  while (!path.empty()) {
    std::size_t sep = path.find('\\');
    std::string_view part = path.substr(0, sep);
    if (!part.empty()) {
      if (!out.empty()) out += '\\';
      out += part;
    }
    if (sep == std::string_view::npos) break;
    path.remove_prefix(sep + 1);
  }
  return out;
}

RegistryDocument::RegistryDocument() { preamble_.emplace_back(kHeader4); }

std::optional<RegistryDocument> RegistryDocument::Parse(std::string_view bytes, std::string* error) {
  SplitText split = SplitLines(bytes);
  RegistryDocument doc;
  doc.preamble_.clear();
  doc.eol_ = split.crlf ? "\r\n" : "\n";
  bool headerSeen = false;
  auto fail = [&](std::size_t line, std::string_view why) {
    *error = "line " + std::to_string(line + 1) + ": " + std::string(why);
    return std::nullopt;
  };
  const auto& lines = split.lines;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string_view t = Trim(lines[i]);
    if (!headerSeen) {
      doc.preamble_.push_back(lines[i]);
      if (t.empty()) continue;
      if (t != kHeader4 && t != kHeader5) return fail(i, "not a registry file");
      headerSeen = true;
      continue;
    }
    if (t.starts_with("[") && !t.starts_with("[-")) {
      if (!t.ends_with("]")) return fail(i, "unterminated key name");
      doc.keys_.push_back({lines[i], NormalizeKeyPath(t.substr(1, t.size() - 2)), {}});
      continue;
    }
    Item item;
    item.raw.push_back(lines[i]);
    if (t.starts_with("\"") || t.starts_with("@")) {
      if (doc.keys_.empty()) return fail(i, "value outside a key");
      std::string_view rest = t;
      std::string name;
      if (rest.front() == '@') {
        rest.remove_prefix(1);
      } else {
        auto quoted = ReadQuoted(rest);
        if (!quoted) return fail(i, "unterminated value name");
        name = *quoted;
      }
      rest = Trim(rest);
      if (!rest.starts_with("=")) return fail(i, "missing '='");
      rest.remove_prefix(1);
      std::string data(Trim(rest));
      // hex data goes on over lines that end in a backslash
      std::size_t first = i;
      while (!data.empty() && data.back() == '\\') {
        if (i + 1 == lines.size()) return fail(first, "unterminated value");
        ++i;
        item.raw.push_back(lines[i]);
        data += Trim(lines[i]);
      }
      if (Trim(data) == "-") {  // regedit's "delete this value": kept, not a value
        doc.keys_.back().items.push_back(std::move(item));
        continue;
      }
      std::string why;
      auto value = ParseData(data, &why);
      if (!value) return fail(first, why);
      item.name = name;
      item.value = *value;
    }
    if (doc.keys_.empty())
      doc.preamble_.push_back(lines[i]);
    else
      doc.keys_.back().items.push_back(std::move(item));
  }
  if (!headerSeen) {
    if (!bytes.empty() && !Trim(bytes).empty()) return fail(0, "not a registry file");
    return RegistryDocument();
  }
  return doc;
}

RegistryDocument::Key* RegistryDocument::FindKey(std::string_view path) {
  std::string want = NormalizeKeyPath(path);
  for (auto& key : keys_)
    if (EqualsNoCase(key.path, want)) return &key;
  return nullptr;
}

const RegistryDocument::Key* RegistryDocument::FindKey(std::string_view path) const {
  return const_cast<RegistryDocument*>(this)->FindKey(path);
}

bool RegistryDocument::HasKey(std::string_view path) const { return FindKey(path) != nullptr; }

void RegistryDocument::AddKey(std::string_view path) {
  if (FindKey(path)) return;
  // regedit separates keys by a blank line; keep that for the new one
  const std::string* last = preamble_.empty() ? nullptr : &preamble_.back();
  if (!keys_.empty()) {
    last = &keys_.back().header;
    if (!keys_.back().items.empty()) last = &keys_.back().items.back().raw.back();
  }
  if (last && !Trim(*last).empty()) {
    if (keys_.empty())
      preamble_.emplace_back();
    else
      keys_.back().items.push_back({{std::string()}, std::nullopt, {}});
  }
  std::string normal = NormalizeKeyPath(path);
  keys_.push_back({"[" + normal + "]", normal, {}});
}

std::optional<RegValue> RegistryDocument::Get(std::string_view path, std::string_view name) const {
  const Key* key = FindKey(path);
  if (!key) return std::nullopt;
  for (const auto& item : key->items)
    if (item.name && EqualsNoCase(*item.name, name)) return item.value;
  return std::nullopt;
}

void RegistryDocument::Set(std::string_view path, std::string_view name, const RegValue& value) {
  AddKey(path);
  Key* key = FindKey(path);
  for (auto& item : key->items) {
    if (item.name && EqualsNoCase(*item.name, name)) {
      item.value = value;
      item.raw = {FormatLine(*item.name, value)};
      return;
    }
  }
  // after the key's last value, before the blank line that ends the section
  std::size_t at = 0;
  for (std::size_t i = 0; i < key->items.size(); ++i)
    if (key->items[i].name) at = i + 1;
  Item item{{FormatLine(name, value)}, std::string(name), value};
  key->items.insert(key->items.begin() + static_cast<std::ptrdiff_t>(at), std::move(item));
}

bool RegistryDocument::Delete(std::string_view path, std::string_view name) {
  Key* key = FindKey(path);
  if (!key) return false;
  for (auto it = key->items.begin(); it != key->items.end(); ++it) {
    if (it->name && EqualsNoCase(*it->name, name)) {
      key->items.erase(it);
      return true;
    }
  }
  return false;
}

std::string RegistryDocument::Serialize() const {
  std::string out;
  auto put = [&](const std::string& line) {
    out += line;
    out += eol_;
  };
  for (const auto& line : preamble_) put(line);
  for (const auto& key : keys_) {
    put(key.header);
    for (const auto& item : key.items)
      for (const auto& line : item.raw) put(line);
  }
  return out;
}

}  // namespace platform
