#include "dialogs/Unit4.h"

TForm4::TForm4(QWidget* owner) : TForm(owner, QStringLiteral("Form4"), QStringLiteral("Nastavení klávesových zkratek")) {
  setFixedSize(300, 260);
}
