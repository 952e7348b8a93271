#include "platform/gnu_options.h"

#include <cstring>

namespace platform {

int AnswerHelpOrVersion(int argc, char** argv, const ProgramText& program, std::FILE* out) {
  if (argc < 2) return -1;
  if (std::strcmp(argv[1], "--help") == 0) {
    std::fprintf(out, "%s\nNápověda k programu: man %s\nDomovská stránka: <https://ovlix.org/>\n", program.usage,
                 program.name);
  } else if (std::strcmp(argv[1], "--version") == 0) {
    std::fprintf(out,
                 "%s (Ovlix) %s\n"
                 "Copyright (C) %s The Ovlix developers\n"
                 "Licence GPLv3+: GNU GPL verze 3 nebo novější <https://gnu.org/licenses/gpl.html>.\n"
                 "Toto je svobodný software: můžete jej měnit a šířit.\n"
                 "NENÍ POSKYTOVÁNA ŽÁDNÁ ZÁRUKA, jak jen to zákon dovoluje.\n",
                 program.name, program.version, program.year);
  } else {
    return -1;
  }
  // a full disk or a closed pipe is an error, as for GNU's programs
  return std::fflush(out) == 0 && !std::ferror(out) ? 0 : 1;
}

}  // namespace platform
