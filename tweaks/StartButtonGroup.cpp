#include "tweaks/StartButtonGroup.h"

#include "framework/handler_guard.h"
#include "framework/ini_file.h"
#include "framework/message_box.h"
#include "framework/picture_dialog.h"
#include "framework/widgets.h"
#include "platform/paths.h"
#include "tweaks/win9x.h"
#include "tweaks/WallpaperGroup.h"
#include "tweaks/picture_conversion.h"

namespace {

// Files beside the program are found without regard to case.
std::string FindInFolder(const std::string& folder, const std::string& name) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    std::string found = entry.path().filename().string();
    if (found.size() == name.size() &&
        std::equal(found.begin(), found.end(), name.begin(), [](char a, char b) {
          return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
        }))
      return entry.path().string();
  }
  return folder + name;
}

}  // namespace

StartButtonGroup::StartButtonGroup(QWidget* page) : QGroupBox(QStringLiteral("Tlačítko start"), page) {
  setObjectName(title());
  setGeometry(4, 86, 425, 180);
  CestaStart = MakeEdit(this, "CestaStart", "C:\\", {8, 18, 300, 22});
  sButton16 = MakeButton(this, "sButton16", "Procházet...", {314, 17, 103, 24});
  sButton15 = MakeButton(this, "sButton15",
                         "Připravit obrázek (Je nutné toto tlačítko stisknout před vložením obrázku)",
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
  std::string target = platform::ProgramFolder() + "Start.bmp";
  std::string path = CestaStart->text().toStdString();
  if (IsJpegPath(path))
    ConvertJpegToBmp(path, target);
  else
    CopyBmp(path, target);
  TIniFile(kSettingsFile).WriteString("Obrazky", "CestaStart", CestaStart->text().toStdString());
  ShowMessage(QStringLiteral("Obrázek připraven můžete pokračovat."));
}

void StartButtonGroup::Button11Click() {
  std::string folder = platform::ProgramFolder();
  TIniFile(kSettingsFile).WriteString("Nastaveni", "VkladatPoSpusteni", CBox->isChecked() ? "1" : "0");
  pictures_.push_back(std::make_unique<std::string>(ValidatedBmp(ReadPictureFile(FindInFolder(folder, "start.bmp")))));
  platform::HWND tray = platform::FindWindowA("Shell_TrayWnd", nullptr);
  if (tray == 0) return;
  platform::HWND button = platform::FindWindowExA(tray, 0, "Button", nullptr);
  if (button == 0) return;
  StartButtonWindow = button;
  PreviousStartImage = platform::SendMessageA(button, BM_SETIMAGE, IMAGE_BITMAP,
                                              reinterpret_cast<platform::LPARAM>(pictures_.back().get()));
}

void StartButtonGroup::RestoreStartButton() {
  if (StartButtonWindow != 0) platform::SendMessageA(StartButtonWindow, BM_SETIMAGE, IMAGE_BITMAP, PreviousStartImage);
}
