// The desktop's disk manager, which unmounts and ejects discs for the user.
// A desktop mounts every data disc, a mounted file system holds its drive,
// and the kernel refuses to eject a busy drive: a door opens through the
// manager, which unmounts the disc first.
//
// The program installs the udisks2 manager at start (disk_manager_udisks.h);
// until then, and in every test binary but the one that runs it against a
// fake, there is none and a door opens by the kernel's request alone.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace platform {

class DiskManager {
 public:
  virtual ~DiskManager() = default;
  // Unmounts every file system of the disc in the drive at `device` (a
  // device path such as /dev/sr0) and ejects it, without waiting: `done`
  // is called on this thread once the manager has answered (at once when
  // there is none), with false when there is no manager, it does not know
  // the drive or it failed: the caller then makes the kernel's request,
  // which succeeds where nothing holds the drive.
  using Ejected = std::function<void(bool ejected)>;
  virtual void Eject(const std::string& device, Ejected done) = 0;
};

DiskManager& DiskManagerInUse();
// Takes over the manager (an empty pointer: none); returns the previous one.
std::unique_ptr<DiskManager> SetDiskManager(std::unique_ptr<DiskManager> manager);

}  // namespace platform
