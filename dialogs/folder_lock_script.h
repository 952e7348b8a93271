// The folder-lock companion, "data\kspass.vbs" in the program folder, and
// the settings that guard its start (section "blokovani": "heslo" is the
// password as typed, "hesloje" is "1" once one has been set).
#pragma once

inline constexpr const char* kPasswordSection = "blokovani";

// Asks the shell to open the script; the result is not looked at.
void OpenFolderLockScript();
