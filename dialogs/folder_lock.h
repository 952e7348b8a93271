// The folder lock of the companion "data/kspass.vbs" (the tool
// ovlix-folderlock): a locked folder has no permissions at all, so no user
// and no program of a user can list, open or change what is inside until it
// is unlocked; the system administrator (root) is not bound by permissions
// and still opens it: a lock is no encryption. The folder's own permission
// bits are kept in the list of locked folders, ConfigRoot()/folderlock/locked,
// and given back on unlock. The owner can always undo a lock by hand:
// chmod u+rwx FOLDER.
//
// The list is text: the line "# ovlix-folderlock 2", then one line for each
// folder: octal mode, a blank, the full path with "\\" for a backslash and
// "\n" for a line break, so that any file name fits on its line. A list
// without that first line (as older versions wrote it) has the path as it
// is; it is read so, and written in the new form at the next change.
//
// Refused for every user, root too (compared by real path, so a symbolic link
// or ".." changes nothing): "/" and each folder directly in it; everything
// below /bin, /boot, /dev, /etc, /lib*, /opt, /proc, /run, /sbin, /sys, /usr
// (/usr/local included) and /var, except what lies inside /var/tmp, which is
// users' own like what lies inside /tmp; the home folders (the user's own
// and each one in /home, whose owners could not log in otherwise); the
// folders that hold the program or its settings; the program folder and
// the package's shared data folder (<prefix>/share/ovlix beside the program
// folder <prefix>/lib/ovlix) with everything below them.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

struct LockedFolder {
  std::string path;
  unsigned mode = 0;  // the permission bits before the lock
};

std::vector<LockedFolder> LockedFolders();

// Empty on success, otherwise the reason in Czech; nothing changes then.
std::string LockFolder(const std::string& path);
std::string UnlockFolder(const std::string& path);

// A path as the list writes it ("\\" and "\n" for a backslash and a line
// break), one line whatever the name.
std::string ListedPath(std::string_view path);

// The folder whose subfolders are the system's ones ("/"); tests point it at
// a folder of their own. An empty path goes back to "/".
void SetSystemRoot(const std::filesystem::path& root);
