// A manifest (RT_MANIFEST) as its XML text: UTF-8 as it is, UTF-16 (told by
// its byte-order mark) converted, anything else taken as the ANSI code
// page; a UTF-8 byte-order mark is left out.
#include "platform/codepage.h"
#include "resx/listing.h"

namespace {

void SplitLines(const std::string& text, TStrings& lines) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::size_t stop = end > start && text[end - 1] == '\r' ? end - 1 : end;
    lines.push_back(text.substr(start, stop - start));
    start = end + 1;
  }
}

}  // namespace

Damage ListManifest(Bytes data, TListing& out) {
  std::string encoding = "UTF-8";
  std::string text;
  bool odd = false;
  if (data.size() >= 2 && ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF))) {
    bool big = data[0] == 0xFE;
    encoding = big ? "UTF-16BE" : "UTF-16LE";
    std::size_t count = (data.size() - 2) / 2;
    odd = data.size() % 2 != 0;
    const std::uint8_t* units = data.data() + 2;
    text = platform::Utf16ToUtf8(count, [units, big](std::size_t i) {
      return big ? char32_t(units[2 * i] << 8 | units[2 * i + 1]) : char32_t(units[2 * i] | units[2 * i + 1] << 8);
    });
  } else {
    std::size_t skip = data.size() >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF ? 3 : 0;
    text.assign(reinterpret_cast<const char*>(data.data()) + skip, data.size() - skip);
    if (!platform::IsValidUtf8(text)) {  // an old manifest in the ANSI code page
      encoding = "ANSI";
      std::string ansi;
      for (unsigned char c : text) platform::AppendUtf8(ansi, platform::Cp1250ToUnicode(c));
      text = ansi;
    }
  }
  // resource compilers may pad the text with zeros
  while (!text.empty() && text.back() == '\0') text.pop_back();
  SplitLines(text, out.lines);
  out.json.String("encoding", encoding);
  out.json.String("text", text);
  if (odd) return {Flaw::Data, 0, "a UTF-16 manifest ends in half a character"};
  return {};
}
