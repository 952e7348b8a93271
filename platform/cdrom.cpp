#include "platform/cdrom.h"

#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/backend_slot.h"

namespace platform {
namespace {

class HostCdDevices : public CdDevices {
 public:
  std::vector<std::string> List() override {
    std::vector<std::string> devices;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/sys/block", ec)) {
      std::string name = entry.path().filename().string();
      if (name.starts_with("sr")) devices.push_back("/dev/" + name);
    }
    std::sort(devices.begin(), devices.end());
    return devices;
  }

  // SCSI type 5 is a CD/DVD drive; sr devices (major 11) are always one.
  bool IsCd(const std::string& path) override {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISBLK(st.st_mode)) return false;
    if (major(st.st_rdev) == 11) return true;
    std::ifstream type("/sys/dev/block/" + std::to_string(major(st.st_rdev)) + ":" + std::to_string(minor(st.st_rdev)) +
                       "/device/type");
    int code = -1;
    return type >> code && code == 5;
  }

  int Open(const std::string& path) override { return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC); }
  int EjectTray(int fd) override { return ::ioctl(fd, CDROMEJECT) < 0 ? -1 : 0; }
  int CloseTray(int fd) override { return ::ioctl(fd, CDROMCLOSETRAY) < 0 ? -1 : 0; }
  void Close(int fd) override { ::close(fd); }
};

constexpr auto& Devices = SlotWithDefault<CdDevices, HostCdDevices>;

}  // namespace

CdDevices& CdDevicesInUse() { return *Devices(); }

std::unique_ptr<CdDevices> SetCdDevices(std::unique_ptr<CdDevices> devices) {
  return Devices().Replace(std::move(devices));
}

}  // namespace platform
