#include "platform/power.h"

namespace platform {
namespace {

class NoPower : public PowerBackend {
 public:
  void ExitWindows(UINT, DWORD) override {}
};

std::unique_ptr<PowerBackend>& Backend() {
  static std::unique_ptr<PowerBackend> backend = std::make_unique<NoPower>();
  return backend;
}

}  // namespace

std::unique_ptr<PowerBackend> SetPowerBackend(std::unique_ptr<PowerBackend> backend) {
  std::unique_ptr<PowerBackend> old = std::move(Backend());
  Backend() = backend ? std::move(backend) : std::make_unique<NoPower>();
  return old;
}

BOOL ExitWindowsEx(UINT flags, DWORD reason) {
  Backend()->ExitWindows(flags, reason);
  return TRUE_;
}

}  // namespace platform
