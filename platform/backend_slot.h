// The one backend of a platform area: a default made on first use, replaced
// by the program at start (the real desktop) or by a test (a recorder).
#pragma once

#include <memory>

namespace platform {

template <class Interface>
class BackendSlot {
 public:
  using Factory = std::unique_ptr<Interface> (*)();
  explicit BackendSlot(Factory makeDefault) : makeDefault_(makeDefault), current_(makeDefault()) {}

  Interface* operator->() { return current_.get(); }
  Interface& operator*() { return *current_; }

  // An empty pointer brings the default back; returns the previous backend.
  std::unique_ptr<Interface> Replace(std::unique_ptr<Interface> next) {
    std::unique_ptr<Interface> old = std::move(current_);
    current_ = next ? std::move(next) : makeDefault_();
    return old;
  }

 private:
  Factory makeDefault_;
  std::unique_ptr<Interface> current_;
};

// The slot of an area whose default backend is a `Default` (for most areas
// one that does nothing), one for the program, made on first use.
template <class Interface, class Default>
BackendSlot<Interface>& SlotWithDefault() {
  static BackendSlot<Interface> slot([]() -> std::unique_ptr<Interface> { return std::make_unique<Default>(); });
  return slot;
}

}  // namespace platform
