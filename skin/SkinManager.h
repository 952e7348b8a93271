// The skin manager of the main window: the offered skin names and the active
// one. The built-in skin comes first, then the sub-folders of "skins" in the
// program folder (not files, not names beginning with "."). Setting a skin
// gives every window its look at once (the application's palette; a folder
// skin's colours come from its Options.dat, see skin_look.h, and the
// colours it does not name are derived, see skin_palette.h).
#pragma once

#include <QString>
#include <QStringList>

class TSkinManager {
 public:
  static inline const QString kBuiltIn = QStringLiteral("WindowsXP (default)");

  QStringList SkinNames() const;
  QString SkinName() const { return active_; }
  // A name that names no offered skin changes nothing and reports nothing.
  void SetSkinName(const QString& name);

 private:
  QString active_ = kBuiltIn;
};

// The check a window makes each time it is shown: when the skin saved in the
// settings file is not the active one, the skin named by the settings
// dialog's skin box (which holds the saved name) becomes active.
void CheckSavedSkin(TSkinManager& manager, const QString& dialogSkinText);
