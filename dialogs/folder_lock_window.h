// The window of the folder lock tool ovlix-folderlock: the locked folders,
// "Zamknout složku..." with a folder chooser, "Odemknout" and "Zavřít".
#pragma once

#include <QDialog>

class QListWidget;

class FolderLockWindow : public QDialog {
 public:
  FolderLockWindow();

  // Chooses a folder and locks it; reports a refusal.
  void Lock();
  // Unlocks the selected folder; reports why it stays locked.
  void Unlock();

 private:
  void Refresh();
  void Report(const std::string& error);
  QListWidget* list_;
};

// The tool is a program of its own, started by the lock script: it wears
// Ovlix's look (style, the skin saved in the settings file) and speaks
// Czech in the toolkit's own dialogs, as Ovlix does.
void WearProgramLook();
