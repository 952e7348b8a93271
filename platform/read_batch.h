// Opens files, reads runs of their pages and closes them several at a time.
// With io_uring, each step of a batch (opening the files, reading their
// heads, reading the pages their readers will need) goes to the kernel as
// one request instead of a call per file and page: on a virtual machine a
// call alone costs about a microsecond, as much as the work it asks for.
// Where the kernel has no io_uring or refuses it, the files are opened one
// by one and the runs are left to their owners to read when they need them.
#pragma once

#include <functional>
#include <memory>
#include <span>

#include "platform/page_run.h"

namespace platform {

class ReadBatch {
 public:
  // Tests of a failing ring: asked before each wait for the kernel, a
  // non-zero result (a negative errno) is that wait's failure.
  using WaitFault = std::function<int()>;
  // `ring`: false keeps to one call at a time (tests of the other way).
  explicit ReadBatch(bool ring = true, WaitFault fault = {});
  ~ReadBatch();
  ReadBatch(const ReadBatch&) = delete;
  ReadBatch& operator=(const ReadBatch&) = delete;

  bool UsesRing() const;
  // Opens paths[i] read-only into fds[i], -1 when it cannot be opened; the
  // caller closes them (Close).
  void Open(std::span<const char* const> paths, std::span<int> fds);
  // Files just opened may be pipes or folders: a run of theirs is read only
  // where the file can be read at an offset (a pipe keeps its data).
  enum class Files { Seekable, Unknown };
  // Reads each run that the ring can; the others stay kNotRead.
  void Read(std::span<PageRun> runs, Files files = Files::Seekable);
  // Closes the descriptors, each run of consecutive ones with one call
  // (others may lie between them and stay open). Reorders `fds`.
  static void Close(std::span<int> fds);

 private:
  struct Ring;
  std::unique_ptr<Ring> ring_;
};

}  // namespace platform
