#include <QApplication>
#include <QFont>
#include <QStyleFactory>

#include "app/program.h"
#include "platform/power_logind.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QFont font = QApplication::font();
  font.setPointSize(8);
  QApplication::setFont(font);
  platform::SetPowerBackend(platform::MakeLogindPowerBackend());
  return RunProgram();
}
