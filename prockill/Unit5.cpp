#include "prockill/Unit5.h"

TForm5::TForm5(QWidget* owner) : TForm(owner, QStringLiteral("Form5"), QStringLiteral("Ovlix: Process Killer")) {
  setFixedSize(300, 330);
}
