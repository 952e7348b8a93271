#include "app/Hotkeys.h"

#include "actions/CdDoorGroup.h"
#include "actions/PowerGroup.h"
#include "actions/power_actions.h"
#include "app/Unit1.h"
#include "app/forms.h"
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

void THotkeys::HotKeyMessage(platform::WPARAM id) {
  switch (id) {
    case 1:
      if (!form_.isVisible()) form_.show();
      break;
    case 2: Form5->Open(); break;
    case 3: form_.cdDoor->Button17Click(); break;
    case 4: form_.cdDoor->Button18Click(); break;
    case 5: form_.power->Button1Click(); break;
    case 6: EndWindows(EWX_SHUTDOWN); break;
    case 7: EndWindows(EWX_REBOOT); break;
    default: break;
  }
}
