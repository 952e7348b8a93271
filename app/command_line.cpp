#include "app/command_line.h"

#include "platform/gnu_options.h"

int AnswerCommandLine(int argc, char** argv) {
  return platform::AnswerHelpOrVersion(
      argc, argv,
      {"ovlix", OVLIX_VERSION, OVLIX_RELEASE_YEAR,
       "Použití: ovlix [SOUBOR]\n"
       "Odhlášení, restart a vypnutí počítače, vysypání koše, dvířka mechaniky CD/DVD,\n"
       "úpravy plochy a doplňky v jednom okně, s ikonou v oznamovací oblasti a\n"
       "klávesovými zkratkami Ctrl+klávesa. Běží jen jednou: druhé spuštění hned skončí.\n"
       "\n"
       "  SOUBOR     program nebo knihovna Windows, kterou otevře průzkumník zdrojů\n"
       "  --help     vypíše tuto nápovědu a skončí\n"
       "  --version  vypíše verzi a skončí\n"
       "\n"
       "Nastavení ukládá do ~/.config/ovlix/ ($XDG_CONFIG_HOME/ovlix/).\n"});
}
