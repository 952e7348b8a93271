// GetKeyboardState and SetKeyboardState for the three lock keys, the only
// entries the program uses: byte 1 is a light that is on, 0 one that is off,
// and the high bit (0x80) a key held down, so a held key never reads 1.
// Every other entry reads 0 and is ignored on writing.
//
// The lights come from a backend: XKB on X11 (installed by the program, see
// keyboard_x11.h), the console's LED requests where the program runs on a
// virtual terminal, and otherwise a state kept in memory, which reaches no
// keyboard.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/win32.h"

namespace platform {

using BYTE = std::uint8_t;

constexpr int VK_CAPITAL = 20;
constexpr int VK_NUMLOCK = 144;
constexpr int VK_SCROLL = 145;

struct LockState {
  bool num = false, caps = false, scroll = false;
  bool numHeld = false, capsHeld = false, scrollHeld = false;
};

class LockLights {
 public:
  virtual ~LockLights() = default;
  virtual LockState Read() = 0;
  virtual void Write(bool num, bool caps, bool scroll) = 0;
  // False where no keyboard's lights can be reached (a Wayland session
  // gives programs no way to them): the state is then only kept in memory.
  virtual bool Reachable() const { return true; }
};

// A state kept in memory: where no keyboard can be reached, and in tests.
class MemoryLockLights : public LockLights {
 public:
  LockState Read() override { return state_; }
  void Write(bool num, bool caps, bool scroll) override {
    state_.num = num;
    state_.caps = caps;
    state_.scroll = scroll;
  }
  LockState& state() { return state_; }

 private:
  LockState state_;
};

// Takes over the lights (an empty pointer restores the default one);
// returns the previous backend.
std::unique_ptr<LockLights> SetLockLights(std::unique_ptr<LockLights> lights);

bool LockLightsReachable();

BOOL GetKeyboardState(BYTE state[256]);
BOOL SetKeyboardState(const BYTE state[256]);

}  // namespace platform
