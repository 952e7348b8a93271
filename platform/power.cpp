#include "platform/power.h"

#include "platform/backend_slot.h"

namespace platform {
namespace {

class NoPower : public PowerBackend {
 public:
  void ExitWindows(UINT, DWORD) override {}
};

constexpr auto& Backend = SlotWithDefault<PowerBackend, NoPower>;

}  // namespace

std::unique_ptr<PowerBackend> SetPowerBackend(std::unique_ptr<PowerBackend> backend) {
  return Backend().Replace(std::move(backend));
}

BOOL ExitWindowsEx(UINT flags, DWORD reason) {
  Backend()->ExitWindows(flags, reason);
  return TRUE_;
}

}  // namespace platform
