// WinExec and ShellExecuteA. Programs are started directly, never through a
// shell, so no text of a path or a command line is ever taken as a command.
//   WinExec: the command line is split as the platform splits it (blanks
//   separate, double quotes group); the program's path may use "\" or "/"
//   and is resolved against the current folder. Paths match without regard
//   to case (host_path.h).
//   ShellExecuteA "open": an executable file is started; any other existing
//   file, and a mailto:, http: or https: address, goes to the desktop's
//   opener (xdg-open) as one argument.
// Starting goes through a launcher a test replaces with a recorder.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace platform {

constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOW = 5;

class Launcher {
 public:
  virtual ~Launcher() = default;
  virtual bool Start(const std::vector<std::string>& argv, const std::string& workingDirectory) = 0;
};

std::unique_ptr<Launcher> SetLauncher(std::unique_ptr<Launcher> launcher);

// Greater than 31 when started; ERROR_FILE_NOT_FOUND (2) otherwise.
UINT WinExec(const std::string& commandLine, UINT show);
// Greater than 32 when started; ERROR_FILE_NOT_FOUND (2) otherwise.
std::intptr_t ShellExecuteA(std::intptr_t ownerWindow, const char* verb, const char* file, const char* parameters,
                            const char* directory, int show);

// The platform's command-line split: "a b" "c" -> [a b] [c].
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

}  // namespace platform
