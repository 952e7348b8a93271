// Vovuv Izar, the folder lock Ovlix starts (through data/kspass.vbs) once
// the program password has been given. Without arguments it is a small
// window; for scripts:
//   ovlix-folderlock lock FOLDER | unlock FOLDER | list
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QStyleFactory>
#include <QVBoxLayout>
#include <cstdio>
#include <cstring>

#include "dialogs/folder_lock.h"
#include "platform/gnu_options.h"

namespace {

constexpr const char* kUsage =
    "Použití: ovlix-folderlock [lock SLOŽKA | unlock SLOŽKA | list]\n"
    "  lock SLOŽKA    zamkne složku (odebere všechna práva, původní si zapamatuje)\n"
    "  unlock SLOŽKA  vrátí složce její původní práva\n"
    "  list           vypíše zamčené složky, každou na jeden řádek (\\\\ je zpětné\n"
    "                 lomítko a \\n konec řádku v názvu)\n"
    "Zamčenou složku neotevře žádný uživatel ani jeho programy, správce systému\n"
    "(root) ano: zamčení není šifrování. Systémové a domovské složky zamknout nelze.\n"
    "Bez argumentů otevře okno. Ruční odemčení: chmod u+rwx SLOŽKA\n"
    "  --help         vypíše tuto nápovědu a skončí\n"
    "  --version      vypíše verzi a skončí\n";

int CommandLine(int argc, char** argv) {
  std::string command = argv[1];
  if (command == "list" && argc == 2) {
    for (const LockedFolder& f : LockedFolders()) std::printf("%s\n", ListedPath(f.path).c_str());
    return 0;
  }
  if ((command == "lock" || command == "unlock") && argc == 3) {
    std::string error = command == "lock" ? LockFolder(argv[2]) : UnlockFolder(argv[2]);
    if (error.empty()) return 0;
    std::fprintf(stderr, "ovlix-folderlock: %s\n", error.c_str());
    return 1;
  }
  bool help = command == "-h";
  std::fputs(kUsage, help ? stdout : stderr);
  return help ? 0 : 2;
}

class LockWindow : public QDialog {
 public:
  LockWindow() {
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
    connect(lock, &QPushButton::clicked, this, &LockWindow::Lock);
    connect(unlock, &QPushButton::clicked, this, &LockWindow::Unlock);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    resize(480, 300);
    Refresh();
  }

 private:
  void Refresh() {
    list_->clear();
    // the path itself goes with the item: a shown name loses bytes that are
    // not UTF-8 and would name no folder on unlock
    for (const LockedFolder& f : LockedFolders()) {
      auto* item = new QListWidgetItem(QString::fromStdString(ListedPath(f.path)), list_);
      item->setData(Qt::UserRole, QByteArray::fromStdString(f.path));
    }
  }
  void Report(const std::string& error) {
    if (!error.empty()) QMessageBox::warning(this, windowTitle(), QString::fromStdString(error));
    Refresh();
  }
  void Lock() {
    QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Složka k zamčení"));
    if (!folder.isEmpty()) Report(LockFolder(QFile::encodeName(folder).toStdString()));
  }
  void Unlock() {
    if (QListWidgetItem* item = list_->currentItem())
      Report(UnlockFolder(item->data(Qt::UserRole).toByteArray().toStdString()));
  }
  QListWidget* list_;
};

}  // namespace

int main(int argc, char** argv) {
  if (int status =
          platform::AnswerHelpOrVersion(argc, argv, {"ovlix-folderlock", OVLIX_VERSION, OVLIX_RELEASE_YEAR, kUsage});
      status >= 0)
    return status;
  if (argc > 1) return CommandLine(argc, argv);
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));  // as Ovlix itself
  LockWindow window;
  window.show();
  return app.exec();
}
