// An accelerator table (RT_ACCELERATOR) as a listing: entries of 8 bytes,
// u16 flags, u16 key, u16 command id, u16 padding; flag 0x80 marks the last.
#include "framework/format.h"
#include "platform/little_endian.h"
#include "resx/parsed_resources.h"

namespace {

constexpr std::size_t kEntrySize = 8;

struct Flag {
  std::uint16_t bit;
  const char* name;
};
constexpr Flag kModifiers[] = {{0x08, "CONTROL"}, {0x04, "SHIFT"}, {0x10, "ALT"}, {0x02, "NOINVERT"}};

// The name of a virtual key as resource scripts write it.
std::string VirtualKeyName(std::uint16_t key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
    return std::string("\"") + static_cast<char>(key) + "\"";
  if (key >= 0x70 && key <= 0x87) return "VK_F" + std::to_string(key - 0x6F);
  if (key >= 0x60 && key <= 0x69) return "VK_NUMPAD" + std::to_string(key - 0x60);
  struct Name {
    std::uint16_t key;
    const char* name;
  };
  static constexpr Name kNames[] = {
      {0x08, "VK_BACK"},    {0x09, "VK_TAB"},    {0x0D, "VK_RETURN"},   {0x13, "VK_PAUSE"},  {0x1B, "VK_ESCAPE"},
      {0x20, "VK_SPACE"},   {0x21, "VK_PRIOR"},  {0x22, "VK_NEXT"},     {0x23, "VK_END"},    {0x24, "VK_HOME"},
      {0x25, "VK_LEFT"},    {0x26, "VK_UP"},     {0x27, "VK_RIGHT"},    {0x28, "VK_DOWN"},   {0x2D, "VK_INSERT"},
      {0x2E, "VK_DELETE"},  {0x2F, "VK_HELP"},   {0x6A, "VK_MULTIPLY"}, {0x6B, "VK_ADD"},    {0x6D, "VK_SUBTRACT"},
      {0x6E, "VK_DECIMAL"}, {0x6F, "VK_DIVIDE"}, {0x90, "VK_NUMLOCK"},  {0x91, "VK_SCROLL"}, {0x5D, "VK_APPS"}};
  for (const Name& n : kNames)
    if (n.key == key) return n.name;
  return Format("0x%.2x", {key});
}

// A character key: printable ASCII quoted, a control character as ^X,
// anything else by its number.
std::string CharacterName(std::uint16_t key) {
  if (key >= 0x20 && key < 0x7F && key != '"') return std::string("\"") + static_cast<char>(key) + "\"";
  if (key >= 1 && key <= 26) return std::string("\"^") + static_cast<char>('A' + key - 1) + "\"";
  return std::to_string(key);
}

std::string KeyName(const Accelerator& a) { return a.flags & 0x01 ? VirtualKeyName(a.key) : CharacterName(a.key); }

}  // namespace

Damage Parse(Bytes data, AcceleratorTable& out) {
  for (std::size_t at = 0; at < data.size(); at += kEntrySize) {
    if (data.size() - at < kEntrySize) return {Flaw::Data, 0, "an entry of the accelerator table is cut short"};
    const Accelerator& entry = out.entries.emplace_back(
        Accelerator{platform::Get16(data, at), platform::Get16(data, at + 2), platform::Get16(data, at + 4)});
    if (entry.flags & 0x80) break;
  }
  return {};
}

void PrintScript(const AcceleratorTable& table, TStrings& lines) {
  for (const Accelerator& a : table.entries) {
    const bool virtualKey = a.flags & 0x01;
    std::string line = KeyName(a) + ", " + std::to_string(a.id) + (virtualKey ? ", VIRTKEY" : ", ASCII");
    for (const Flag& f : kModifiers)
      if (a.flags & f.bit) line += std::string(", ") + f.name;
    lines.push_back(line);
  }
}

void PrintJson(const AcceleratorTable& table, JsonWriter& json) {
  json.BeginArray("entries");
  for (const Accelerator& a : table.entries) {
    json.BeginObject();
    json.Number("key", a.key);
    json.String("keyName", KeyName(a));
    json.Number("id", a.id);
    json.Bool("virtualKey", (a.flags & 0x01) != 0);
    json.BeginArray("modifiers");
    for (const Flag& f : kModifiers)
      if (a.flags & f.bit) json.String({}, f.name);
    json.End();
    json.End();
  }
  json.End();
}
