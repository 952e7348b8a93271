#include "platform/mci.h"

#include <map>
#include <memory>
#include <string>

#include "platform/cdrom.h"
#include "platform/disk_manager.h"
#include "platform/drives.h"
#include "platform/text_util.h"

namespace platform {
namespace {

struct OpenDevice {
  int fd;
  std::string path;
};

std::map<MCIDEVICEID, OpenDevice>& OpenDevices() {
  static std::map<MCIDEVICEID, OpenDevice> devices;
  return devices;
}

MciTrace& Trace() {
  static MciTrace trace;
  return trace;
}

MCIERROR Open(std::uintptr_t flags, MCI_OPEN_PARMSA* block) {
  if (block == nullptr || (flags & MCI_OPEN_TYPE) == 0 || (flags & MCI_OPEN_ELEMENT) == 0 ||
      block->lpstrDeviceType == nullptr || block->lpstrElementName == nullptr)
    return MCIERR_MISSING_PARAMETER;
  if (!EqualsNoCase(block->lpstrDeviceType, "CDAudio")) return MCIERR_INVALID_DEVICE_NAME;
  std::string drive = block->lpstrElementName;
  if (GetDriveTypeA(drive) != DRIVE_CDROM) return MCIERR_INVALID_DEVICE_NAME;
  char letter = static_cast<char>(drive[0] & ~0x20);
  auto map = DriveMap();
  const std::string& path = map[letter];
  int fd = CdDevicesInUse().Open(path);
  if (fd < 0) return MCIERR_HARDWARE;
  MCIDEVICEID id = 1;
  while (OpenDevices().count(id) != 0) ++id;
  OpenDevices()[id] = {fd, path};
  block->wDeviceID = id;
  return 0;
}

// The disk manager unmounts a mounted disc before it ejects it; without
// one, or when it fails, the kernel's request is made, and the kernel
// refuses it while anything else holds the drive. The manager answers
// later: the device is closed by then and the kernel's request opens it
// again. The command's result tells only what is known at once.
MCIERROR OpenDoor(const OpenDevice& device) {
  MCIERROR result = 0;
  // true while this call runs: `result` may be set only then
  auto inCall = std::make_shared<bool>(true);
  DiskManagerInUse().Eject(device.path, [inCall, &result, fd = device.fd, path = device.path](bool ejected) {
    if (ejected) return;
    CdDevices& devices = CdDevicesInUse();
    if (*inCall) {
      result = devices.EjectTray(fd) == 0 ? 0 : MCIERR_HARDWARE;
      return;
    }
    int reopened = devices.Open(path);
    if (reopened < 0) return;
    devices.EjectTray(reopened);
    devices.Close(reopened);
  });
  *inCall = false;
  return result;
}

MCIERROR Dispatch(MCIDEVICEID device, UINT message, std::uintptr_t flags, std::uintptr_t param) {
  if (message == MCI_OPEN) return Open(flags, reinterpret_cast<MCI_OPEN_PARMSA*>(param));
  auto it = OpenDevices().find(device);
  if (message != MCI_SET && message != MCI_CLOSE) return MCIERR_UNRECOGNIZED_COMMAND;
  if (it == OpenDevices().end()) return MCIERR_INVALID_DEVICE_ID;
  if (message == MCI_CLOSE) {
    CdDevicesInUse().Close(it->second.fd);
    OpenDevices().erase(it);
    return 0;
  }
  if (flags & MCI_SET_DOOR_OPEN) return OpenDoor(it->second);
  if (flags & MCI_SET_DOOR_CLOSED) return CdDevicesInUse().CloseTray(it->second.fd) == 0 ? 0 : MCIERR_HARDWARE;
  return MCIERR_UNSUPPORTED_FUNCTION;
}

}  // namespace

MCIERROR mciSendCommandA(MCIDEVICEID device, UINT message, std::uintptr_t flags, std::uintptr_t param) {
  MCIERROR result = Dispatch(device, message, flags, param);
  if (Trace()) Trace()(device, message, flags, param, result);
  return result;
}

void SetMciTrace(MciTrace trace) { Trace() = std::move(trace); }

}  // namespace platform
