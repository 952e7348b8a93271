#include "platform/file_view.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>

namespace platform {

FileView::~FileView() {
  guard_.reset();
  if (mapping_ != nullptr && external_ == nullptr) ::munmap(const_cast<std::uint8_t*>(mapping_), size_);
  if (ownsFd_) ::close(fd_);
}

int FileView::OpenForReading(const std::string& path) {
  // O_NONBLOCK: a named pipe would otherwise wait for a writer in open()
  return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
}

FileView::Result FileView::Open(const std::string& path) {
  int fd = OpenForReading(path);
  if (fd < 0) return Result::CannotOpen;
  fd_ = fd;
  ownsFd_ = true;
  // every reader starts with the head; its read also tells a folder or a
  // pipe (they cannot be read at an offset) and the length of a short file
  auto head = std::make_unique_for_overwrite<std::uint8_t[]>(kHeadSize);
  std::int64_t n = ReadUpTo(0, kHeadSize, head.get());
  return Opened(std::move(head), n);
}

FileView::Result FileView::Open(int fd, std::unique_ptr<std::uint8_t[]> head, std::int64_t n) {
  if (fd < 0) return Result::CannotOpen;
  fd_ = fd;
  if (!head || n == PageRun::kNotRead) {
    if (!head) head = std::make_unique_for_overwrite<std::uint8_t[]>(kHeadSize);
    n = ReadUpTo(0, kHeadSize, head.get());
  } else if (n > 0 && static_cast<std::size_t>(n) < kHeadSize) {
    // a short read is the end of the file only when a read there says so
    std::int64_t more =
        ReadUpTo(static_cast<std::uint64_t>(n), kHeadSize - static_cast<std::size_t>(n), head.get() + n);
    n = more < 0 ? -1 : n + more;
  }
  return Opened(std::move(head), n);
}

FileView::Result FileView::Opened(std::unique_ptr<std::uint8_t[]> head, std::int64_t n) {
  if (n == 0) {  // an empty file, or a device with nothing to give
    struct stat st {};
    bool regular = ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode);
    return regular ? Result::Empty : Result::CannotOpen;
  }
  if (n < 0) return Result::CannotOpen;
  parts_.push_back(Part{0, static_cast<std::uint64_t>(n), std::move(head), std::make_unique<bool[]>(1)});
  parts_.back().loaded[0] = true;
  known_ = static_cast<std::uint64_t>(n);
  if (known_ < kHeadSize) {
    size_ = known_;
    sizeKnown_ = true;
  }
  return Result::Opened;
}

FileView::Result FileView::Open(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return Result::Empty;
  external_ = bytes.data();
  size_ = known_ = bytes.size();
  sizeKnown_ = true;
  Window(0, std::min<std::uint64_t>(size_, kHeadSize));
  return Result::Opened;
}

std::size_t FileView::size() const {
  if (!sizeKnown_) {
    struct stat st {};
    if (::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode)) {
      auto length = static_cast<std::uint64_t>(st.st_size);
      if (length < known_) shrunk_ = true;  // cut below bytes already read
      size_ = static_cast<std::size_t>(std::max(length, known_));
    } else {
      size_ = static_cast<std::size_t>(known_);  // never mapped
    }
    sizeKnown_ = true;
  }
  return size_;
}

