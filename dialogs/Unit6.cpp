#include "dialogs/Unit6.h"

TFormnh::TFormnh(QWidget* owner) : TForm(owner, QStringLiteral("Formnh"), QStringLiteral("Nové heslo")) {
  setFixedSize(300, 140);
}
