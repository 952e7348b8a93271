// A message table (RT_MESSAGETABLE) as a listing of ids and texts. The data
// is u32 block count, then blocks of u32 lowest id, u32 highest id and u32
// offset of their entries; an entry is u16 length (with itself), u16 flags
// (1 Unicode, else ANSI) and the text, zero-padded.
#include "framework/format.h"
#include "platform/codepage.h"
#include "resx/parsed_resources.h"

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

Damage Parse(Bytes data, MessageTable& out) {
  DataReader r(data, kWhat);
  std::uint32_t blocks = r.U32(0);
  if (r.Failed()) return r.Damaged();
  if (blocks > (data.size() - 4) / 12) return {Flaw::Data, 0, "the message table names more blocks than it holds"};
  out.counted = true;
  // blocks may name the same entries again: no more messages are listed
  // than the data could hold on its own
  std::size_t listed = 0;
  for (std::uint32_t b = 0; b < blocks; ++b) {
    std::size_t block = 4 + std::size_t{b} * 12;
    std::uint32_t low = r.U32(block), high = r.U32(block + 4);
    std::size_t at = r.U32(block + 8);
    if (r.Failed()) return r.Damaged();
    if (low > high) return {Flaw::Data, 0, "a block of the message table ends before it begins"};
    // each entry takes at least four bytes: a block that names more ids than
    // the data holds stops at its end
    for (std::uint64_t id = low; id <= high; ++id) {
      std::uint16_t length = r.U16(at), flags = r.U16(at + 2);
      if (r.Failed()) return r.Damaged();
      if (length < 4 || length > data.size() - at) return {Flaw::Data, 0, "a message runs past the end of the table"};
      if (++listed > data.size() / 4) return {Flaw::Data, 0, "the message table names more messages than it holds"};
      Message& message = out.messages.emplace_back(Message{static_cast<std::uint32_t>(id), (flags & 1) != 0, {}});
      std::size_t size = length - 4u;
      const std::uint8_t* text = data.data() + at + 4;
      if (message.unicode) {
        std::size_t n = 0;
        while (n < size / 2 && (text[2 * n] | text[2 * n + 1]) != 0) ++n;
        message.text = WideToNarrow(text, n);
      } else {
        for (std::size_t i = 0; i < size && text[i] != 0; ++i)
          platform::AppendUtf8(message.text, platform::Cp1250ToUnicode(text[i]));
      }
      at += length;
    }
  }
  return {};
}

void PrintScript(const MessageTable& table, TStrings& lines) {
  for (const Message& m : table.messages)
    lines.push_back(Format("0x%.8x  ", {static_cast<long long>(m.id)}) + "\"" + OneLine(m.text) + "\"");
}

void PrintJson(const MessageTable& table, JsonWriter& json) {
  if (!table.counted) return;
  json.BeginArray("messages");
  for (const Message& m : table.messages) {
    json.BeginObject();
    json.Number("id", static_cast<long long>(m.id));
    json.Bool("unicode", m.unicode);
    json.String("text", m.text);
    json.End();
  }
  json.End();
}
