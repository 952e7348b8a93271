// The folder lock of the companion "data/kspass.vbs" (the tool
// ovlix-folderlock): a locked folder has no permissions at all, so neither
// the file manager nor any program of the user can list, open or change what
// is inside, until it is unlocked. The folder's own permission bits are kept
// in the list of locked folders, ConfigRoot()/folderlock/locked (one line
// each: octal mode, a blank, the full path), and given back on unlock. The
// owner can always undo a lock by hand: chmod u+rwx FOLDER.
//
// Folders the system or the program need are refused: "/", the home folder
// and the folders that hold the program or its settings.
#pragma once

#include <string>
#include <vector>

struct LockedFolder {
  std::string path;
  unsigned mode = 0;  // the permission bits before the lock
};

std::vector<LockedFolder> LockedFolders();

// Empty on success, otherwise the reason in Czech; nothing changes then.
std::string LockFolder(const std::string& path);
std::string UnlockFolder(const std::string& path);
