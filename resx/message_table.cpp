// A message table (RT_MESSAGETABLE) as a listing of ids and texts. The data
// is u32 block count, then blocks of u32 lowest id, u32 highest id and u32
// offset of their entries; an entry is u16 length (with itself), u16 flags
// (1 Unicode, else ANSI) and the text, zero-padded.
#include "framework/format.h"
#include "platform/codepage.h"
#include "resx/listing.h"

namespace {

constexpr const char* kWhat = "the message table";

// A message on one line: its line breaks and tabs written as \r, \n, \t.
std::string OneLine(const std::string& text) {
  std::string line;
  for (char c : text) {
    switch (c) {
      case '\r': line += "\\r"; break;
      case '\n': line += "\\n"; break;
      case '\t': line += "\\t"; break;
      default: line += c;
    }
  }
  return line;
}

}  // namespace

void ListMessageTable(Bytes data, TListing& out) {
  std::uint32_t blocks = Data32(data, 0, kWhat);
  if (blocks > (data.size() - 4) / 12)
    throw EExeError("Damaged file: the message table names more blocks than it holds");
  out.json.BeginArray("messages");
  // blocks may name the same entries again: no more messages are listed
  // than the data could hold on its own
  std::size_t listed = 0;
  for (std::uint32_t b = 0; b < blocks; ++b) {
    std::size_t block = 4 + std::size_t{b} * 12;
    std::uint32_t low = Data32(data, block, kWhat), high = Data32(data, block + 4, kWhat);
    std::size_t at = Data32(data, block + 8, kWhat);
    if (low > high) throw EExeError("Damaged file: a block of the message table ends before it begins");
    // each entry takes at least four bytes: a block that names more ids than
    // the data holds stops at its end
    for (std::uint64_t id = low; id <= high; ++id) {
      std::uint16_t length = Data16(data, at, kWhat), flags = Data16(data, at + 2, kWhat);
      if (length < 4 || length > data.size() - at)
        throw EExeError("Damaged file: a message runs past the end of the table");
      if (++listed > data.size() / 4)
        throw EExeError("Damaged file: the message table names more messages than it holds");
      bool unicode = flags & 1;
      std::size_t size = length - 4u;
      const std::uint8_t* text = data.data() + at + 4;
      std::string message;
      if (unicode) {
        std::size_t n = 0;
        while (n < size / 2 && (text[2 * n] | text[2 * n + 1]) != 0) ++n;
        message = WideToNarrow(text, n);
      } else {
        for (std::size_t i = 0; i < size && text[i] != 0; ++i)
          platform::AppendUtf8(message, platform::Cp1250ToUnicode(text[i]));
      }
      out.lines.push_back(Format("0x%.8x  ", {static_cast<long long>(id)}) + "\"" + OneLine(message) + "\"");
      out.json.BeginObject();
      out.json.Number("id", static_cast<long long>(id));
      out.json.Bool("unicode", unicode);
      out.json.String("text", message);
      out.json.End();
      at += length;
    }
  }
  out.json.End();
}
