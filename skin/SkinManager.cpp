#include "skin/SkinManager.h"

#include <dirent.h>

#include <QApplication>
#include <QPalette>

#include "framework/ini_file.h"
#include "platform/paths.h"
#include "skin/skin_look.h"
#include "skin/skin_palette.h"

QStringList TSkinManager::SkinNames() const {
  QStringList names{kBuiltIn};
  std::string folder = platform::ProgramFolder() + "skins";
  // readdir keeps the platform's directory order
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (dirent* entry = ::readdir(dir)) {
    if (entry->d_name[0] == '.') continue;
    bool isDir = entry->d_type == DT_DIR;
    if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
      DIR* probe = ::opendir((folder + "/" + entry->d_name).c_str());
      isDir = probe != nullptr;
      if (probe) ::closedir(probe);
    }
    if (isDir) names << QString::fromUtf8(entry->d_name);
  }
  ::closedir(dir);
  return names;
}

namespace {

// The palette of the built-in skin: the one the application started with.
const QPalette& BuiltInPalette() {
  static const QPalette palette = QApplication::palette();
  return palette;
}

void ApplyLook(const SkinLook& look) { QApplication::setPalette(SkinPalette(look, BuiltInPalette())); }

}  // namespace

void TSkinManager::SetSkinName(const QString& name) {
  if (!SkinNames().contains(name)) return;
  active_ = name;
  if (name == kBuiltIn)
    ApplyLook({});
  else
    ApplyLook(ReadSkinLook(platform::ProgramFolder() + "skins/" + name.toStdString()));
}

void CheckSavedSkin(TSkinManager& manager, const QString& dialogSkinText) {
  TIniFile ini(kSettingsFile);
  QString saved = QString::fromStdString(ini.ReadString("nastaveni", "skin", "WindowsXP (default)"));
  if (saved != manager.SkinName()) manager.SetSkinName(dialogSkinText);
}
