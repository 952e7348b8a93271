#include "platform/keyboard.h"

#include <linux/kd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstring>

#include "platform/backend_slot.h"

namespace platform {
namespace {

// The lights of the virtual terminal the program runs on.
class ConsoleLockLights : public LockLights {
 public:
  LockState Read() override {
    char leds = 0;
    LockState state;
    if (::ioctl(STDIN_FILENO, KDGETLED, &leds) != 0) return state;
    state.num = leds & LED_NUM;
    state.caps = leds & LED_CAP;
    state.scroll = leds & LED_SCR;
    return state;
  }
  void Write(bool num, bool caps, bool scroll) override {
    char leds = static_cast<char>((num ? LED_NUM : 0) | (caps ? LED_CAP : 0) | (scroll ? LED_SCR : 0));
    ::ioctl(STDIN_FILENO, KDSETLED, leds);
  }
};

class NoLockLights : public MemoryLockLights {
 public:
  bool Reachable() const override { return false; }
};

std::unique_ptr<LockLights> DefaultLights() {
  char leds = 0;
  if (::isatty(STDIN_FILENO) && ::ioctl(STDIN_FILENO, KDGETLED, &leds) == 0)
    return std::make_unique<ConsoleLockLights>();
  return std::make_unique<NoLockLights>();
}

BackendSlot<LockLights>& Lights() {
  static BackendSlot<LockLights> slot(DefaultLights);
  return slot;
}

BYTE Entry(bool on, bool held) { return static_cast<BYTE>((on ? 1 : 0) | (held ? 0x80 : 0)); }

}  // namespace

std::unique_ptr<LockLights> SetLockLights(std::unique_ptr<LockLights> lights) {
  return Lights().Replace(std::move(lights));
}

bool LockLightsReachable() { return Lights()->Reachable(); }

BOOL GetKeyboardState(BYTE state[256]) {
  if (state == nullptr) return FALSE_;
  std::memset(state, 0, 256);
  LockState locks = Lights()->Read();
  state[VK_NUMLOCK] = Entry(locks.num, locks.numHeld);
  state[VK_CAPITAL] = Entry(locks.caps, locks.capsHeld);
  state[VK_SCROLL] = Entry(locks.scroll, locks.scrollHeld);
  return TRUE_;
}

BOOL SetKeyboardState(const BYTE state[256]) {
  if (state == nullptr) return FALSE_;
  Lights()->Write(state[VK_NUMLOCK] & 1, state[VK_CAPITAL] & 1, state[VK_SCROLL] & 1);
  return TRUE_;
}

}  // namespace platform
