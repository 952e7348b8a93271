#include "platform/disk_manager.h"

#include "platform/backend_slot.h"

namespace platform {
namespace {

class NoDiskManager : public DiskManager {
 public:
  void Eject(const std::string&, Ejected done) override { done(false); }
};

constexpr auto& Manager = SlotWithDefault<DiskManager, NoDiskManager>;

}  // namespace

DiskManager& DiskManagerInUse() { return *Manager(); }

std::unique_ptr<DiskManager> SetDiskManager(std::unique_ptr<DiskManager> manager) {
  return Manager().Replace(std::move(manager));
}

}  // namespace platform
