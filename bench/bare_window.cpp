// The yardstick of the start-up benchmark: the barest Qt window of the same
// client size, with the same style and font as the program.
#include <QApplication>
#include <QFont>
#include <QStyleFactory>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QFont font(QStringLiteral("Liberation Sans"), 8);
  font.setStyleHint(QFont::SansSerif);
  QApplication::setFont(font);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Bare Qt window"));
  window.setFixedSize(437, 375);
  window.show();
  return QApplication::exec();
}
