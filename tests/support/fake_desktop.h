// A fake tray and fake desktop keys: they record what the program asks of
// them and let a test click the icon or press a hotkey.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "platform/hotkeys.h"
#include "platform/tray.h"

class FakeTray : public platform::TrayBackend {
 public:
  bool Add(const platform::NOTIFYICONDATAA& data, std::function<void(UINT)> onClick) override {
    added.push_back(data);
    click = std::move(onClick);
    return true;
  }
  bool Remove(const platform::NOTIFYICONDATAA&) override {
    ++removed;
    click = nullptr;
    return true;
  }
  bool ShowsIcons() const override { return showsIcons; }
  bool SetMenu(const platform::NOTIFYICONDATAA&, QMenu* taken) override {
    if (takesMenus) menu = taken;
    return takesMenus;
  }
  bool showsIcons = true;
  bool takesMenus = false;
  QMenu* menu = nullptr;
  std::vector<platform::NOTIFYICONDATAA> added;
  int removed = 0;
  std::function<void(UINT)> click;
};

class FakeHotkeys : public platform::HotkeyBackend {
 public:
  using Combination = std::pair<UINT, UINT>;
  bool Grab(UINT modifiers, UINT key, std::function<void()> pressed) override {
    if (takenElsewhere.count({modifiers, key}) != 0) return false;
    grabs[{modifiers, key}] = std::move(pressed);
    return true;
  }
  void Release(UINT modifiers, UINT key) override {
    grabs.erase({modifiers, key});
    ++released;
  }
  // Ctrl+key as the user would press it; false when nothing holds it.
  bool Press(UINT key) {
    auto it = grabs.find({platform::MOD_CONTROL, key});
    if (it == grabs.end()) return false;
    it->second();
    return true;
  }
  bool Offered() const override { return offered; }
  std::set<UINT> Keys() const {
    std::set<UINT> keys;
    for (const auto& [combination, pressed] : grabs) keys.insert(combination.second);
    return keys;
  }
  std::map<Combination, std::function<void()>> grabs;
  std::set<Combination> takenElsewhere;
  int released = 0;
  bool offered = true;
};

// Installs both for a scope.
class FakeDesktop {
 public:
  FakeDesktop() {
    auto t = std::make_unique<FakeTray>();
    auto k = std::make_unique<FakeHotkeys>();
    tray = t.get();
    keys = k.get();
    oldTray_ = platform::SetTrayBackend(std::move(t));
    oldKeys_ = platform::SetHotkeyBackend(std::move(k));
  }
  ~FakeDesktop() {
    platform::SetTrayBackend(std::move(oldTray_));
    platform::SetHotkeyBackend(std::move(oldKeys_));
  }
  FakeTray* tray;
  FakeHotkeys* keys;

 private:
  std::unique_ptr<platform::TrayBackend> oldTray_;
  std::unique_ptr<platform::HotkeyBackend> oldKeys_;
};
