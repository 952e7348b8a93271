// Opens files and reads from them several at a time. With io_uring, each
// step of a batch (opening the files and reading their heads, then reading
// the pages their readers said they will need) goes to the kernel as one
// request instead of a call per file and page: on a virtual machine a call
// alone costs about a microsecond, as much as the work it asks for. Where
// the kernel has no io_uring or refuses it, the files are opened one by one
// and the views read what they need when they need it, as they do alone.
#pragma once

#include <cstddef>
#include <memory>
#include <span>

#include "platform/file_view.h"

namespace platform {

class ReadBatch {
 public:
  // `ring`: false keeps to one call at a time (tests of the other way).
  explicit ReadBatch(bool ring = true);
  ~ReadBatch();
  ReadBatch(const ReadBatch&) = delete;
  ReadBatch& operator=(const ReadBatch&) = delete;

  bool UsesRing() const { return ring_ != nullptr; }
  // Opens paths[i] and reads its head into files[i], for FileView::Open.
  void Open(std::span<const char* const> paths, std::span<OpenedFile> files);
  // Reads into each view the pages it will need (FileView::WillNeed) and
  // does not hold yet.
  void Fill(std::span<FileView* const> views);

 private:
  struct Ring;
  std::unique_ptr<Ring> ring_;
};

}  // namespace platform
