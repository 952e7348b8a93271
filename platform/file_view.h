// A read-only view of a whole file (CreateFileA, CreateFileMappingA and
// MapViewOfFile in one). Its first bytes, and a window a reader names
// ahead, are served from memory, read page by page as they are first
// asked for; everything else comes from a read-only mapping of the whole
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
#include <vector>

#include "platform/mapping_guard.h"

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

  // CannotOpen: missing, not a regular file, no access; Empty: a file of
  // no bytes (the platform cannot map nothing).
  Result Open(const std::string& path);
  // The same over bytes the caller keeps alive; they are read as a file
  // would be, parts copied, so the view behaves alike over both.
  Result Open(std::span<const std::uint8_t> bytes);

  std::size_t size() const { return size_; }
  // The file turned out shorter than when it was opened (rewritten or cut
  // by another program). Its missing bytes read as zeros where they were
  // already mapped; elsewhere At() gives nullptr for them.
  bool Shrunk() const { return shrunk_ || (guard_ && guard_->LostPages()); }
  // Serves [offset, offset + size) from memory when it lies in the file
  // and is no larger than kMaxWindow; otherwise it stays with the mapping.
  void Window(std::uint64_t offset, std::uint64_t size);
  // The bytes at [offset, offset + size), which the caller has checked to
  // lie in the file; nullptr when the file cannot be mapped or has shrunk.
  const std::uint8_t* At(std::uint64_t offset, std::uint64_t size) const {
    for (const Part& part : parts_) {
      std::uint64_t at = offset - part.offset;  // wraps past part.size below the part
      if (at > part.size || size > part.size - at) continue;
      // most reads are a few bytes on a page read before
      if (size == 0 || (size <= kPage && part.loaded[at / kPage] && part.loaded[(at + size - 1) / kPage]))
        return part.bytes.get() + at;
      return Load(part, at, size);
    }
    return Mapped(offset);
  }

 private:
  struct Part {
    std::uint64_t offset;
    std::uint64_t size;
    std::unique_ptr<std::uint8_t[]> bytes;
    std::unique_ptr<bool[]> loaded;  // by page of the part
  };
  const std::uint8_t* Load(const Part& part, std::uint64_t at, std::uint64_t size) const;
  bool ReadInto(std::uint64_t offset, std::uint64_t size, std::uint8_t* to) const;
  const std::uint8_t* Mapped(std::uint64_t offset) const;

  int fd_ = -1;
  const std::uint8_t* external_ = nullptr;
  std::size_t size_ = 0;
  std::vector<Part> parts_;
  mutable const std::uint8_t* mapping_ = nullptr;
  mutable bool mapFailed_ = false;
  mutable bool shrunk_ = false;
  mutable std::optional<MappingGuard> guard_;  // while mapping_ is
};

}  // namespace platform
