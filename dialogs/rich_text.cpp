#include "dialogs/rich_text.h"

#include <cstring>

#include "platform/codepage.h"

namespace {

constexpr std::size_t kMaxDepth = 200;

enum class Destination { Text, Skip, ColorTable };

struct GroupState {
  RichFormat format;
  Destination destination = Destination::Text;
  int fallbackChars = 1;   // \uc
  bool ignorable = false;  // "\*" seen at the start of this group
};

struct Color {
  int r = 0, g = 0, b = 0;
  bool any = false;
};

class Reader {
 public:
  explicit Reader(std::string_view bytes) : in_(bytes) { doc_.paragraphs.emplace_back(); }

  std::optional<RichDocument> Run() {
    while (pos_ < in_.size()) {
      char c = in_[pos_++];
      if (c == '{') {
        if (groups_.size() >= kMaxDepth) return std::nullopt;
        groups_.push_back(groups_.empty() ? GroupState{} : groups_.back());
        groups_.back().ignorable = false;
        skip_ = 0;
      } else if (c == '}') {
        if (groups_.empty()) return std::nullopt;
        groups_.pop_back();
        skip_ = 0;
        if (groups_.empty()) return std::move(doc_);  // the rest of the file is not read
      } else if (groups_.empty()) {
        return std::nullopt;
      } else if (c == '\\') {
        ControlSequence();
      } else if (c == '\r' || c == '\n') {
        // line ends in the file carry no meaning
      } else {
        Char(platform::Cp1250ToUnicode(static_cast<unsigned char>(c)), true);
      }
    }
    return std::nullopt;  // the outermost group never closed
  }

 private:
  GroupState& State() { return groups_.back(); }

  void ControlSequence() {
    if (pos_ >= in_.size()) return;
    char c = in_[pos_];
    if (!IsLetter(c)) {
      ++pos_;
      Symbol(c);
      return;
    }
    std::size_t start = pos_;
    while (pos_ < in_.size() && IsLetter(in_[pos_]) && pos_ - start < 32) ++pos_;
    std::string_view word = in_.substr(start, pos_ - start);
    std::optional<long> param;
    bool negative = false;
    if (pos_ < in_.size() && in_[pos_] == '-') {
      negative = true;
      ++pos_;
    }
    std::size_t digits = pos_;
    long value = 0;
    while (pos_ < in_.size() && in_[pos_] >= '0' && in_[pos_] <= '9') {
      if (pos_ - digits < 10) value = value * 10 + (in_[pos_] - '0');
      ++pos_;
    }
    if (pos_ > digits) param = negative ? -value : value;
    if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
    Word(word, param);
  }

  static bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

  static int Hex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  }

  void Symbol(char c) {
    switch (c) {
      case '\\':
      case '{':
      case '}': Char(static_cast<unsigned char>(c), true); break;
      case '~': Char(0x00A0, true); break;
      case '_': Char(0x2011, true); break;
      case '-': break;
      case '*': State().ignorable = true; break;
      case '\r':
      case '\n': Paragraph(); break;
      case '\'': {
        int hi = pos_ < in_.size() ? Hex(in_[pos_]) : -1;
        int lo = pos_ + 1 < in_.size() ? Hex(in_[pos_ + 1]) : -1;
        if (hi < 0 || lo < 0) break;
        pos_ += 2;
        Char(platform::Cp1250ToUnicode(static_cast<unsigned char>(hi * 16 + lo)), true);
        break;
      }
      default: break;
    }
  }

  void Word(std::string_view w, std::optional<long> param) {
    GroupState& s = State();
    long n = param.value_or(1);
    auto is = [&](const char* name) { return w == name; };
    if (is("par")) {
      Paragraph();
    } else if (is("line")) {
      Char('\n', false);
    } else if (is("tab")) {
      Char('\t', false);
    } else if (is("b")) {
      s.format.bold = n != 0;
    } else if (is("i")) {
      s.format.italic = n != 0;
    } else if (is("ul")) {
      s.format.underline = n != 0;
    } else if (is("ulnone")) {
      s.format.underline = false;
    } else if (is("fs")) {
      if (param && *param > 0) s.format.halfPoints = static_cast<int>(*param > 3276 ? 3276 : *param);
    } else if (is("cf")) {
      s.format.color = param && *param > 0 && static_cast<std::size_t>(*param) < colors_.size()
                           ? colors_[static_cast<std::size_t>(*param)]
                           : std::nullopt;
    } else if (is("plain")) {
      s.format = RichFormat{};
    } else if (is("pard") || is("ql")) {
      Align(RichAlign::Left);
    } else if (is("qc")) {
      Align(RichAlign::Center);
    } else if (is("qr")) {
      Align(RichAlign::Right);
    } else if (is("qj")) {
      Align(RichAlign::Justify);
    } else if (is("uc")) {
      if (param && *param >= 0 && *param < 16) s.fallbackChars = static_cast<int>(*param);
    } else if (is("u")) {
      if (param) Unicode(*param);
    } else if (char32_t symbol = SymbolWord(w)) {
      Char(symbol, true);
    } else if (is("colortbl")) {
      s.destination = Destination::ColorTable;
      colors_.clear();
      color_ = {};
    } else if (is("red") || is("green") || is("blue")) {
      if (s.destination != Destination::ColorTable) return;
      int v = static_cast<int>(n < 0 ? 0 : n > 255 ? 255 : n);
      (w[0] == 'r' ? color_.r : w[0] == 'g' ? color_.g : color_.b) = v;
      color_.any = true;
    } else if (IsSkippedDestination(w) || s.ignorable) {
      s.destination = Destination::Skip;
    }
  }

