// "Pozadí na ploše" on the "Plocha, start a spořič" page.
#pragma once

#include <QGroupBox>
#include <QLineEdit>

class WallpaperGroup : public QGroupBox {
  Q_OBJECT
 public:
  explicit WallpaperGroup(QWidget* page);

  QLineEdit* CestaPlocha;
};
