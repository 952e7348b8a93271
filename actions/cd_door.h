// The CD/DVD door: open the CD-audio device of a drive, set its door, close
// the device; nothing more after a failed open, and nothing reported.
#pragma once

#include <string>

void OpenCDDoor(const std::string& drive);
void CloseCDDoor(const std::string& drive);
