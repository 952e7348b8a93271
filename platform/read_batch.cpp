#include "platform/read_batch.h"

#include <fcntl.h>
#include <liburing.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace platform {

namespace {
constexpr std::uint64_t kIgnored = ~std::uint64_t{0};
constexpr int kNotTried = -2;
}  // namespace

struct ReadBatch::Ring {
  static constexpr unsigned kDepth = 64;
  io_uring ring{};
  bool broken = false;

  // Queues what `prepare(i)` puts in the queue for each item (it returns
  // how many entries, at most perItem), at most kDepth entries at a time,
  // and hands each completion's user data and result to `done`. When the
  // kernel takes fewer entries than queued, or waiting fails, the ring is
  // not used again: what it did not do is left to one call at a time.
  template <class Prepare, class Done>
  void Run(std::size_t count, unsigned perItem, Prepare prepare, Done done) {
    for (std::size_t first = 0; first < count && !broken;) {
      const std::size_t end = std::min(count, first + kDepth / perItem);
      unsigned queued = 0;
      for (std::size_t i = first; i < end; ++i) queued += prepare(i);
      first = end;
      if (queued == 0) continue;
      int submitted = io_uring_submit_and_wait(&ring, queued);
      for (int waiting = std::max(submitted, 0); waiting > 0;) {
        io_uring_cqe* cqe = nullptr;
        int error = io_uring_wait_cqe(&ring, &cqe);
        if (error == -EINTR) continue;
        if (error < 0) {
          broken = true;
          return;
        }
        done(io_uring_cqe_get_data64(cqe), cqe->res);
        io_uring_cqe_seen(&ring, cqe);
        --waiting;
      }
      if (submitted != static_cast<int>(queued)) broken = true;
    }
  }
};

ReadBatch::ReadBatch(bool ring) {
  if (!ring) return;
  auto made = std::make_unique<Ring>();
  if (io_uring_queue_init(Ring::kDepth, &made->ring, 0) == 0) ring_ = std::move(made);
}

ReadBatch::~ReadBatch() {
  if (ring_) io_uring_queue_exit(&ring_->ring);
}

void ReadBatch::Open(std::span<const char* const> paths, std::span<OpenedFile> files) {
  const std::size_t count = std::min(paths.size(), files.size());
  for (std::size_t i = 0; i < count; ++i) {
    files[i] = OpenedFile();
    files[i].fd = kNotTried;
  }
  // O_NONBLOCK: a named pipe would otherwise wait for a writer
  constexpr int kFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK;
  if (ring_) {
    ring_->Run(count, 1, [&](std::size_t i) {
      io_uring_sqe* sqe = io_uring_get_sqe(&ring_->ring);
      io_uring_prep_openat(sqe, AT_FDCWD, paths[i], kFlags, 0);
      io_uring_sqe_set_data64(sqe, i);
      return 1u;
    }, [&](std::uint64_t i, int res) { files[i].fd = res < 0 ? -1 : res; });
  }
  for (std::size_t i = 0; i < count; ++i)
    if (files[i].fd == kNotTried) files[i].fd = ::open(paths[i], kFlags);
  if (!ring_) return;  // each view reads its head itself
  // The head is read at offset 0 as pread reads it, but a read here would
  // take a named pipe's data where pread refuses: posix_fadvise fails on a
  // pipe, the read linked to it is then cancelled, and the view finds out
  // with pread what the file is.
  ring_->Run(count, 2, [&](std::size_t i) {
    OpenedFile& file = files[i];
    if (file.fd < 0) return 0u;
    file.head = std::make_unique_for_overwrite<std::uint8_t[]>(FileView::kHeadSize);
    io_uring_sqe* advice = io_uring_get_sqe(&ring_->ring);
    io_uring_prep_fadvise(advice, file.fd, 0, 0, POSIX_FADV_NORMAL);
    io_uring_sqe_set_data64(advice, kIgnored);
    advice->flags |= IOSQE_IO_LINK;
    io_uring_sqe* read = io_uring_get_sqe(&ring_->ring);
    io_uring_prep_read(read, file.fd, file.head.get(), FileView::kHeadSize, 0);
    io_uring_sqe_set_data64(read, i);
    return 2u;
  }, [&](std::uint64_t i, int res) {
    if (i == kIgnored || res == -ECANCELED) return;
    files[i].read = res < 0 ? -1 : res;
  });
}

void ReadBatch::Fill(std::span<FileView* const> views) {
  if (!ring_) return;  // the views read the pages when asked
  struct Run {
    FileView* view;
    FileView::PageRun pages;
  };
  std::vector<Run> runs;
  std::vector<FileView::PageRun> found;
  for (FileView* view : views) {
    found.clear();
    view->NeededRuns(found);
    for (const FileView::PageRun& pages : found) runs.push_back({view, pages});
  }
  ring_->Run(runs.size(), 1, [&](std::size_t i) {
    const FileView::PageRun& pages = runs[i].pages;
    io_uring_sqe* sqe = io_uring_get_sqe(&ring_->ring);
    io_uring_prep_read(sqe, pages.fd, pages.to, static_cast<unsigned>(pages.size), pages.offset);
    io_uring_sqe_set_data64(sqe, i);
    return 1u;
  }, [&](std::uint64_t i, int res) { runs[i].view->RunRead(runs[i].pages, res); });
}

}  // namespace platform
