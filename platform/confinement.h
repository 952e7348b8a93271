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

// For a command that writes the one file `output` from an input it has
// opened but not yet read: makes the output's temporary twin beside it,
// then forks. The child returns, confined (ConfineProcess), to read the
// input; its writes of `output` through WriteFileAtomically or
// WriteFileWhole go to the twin. This process never returns: it waits for
// the child, renames the twin into place when the child wrote it and
// ended normally, removes it otherwise, and ends with the child's status
// (1 when the child was killed), so a failure, a crash or a signal still
// leaves no file. Where no child can be made the process goes on
// unconfined; where no twin can be made, confined all the same (the
// write then fails where Landlock is).
void ConfineToOutput(const std::filesystem::path& output);

}  // namespace platform
