#include "platform/disk_manager.h"

#include "platform/backend_slot.h"

namespace platform {
namespace {

class NoDiskManager : public DiskManager {
 public:
  bool Eject(const std::string&) override { return false; }
};

BackendSlot<DiskManager>& Manager() {
  static BackendSlot<DiskManager> slot(
      []() -> std::unique_ptr<DiskManager> { return std::make_unique<NoDiskManager>(); });
  return slot;
}

}  // namespace

DiskManager& DiskManagerInUse() { return *Manager(); }

std::unique_ptr<DiskManager> SetDiskManager(std::unique_ptr<DiskManager> manager) {
  return Manager().Replace(std::move(manager));
}

}  // namespace platform
