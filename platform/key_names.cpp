#include "platform/key_names.h"

#include <string>

const std::vector<KeyName>& KeyNameTable() {
  static const std::vector<KeyName> table = [] {
    static const char* const kNames[38] = {
        "A", "B", "C", "D", "E", "F", "G", "H",  "I",  "J",  "K",  "L",  "M",  "N",  "O",  "P",  "Q",   "R",   "S",
        "T", "U", "V", "W", "X", "Y", "Z", "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12"};
    std::vector<KeyName> out;
    for (UINT i = 0; i < 26; ++i) out.push_back({kNames[i], 65 + i});
    for (UINT i = 0; i < 12; ++i) out.push_back({kNames[26 + i], 112 + i});
    return out;
  }();
  return table;
}

std::optional<UINT> VirtualKeyFor(std::string_view name) {
  for (const KeyName& key : KeyNameTable())
    if (name == key.name) return key.code;
  return std::nullopt;
}
