#include "platform/hotkeys_x11.h"

#include <X11/keysym.h>
#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QTimer>
#include <cstdlib>
#include <map>
#include <optional>
#include <vector>

namespace platform {
namespace {

using Keysym = std::uint32_t;
constexpr Keysym kNoSymbol = 0;

Keysym KeysymFor(UINT virtualKey) {
  if (virtualKey >= 'A' && virtualKey <= 'Z') return XK_a + (virtualKey - 'A');
  if (virtualKey >= '0' && virtualKey <= '9') return XK_0 + (virtualKey - '0');
  if (virtualKey >= 112 && virtualKey <= 135) return XK_F1 + (virtualKey - 112);  // VK_F1..VK_F24
  return kNoSymbol;
}

// The server's core keyboard map, asked for once with the modifier map in
// the same round trip. (Xlib's XKB map, its usual source, takes several
// round trips and much more to build.)
class CoreKeymap {
 public:
  explicit CoreKeymap(xcb_connection_t* connection) {
    const xcb_setup_t* setup = xcb_get_setup(connection);
    min_ = setup->min_keycode;
    int count = setup->max_keycode - setup->min_keycode + 1;
    auto keys = xcb_get_keyboard_mapping(connection, min_, static_cast<std::uint8_t>(count));
    auto mods = xcb_get_modifier_mapping(connection);
    if (auto* reply = xcb_get_keyboard_mapping_reply(connection, keys, nullptr)) {
      perCode_ = reply->keysyms_per_keycode;
      const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply);
      syms_.assign(syms, syms + xcb_get_keyboard_mapping_keysyms_length(reply));
      std::free(reply);
    }
    if (auto* reply = xcb_get_modifier_mapping_reply(connection, mods, nullptr)) {
      const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(reply);
      for (int modifier = 0; modifier < 8; ++modifier)
        for (int i = 0; i < reply->keycodes_per_modifier; ++i)
          if (Carries(codes[modifier * reply->keycodes_per_modifier + i], XK_Num_Lock))
            numMask_ |= static_cast<std::uint16_t>(1U << modifier);
      std::free(reply);
    }
  }

  // The first key that carries the symbol, searched column by column as
  // XKeysymToKeycode does; 0 when none does.
  xcb_keycode_t KeycodeFor(Keysym sym) const {
    if (perCode_ == 0 || sym == kNoSymbol) return 0;
    std::size_t codes = syms_.size() / perCode_;
    for (std::size_t column = 0; column < perCode_; ++column)
      for (std::size_t i = 0; i < codes; ++i)
        if (syms_[i * perCode_ + column] == sym) return static_cast<xcb_keycode_t>(min_ + i);
    return 0;
  }
  std::uint16_t NumLockMask() const { return numMask_; }

 private:
  bool Carries(xcb_keycode_t code, Keysym sym) const {
    if (code < min_ || perCode_ == 0) return false;
    std::size_t first = static_cast<std::size_t>(code - min_) * perCode_;
    for (std::size_t column = 0; column < perCode_ && first + column < syms_.size(); ++column)
      if (syms_[first + column] == sym) return true;
    return false;
  }

  xcb_keycode_t min_ = 0;
  std::size_t perCode_ = 0;
  std::vector<xcb_keysym_t> syms_;
  std::uint16_t numMask_ = 0;
};

class X11Hotkeys : public HotkeyBackend, public QAbstractNativeEventFilter {
 public:
  explicit X11Hotkeys(xcb_connection_t* connection)
      : connection_(connection), root_(xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root) {
    QCoreApplication::instance()->installNativeEventFilter(this);
  }
  ~X11Hotkeys() override {
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
  }

  bool Grab(UINT modifiers, UINT virtualKey, std::function<void()> pressed) override {
    xcb_keycode_t code = Keymap().KeycodeFor(KeysymFor(virtualKey));
    if (code == 0) return false;
    std::uint16_t mods = ModifierMask(modifiers);
    // all variants asked for at once, their answers awaited together: one
    // round trip to the server, not one for each
    std::vector<std::uint16_t> variants = LockVariants(), granted;
    std::vector<xcb_void_cookie_t> cookies;
    for (std::uint16_t extra : variants)
      cookies.push_back(xcb_grab_key_checked(connection_, 1, root_, static_cast<std::uint16_t>(mods | extra), code,
                                             XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    for (std::size_t i = 0; i < cookies.size(); ++i) {
      if (xcb_generic_error_t* error = xcb_request_check(connection_, cookies[i]))
        free(error);
      else
        granted.push_back(variants[i]);
    }
    if (granted.size() != variants.size()) {
      for (std::uint16_t undo : granted)
        xcb_ungrab_key(connection_, code, root_, static_cast<std::uint16_t>(mods | undo));
      xcb_flush(connection_);
      return false;
    }
    xcb_flush(connection_);
    grabs_[{code, mods}] = std::move(pressed);
    keys_[{modifiers, virtualKey}] = {code, mods};
    return true;
  }

  void Release(UINT modifiers, UINT virtualKey) override {
    auto it = keys_.find({modifiers, virtualKey});
    if (it == keys_.end()) return;
    auto [code, mods] = it->second;
    for (std::uint16_t extra : LockVariants())
      xcb_ungrab_key(connection_, code, root_, static_cast<std::uint16_t>(mods | extra));
    xcb_flush(connection_);
    grabs_.erase(it->second);
    keys_.erase(it);
  }

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "xcb_generic_event_t") return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_KEY_PRESS) return false;
    auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
    if (key->event != root_) return false;
    std::uint16_t relevant = key->state & static_cast<std::uint16_t>(~(XCB_MOD_MASK_LOCK | Keymap().NumLockMask())) &
                             (XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4);
    auto it = grabs_.find({key->detail, relevant});
    if (it == grabs_.end()) return false;
    // As WM_HOTKEY is posted, not sent: the action (a modal window, say)
    // runs from the event loop, not inside the filter.
    QTimer::singleShot(0, QCoreApplication::instance(), it->second);
    return true;
  }

 private:
  // read when the first key is grabbed, not when the program starts
  const CoreKeymap& Keymap() {
    if (!keymap_) keymap_.emplace(connection_);
    return *keymap_;
  }

  std::vector<std::uint16_t> LockVariants() {
    std::uint16_t num = Keymap().NumLockMask();
    return {0, XCB_MOD_MASK_LOCK, num, static_cast<std::uint16_t>(XCB_MOD_MASK_LOCK | num)};
  }

  static std::uint16_t ModifierMask(UINT modifiers) {
    std::uint16_t mask = 0;
    if (modifiers & MOD_ALT) mask |= XCB_MOD_MASK_1;
    if (modifiers & MOD_CONTROL) mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & MOD_SHIFT) mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & MOD_WIN) mask |= XCB_MOD_MASK_4;
    return mask;
  }

  xcb_connection_t* connection_;
  xcb_window_t root_;
  std::optional<CoreKeymap> keymap_;
  std::map<std::pair<xcb_keycode_t, std::uint16_t>, std::function<void()>> grabs_;
  std::map<std::pair<UINT, UINT>, std::pair<xcb_keycode_t, std::uint16_t>> keys_;
};

}  // namespace

std::unique_ptr<HotkeyBackend> MakeX11HotkeyBackend(xcb_connection_t* connection) {
  return std::make_unique<X11Hotkeys>(connection);
}

}  // namespace platform
