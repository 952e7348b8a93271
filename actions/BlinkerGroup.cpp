#include "actions/BlinkerGroup.h"

#include "framework/widgets.h"

BlinkerGroup::BlinkerGroup(QWidget* page) : QGroupBox(QStringLiteral("Zvláštnosti"), page) {
  setObjectName(title());
  setGeometry(4, 232, 425, 92);
  MakeLabel(this, "Label2", "Blikání světel na klávesnici (Num,Caps,Scroll indikátory):", {8, 18, 410, 18});
  MakeLabel(this, "Label3", "Rychlost:", {8, 58, 60, 21});
  RychlostBlikani = new TSpinEdit(this, "RychlostBlikani", 250);
  RychlostBlikani->setGeometry(70, 56, 80, 24);
}
