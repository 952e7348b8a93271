#include "tweaks/WallpaperGroup.h"

#include "framework/convert.h"
#include "framework/handler_guard.h"
#include "framework/ini_file.h"
#include "framework/picture_dialog.h"
#include "framework/registry_access.h"
#include "framework/widgets.h"
#include "platform/desktop_params.h"
#include "platform/paths.h"
#include "tweaks/picture_conversion.h"

WallpaperGroup::WallpaperGroup(QWidget* page) : QGroupBox(QStringLiteral("Pozadí na ploše"), page) {
  setObjectName(title());
  setGeometry(4, 2, 425, 80);
  CestaPlocha = MakeEdit(this, "CestaPlocha", "C:\\", {8, 18, 300, 22});
  sButton13 = MakeButton(this, "sButton13", "Procházet...", {314, 17, 103, 24});
  MakeLabel(this, "sLabel6", "Zobrazit:", {8, 50, 60, 20});
  ZobrazitW = new TEditCombo(this, "ZobrazitW");
  ZobrazitW->setGeometry(70, 48, 140, 24);
  ZobrazitW->SetItems({"Na střed", "Vedle sebe", "zRoztáhnout"});
  ZobrazitW->SetText(QStringLiteral("Vedle sebe"));
  sButton12 = MakeButton(this, "sButton12", "Použít", {314, 48, 103, 24});
  Bind(sButton13, &QPushButton::clicked, this, &WallpaperGroup::Button6Click);
  Bind(sButton12, &QPushButton::clicked, this, &WallpaperGroup::Button7Click);
}

void WallpaperGroup::Button6Click() {
  QString chosen = RunPictureOpenDialog(QStringLiteral("PlochaOpenDialog"), QString::fromUtf8(kPictureFilter));
  if (!chosen.isEmpty()) CestaPlocha->setText(chosen);
}

void WallpaperGroup::Button7Click() {
  std::string path = CestaPlocha->text().toStdString();
  if (IsJpegPath(path)) {
    std::string bmp = platform::ProgramDataFolder() + "Desktop.bmp";
    ConvertJpegToBmp(path, bmp);
    ApplyWallpaper(bmp, 0, ZobrazitW->ItemIndex());
  } else {
    ApplyWallpaper(path, 0, ZobrazitW->ItemIndex());
  }
  TIniFile(kSettingsFile).WriteString("Obrazky", "CestaPlocha", CestaPlocha->text().toStdString());
}

void ApplyWallpaper(const std::string& path, int tile, int style) {
  TRegistry reg(platform::RootKey::CurrentUser);
  reg.OpenKey("Control Panel\\Desktop", true);
  reg.WriteString("Wallpaper", path);
  reg.WriteString("TileWallpaper", IntToStr(tile));
  reg.WriteString("WallpaperStyle", IntToStr(style));
  reg.CloseKey();
  platform::SystemParametersInfoA(platform::SPI_SETDESKWALLPAPER, 0, nullptr, platform::SPIF_SENDWININICHANGE);
}
