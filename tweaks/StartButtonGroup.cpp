#include "tweaks/StartButtonGroup.h"

#include "framework/handler_guard.h"
#include "framework/ini_file.h"
#include "framework/message_box.h"
#include "framework/picture_dialog.h"
#include "framework/widgets.h"
#include "platform/host_path.h"
#include "platform/paths.h"
#include "tweaks/win9x.h"
#include "tweaks/WallpaperGroup.h"
#include "tweaks/picture_conversion.h"

namespace {

// The prepared picture: where the program writes it, else (an installed
// program run from a build folder before, say) beside the program. Names
// match without regard to case.
std::string FindStartPicture() {
  std::string written = platform::ResolveHostPath(platform::ProgramDataFolder() + "start.bmp");
  std::error_code ec;
  if (std::filesystem::exists(written, ec)) return written;
  std::string beside = platform::ResolveHostPath(platform::ProgramFolder() + "start.bmp");
  return std::filesystem::exists(beside, ec) ? beside : written;
}

}  // namespace

StartButtonGroup::StartButtonGroup(QWidget* page) : QGroupBox(QStringLiteral("Tlačítko start"), page) {
  setObjectName(title());
  setGeometry(4, 86, 425, 180);
  CestaStart = MakeEdit(this, "CestaStart", "C:\\", {8, 18, 300, 22});
  sButton16 = MakeButton(this, "sButton16", "Procházet...", {314, 17, 103, 24});
  sButton15 =
      MakeButton(this, "sButton15", "Připravit obrázek (Je nutné toto tlačítko stisknout před vložením obrázku)",
                 {8, 48, 409, 24});
  sButton17 = MakeButton(this, "sButton17", "Vložit obrázek...", {8, 78, 200, 24});
  CBox = MakeCheckBox(this, "CBox", "Vkládat po spuštění programu", {8, 110, 250, 20});
  Bind(sButton16, &QPushButton::clicked, this, &StartButtonGroup::Button9Click);
  Bind(sButton15, &QPushButton::clicked, this, &StartButtonGroup::Button10Click);
  Bind(sButton17, &QPushButton::clicked, this, &StartButtonGroup::Button11Click);
}

void StartButtonGroup::Button9Click() {
  QString chosen = RunPictureOpenDialog(QStringLiteral("StartOpenDialog"), QString::fromUtf8(kPictureFilter));
  if (!chosen.isEmpty()) CestaStart->setText(chosen);
}

void StartButtonGroup::Button10Click() {
  PlatformFamily family = CheckPlatformFamily();
  if (family == PlatformFamily::Unknown) return;
  if (family == PlatformFamily::Other) {
    ShowWin9xOnlyWarning();
    return;
  }
  std::string target = platform::ProgramDataFolder() + "Start.bmp";
  std::string path = CestaStart->text().toStdString();
  if (IsJpegPath(path))
    ConvertJpegToBmp(path, target);
  else
    CopyBmp(path, target);
  TIniFile(kSettingsFile).WriteString("Obrazky", "CestaStart", CestaStart->text().toStdString());
  ShowMessage(QStringLiteral("Obrázek připraven můžete pokračovat."));
}

void StartButtonGroup::Button11Click() {
  TIniFile(kSettingsFile).WriteString("Nastaveni", "VkladatPoSpusteni", CBox->isChecked() ? "1" : "0");
  pictures_.push_back(std::make_unique<std::string>(ValidatedBmp(ReadPictureFile(FindStartPicture()))));
  platform::HWND tray = platform::FindWindowA("Shell_TrayWnd", nullptr);
  if (tray == 0) return;
  platform::HWND button = platform::FindWindowExA(tray, 0, "Button", nullptr);
  if (button == 0) return;
  StartButtonWindow = button;
  PreviousStartImage = platform::SendMessageA(button, BM_SETIMAGE, IMAGE_BITMAP,
                                              reinterpret_cast<platform::LPARAM>(pictures_.back().get()));
}

void StartButtonGroup::InsertAtStart() {
  if (CheckPlatformFamily() == PlatformFamily::Win9x) Button11Click();
}

void StartButtonGroup::RestoreStartButton() {
  if (StartButtonWindow != 0) platform::SendMessageA(StartButtonWindow, BM_SETIMAGE, IMAGE_BITMAP, PreviousStartImage);
}
