#include "skin/SkinManager.h"

#include <dirent.h>

#include "framework/ini_file.h"
#include "platform/paths.h"

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

void TSkinManager::SetSkinName(const QString& name) {
  if (SkinNames().contains(name)) active_ = name;
}

void CheckSavedSkin(TSkinManager& manager, const QString& dialogSkinText) {
  TIniFile ini(kSettingsFile);
  QString saved = QString::fromStdString(ini.ReadString("nastaveni", "skin", "WindowsXP (default)"));
  if (saved != manager.SkinName()) manager.SetSkinName(dialogSkinText);
}
