// A menu template (RT_MENU), classic or extended, as a resource compiler
// writes it.
#include <initializer_list>

#include "framework/format.h"
#include "platform/little_endian.h"
#include "resx/parsed_resources.h"

namespace {

using platform::Get16;
using platform::Get32;

constexpr Damage kPastTheEnd{Flaw::Data, 0, "a menu item runs past the end of the menu"};

// The text of a menu item: UTF-16 up to its zero, which must lie in the
// data. The number of its characters; nothing when it has no end.
std::optional<std::size_t> MenuText(Bytes data, std::size_t at, std::string& text) {
  std::size_t n = 0;
  while (true) {
    if (at + 2 * n + 2 > data.size()) return std::nullopt;
    if (Get16(data, at + 2 * n) == 0) break;
    ++n;
  }
  text = WideToNarrow(data.data() + at, n);
  return n;
}

// A classic item's flags as a resource compiler writes them, in its order.
constexpr struct {
  std::uint16_t bit;
  const char* word;
} kMenuFlags[] = {{0x0008, "CHECKED"},      {0x0001, "GRAYED"},    {0x4000, "HELP"},      {0x0002, "INACTIVE"},
                  {0x0020, "MENUBARBREAK"}, {0x0040, "MENUBREAK"}, {0x0100, "OWNERDRAW"}, {0x0004, "BITMAP"}};

std::string ClassicFlags(std::uint16_t flags) {
  std::string words;
  for (const auto& f : kMenuFlags)
    if (flags & f.bit) words += std::string(", ") + f.word;
  return words;
}

// An extended item's id, type, state (and a popup's help id), left out
// from the last non-zero one on, as a resource compiler writes them.
std::string ExtendedFields(std::initializer_list<long long> fields) {
  std::size_t n = fields.size();
  while (n > 0 && fields.begin()[n - 1] == 0) --n;
  std::string text;
  for (std::size_t i = 0; i < n; ++i) text += (i == 0 ? ",  " : ", ") + std::to_string(fields.begin()[i]);
  return text;
}

class MenuListing {
 public:
  explicit MenuListing(TStrings& lines) : lines_(lines) {}
  void Line(const std::string& text) { lines_.push_back(std::string(level_ > 0 ? 2 * level_ : 0, ' ') + text); }
  // `fields`: what follows the text (an id, flags), written as it stands.
  void Item(const std::string& text, bool popup, const std::string& fields) {
    if (text.empty())
      Line("MENUITEM SEPARATOR");
    else if (popup)
      Line(Format("POPUP \"%s\"", {text}) + fields);
    else
      Line(Format("MENUITEM \"%s\"", {text}) + fields);
  }
  // A popup's items are one level deeper; a popup that is the last of its
  // own level closes that level only after its items are done.
  void Open(bool last) {
    closesParent_.push_back(last);
    ++level_;
  }
  // The last item of a level: closes its popup, and the popups it was the
  // last of. The menu bar itself has no ENDPOPUP.
  void Close() {
    while (!closesParent_.empty()) {
      --level_;
      Line("ENDPOPUP");
      bool more = closesParent_.back();
      closesParent_.pop_back();
      if (!more) return;
    }
  }

 private:
  TStrings& lines_;
  int level_ = 0;
  std::vector<bool> closesParent_;
};

}  // namespace

Damage Parse(Bytes data, Menu& out) {
  if (data.size() < 4) return {Flaw::Data, 0, "a menu without its header"};
  out.extended = Get16(data, 0) == 1;
  std::string text;
  if (out.extended) {
    // extended template: after the header (and the offset it names) items of
    // type, state, id, flags (0x01 popup, 0x80 last) and text, each aligned
    // to four bytes; a popup's help id precedes its items
    std::size_t at = 4 + std::size_t{Get16(data, 2)};
    while (at < data.size()) {
      if (at + 14 > data.size()) return kPastTheEnd;
      MenuItem item;
      item.type = Get32(data, at);
      item.state = Get32(data, at + 4);
      item.id = static_cast<std::int32_t>(Get32(data, at + 8));
      std::uint16_t flags = Get16(data, at + 12);
      std::optional<std::size_t> n = MenuText(data, at + 14, item.text);
      if (!n) return kPastTheEnd;
      at = (at + 14 + 2 * (*n + 1) + 3) / 4 * 4;
      item.popup = flags & 0x01;
      item.last = flags & 0x80;
      if (item.type & 0x800) item.text.clear();  // MFT_SEPARATOR
      if (item.popup) {
        if (at + 4 > data.size()) return kPastTheEnd;
        item.helpId = Get32(data, at);
        at += 4;
      }
      out.items.push_back(std::move(item));
    }
    return {};
  }
  std::size_t at = 4;
  while (at < data.size()) {
    if (at + 2 > data.size()) return kPastTheEnd;
    MenuItem item;
    item.flags = Get16(data, at);
    at += 2;
    item.popup = item.flags & 0x10;
    item.last = item.flags & 0x80;
    if (!item.popup) {
      if (at + 2 > data.size()) return kPastTheEnd;
      item.id = Get16(data, at);
      at += 2;
    }
    std::optional<std::size_t> n = MenuText(data, at, item.text);
    if (!n) return kPastTheEnd;
    at += 2 * (*n + 1);
    out.items.push_back(std::move(item));
  }
  return {};
}

void PrintScript(const Menu& menu, TStrings& lines) {
  MenuListing listing(lines);
  for (const MenuItem& item : menu.items) {
    if (menu.extended)
      listing.Item(item.text, item.popup,
                   item.popup ? ExtendedFields({item.id, item.type, item.state, item.helpId})
                              : ExtendedFields({item.id, item.type, item.state}));
    else
      listing.Item(item.text, item.popup,
                   (item.popup ? std::string() : ",  " + std::to_string(item.id)) + ClassicFlags(item.flags));
    if (item.popup)
      listing.Open(item.last);
    else if (item.last)
      listing.Close();
  }
}
