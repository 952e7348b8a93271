// A string table (RT_STRING): sixteen slots of u16 length and UTF-16 text.
#include "platform/little_endian.h"
#include "resx/parsed_resources.h"

Damage Parse(Bytes data, std::uint32_t name, StringTable& out) {
  out.first = (static_cast<long long>(name) - 1) * 16;
  out.strings.reserve(16);
  std::size_t at = 0;
  for (int slot = 0; slot < 16; ++slot) {
    if (at + 2 > data.size()) return {Flaw::Data, 0, "a string table ends early"};
    std::size_t n = platform::Get16(data, at);
    at += 2;
    if (n > (data.size() - at) / 2) return {Flaw::Data, 0, "a string table ends early"};
    if (n > 0) out.strings.emplace_back(slot, WideToNarrow(data.data() + at, n));
    at += 2 * n;
  }
  return {};
}

void PrintScript(const StringTable& table, TStrings& lines) {
  for (const auto& [slot, text] : table.strings)
    lines.push_back(std::to_string(table.first + slot) + ",  \"" + text + "\"");
}
