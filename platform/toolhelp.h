// The Toolhelp32 process snapshot, process handles and termination.
//
// A snapshot lists first the idle process (id 0, "[System Process]"), as
// the platform does, then every process in /proc in id order with the path
// of its executable. Where the executable cannot be read, a kernel thread is
// listed by its command name in brackets, as ps shows it ("[kworker/0:1]"),
// and any other process (another user's, say) by the last component of its
// first argument ("bash" for "/usr/bin/bash"), or by its command name when
// its command line is empty.
//
// A process handle keeps the identity of the process it was opened for (its
// pidfd's inode number where the kernel gives each process its own, its
// start time before that) without holding a descriptor: once that process
// has ended, a new process that got the same id is out of its reach.
// Termination opens a pidfd and checks the identity through it. Handle
// numbers are never reused in a run.
#pragma once

#include <cstddef>
#include <filesystem>

#include "platform/win32.h"

namespace platform {

constexpr DWORD TH32CS_SNAPPROCESS = 2;
constexpr DWORD PROCESS_ALL_ACCESS = 0x001F0FFF;
constexpr UINT kMaxPath = 260;

// The platform's ANSI process entry, 296 bytes.
struct PROCESSENTRY32 {
  DWORD dwSize = 0;
  DWORD cntUsage = 0;
  DWORD th32ProcessID = 0;
  DWORD th32DefaultHeapID = 0;
  DWORD th32ModuleID = 0;
  DWORD cntThreads = 0;
  DWORD th32ParentProcessID = 0;
  LONG pcPriClassBase = 0;
  DWORD dwFlags = 0;
  char szExeFile[kMaxPath] = {};
};
static_assert(sizeof(PROCESSENTRY32) == 296);

HANDLE CreateToolhelp32Snapshot(DWORD flags, DWORD processId);
BOOL Process32First(HANDLE snapshot, PROCESSENTRY32* entry);
BOOL Process32Next(HANDLE snapshot, PROCESSENTRY32* entry);

// A handle only for a process this program may terminate (same user, or
// privileged); 0 otherwise.
HANDLE OpenProcess(DWORD access, BOOL inheritHandle, DWORD processId);
// Kills at once (SIGKILL); FALSE for anything that is not a live process
// handle.
BOOL TerminateProcess(HANDLE process, UINT exitCode);
BOOL CloseHandle(HANDLE handle);

// How many handles are open (snapshots and processes).
std::size_t OpenHandleCount();

// Where snapshots read the processes from, /proc unless a test names a
// folder laid out like it; an empty path goes back to /proc.
void SetProcRoot(const std::filesystem::path& root);

}  // namespace platform
