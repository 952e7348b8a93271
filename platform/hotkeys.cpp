#include "platform/hotkeys.h"

#include <map>
#include <utility>

#include "platform/backend_slot.h"

namespace platform {
namespace {

class NoHotkeys : public HotkeyBackend {
 public:
  bool Grab(UINT, UINT, std::function<void()>) override { return false; }
  void Release(UINT, UINT) override {}
  bool Offered() const override { return false; }
};

constexpr auto& Backend = SlotWithDefault<HotkeyBackend, NoHotkeys>;

struct Combination {
  UINT modifiers;
  UINT key;
  bool operator==(const Combination&) const = default;
};

std::map<std::pair<HWND, int>, Combination>& Registered() {
  static std::map<std::pair<HWND, int>, Combination> registered;
  return registered;
}

}  // namespace

std::unique_ptr<HotkeyBackend> SetHotkeyBackend(std::unique_ptr<HotkeyBackend> backend) {
  return Backend().Replace(std::move(backend));
}

bool GlobalHotkeysOffered() { return Backend()->Offered(); }

BOOL RegisterHotKey(HWND window, int id, UINT modifiers, UINT virtualKey) {
  Combination wanted{modifiers, virtualKey};
  if (Registered().count({window, id}) != 0) return FALSE_;
  for (const auto& [owner, combination] : Registered())
    if (combination == wanted) return FALSE_;
  if (!Backend()->Grab(modifiers, virtualKey, [window, id, modifiers, virtualKey] {
        SendMessageA(window, WM_HOTKEY, static_cast<WPARAM>(id), static_cast<LPARAM>((virtualKey << 16) | modifiers));
      }))
    return FALSE_;
  Registered()[{window, id}] = wanted;
  return TRUE_;
}

BOOL UnregisterHotKey(HWND window, int id) {
  auto it = Registered().find({window, id});
  if (it == Registered().end()) return FALSE_;
  Backend()->Release(it->second.modifiers, it->second.key);
  Registered().erase(it);
  return TRUE_;
}

}  // namespace platform
