#include "tweaks/WallpaperGroup.h"

#include "framework/widgets.h"

WallpaperGroup::WallpaperGroup(QWidget* page) : QGroupBox(QStringLiteral("Pozadí na ploše"), page) {
  setObjectName(title());
  setGeometry(4, 2, 425, 120);
  CestaPlocha = MakeEdit(this, "CestaPlocha", "C:\\", {8, 20, 409, 22});
}
