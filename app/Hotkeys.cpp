#include "app/Hotkeys.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMenu>

#include "actions/CdDoorGroup.h"
#include "actions/PowerGroup.h"
#include "actions/power_actions.h"
#include "app/Unit1.h"
#include "app/forms.h"
#include "framework/message_box.h"
#include "platform/hotkeys.h"
#include "platform/key_names.h"
#include "prockill/Unit5.h"

void THotkeys::Register(platform::HWND window, const std::array<std::string, 7>& names) {
  for (int id = 1; id <= 7; ++id)
    if (auto code = VirtualKeyFor(names[static_cast<std::size_t>(id - 1)]))
      platform::RegisterHotKey(window, id, platform::MOD_CONTROL, *code);
}

void THotkeys::Unregister(platform::HWND window) {
  for (int id = 1; id <= 7; ++id) platform::UnregisterHotKey(window, id);
}

namespace {

// The combination as the toolkit writes shortcuts; empty for a key it has
// no name for here.
QKeySequence SequenceOf(platform::LPARAM combination) {
  auto modifiers = static_cast<UINT>(combination & 0xFFFF);
  auto vk = static_cast<UINT>((combination >> 16) & 0xFFFF);
  int key = 0;
  if (vk >= 'A' && vk <= 'Z') key = Qt::Key_A + static_cast<int>(vk - 'A');
  if (vk >= '0' && vk <= '9') key = Qt::Key_0 + static_cast<int>(vk - '0');
  if (vk >= 112 && vk <= 135) key = Qt::Key_F1 + static_cast<int>(vk - 112);
  if (key == 0) return {};
  Qt::KeyboardModifiers mods;
  if (modifiers & platform::MOD_CONTROL) mods |= Qt::ControlModifier;
  if (modifiers & platform::MOD_ALT) mods |= Qt::AltModifier;
  if (modifiers & platform::MOD_SHIFT) mods |= Qt::ShiftModifier;
  if (modifiers & platform::MOD_WIN) mods |= Qt::MetaModifier;
  return QKeySequence(QKeyCombination(mods, static_cast<Qt::Key>(key)));
}

// The window an action belongs to: its menus are windows of their own, and
// the windows it owns (dialogs) are children of it.
QWidget* WindowOf(const QObject* object) {
  for (; object != nullptr; object = object->parent())
    if (object->isWidgetType()) {
      auto* widget = static_cast<const QWidget*>(object);
      if (widget->isWindow() && qobject_cast<const QMenu*>(widget) == nullptr) return const_cast<QWidget*>(widget);
    }
  return nullptr;
}

// A global key takes the combination from every window, the program's own
// too: where the window in front has a command of its own on it (the
// explorer's Ctrl+Q to Ctrl+R), that command runs instead.
bool ActiveWindowTakes(platform::LPARAM combination) {
  QWidget* active = QApplication::activeWindow();
  QKeySequence keys = SequenceOf(combination);
  if (active == nullptr || keys.isEmpty()) return false;
  for (QAction* action : active->findChildren<QAction*>())
    if (WindowOf(action) == active && action->isEnabled() && action->shortcuts().contains(keys)) {
      action->trigger();
      return true;
    }
  return false;
}

}  // namespace

void THotkeys::HotKeyMessage(platform::WPARAM id, platform::LPARAM combination) {
  if (id < 1 || id > 7 || ActiveWindowTakes(combination)) return;
  switch (id) {
    case 1:
      if (!form_.isVisible() || form_.isMinimized()) form_.BringForward();
      break;
    case 2: Form5->Open(); break;
    case 3: form_.cdDoor->Button17Click(); break;
    case 4: form_.cdDoor->Button18Click(); break;
    case 5:
      if (Confirmed("Opravdu vysypat koš?")) form_.power->Button1Click();
      break;
    case 6:
      if (Confirmed("Opravdu vypnout počítač?")) EndWindows(EWX_SHUTDOWN);
      break;
    case 7:
      if (Confirmed("Opravdu restartovat počítač?")) EndWindows(EWX_REBOOT);
      break;
    default: break;
  }
}

bool THotkeys::Confirmed(const char* question) {
  if (asking_) return false;  // a key pressed again while its question is open adds none
  asking_ = true;
  bool yes = AskFirst(QString::fromUtf8(question));
  asking_ = false;
  return yes;
}
