#include "dialogs/Unit8.h"

TTipy::TTipy(QWidget* owner) : TForm(owner, QStringLiteral("Tipy"), QStringLiteral("Tipy a Triky pro systémy Windows")) {
  setFixedSize(600, 400);
}
