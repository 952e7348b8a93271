// A dialog template (RT_DIALOG) as an RC-like listing: the dialog's
// position and size, style, caption, menu, class and font, then every
// control with its text, id, class, style, position and size. Both the
// DIALOG template and the extended DIALOGEX template (version 1, signature
// 0xFFFF) are read.
#include <optional>

#include "framework/format.h"
#include "resx/listing.h"

namespace {

constexpr const char* kWhat = "the dialog";
constexpr std::uint32_t kSetFont = 0x40;  // DS_SETFONT: the header names a font

std::size_t Align4(std::size_t at) { return (at + 3) / 4 * 4; }

// A text, or a number where 0xFFFF comes first.
struct NameOrId {
  std::string text;
  std::optional<std::uint16_t> id;
};

NameOrId ReadNameOrId(Bytes data, std::size_t& at) {
  NameOrId name;
  if (Data16(data, at, kWhat) == 0xFFFF) {
    name.id = Data16(data, at + 2, kWhat);
    at += 4;
  } else {
    name.text = ZeroTerminated(data, at, data.size(), kWhat);
  }
  return name;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// A name in a listing: a number as it is, a text in quotes.
std::string Listed(const NameOrId& name) { return name.id ? std::to_string(*name.id) : Quoted(name.text); }

void Json(JsonWriter& json, std::string_view key, const NameOrId& name) {
  if (name.id)
    json.Number(key, *name.id);
  else
    json.String(key, name.text);
}

// The predefined window classes, by their atoms; nullptr for any other class.
const char* PredefinedClass(const NameOrId& name) {
  static constexpr const char* kAtoms[] = {"BUTTON", "EDIT", "STATIC", "LISTBOX", "SCROLLBAR", "COMBOBOX"};
  return name.id && *name.id >= 0x80 && *name.id <= 0x85 ? kAtoms[*name.id - 0x80] : nullptr;
}

struct Geometry {
  int x, y, width, height;
};

Geometry ReadGeometry(Bytes data, std::size_t at) {
  auto s16 = [&](std::size_t field) {
    return static_cast<int>(static_cast<std::int16_t>(Data16(data, at + 2 * field, kWhat)));
  };
  return Geometry{s16(0), s16(1), s16(2), s16(3)};
}

void Json(JsonWriter& json, const Geometry& g) {
  json.Number("x", g.x);
  json.Number("y", g.y);
  json.Number("width", g.width);
  json.Number("height", g.height);
}

std::string Listed(const Geometry& g) { return Format("%d, %d, %d, %d", {g.x, g.y, g.width, g.height}); }

}  // namespace

void ListDialog(Bytes data, TListing& out) {
  TStrings& lines = out.lines;
  JsonWriter& json = out.json;
  bool extended = data.size() >= 4 && Data16(data, 0, kWhat) == 1 && Data16(data, 2, kWhat) == 0xFFFF;
  std::uint32_t style = 0, exStyle = 0, helpId = 0;
  std::size_t at = 0;
  if (extended) {
    helpId = Data32(data, 4, kWhat);
    exStyle = Data32(data, 8, kWhat);
    style = Data32(data, 12, kWhat);
    at = 16;
  } else {
    style = Data32(data, 0, kWhat);
    exStyle = Data32(data, 4, kWhat);
    at = 8;
  }
  std::uint16_t count = Data16(data, at, kWhat);
  Geometry geometry = ReadGeometry(data, at + 2);
  at += 10;
  NameOrId menu = ReadNameOrId(data, at);
  NameOrId windowClass = ReadNameOrId(data, at);
  std::string caption = ZeroTerminated(data, at, data.size(), kWhat);
  std::optional<std::uint16_t> pointSize, weight;
  std::optional<std::uint8_t> italic, charset;
  std::string face;
  if (style & kSetFont) {
    pointSize = Data16(data, at, kWhat);
    at += 2;
    if (extended) {
      weight = Data16(data, at, kWhat);
      std::uint16_t bytes = Data16(data, at + 2, kWhat);
      italic = static_cast<std::uint8_t>(bytes & 0xFF);
      charset = static_cast<std::uint8_t>(bytes >> 8);
      at += 4;
    }
    face = ZeroTerminated(data, at, data.size(), kWhat);
  }

  lines.push_back((extended ? "DIALOGEX " : "DIALOG ") + Listed(geometry));
  lines.push_back(Format("STYLE 0x%.8x", {style}));
  if (exStyle != 0) lines.push_back(Format("EXSTYLE 0x%.8x", {exStyle}));
  lines.push_back("CAPTION " + Quoted(caption));
  if (menu.id || !menu.text.empty()) lines.push_back("MENU " + Listed(menu));
  if (windowClass.id || !windowClass.text.empty()) lines.push_back("CLASS " + Listed(windowClass));
  if (pointSize) {
    std::string font = Format("FONT %d, ", {*pointSize}) + Quoted(face);
    if (extended) font += Format(", %d, %d, 0x%x", {*weight, *italic, *charset});
    lines.push_back(font);
  }
  json.Bool("extended", extended);
  Json(json, geometry);
  json.Number("style", style);
  json.Number("exStyle", exStyle);
  if (extended) json.Number("helpId", helpId);
  json.String("caption", caption);
  if (menu.id || !menu.text.empty()) Json(json, "menu", menu);
  if (windowClass.id || !windowClass.text.empty()) Json(json, "class", windowClass);
  if (pointSize) {
    json.BeginObject("font");
    json.Number("pointSize", *pointSize);
    json.String("face", face);
    if (extended) {
      json.Number("weight", *weight);
      json.Bool("italic", *italic != 0);
      json.Number("charset", *charset);
    }
    json.End();
  }

  lines.push_back("BEGIN");
  json.BeginArray("controls");
  for (std::uint16_t i = 0; i < count; ++i) {
    at = Align4(at);
    std::uint32_t itemStyle, itemExStyle, itemHelpId = 0;
    long long id;
    Geometry g;
    if (extended) {
      itemHelpId = Data32(data, at, kWhat);
      itemExStyle = Data32(data, at + 4, kWhat);
      itemStyle = Data32(data, at + 8, kWhat);
      g = ReadGeometry(data, at + 12);
      std::uint32_t raw = Data32(data, at + 20, kWhat);
      id = raw == 0xFFFFFFFF ? -1 : static_cast<long long>(raw);
      at += 24;
    } else {
      itemStyle = Data32(data, at, kWhat);
      itemExStyle = Data32(data, at + 4, kWhat);
      g = ReadGeometry(data, at + 8);
      std::uint16_t raw = Data16(data, at + 16, kWhat);
      id = raw == 0xFFFF ? -1 : static_cast<long long>(raw);
      at += 18;
    }
    NameOrId controlClass = ReadNameOrId(data, at);
    NameOrId text = ReadNameOrId(data, at);
    std::uint16_t extra = Data16(data, at, kWhat);
    at += 2;
    if (extra > data.size() - at) throw EExeError("Damaged file: the dialog ends early");
    at += extra;

    // a predefined class by its name, any other in quotes
    const char* predefined = PredefinedClass(controlClass);
    std::string line = "  CONTROL " + Listed(text) + ", " + std::to_string(id) + ", " +
                       (predefined ? predefined : Listed(controlClass)) + Format(", 0x%.8x, ", {itemStyle}) + Listed(g);
    if (itemExStyle != 0) line += Format(", 0x%.8x", {itemExStyle});
    lines.push_back(line);
    json.BeginObject();
    if (predefined)
      json.String("class", predefined);
    else
      Json(json, "class", controlClass);
    Json(json, "text", text);
    json.Number("id", id);
    Json(json, g);
    json.Number("style", itemStyle);
    json.Number("exStyle", itemExStyle);
    if (extended) json.Number("helpId", itemHelpId);
    json.End();
  }
  json.End();
  lines.push_back("END");
}
