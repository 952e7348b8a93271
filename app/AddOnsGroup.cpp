#include "app/AddOnsGroup.h"

#include "app/forms.h"
#include "framework/handler_guard.h"
#include "framework/widgets.h"
#include "prockill/Unit5.h"

AddOnsGroup::AddOnsGroup(QWidget* page) : QGroupBox(QStringLiteral("Doplňky programu"), page) {
  setObjectName(title());
  setGeometry(4, 2, 425, 226);
  sButton8 = MakeButton(this, "sButton8", "Nasilné ukončování programů - Process Killer", {8, 46, 409, 24});
  Bind(sButton8, &QPushButton::clicked, this, &AddOnsGroup::Button22Click);
}

void AddOnsGroup::Button22Click() { Form5->Open(); }
