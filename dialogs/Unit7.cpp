#include "dialogs/Unit7.h"

TFormzh::TFormzh(QWidget* owner) : TForm(owner, QStringLiteral("Formzh"), QStringLiteral("Zadat heslo")) {
  setFixedSize(300, 120);
}
