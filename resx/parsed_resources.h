// Resources parsed into plain structures, each printed two ways: as the
// resource-script text a resource compiler reads (PrintScript) and as JSON
// for scripts (PrintJson). A parser reads the whole resource before
// anything is printed; damaged data gives a damage, and the structure holds
// what was read before it, which the printers print as far as it goes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "resx/ExeImage.h"
#include "resx/json_writer.h"

// Bounded reads of a resource's data. Past its end a read gives zero (an
// empty text) and the first such damage is kept, for the parser to tell
// where what it has read is whole: a parser never commits what it read
// after the damage.
class DataReader {
 public:
  // `what`: the data as messages name it ("the dialog").
  DataReader(Bytes data, const char* what) : data_(data), what_(what) {}
  std::uint16_t U16(std::size_t at);
  std::uint32_t U32(std::size_t at);
  // The zero-terminated UTF-16 text at `at`, which must end before `end`;
  // `at` moves past its zero.
  std::string Text(std::size_t& at, std::size_t end);
  // Keeps `damage` unless there is one already.
  void Fail(Damage damage) {
    if (!damage_.Found()) damage_ = damage;
  }
  bool Failed() const { return damage_.Found(); }
  const Damage& Damaged() const { return damage_; }
  Bytes Data() const { return data_; }
  const char* What() const { return what_; }

 private:
  Bytes data_;
  const char* what_;
  Damage damage_;
};

// RT_ACCELERATOR.
struct Accelerator {
  std::uint16_t flags = 0;
  std::uint16_t key = 0;
  std::uint16_t id = 0;
};
struct AcceleratorTable {
  std::vector<Accelerator> entries;
};
Damage Parse(Bytes data, AcceleratorTable& out);
void PrintScript(const AcceleratorTable& table, TStrings& lines);
void PrintJson(const AcceleratorTable& table, JsonWriter& json);

// RT_MESSAGETABLE.
struct Message {
  std::uint32_t id = 0;
  bool unicode = false;
  std::string text;
};
struct MessageTable {
  bool counted = false;  // its block count was read
  std::vector<Message> messages;
};
Damage Parse(Bytes data, MessageTable& out);
void PrintScript(const MessageTable& table, TStrings& lines);
void PrintJson(const MessageTable& table, JsonWriter& json);

// RT_STRING: sixteen slots, the first of them string id `first`.
struct StringTable {
  long long first = 0;
  std::vector<std::pair<int, std::string>> strings;  // slot, text; the empty slots left out
};
// `name`: the table's resource name (its strings are (name - 1) * 16 on).
Damage Parse(Bytes data, std::uint32_t name, StringTable& out);
void PrintScript(const StringTable& table, TStrings& lines);

// RT_MENU, classic or extended.
struct MenuItem {
  std::string text;  // empty for a separator
  bool popup = false;
  bool last = false;         // the last item of its level
  std::uint16_t flags = 0;   // of a classic item
  long long id = 0;          // of a classic item that is no popup, or of an extended one
  std::uint32_t type = 0;    // of an extended item
  std::uint32_t state = 0;   // of an extended item
  std::uint32_t helpId = 0;  // of an extended popup
};
struct Menu {
  bool extended = false;
  std::vector<MenuItem> items;  // in file order, a popup's items after it
};
Damage Parse(Bytes data, Menu& out);
void PrintScript(const Menu& menu, TStrings& lines);

// RT_DIALOG: DIALOG or DIALOGEX.
struct NameOrId {
  std::string text;
  std::optional<std::uint16_t> id;  // a number where 0xFFFF comes first
};
struct Geometry {
  int x = 0, y = 0, width = 0, height = 0;
};
struct DialogControl {
  std::uint32_t style = 0, exStyle = 0, helpId = 0;
  long long id = 0;
  Geometry geometry;
  NameOrId controlClass, text;
};
struct Dialog {
  bool headerRead = false;
  bool complete = false;  // every control was read
  bool extended = false;
  std::uint32_t style = 0, exStyle = 0, helpId = 0;
  Geometry geometry;
  NameOrId menu, windowClass;
  std::string caption;
  std::optional<std::uint16_t> pointSize, weight;
  std::optional<std::uint8_t> italic, charset;
  std::string face;
  std::vector<DialogControl> controls;
};
Damage Parse(Bytes data, Dialog& out);
void PrintScript(const Dialog& dialog, TStrings& lines);
void PrintJson(const Dialog& dialog, JsonWriter& json);

// RT_VERSION: the fixed file information, then StringFileInfo and
// VarFileInfo blocks in file order.
struct FixedFileInfo {
  std::uint32_t fileMs = 0, fileLs = 0, productMs = 0, productLs = 0;
  std::uint32_t flagsMask = 0, flags = 0, os = 0, type = 0, subtype = 0;
};
struct VersionStringTable {
  std::string block;                                // its name, language and code page in hexadecimal ("040904B0")
  std::optional<std::uint32_t> language, codePage;  // when the name is eight hexadecimal digits
  std::vector<std::pair<std::string, std::string>> strings;  // key, value
};
struct LanguageAndCodePage {
  std::uint16_t language = 0, codePage = 0;
};
struct VersionVar {
  std::string key;  // "Translation" in every compiler's output
  std::vector<LanguageAndCodePage> values;
};
struct VersionBlock {
  bool strings = false;  // StringFileInfo; else VarFileInfo
  std::vector<VersionStringTable> tables;
  std::vector<VersionVar> vars;
};
struct VersionResource {
  std::optional<FixedFileInfo> fixed;
  std::vector<VersionBlock> blocks;
};
Damage Parse(Bytes data, VersionResource& out);
void PrintScript(const VersionResource& version, TStrings& lines);
void PrintJson(const VersionResource& version, JsonWriter& json);

// Lines as JSON, for the listings whose JSON is their text.
void PrintJson(const TStrings& lines, JsonWriter& json);
