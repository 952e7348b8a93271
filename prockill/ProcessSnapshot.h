// The process snapshot entry points, looked up once at first use, and the
// rule that turns a snapshot's executable path into the name a row shows.
#pragma once

#include <string>
#include <string_view>

#include "platform/toolhelp.h"

struct Toolhelp32 {
  HANDLE (*CreateToolhelp32Snapshot)(DWORD flags, DWORD processId) = nullptr;
  BOOL (*Process32First)(HANDLE snapshot, platform::PROCESSENTRY32* entry) = nullptr;
  BOOL (*Process32Next)(HANDLE snapshot, platform::PROCESSENTRY32* entry) = nullptr;
};

// The entry points in use; a missing one counts as a failed call.
const Toolhelp32& Toolhelp32Api();
// Replaces them (tests use a fake snapshot); returns the previous ones.
Toolhelp32 SetToolhelp32Api(const Toolhelp32& api);

// The file name of an executable path: what follows the last "\" or ":" of a
// Windows path (one with a "\" or a drive), the last "/" of a Linux path (one
// that begins with "/"); any other text is a name already and is shown whole,
// as are a kernel thread's "[kworker/0:1]" and a process title's
// "postgres: checkpointer".
std::string ExeFileName(std::string_view path);
