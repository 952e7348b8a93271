// Where the emulated platform keeps its state on the host.
//
// Everything lives below one root, ${XDG_CONFIG_HOME:-$HOME/.config}/ovlix:
//   windows/   the Windows directory (private-profile files such as Trelmo.ini)
//   registry/  the hives HKEY_CURRENT_USER.reg and HKEY_LOCAL_MACHINE.reg
//   run/       the named-mutex locks
//   drives.ini the drive map (see drives.h)
// Tests point the root at a temporary folder.
#pragma once

#include <filesystem>
#include <string>

namespace platform {

std::filesystem::path ConfigRoot();
std::filesystem::path WindowsDirectory();
std::filesystem::path RegistryDirectory();
std::filesystem::path RunDirectory();

// Replaces the root for the rest of the process (tests); an empty path goes
// back to the one the environment names.
void SetConfigRoot(const std::filesystem::path& root);

// The user's data folder, ${XDG_DATA_HOME:-$HOME/.local/share}; empty when
// the environment names neither.
std::filesystem::path DataHome();
void SetDataHome(const std::filesystem::path& folder);

// The running executable's full path.
std::string ExecutablePath();

// The folder of the running executable, with a trailing separator.
std::string ProgramFolder();
void SetProgramFolder(const std::string& folder);

// The file installing puts in the program folder.
inline constexpr const char* kInstalledMark = "INSTALLED";

// The folder the program writes the files it keeps beside itself (the
// wallpaper "Desktop.bmp", the Start-button picture "Start.bmp"): the
// program folder while its user may write there, as in a build folder;
// else, and always for an installed program (its folder holds
// kInstalledMark), ${XDG_DATA_HOME:-~/.local/share}/ovlix/, made when first
// asked for. With a trailing separator.
std::string ProgramDataFolder();

// The executable as the user reaches it: a link on PATH that leads to it
// (an installed program's /usr/bin/ovlix), else the executable itself.
std::string LaunchPath();

}  // namespace platform
