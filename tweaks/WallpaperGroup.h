// "Pozadí na ploše" on the "Plocha, start a spořič" page: a BMP where it
// lies, or a JPEG made into "Desktop.bmp" in the program folder, as the
// desktop's wallpaper.
#pragma once

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include "framework/edit_combo.h"

class WallpaperGroup : public QGroupBox {
  Q_OBJECT
 public:
  explicit WallpaperGroup(QWidget* page);

  QLineEdit* CestaPlocha;
  QPushButton* sButton13;  // "Procházet..."
  TEditCombo* ZobrazitW;
  QPushButton* sButton12;  // "Použít"

  void Button6Click();
  void Button7Click();
};

// Writes "Wallpaper", "TileWallpaper" and "WallpaperStyle" and tells the
// desktop.
void ApplyWallpaper(const std::string& path, int tile, int style);

inline constexpr const char* kPictureFilter = "Podporované formáty (*.jpg;*.bmp)|*.jpg;*.bmp;";
