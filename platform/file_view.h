// A read-only view of a whole file (CreateFileA, CreateFileMappingA and
// MapViewOfFile in one). Its first bytes, read at the opening, and a window
// a reader names ahead, read page by page as first asked for, are served
// from memory; everything else comes from a read-only mapping of the whole
// file, made on first need and unmapped with the object. Reading the few
// pages a reader looks at costs far less than mapping a file and faulting
// its pages in, which is what dominates when many small files are opened
// one after another; large windows stay mapped, never copied.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/mapping_guard.h"
#include "platform/page_run.h"

namespace platform {

class FileView {
 public:
  enum class Result { Opened, CannotOpen, Empty };
  static constexpr std::size_t kHeadSize = 4096;
  static constexpr std::size_t kMaxWindow = std::size_t{1} << 20;
  static constexpr std::size_t kPage = 4096;

  FileView() = default;
  ~FileView();
  FileView(const FileView&) = delete;
  FileView& operator=(const FileView&) = delete;

  // The file opened for reading, as Open(path) opens it, for Open(fd, ...)
  // to read later; -1 when it cannot be opened.
  static int OpenForReading(const std::string& path);
  // Opens the file and reads its head. CannotOpen: missing, a folder, a
  // pipe, no access; Empty: a file of no bytes (the platform cannot map
  // nothing).
  Result Open(const std::string& path);
  // The same over the file open at `fd`, its first kHeadSize bytes read by
  // the caller into `head`, `read` of them (-1: the read failed; no head or
  // PageRun::kNotRead: the view reads it). The descriptor stays the
  // caller's, to close once the view is gone.
  Result Open(int fd, std::unique_ptr<std::uint8_t[]> head, std::int64_t read);
  // The same over bytes the caller keeps alive; they are read as a file
  // would be, parts copied, so the view behaves alike over both.
  Result Open(std::span<const std::uint8_t> bytes);

  // The file's length, asked of the file system on first need: a file
  // whose reads all fall in what was read is never asked. What is not a
  // regular file (a device) is as long as what its first read gave.
  std::size_t size() const;
  // Whether [offset, offset + size) lies in the file.
  bool Holds(std::uint64_t offset, std::uint64_t size) const {
    return (offset <= known_ && size <= known_ - offset) || (offset <= this->size() && size <= this->size() - offset);
  }
  // The file turned out shorter than the view had found it (rewritten or
  // cut by another program). Its missing bytes read as zeros where they
  // were already mapped; elsewhere At() gives nullptr for them. A cut made
  // before the view asked for the length, to no less than what it had
  // read, is a shorter file to it.
  bool Shrunk() const { return shrunk_ || (mapping_ != nullptr && guard_ && guard_->LostPages()); }
  // Touches each page of [bytes, bytes + size), bytes At() gave: a page of
  // the mapping lost to a cut is found now (Shrunk), before the bytes are
  // shown, not when they are drawn.
  void FaultIn(const std::uint8_t* bytes, std::size_t size) const;
  // Serves [offset, offset + size) from memory when it is no larger than
  // kMaxWindow and does not lie past the end (as far as known: a window
  // past it is cut to the file when a read meets the end); otherwise it
  // stays with the mapping.
  void Window(std::uint64_t offset, std::uint64_t size);
  // [offset, offset + size) will be read soon: a caller that reads the
  // pages of several files at once can read the pages of a window that
  // hold it (PagesToRead). Otherwise the view reads them when asked, as it
  // does anything else.
  void WillNeed(std::uint64_t offset, std::uint64_t size);
  // Adds to `out` the runs of pages not read yet that hold what WillNeed
  // named, and forgets the names. Each run is handed back with PagesRead
  // before the view is read from again; a run not read wholly is read
  // when asked.
  void PagesToRead(std::vector<PageRun>& out);
  void PagesRead(const PageRun& run);
  // The bytes at [offset, offset + size), or nullptr when they do not lie
  // in the file (Holds), the file cannot be mapped or has shrunk.
  const std::uint8_t* At(std::uint64_t offset, std::uint64_t size) const {
    // most reads are a few bytes on the page read before
    std::uint64_t hot = offset - hotOffset_;  // wraps past hotSize_ below the page
    if (hot <= hotSize_ && size <= hotSize_ - hot) return hotBytes_ + hot;
    for (Part& part : parts_) {
      std::uint64_t at = offset - part.offset;  // wraps past part.size below the part
      if (at > part.size || size > part.size - at) continue;
      if (size == 0) return part.bytes.get() + at;
      if (size <= kPage && part.loaded[at / kPage] && part.loaded[(at + size - 1) / kPage]) {
        std::uint64_t page = at / kPage * kPage;
        hotOffset_ = part.offset + page;
        hotSize_ = std::min(part.size - page, std::uint64_t{kPage});
        hotBytes_ = part.bytes.get() + page;
        return part.bytes.get() + at;
      }
      return Load(part, at, size);
    }
    return Mapped(offset, size);
  }

 private:
  Result Opened(std::unique_ptr<std::uint8_t[]> head, std::int64_t n);
  struct Part {
    std::uint64_t offset;
    std::uint64_t size;  // cut to the file when a read meets its end
    std::unique_ptr<std::uint8_t[]> bytes;
    std::unique_ptr<bool[]> loaded;  // by page of the part
  };
  void AddPart(std::uint64_t offset, std::uint64_t size);
  const std::uint8_t* Load(Part& part, std::uint64_t at, std::uint64_t size) const;
  // Reads up to `size` bytes, fewer at the end of the file; -1 on an error.
  std::int64_t ReadUpTo(std::uint64_t offset, std::uint64_t size, std::uint8_t* to) const;
  const std::uint8_t* Mapped(std::uint64_t offset, std::uint64_t size) const;

  int fd_ = -1;
  bool ownsFd_ = false;
  const std::uint8_t* external_ = nullptr;
  mutable std::size_t size_ = 0;
  mutable bool sizeKnown_ = false;
  mutable std::uint64_t known_ = 0;  // the file holds at least this much: reads found it
  mutable std::vector<Part> parts_;
  // the page of a part read last: [hotOffset_, hotOffset_ + hotSize_) of
  // the file at hotBytes_
  mutable std::uint64_t hotOffset_ = ~std::uint64_t{0};
  mutable std::uint64_t hotSize_ = 0;
  mutable const std::uint8_t* hotBytes_ = nullptr;
  mutable const std::uint8_t* mapping_ = nullptr;
  mutable bool mapFailed_ = false;
  mutable bool shrunk_ = false;
  mutable std::optional<MappingGuard> guard_;          // while mapping_ is
  std::pair<std::uint64_t, std::uint64_t> needed_[2];  // WillNeed's ranges, the latest kept
  std::size_t neededCount_ = 0;
};

}  // namespace platform
