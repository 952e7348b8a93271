// Qt first: Xlib's macros (Bool, Status) break Qt's headers.
#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QTimer>
#include <map>
#include <vector>

#include "platform/hotkeys_x11.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

namespace platform {
namespace {

KeySym KeysymFor(UINT virtualKey) {
  if (virtualKey >= 'A' && virtualKey <= 'Z') return XK_a + (virtualKey - 'A');
  if (virtualKey >= '0' && virtualKey <= '9') return XK_0 + (virtualKey - '0');
  if (virtualKey >= 112 && virtualKey <= 135) return XK_F1 + (virtualKey - 112);  // VK_F1..VK_F24
  return NoSymbol;
}

class X11Hotkeys : public HotkeyBackend, public QAbstractNativeEventFilter {
 public:
  X11Hotkeys(Display* display, xcb_connection_t* connection)
      : display_(display),
        connection_(connection),
        root_(xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root),
        numMask_(static_cast<std::uint16_t>(XkbKeysymToModifiers(display, XK_Num_Lock))) {
    QCoreApplication::instance()->installNativeEventFilter(this);
  }
  ~X11Hotkeys() override {
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
  }

  bool Grab(UINT modifiers, UINT virtualKey, std::function<void()> pressed) override {
    KeySym sym = KeysymFor(virtualKey);
    xcb_keycode_t code = sym == NoSymbol ? 0 : static_cast<xcb_keycode_t>(XKeysymToKeycode(display_, sym));
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
      for (std::uint16_t undo : granted) xcb_ungrab_key(connection_, code, root_, static_cast<std::uint16_t>(mods | undo));
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
    std::uint16_t relevant = key->state & static_cast<std::uint16_t>(~(XCB_MOD_MASK_LOCK | numMask_)) &
                             (XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4);
    auto it = grabs_.find({key->detail, relevant});
    if (it == grabs_.end()) return false;
    // As WM_HOTKEY is posted, not sent: the action (a modal window, say)
    // runs from the event loop, not inside the filter.
    QTimer::singleShot(0, QCoreApplication::instance(), it->second);
    return true;
  }

 private:
  std::vector<std::uint16_t> LockVariants() const {
    return {0, XCB_MOD_MASK_LOCK, numMask_, static_cast<std::uint16_t>(XCB_MOD_MASK_LOCK | numMask_)};
  }

  static std::uint16_t ModifierMask(UINT modifiers) {
    std::uint16_t mask = 0;
    if (modifiers & MOD_ALT) mask |= XCB_MOD_MASK_1;
    if (modifiers & MOD_CONTROL) mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & MOD_SHIFT) mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & MOD_WIN) mask |= XCB_MOD_MASK_4;
    return mask;
  }

  Display* display_;
  xcb_connection_t* connection_;
  xcb_window_t root_;
  std::uint16_t numMask_;
  std::map<std::pair<xcb_keycode_t, std::uint16_t>, std::function<void()>> grabs_;
  std::map<std::pair<UINT, UINT>, std::pair<xcb_keycode_t, std::uint16_t>> keys_;
};

}  // namespace

std::unique_ptr<HotkeyBackend> MakeX11HotkeyBackend(_XDisplay* display, xcb_connection_t* connection) {
  return std::make_unique<X11Hotkeys>(display, connection);
}

}  // namespace platform
