#include "actions/cd_door.h"

#include "platform/mci.h"

namespace {

void DoorCommand(const std::string& drive, DWORD doorFlag) {
  using namespace platform;
  MCI_OPEN_PARMSA open;
  open.lpstrDeviceType = "CDAudio";
  open.lpstrElementName = drive.c_str();
  if (mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT, reinterpret_cast<std::uintptr_t>(&open)) != 0)
    return;
  MCIDEVICEID id = static_cast<std::uint16_t>(open.wDeviceID);
  mciSendCommandA(id, MCI_SET, doorFlag, 0);
  mciSendCommandA(id, MCI_CLOSE, 0, reinterpret_cast<std::uintptr_t>(&open));
}

}  // namespace

void OpenCDDoor(const std::string& drive) { DoorCommand(drive, platform::MCI_SET_DOOR_OPEN); }
void CloseCDDoor(const std::string& drive) { DoorCommand(drive, platform::MCI_SET_DOOR_CLOSED); }
