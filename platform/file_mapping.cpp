#include "platform/file_mapping.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

FileMapping::~FileMapping() {
  if (data_ != nullptr) ::munmap(const_cast<std::uint8_t*>(data_), size_);
}

FileMapping::Result FileMapping::Open(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Result::CannotOpen;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return Result::CannotOpen;
  }
  if (st.st_size == 0) {
    ::close(fd);
    return Result::CannotMap;
  }
  void* view = ::mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
  ::close(fd);  // the mapping keeps the file
  if (view == MAP_FAILED) return Result::CannotView;
  data_ = static_cast<const std::uint8_t*>(view);
  size_ = static_cast<std::size_t>(st.st_size);
  return Result::Mapped;
}

}  // namespace platform
