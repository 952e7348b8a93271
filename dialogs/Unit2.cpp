#include "dialogs/Unit2.h"

TForm2::TForm2(QWidget* owner) : TForm(owner, QStringLiteral("Form2"), QStringLiteral("O programu")) {
  setFixedSize(360, 240);
}
