// A dialog template (RT_DIALOG) as an RC-like listing: the dialog's
// position and size, style, caption, menu, class and font, then every
// control with its text, id, class, style, position and size. Both the
// DIALOG template and the extended DIALOGEX template (version 1, signature
// 0xFFFF) are read.
#include <optional>

#include "framework/format.h"
#include "resx/parsed_resources.h"

namespace {

constexpr const char* kWhat = "the dialog";
constexpr std::uint32_t kSetFont = 0x40;  // DS_SETFONT: the header names a font

std::size_t Align4(std::size_t at) { return (at + 3) / 4 * 4; }

NameOrId ReadNameOrId(DataReader& r, std::size_t& at) {
  NameOrId name;
  if (r.U16(at) == 0xFFFF) {
    name.id = r.U16(at + 2);
    at += 4;
  } else {
    name.text = r.Text(at, r.Data().size());
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

Geometry ReadGeometry(DataReader& r, std::size_t at) {
  auto s16 = [&](std::size_t field) { return static_cast<int>(static_cast<std::int16_t>(r.U16(at + 2 * field))); };
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

Damage Parse(Bytes data, Dialog& out) {
  DataReader r(data, kWhat);
  Dialog& d = out;
  d.extended = data.size() >= 4 && r.U16(0) == 1 && r.U16(2) == 0xFFFF;
  std::size_t at = 0;
  if (d.extended) {
    d.helpId = r.U32(4);
    d.exStyle = r.U32(8);
    d.style = r.U32(12);
    at = 16;
  } else {
    d.style = r.U32(0);
    d.exStyle = r.U32(4);
    at = 8;
  }
  std::uint16_t count = r.U16(at);
  d.geometry = ReadGeometry(r, at + 2);
  at += 10;
  if (r.Failed()) return r.Damaged();
  d.menu = ReadNameOrId(r, at);
  if (r.Failed()) return r.Damaged();
  d.windowClass = ReadNameOrId(r, at);
  if (r.Failed()) return r.Damaged();
  d.caption = r.Text(at, data.size());
  if (r.Failed()) return r.Damaged();
  if (d.style & kSetFont) {
    d.pointSize = r.U16(at);
    at += 2;
    if (d.extended) {
      d.weight = r.U16(at);
      std::uint16_t bytes = r.U16(at + 2);
      d.italic = static_cast<std::uint8_t>(bytes & 0xFF);
      d.charset = static_cast<std::uint8_t>(bytes >> 8);
      at += 4;
    }
    if (r.Failed()) return r.Damaged();
    d.face = r.Text(at, data.size());
    if (r.Failed()) return r.Damaged();
  }
  d.headerRead = true;

  for (std::uint16_t i = 0; i < count; ++i) {
    at = Align4(at);
    DialogControl c;
    if (d.extended) {
      c.helpId = r.U32(at);
      c.exStyle = r.U32(at + 4);
      c.style = r.U32(at + 8);
      c.geometry = ReadGeometry(r, at + 12);
      std::uint32_t raw = r.U32(at + 20);
      c.id = raw == 0xFFFFFFFF ? -1 : static_cast<long long>(raw);
      at += 24;
    } else {
      c.style = r.U32(at);
      c.exStyle = r.U32(at + 4);
      c.geometry = ReadGeometry(r, at + 8);
      std::uint16_t raw = r.U16(at + 16);
      c.id = raw == 0xFFFF ? -1 : static_cast<long long>(raw);
      at += 18;
    }
    if (r.Failed()) return r.Damaged();
    c.controlClass = ReadNameOrId(r, at);
    if (r.Failed()) return r.Damaged();
    c.text = ReadNameOrId(r, at);
    if (r.Failed()) return r.Damaged();
    std::uint16_t extra = r.U16(at);
    if (r.Failed()) return r.Damaged();
    at += 2;
    if (extra > data.size() - at) return {Flaw::EndsEarly, 0, kWhat};
    at += extra;
    d.controls.push_back(std::move(c));
  }
  d.complete = true;
  return {};
}

void PrintScript(const Dialog& d, TStrings& lines) {
  if (!d.headerRead) return;
  lines.push_back((d.extended ? "DIALOGEX " : "DIALOG ") + Listed(d.geometry));
  lines.push_back(Format("STYLE 0x%.8x", {d.style}));
  if (d.exStyle != 0) lines.push_back(Format("EXSTYLE 0x%.8x", {d.exStyle}));
  lines.push_back("CAPTION " + Quoted(d.caption));
  if (d.menu.id || !d.menu.text.empty()) lines.push_back("MENU " + Listed(d.menu));
  if (d.windowClass.id || !d.windowClass.text.empty()) lines.push_back("CLASS " + Listed(d.windowClass));
  if (d.pointSize) {
    std::string font = Format("FONT %d, ", {*d.pointSize}) + Quoted(d.face);
    if (d.extended) font += Format(", %d, %d, 0x%x", {*d.weight, *d.italic, *d.charset});
    lines.push_back(font);
  }
  lines.push_back("BEGIN");
  for (const DialogControl& c : d.controls) {
    // a predefined class by its name, any other in quotes
    const char* predefined = PredefinedClass(c.controlClass);
    std::string line = "  CONTROL " + Listed(c.text) + ", " + std::to_string(c.id) + ", " +
                       (predefined ? predefined : Listed(c.controlClass)) + Format(", 0x%.8x, ", {c.style}) +
                       Listed(c.geometry);
    if (c.exStyle != 0) line += Format(", 0x%.8x", {c.exStyle});
    lines.push_back(line);
  }
  if (d.complete) lines.push_back("END");
}

void PrintJson(const Dialog& d, JsonWriter& json) {
  if (!d.headerRead) return;
  json.Bool("extended", d.extended);
  Json(json, d.geometry);
  json.Number("style", d.style);
  json.Number("exStyle", d.exStyle);
  if (d.extended) json.Number("helpId", d.helpId);
  json.String("caption", d.caption);
  if (d.menu.id || !d.menu.text.empty()) Json(json, "menu", d.menu);
  if (d.windowClass.id || !d.windowClass.text.empty()) Json(json, "class", d.windowClass);
  if (d.pointSize) {
    json.BeginObject("font");
    json.Number("pointSize", *d.pointSize);
    json.String("face", d.face);
    if (d.extended) {
      json.Number("weight", *d.weight);
      json.Bool("italic", *d.italic != 0);
      json.Number("charset", *d.charset);
    }
    json.End();
  }
  json.BeginArray("controls");
  for (const DialogControl& c : d.controls) {
    json.BeginObject();
    if (const char* predefined = PredefinedClass(c.controlClass))
      json.String("class", predefined);
    else
      Json(json, "class", c.controlClass);
    Json(json, "text", c.text);
    json.Number("id", c.id);
    Json(json, c.geometry);
    json.Number("style", c.style);
    json.Number("exStyle", c.exStyle);
    if (d.extended) json.Number("helpId", c.helpId);
    json.End();
  }
  json.End();
}
