#include "resx/RXMain.h"

TKSRE::TKSRE(QWidget* owner) : TForm(owner, QStringLiteral("KSRE"), QStringLiteral("Ovlix: Resource Extractor")) {
  setFixedSize(640, 480);
}
