// mciSendCommandA for the CD-audio device: the three commands that open and
// close a drive's door.
//   MCI_OPEN, type "CDAudio", element a drive name ("E:"): the drive map
//     must name a CD/DVD device for the letter; it is opened without
//     waiting for a disc, and its new device id goes into the block.
//   MCI_SET with MCI_SET_DOOR_OPEN: the disk manager unmounts the disc and
//     ejects it (disk_manager.h); without one, or when it fails, the
//     kernel's eject request on that device.
//   MCI_SET with MCI_SET_DOOR_CLOSED: the kernel's close-tray request.
//   MCI_CLOSE: releases it.
// Anything else fails with a non-zero MCI error.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/win32.h"

namespace platform {

using MCIERROR = DWORD;
using MCIDEVICEID = UINT;

constexpr UINT MCI_OPEN = 0x0803;
constexpr UINT MCI_CLOSE = 0x0804;
constexpr UINT MCI_SET = 0x080D;
constexpr DWORD MCI_OPEN_ELEMENT = 0x0200;
constexpr DWORD MCI_OPEN_TYPE = 0x2000;
constexpr DWORD MCI_SET_DOOR_OPEN = 0x0100;
constexpr DWORD MCI_SET_DOOR_CLOSED = 0x0200;

constexpr MCIERROR MCIERR_INVALID_DEVICE_ID = 257;
constexpr MCIERROR MCIERR_UNRECOGNIZED_COMMAND = 261;
constexpr MCIERROR MCIERR_HARDWARE = 262;
constexpr MCIERROR MCIERR_INVALID_DEVICE_NAME = 263;
constexpr MCIERROR MCIERR_MISSING_PARAMETER = 273;
constexpr MCIERROR MCIERR_UNSUPPORTED_FUNCTION = 274;

struct MCI_OPEN_PARMSA {
  std::uintptr_t dwCallback = 0;
  MCIDEVICEID wDeviceID = 0;
  const char* lpstrDeviceType = nullptr;
  const char* lpstrElementName = nullptr;
  const char* lpstrAlias = nullptr;
};

MCIERROR mciSendCommandA(MCIDEVICEID device, UINT message, std::uintptr_t flags, std::uintptr_t param);

// Sees every command with its result (tests record the sequences).
using MciTrace =
    std::function<void(MCIDEVICEID device, UINT message, std::uintptr_t flags, std::uintptr_t param, MCIERROR result)>;
void SetMciTrace(MciTrace trace);

}  // namespace platform
