// Keeps a read-only file mapping safe from the file being cut short by
// another program. The platform's own mappings lock their file against
// that; here touching a page past the new end raises SIGBUS, which would
// end the process. While a mapping is guarded, such a page is replaced by
// a page of zeros and the mapping is marked as having lost bytes.
#pragma once

#include <cstddef>

namespace platform {

class MappingGuard {
 public:
  MappingGuard() = default;
  // Guards [base, base + size). Without a free place among the guarded
  // mappings (a few dozen at once) the mapping stays unguarded.
  MappingGuard(const void* base, std::size_t size);
  ~MappingGuard();
  MappingGuard(const MappingGuard&) = delete;
  MappingGuard& operator=(const MappingGuard&) = delete;

  // A page of the mapping was lost since it was guarded.
  bool LostPages() const;

 private:
  int slot_ = -1;
};

}  // namespace platform
