// Win32 scalar types and the constants the program relies on, with the
// platform's values.
#pragma once

#include <cstdint>

using DWORD = std::uint32_t;
using UINT = unsigned int;
using BOOL = int;
using LONG = std::int32_t;
using HANDLE = std::intptr_t;  // 0 is the null handle

constexpr BOOL TRUE_ = 1;
constexpr BOOL FALSE_ = 0;

constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_DATA = 13;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;

constexpr UINT EWX_LOGOFF = 0;
constexpr UINT EWX_SHUTDOWN = 1;
constexpr UINT EWX_REBOOT = 2;
constexpr UINT EWX_FORCE = 4;

constexpr UINT DRIVE_UNKNOWN = 0;
constexpr UINT DRIVE_NO_ROOT_DIR = 1;
constexpr UINT DRIVE_REMOVABLE = 2;
constexpr UINT DRIVE_FIXED = 3;
constexpr UINT DRIVE_REMOTE = 4;
constexpr UINT DRIVE_CDROM = 5;
constexpr UINT DRIVE_RAMDISK = 6;

constexpr DWORD VER_PLATFORM_WIN32s = 0;
constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr DWORD VER_PLATFORM_WIN32_NT = 2;
