// Confinement for a program that reads one untrusted file, as a thumbnailer
// does for every file a file manager shows: once the file is open, the
// kernel's own means (where it has them) keep a hostile file that takes the
// parser over from doing anything the program would not.
#pragma once

#include <filesystem>

namespace platform {

// From here on this process opens and makes no file (Landlock), makes no
// network connection, runs no program and traces no process (a seccomp
// filter), and gains no privileges by any means (PR_SET_NO_NEW_PRIVS).
// What the kernel lacks is left out silently. Files already open stay
// usable. True when every part took effect.
bool ConfineProcess();

// For a command that reads its input and then writes the one file
// `output`: makes the output's temporary twin beside it and a small broker
// process, then confines this process (ConfineProcess). Its writes of
// `output` through WriteFileAtomically or WriteFileWhole go to the twin,
// which the broker then renames into place; a twin never put in place is
// removed before this process ends, so a failure still leaves no file.
// Where no broker can be made the process goes on unconfined.
void ConfineToOutput(const std::filesystem::path& output);

}  // namespace platform