std::int64_t FileView::ReadUpTo(std::uint64_t offset, std::uint64_t size, std::uint8_t* to) const {
  if (external_ != nullptr) {
    std::uint64_t n = offset < size_ ? std::min(size, size_ - offset) : 0;
    std::memcpy(to, external_ + offset, n);
    return static_cast<std::int64_t>(n);
  }
  std::uint64_t done = 0;
  while (done < size) {
    ssize_t n = ::pread(fd_, to + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    done += static_cast<std::uint64_t>(n);
  }
  return static_cast<std::int64_t>(done);
}

void FileView::AddPart(std::uint64_t offset, std::uint64_t size) {
  std::size_t pages = (size + kPage - 1) / kPage;
  Part part{offset, size, std::make_unique_for_overwrite<std::uint8_t[]>(size), std::make_unique<bool[]>(pages)};
  // a window apart from the parts before it is read most and looked at
  // first; one that overlaps them comes after, so they serve what they
  // have already read
  bool apart = std::none_of(parts_.begin(), parts_.end(),
                            [&](const Part& p) { return offset < p.offset + p.size && p.offset < offset + size; });
  parts_.insert(apart ? parts_.begin() : parts_.end(), std::move(part));
}

void FileView::Window(std::uint64_t offset, std::uint64_t size) {
  if (size == 0 || size > kMaxWindow) return;
  if (sizeKnown_ && (offset > size_ || size > size_ - offset)) return;
  AddPart(offset, size);
}

void FileView::WillNeed(std::uint64_t offset, std::uint64_t size) {
  if (size == 0) return;
  if (neededCount_ == std::size(needed_)) neededCount_ = std::size(needed_) - 1;
  needed_[neededCount_++] = {offset, size};
}

void FileView::PagesToRead(std::vector<PageRun>& out) {
  const std::size_t mine = out.size();
  for (std::size_t i = 0; i < neededCount_; ++i) {
    auto [offset, size] = needed_[i];
    for (Part& part : parts_) {
      std::uint64_t at = offset - part.offset;  // wraps past part.size below the part
      if (at >= part.size || size > part.size - at) continue;
      std::size_t first = at / kPage, end = (at + size - 1) / kPage + 1;
      // the first run of pages not read: a page read before keeps the bytes
      // its readers were given
      while (first < end && part.loaded[first]) ++first;
      std::size_t stop = first;
      while (stop < end && !part.loaded[stop]) ++stop;
      end = stop;
      if (first == end) break;
      std::uint64_t from = first * kPage, to = std::min<std::uint64_t>(end * kPage, part.size);
      std::uint8_t* bytes = part.bytes.get();
      // both names may fall in the same pages; the bytes of one part are
      // compared as addresses
      auto address = [](const std::uint8_t* p) { return reinterpret_cast<std::uintptr_t>(p); };
      bool taken = std::any_of(out.begin() + static_cast<std::ptrdiff_t>(mine), out.end(), [&](const PageRun& r) {
        return address(r.to) < address(bytes + to) && address(bytes + from) < address(r.to) + r.size;
      });
      if (!taken) out.push_back(PageRun{fd_, part.offset + from, static_cast<std::uint32_t>(to - from), bytes + from});
      break;
    }
  }
  neededCount_ = 0;
}

void FileView::PagesRead(const PageRun& run) {
  if (run.read != static_cast<std::int64_t>(run.size)) return;
  auto address = reinterpret_cast<std::uintptr_t>(run.to);
  for (Part& part : parts_) {
    auto base = reinterpret_cast<std::uintptr_t>(part.bytes.get());
    if (address < base || address - base >= part.size) continue;
    std::uint64_t from = address - base;
    std::fill(part.loaded.get() + from / kPage, part.loaded.get() + (from + run.size + kPage - 1) / kPage, true);
    known_ = std::max(known_, run.offset + run.size);
    return;
  }
}

const std::uint8_t* FileView::Load(Part& part, std::uint64_t at, std::uint64_t size) const {
  std::uint64_t page = at / kPage, end = (at + size - 1) / kPage + 1;  // size > 0
  while (page < end) {
    if (part.loaded[page]) {
      ++page;
      continue;
    }
    std::uint64_t run = page;  // the pages still to read, in one read
    while (run < end && !part.loaded[run]) ++run;
    std::uint64_t from = page * kPage, to = std::min(run * kPage, part.size);
    std::int64_t n = ReadUpTo(part.offset + from, to - from, part.bytes.get() + from);
    if (n < 0) return Mapped(part.offset + at, size);
    if (static_cast<std::uint64_t>(n) < to - from) {  // the end of the file came first
      std::uint64_t length = this->size();
      if (part.offset + part.size <= length) {  // it was longer
        shrunk_ = true;
        return nullptr;
      }
      // a window claimed past the end before the length was known
      part.size = part.offset < length ? length - part.offset : 0;
      hotOffset_ = ~std::uint64_t{0}, hotSize_ = 0;  // it may have been a page of this part
      if (at > part.size || size > part.size - at) return nullptr;
      return Load(part, at, size);
    }
    known_ = std::max(known_, part.offset + to);
    std::fill(part.loaded.get() + page, part.loaded.get() + run, true);
    page = run;
  }
  return part.bytes.get() + at;
}

const std::uint8_t* FileView::Mapped(std::uint64_t offset, std::uint64_t size) const {
  if (!Holds(offset, size)) return nullptr;
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

void FileView::FaultIn(const std::uint8_t* bytes, std::size_t size) const {
  if (mapping_ == nullptr || external_ != nullptr || size == 0) return;
  auto at = reinterpret_cast<std::uintptr_t>(bytes), base = reinterpret_cast<std::uintptr_t>(mapping_);
  if (at < base || at - base >= size_) return;  // read into memory, not mapped
  std::size_t end = std::min(size, size_ - (at - base));
  // one byte of each page; the last byte covers the last page
  for (std::size_t i = 0; i < end; i += kPage) static_cast<void>(*static_cast<const volatile std::uint8_t*>(bytes + i));
  static_cast<void>(*static_cast<const volatile std::uint8_t*>(bytes + end - 1));
}

}  // namespace platform
