// Drive letters on a host without them: a drive map.
//
// By default C: is the root folder "/" and every CD/DVD drive of the machine
// (/sys/block/sr*, in name order) gets a letter from D: on. The file
// drives.ini in the platform root changes the map: its section [Drives]
// holds lines such as
//     E:=/dev/sr1         a CD/DVD device
//     F:=/media/usb       a folder: a fixed drive
//     D:=                 no drive D:
// An entry replaces the default of its letter; a path that does not exist
// names no drive.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>
#include <string_view>

#include "platform/win32.h"

namespace platform {

// Letter ('A'..'Z') to host path, after drives.ini has been applied.
std::map<char, std::string> DriveMap();

// For a drive name such as "D:" or "D:\": DRIVE_CDROM, DRIVE_FIXED, ... or
// DRIVE_NO_ROOT_DIR when the map holds nothing usable for the letter.
UINT GetDriveTypeA(std::string_view rootPathName);

// The drive names ("A:") from `first` to `last` whose drive type passes `test`.
std::vector<std::string> DriveNamesWhere(char first, char last, const std::function<bool(UINT type)>& test);

}  // namespace platform
