#include "dialogs/folder_lock_window.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/folder_lock.h"
#include "framework/application.h"
#include "framework/ini_file.h"
#include "framework/program_style.h"
#include "skin/SkinManager.h"

FolderLockWindow::FolderLockWindow() {
  setWindowTitle(QStringLiteral("Vovuv Izar - zamykání složek"));
  auto* layout = new QVBoxLayout(this);
  auto* about = new QLabel(
      QStringLiteral("Zamčená složka přijde o všechna práva: dokud ji neodemknete, neotevře ji, nevypíše ani nezmění "
                     "žádný uživatel ani jeho programy. Správce systému (root) ji ale otevře vždy: zamčení není "
                     "šifrování. Systémové a domovské složky zamknout nelze."));
  about->setWordWrap(true);
  layout->addWidget(about);
  layout->addWidget(new QLabel(QStringLiteral("Zamčené složky:")));
  list_ = new QListWidget;
  layout->addWidget(list_);
  auto* buttons = new QHBoxLayout;
  auto* lock = new QPushButton(QStringLiteral("Zamknout složku..."));
  auto* unlock = new QPushButton(QStringLiteral("Odemknout"));
  auto* close = new QPushButton(QStringLiteral("Zavřít"));
  buttons->addWidget(lock);
  buttons->addWidget(unlock);
  buttons->addStretch();
  buttons->addWidget(close);
  layout->addLayout(buttons);
  connect(lock, &QPushButton::clicked, this, &FolderLockWindow::Lock);
  connect(unlock, &QPushButton::clicked, this, &FolderLockWindow::Unlock);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  resize(480, 300);
  Refresh();
}

void FolderLockWindow::Refresh() {
  list_->clear();
  // the path itself goes with the item: a shown name loses bytes that are
  // not UTF-8 and would name no folder on unlock
  for (const LockedFolder& f : LockedFolders()) {
    auto* item = new QListWidgetItem(QString::fromStdString(ListedPath(f.path)), list_);
    item->setData(Qt::UserRole, QByteArray::fromStdString(f.path));
  }
}

void FolderLockWindow::Report(const std::string& error) {
  if (!error.empty()) QMessageBox::warning(this, windowTitle(), QString::fromStdString(error));
  Refresh();
}

void FolderLockWindow::Lock() {
  QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Složka k zamčení"));
  if (!folder.isEmpty()) Report(LockFolder(QFile::encodeName(folder).toStdString()));
}

void FolderLockWindow::Unlock() {
  if (QListWidgetItem* item = list_->currentItem())
    Report(UnlockFolder(item->data(Qt::UserRole).toByteArray().toStdString()));
}

void WearProgramLook() {
  QApplication::setStyle(new ProgramStyle);
  Application::LoadToolkitTranslation();
  TIniFile ini(kSettingsFile);
  TSkinManager skins;
  skins.SetSkinName(QString::fromStdString(ini.ReadString("nastaveni", "skin", "WindowsXP (default)")));
}
