#include "platform/keyboard_x11.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace platform {
namespace {

class X11LockLights : public LockLights {
 public:
  explicit X11LockLights(Display* display) : display_(display) {}

  LockState Read() override {
    Prepare();
    LockState state;
    XkbStateRec xkb{};
    if (XkbGetState(display_, XkbUseCoreKbd, &xkb) == Success) {
      state.caps = xkb.locked_mods & LockMask;
      state.num = numMask_ != 0 && (xkb.locked_mods & numMask_);
    }
    Bool on = False;
    if (XkbGetNamedIndicator(display_, scrollAtom_, nullptr, &on, nullptr, nullptr)) state.scroll = on;
    char keys[32];
    XQueryKeymap(display_, keys);
    auto held = [&](KeySym sym) {
      KeyCode code = XKeysymToKeycode(display_, sym);
      return code != 0 && (keys[code / 8] & (1 << (code % 8)));
    };
    state.numHeld = held(XK_Num_Lock);
    state.capsHeld = held(XK_Caps_Lock);
    state.scrollHeld = held(XK_Scroll_Lock);
    return state;
  }

  void Write(bool num, bool caps, bool scroll) override {
    Prepare();
    unsigned affect = LockMask | numMask_;
    unsigned values = (caps ? LockMask : 0) | (num ? numMask_ : 0);
    XkbLockModifiers(display_, XkbUseCoreKbd, affect, values);
    XkbSetNamedIndicator(display_, scrollAtom_, True, scroll, False, nullptr);
    XFlush(display_);
  }

 private:
  // asked of the server when the lights are first used: most runs never
  // blink them
  void Prepare() {
    if (prepared_) return;
    prepared_ = true;
    numMask_ = XkbKeysymToModifiers(display_, XK_Num_Lock);
    scrollAtom_ = XInternAtom(display_, "Scroll Lock", False);
  }

  Display* display_;
  bool prepared_ = false;
  unsigned numMask_ = 0;
  Atom scrollAtom_ = None;
};

}  // namespace

std::unique_ptr<LockLights> MakeX11LockLights(_XDisplay* display) { return std::make_unique<X11LockLights>(display); }

}  // namespace platform
