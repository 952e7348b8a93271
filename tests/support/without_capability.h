// Drops capabilities from this thread's effective set for a scope, as an
// ordinary user runs without them; they stay permitted, so they come back.
#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <initializer_list>

class WithoutCapability {
 public:
  explicit WithoutCapability(std::initializer_list<unsigned> capabilities) {
    ::syscall(SYS_capget, &header_, saved_);
    __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
    for (unsigned capability : capabilities) lowered[capability / 32].effective &= ~(1u << (capability % 32));
    ::syscall(SYS_capset, &header_, lowered);
  }
  ~WithoutCapability() { ::syscall(SYS_capset, &header_, saved_); }
  WithoutCapability(const WithoutCapability&) = delete;
  WithoutCapability& operator=(const WithoutCapability&) = delete;

 private:
  __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct saved_[2]{};
};
