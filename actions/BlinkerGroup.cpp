#include "actions/BlinkerGroup.h"

#include "framework/convert.h"
#include "framework/handler_guard.h"
#include "framework/ini_file.h"
#include "framework/message_box.h"
#include "framework/widgets.h"
#include "platform/keyboard.h"

using platform::BYTE;
using platform::VK_CAPITAL;
using platform::VK_NUMLOCK;
using platform::VK_SCROLL;

BlinkerGroup::BlinkerGroup(QWidget* page, TTimer* timer3)
    : QGroupBox(QStringLiteral("Zvláštnosti"), page), Timer3(timer3) {
  setObjectName(title());
  setGeometry(4, 232, 425, 92);
  MakeLabel(this, "Label2", "Blikání světel na klávesnici (Num,Caps,Scroll indikátory):", {8, 18, 410, 18});
  sButton5 = MakeButton(this, "sButton5", "Zapnout / Vypnout", {8, 40, 140, 24});
  MakeLabel(this, "Label3", "Rychlost:", {160, 42, 60, 21});
  RychlostBlikani = new TSpinEdit(this, "RychlostBlikani", 250);
  RychlostBlikani->setGeometry(222, 40, 80, 24);
  Bind(sButton5, &QPushButton::clicked, this, &BlinkerGroup::Button8Click);
  Timer3->OnTimer = [this] { Timer3Timer(); };
}

void BlinkerGroup::ToggleBlinker() {
  bool on = !Timer3->Enabled();
  if (on && !platform::LockLightsReachable()) {
    // said once a run: lights nobody can see blink for no one
    if (!unreachableTold_) ShowMessage(QStringLiteral("V tomto prostředí nemohou programy ovládat světla klávesnice."));
    unreachableTold_ = true;
  } else {
    BYTE keys[256];
    platform::GetKeyboardState(keys);
    const int locks[3] = {VK_NUMLOCK, VK_CAPITAL, VK_SCROLL};
    for (int i = 0; i < 3; ++i) {
      if (on) before_[i] = keys[locks[i]] & 1;
      keys[locks[i]] = static_cast<BYTE>(on ? i == 0 : before_[i]);
    }
    platform::SetKeyboardState(keys);
    Timer3->SetEnabled(on);
    Timer3->SetInterval(RychlostBlikani->Value());
  }
  TIniFile(kSettingsFile).WriteString("Nastaveni", "BlikaniRychlost", IntToStr(RychlostBlikani->Value()));
}

void BlinkerGroup::Timer3Timer() {
  // The timer goes on ticking while the message box below is open; one box
  // at a time is enough.
  if (boxOpen_) return;
  BYTE keys[256];
  platform::GetKeyboardState(keys);
  if (keys[VK_NUMLOCK] == 1) {
    BlinkPhase = 1;
    keys[VK_NUMLOCK] = 0;
    keys[VK_CAPITAL] = 1;
  } else if (keys[VK_CAPITAL] == 1) {
    if (BlinkPhase == 1) {
      keys[VK_CAPITAL] = 0;
      keys[VK_SCROLL] = 1;
    } else if (BlinkPhase == 2) {
      keys[VK_CAPITAL] = 0;
      keys[VK_NUMLOCK] = 1;
    }
  } else if (keys[VK_SCROLL] == 1) {
    BlinkPhase = 2;
    keys[VK_SCROLL] = 0;
    keys[VK_CAPITAL] = 1;
  } else {
    boxOpen_ = true;
    ShowMessage(QStringLiteral("Nastala chyba při provádění funkce blikání!"));
    boxOpen_ = false;
    return;
  }
  platform::SetKeyboardState(keys);
}
