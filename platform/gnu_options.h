// --help and --version as GNU programs answer them: the text on standard
// output, status 0, and nothing else started (no window, no hotkeys).
#pragma once

#include <cstdio>

namespace platform {

struct ProgramText {
  const char* name;     // "ovlix-folderlock"
  const char* version;  // "4.50.200"
  const char* year;     // of the copyright
  const char* usage;    // the --help text, lines ending in "\n"
};

// When the first argument is --help or --version, writes the usage text or
// GNU's version notice (name and version, copyright, licence, warranty) to
// OUT and gives the status to exit with; otherwise writes nothing and gives
// -1.
int AnswerHelpOrVersion(int argc, char** argv, const ProgramText& program, std::FILE* out = stdout);

}  // namespace platform
