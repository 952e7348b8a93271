#include "platform/mapping_guard.h"

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <mutex>

namespace platform {

namespace {

// The signal handler reads this table, so it is a fixed array of lock-free
// atomics: a slot is taken by setting its size, then its base.
struct Slot {
  std::atomic<std::uintptr_t> base{0};
  std::atomic<std::size_t> size{0};
  std::atomic<bool> lost{false};
};
constexpr int kSlots = 64;
Slot slots[kSlots];
struct sigaction previous {};
std::uintptr_t pageSize = 4096;  // read once, before the handler is installed

void Forward(int signal, siginfo_t* info, void* context) {
  if ((previous.sa_flags & SA_SIGINFO) != 0 && previous.sa_sigaction != nullptr) {
    previous.sa_sigaction(signal, info, context);
  } else if (previous.sa_handler != SIG_IGN && previous.sa_handler != SIG_DFL && previous.sa_handler != nullptr) {
    previous.sa_handler(signal);
  } else {
    // the default action: end the process as the fault would have
    ::signal(signal, SIG_DFL);
    ::raise(signal);
  }
}

void OnBusError(int signal, siginfo_t* info, void* context) {
  auto at = reinterpret_cast<std::uintptr_t>(info->si_addr);
  for (Slot& slot : slots) {
    std::uintptr_t base = slot.base.load(std::memory_order_acquire);
    if (base == 0 || at < base || at - base >= slot.size.load(std::memory_order_relaxed)) continue;
    // a page past the file's new end: zeros in its place, and the access
    // is made again when the handler returns
    std::uintptr_t page = at & ~(pageSize - 1);
    void* zeros =
        ::mmap(reinterpret_cast<void*>(page), pageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
    if (zeros == MAP_FAILED) break;
    slot.lost.store(true, std::memory_order_relaxed);
    return;
  }
  Forward(signal, info, context);
}

void InstallHandler() {
  pageSize = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  struct sigaction action {};
  action.sa_sigaction = OnBusError;
  action.sa_flags = SA_SIGINFO | SA_NODEFER;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGBUS, &action, &previous);
}

}  // namespace

MappingGuard::MappingGuard(const void* base, std::size_t size) {
  if (size == 0) return;  // nothing to guard; a slot is taken by a size above zero
  static std::once_flag installed;
  std::call_once(installed, InstallHandler);
  for (int i = 0; i < kSlots; ++i) {
    std::size_t free = 0;
    if (!slots[i].size.compare_exchange_strong(free, size)) continue;
    slots[i].lost.store(false, std::memory_order_relaxed);
    slots[i].base.store(reinterpret_cast<std::uintptr_t>(base), std::memory_order_release);
    slot_ = i;
    return;
  }
}

MappingGuard::~MappingGuard() {
  if (slot_ < 0) return;
  slots[slot_].base.store(0, std::memory_order_release);
  slots[slot_].size.store(0, std::memory_order_release);
}

bool MappingGuard::LostPages() const { return slot_ >= 0 && slots[slot_].lost.load(std::memory_order_relaxed); }

}  // namespace platform
