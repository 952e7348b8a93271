// CD/DVD drives of the host, behind an interface a test replaces with a
// fake device.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace platform {

class CdDevices {
 public:
  virtual ~CdDevices() = default;
  // The machine's CD/DVD devices, in name order (/dev/sr0, /dev/sr1, ...).
  virtual std::vector<std::string> List() = 0;
  virtual bool IsCd(const std::string& path) = 0;
  // Opens without waiting for a disc (O_NONBLOCK); a descriptor or -1.
  virtual int Open(const std::string& path) = 0;
  virtual int EjectTray(int fd) = 0;  // CDROMEJECT: 0 or -1
  virtual int CloseTray(int fd) = 0;  // CDROMCLOSETRAY: 0 or -1
  virtual void Close(int fd) = 0;
};

CdDevices& CdDevicesInUse();
// Takes over the devices (an empty pointer restores the real ones); returns
// the previous ones.
std::unique_ptr<CdDevices> SetCdDevices(std::unique_ptr<CdDevices> devices);

}  // namespace platform