  static char32_t SymbolWord(std::string_view w) {
    static constexpr std::pair<const char*, char32_t> kSymbols[] = {
        {"emdash", 0x2014}, {"endash", 0x2013},    {"bullet", 0x2022},   {"lquote", 0x2018},
        {"rquote", 0x2019}, {"ldblquote", 0x201C}, {"rdblquote", 0x201D}};
    for (const auto& [name, symbol] : kSymbols)
      if (w == name) return symbol;
    return 0;
  }

  static bool IsSkippedDestination(std::string_view w) {
    static constexpr const char* kSkipped[] = {
        "fonttbl",      "stylesheet", "info",      "pict",      "object",    "header",
        "headerl",      "headerr",    "headerf",   "footer",    "footerl",   "footerr",
        "footerf",      "footnote",   "fldinst",   "filetbl",   "listtable", "listoverridetable",
        "revtbl",       "rsidtbl",    "generator", "xmlnstbl",  "themedata", "colorschememapping",
        "latentstyles", "datastore",  "pgdsctbl",  "bkmkstart", "bkmkend",   "template",
        "nonshppict"};
    for (const char* name : kSkipped)
      if (w == name) return true;
    return false;
  }

  void Align(RichAlign align) {
    if (State().destination == Destination::Text) doc_.paragraphs.back().align = align;
  }

  void Paragraph() {
    if (State().destination != Destination::Text) return;
    RichAlign align = doc_.paragraphs.back().align;
    doc_.paragraphs.emplace_back();
    doc_.paragraphs.back().align = align;
  }

  void Unicode(long value) {
    if (value < 0) value += 65536;
    if (value < 0 || value > 0xFFFF) value = 0xFFFD;
    auto unit = static_cast<char32_t>(value);
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      highSurrogate_ = unit;
    } else if (unit >= 0xDC00 && unit <= 0xDFFF && highSurrogate_ != 0) {
      char32_t high = highSurrogate_;
      highSurrogate_ = 0;
      Char(0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00), false);
    } else {
      Char(unit, false);
    }
    skip_ = State().fallbackChars;
  }

  // `fallback` characters are the ones a preceding \u stands for.
  void Char(char32_t c, bool fallback) {
    if (fallback && skip_ > 0) {
      --skip_;
      return;
    }
    GroupState& s = State();
    if (s.destination == Destination::ColorTable) {
      if (c == ';') {
        colors_.push_back(color_.any ? std::optional<std::uint32_t>(
                                           static_cast<std::uint32_t>((color_.r << 16) | (color_.g << 8) | color_.b))
                                     : std::nullopt);
        color_ = {};
      }
      return;
    }
    if (s.destination != Destination::Text) return;
    if (highSurrogate_ != 0) {
      highSurrogate_ = 0;
      Append(0xFFFD, s.format);
    }
    Append(c, s.format);
  }

  void Append(char32_t c, const RichFormat& format) {
    std::vector<RichRun>& runs = doc_.paragraphs.back().runs;
    if (runs.empty() || !(runs.back().format == format)) runs.push_back({{}, format});
    platform::AppendUtf8(runs.back().text, c);
  }

  std::string_view in_;
  std::size_t pos_ = 0;
  std::vector<GroupState> groups_;
  std::vector<std::optional<std::uint32_t>> colors_;
  Color color_;
  char32_t highSurrogate_ = 0;
  int skip_ = 0;
  RichDocument doc_;
};

}  // namespace

std::optional<RichDocument> ParseRichText(std::string_view bytes) {
  if (bytes.substr(0, 5) != "{\\rtf") return std::nullopt;
  return Reader(bytes).Run();
}

std::optional<std::string> DecodePlainText(std::string_view bytes) {
  if (bytes.find('\0') != std::string_view::npos) return std::nullopt;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  std::string out;
  out.reserve(bytes.size());
  bool utf8 = platform::IsValidUtf8(bytes);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    char c = bytes[i];
    if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    if (utf8 || static_cast<unsigned char>(c) < 0x80)
      out += c;
    else
      platform::AppendUtf8(out, platform::Cp1250ToUnicode(static_cast<unsigned char>(c)));
  }
  return out;
}
