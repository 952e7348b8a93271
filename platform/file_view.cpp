#include "platform/file_view.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

namespace platform {

FileView::~FileView() {
  guard_.reset();
  if (mapping_ != nullptr && external_ == nullptr) ::munmap(const_cast<std::uint8_t*>(mapping_), size_);
  if (fd_ >= 0) ::close(fd_);
}

FileView::Result FileView::Open(const std::string& path) {
  // O_NONBLOCK: a named pipe would otherwise wait for a writer in open()
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return Result::CannotOpen;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return Result::CannotOpen;
  }
  if (st.st_size == 0) {
    ::close(fd);
    return Result::Empty;
  }
  fd_ = fd;  // kept open: the mapping is made only when a read needs it
  size_ = static_cast<std::size_t>(st.st_size);
  Window(0, std::min<std::uint64_t>(size_, kHeadSize));
  return Result::Opened;
}

FileView::Result FileView::Open(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return Result::Empty;
  external_ = bytes.data();
  size_ = bytes.size();
  Window(0, std::min<std::uint64_t>(size_, kHeadSize));
  return Result::Opened;
}

bool FileView::ReadInto(std::uint64_t offset, std::uint64_t size, std::uint8_t* to) const {
  if (external_ != nullptr) {
    std::memcpy(to, external_ + offset, size);
    return true;
  }
  while (size > 0) {
    ssize_t n = ::pread(fd_, to, size, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) shrunk_ = true;
    if (n <= 0) return false;
    to += n;
    offset += static_cast<std::uint64_t>(n);
    size -= static_cast<std::uint64_t>(n);
  }
  return true;
}

void FileView::Window(std::uint64_t offset, std::uint64_t size) {
  if (size == 0 || size > kMaxWindow || offset > size_ || size > size_ - offset) return;
  std::size_t pages = (size + kPage - 1) / kPage;
  Part part{offset, size, std::make_unique_for_overwrite<std::uint8_t[]>(size), std::make_unique<bool[]>(pages)};
  // a window apart from the parts before it is read most and looked at
  // first; one that overlaps them comes after, so they serve what they
  // have already read
  bool apart = std::none_of(parts_.begin(), parts_.end(),
                            [&](const Part& p) { return offset < p.offset + p.size && p.offset < offset + size; });
  parts_.insert(apart ? parts_.begin() : parts_.end(), std::move(part));
}

const std::uint8_t* FileView::Load(const Part& part, std::uint64_t at, std::uint64_t size) const {
  std::uint64_t page = at / kPage, end = (at + size - 1) / kPage + 1;  // size > 0
  while (page < end) {
    if (part.loaded[page]) {
      ++page;
      continue;
    }
    std::uint64_t run = page;  // the pages still to read, in one read
    while (run < end && !part.loaded[run]) ++run;
    std::uint64_t from = page * kPage, to = std::min(run * kPage, part.size);
    if (!ReadInto(part.offset + from, to - from, part.bytes.get() + from)) return shrunk_ ? nullptr : Mapped(part.offset + at);
    std::fill(part.loaded.get() + page, part.loaded.get() + run, true);
    page = run;
  }
  return part.bytes.get() + at;
}

const std::uint8_t* FileView::Mapped(std::uint64_t offset) const {
  if (external_ != nullptr) return external_ + offset;
  if (mapping_ == nullptr && !mapFailed_ && !shrunk_) {
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || static_cast<std::uint64_t>(st.st_size) < size_) {
      shrunk_ = true;
      return nullptr;
    }
    void* view = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd_, 0);
    if (view == MAP_FAILED) {
      mapFailed_ = true;
    } else {
      mapping_ = static_cast<const std::uint8_t*>(view);
      guard_.emplace(view, size_);
    }
  }
  return mapping_ == nullptr ? nullptr : mapping_ + offset;
}

}  // namespace platform
