// Writes the application's icon as PNG files for the desktop's icon theme:
//   ovlix_icon_png FOLDER SIZE...  makes FOLDER/SIZExSIZE/apps/org.ovlix.Ovlix.png
// The pictures come from the same drawing the program gives its windows.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <cstdio>
#include <string>

#include "app/app_icon.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: ovlix_icon_png FOLDER SIZE...\n", stderr);
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QIcon icon = ApplicationIcon();
  for (int i = 2; i < argc; ++i) {
    int size = std::stoi(argv[i]);
    QString folder = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
    QImage image = icon.pixmap(QSize(size, size)).toImage();
    if (!QDir().mkpath(folder) || image.size() != QSize(size, size) ||
        !image.save(folder + QStringLiteral("/org.ovlix.Ovlix.png"), "PNG")) {
      std::fprintf(stderr, "ovlix_icon_png: cannot write the %d pixel icon in %s\n", size, argv[1]);
      return 1;
    }
  }
  return 0;
}
