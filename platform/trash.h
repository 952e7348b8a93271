// SHEmptyRecycleBinA: every trash of the freedesktop.org Trash
// specification that belongs to the user is emptied: the home trash
// ($XDG_DATA_HOME/Trash) and, on every mounted volume, $topdir/.Trash/$uid
// (when .Trash is a real, sticky folder) and $topdir/.Trash-$uid. Their
// files/ and info/ folders are emptied and the directorysizes cache removed.
//
// Removal never follows a symbolic link and never leaves the trash's file
// system; a trash (or its files/ or info/) that is a link is left alone.
// What cannot be removed is skipped and the rest is emptied. There is never
// a question, a progress window or a sound, whatever the flags.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace platform {

constexpr UINT SHERB_NOCONFIRMATION = 1;
constexpr UINT SHERB_NOPROGRESSUI = 2;
constexpr UINT SHERB_NOSOUND = 4;

// The empty root path (or none) names every trash; the program passes no
// other, and any other is refused with E_INVALIDARG.
constexpr LONG S_OK = 0;
constexpr LONG E_INVALIDARG = static_cast<LONG>(0x80070057);
LONG SHEmptyRecycleBinA(const void* ownerWindow, const char* rootPath, DWORD flags);

// The mount points looked at for volume trashes: those of /proc/self/mounts,
// unless a test set its own (an empty list restores them).
std::vector<std::filesystem::path> MountPoints();
void SetMountPoints(const std::vector<std::filesystem::path>& mounts);

// Every trash folder SHEmptyRecycleBinA would empty, in that order.
std::vector<std::filesystem::path> UserTrashes();

}  // namespace platform
