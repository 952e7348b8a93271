// Vovuv Izar, the folder lock Ovlix starts (through data/kspass.vbs) once
// the program password has been given. Without arguments it is a small
// window; for scripts:
//   ovlix-folderlock lock FOLDER | unlock FOLDER | list
#include <QApplication>
#include <cstdio>
#include <cstring>

#include "dialogs/folder_lock.h"
#include "dialogs/folder_lock_window.h"
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

}  // namespace

int main(int argc, char** argv) {
  if (int status =
          platform::AnswerHelpOrVersion(argc, argv, {"ovlix-folderlock", OVLIX_VERSION, OVLIX_RELEASE_YEAR, kUsage});
      status >= 0)
    return status;
  if (argc > 1) return CommandLine(argc, argv);
  QApplication app(argc, argv);
  WearProgramLook();
  FolderLockWindow window;
  window.show();
  return app.exec();
}
