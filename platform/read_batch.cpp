#include "platform/read_batch.h"

#include <fcntl.h>
#include <liburing.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace platform {

namespace {
constexpr std::uint64_t kIgnored = ~std::uint64_t{0};
constexpr int kNotTried = -2;
// O_NONBLOCK: a named pipe would otherwise wait for a writer
constexpr int kOpenFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK;
}  // namespace

struct ReadBatch::Ring {
  static constexpr unsigned kDepth = 64;
  io_uring ring{};
  bool open = false;
  bool broken = false;
  WaitFault fault;

  ~Ring() {
    if (open) io_uring_queue_exit(&ring);
  }

  int Wait(io_uring_cqe** cqe) {
    if (int error = fault ? fault() : 0; error != 0) return error;
    return io_uring_wait_cqe(&ring, cqe);
  }

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
      // with a fault to inject the wait is left to Wait, where it fails
      int submitted = fault ? io_uring_submit(&ring) : io_uring_submit_and_wait(&ring, queued);
      for (int waiting = std::max(submitted, 0); waiting > 0;) {
        io_uring_cqe* cqe = nullptr;
        int error = Wait(&cqe);
        if (error == -EINTR) continue;
        if (error < 0) {
          broken = true;
          Drain(waiting, done);
          return;
        }
        done(io_uring_cqe_get_data64(cqe), cqe->res);
        io_uring_cqe_seen(&ring, cqe);
        --waiting;
      }
      if (submitted != static_cast<int>(queued)) broken = true;
    }
  }

  // The `waiting` requests still in flight read into their callers'
  // buffers, which are freed once Run returns: they are cancelled, and
  // each is waited for. Closing the ring would not do: a read already
  // running in a kernel worker still writes into its buffer after the
  // close. Should the kernel refuse to tell their end, the process stops
  // rather than free memory the kernel may still write.
  template <class Done>
  void Drain(int waiting, Done& done) {
    constexpr std::uint64_t kCancel = kIgnored - 1;
    if (io_uring_sqe* cancel = io_uring_get_sqe(&ring)) {
      io_uring_prep_cancel64(cancel, 0, IORING_ASYNC_CANCEL_ANY);
      io_uring_sqe_set_data64(cancel, kCancel);
      // entries the kernel did not take before go with it, and are cancelled
      waiting += std::max(io_uring_submit(&ring), 0);
    }
    while (waiting > 0) {
      io_uring_cqe* cqe = nullptr;
      int error = io_uring_wait_cqe(&ring, &cqe);  // the real wait, past any injected fault
      if (error == -EINTR) continue;
      if (error < 0) std::abort();
      // a cancelled request's result is -ECANCELED: not done
      if (std::uint64_t data = io_uring_cqe_get_data64(cqe); data != kCancel) done(data, cqe->res);
      io_uring_cqe_seen(&ring, cqe);
      --waiting;
    }
  }
};

ReadBatch::ReadBatch(bool ring, WaitFault fault) {
  if (!ring) return;
  auto made = std::make_unique<Ring>();
  made->fault = std::move(fault);
  made->open = io_uring_queue_init(Ring::kDepth, &made->ring, 0) == 0;
  if (made->open) ring_ = std::move(made);
}

ReadBatch::~ReadBatch() = default;

bool ReadBatch::UsesRing() const { return ring_ != nullptr && !ring_->broken; }

void ReadBatch::Open(std::span<const char* const> paths, std::span<int> fds) {
  const std::size_t count = std::min(paths.size(), fds.size());
  std::fill_n(fds.begin(), count, kNotTried);
  if (UsesRing()) {
    ring_->Run(
        count, 1,
        [&](std::size_t i) {
          io_uring_sqe* sqe = io_uring_get_sqe(&ring_->ring);
          io_uring_prep_openat(sqe, AT_FDCWD, paths[i], kOpenFlags, 0);
          io_uring_sqe_set_data64(sqe, i);
          return 1u;
        },
        [&](std::uint64_t i, int res) {
          if (res != -ECANCELED) fds[i] = res < 0 ? -1 : res;  // one cancelled is opened below
        });
  }
  for (std::size_t i = 0; i < count; ++i)
    if (fds[i] == kNotTried) fds[i] = ::open(paths[i], kOpenFlags);
}

void ReadBatch::Read(std::span<PageRun> runs, Files files) {
  for (PageRun& run : runs) run.read = PageRun::kNotRead;
  if (!UsesRing()) return;  // the owners read the pages when they need them
  // A read here would take a named pipe's data where pread refuses: linked
  // to a posix_fadvise, which fails on a pipe, it is then cancelled, and
  // its owner finds out with pread what the file is.
  const bool unknown = files == Files::Unknown;
  ring_->Run(
      runs.size(), unknown ? 2 : 1,
      [&](std::size_t i) {
        const PageRun& run = runs[i];
        if (run.fd < 0 || run.size == 0) return 0u;
        if (unknown) {
          io_uring_sqe* advice = io_uring_get_sqe(&ring_->ring);
          io_uring_prep_fadvise(advice, run.fd, 0, 0, POSIX_FADV_NORMAL);
          io_uring_sqe_set_data64(advice, kIgnored);
          advice->flags |= IOSQE_IO_LINK;
        }
        io_uring_sqe* sqe = io_uring_get_sqe(&ring_->ring);
        io_uring_prep_read(sqe, run.fd, run.to, run.size, run.offset);
        io_uring_sqe_set_data64(sqe, i);
        return unknown ? 2u : 1u;
      },
      [&](std::uint64_t i, int res) {
        if (i == kIgnored || res == -ECANCELED) return;
        runs[i].read = res < 0 ? -1 : res;
      });
}

void ReadBatch::Close(std::span<int> fds) {
  std::sort(fds.begin(), fds.end());
  for (std::size_t i = 0; i < fds.size();) {
    std::size_t end = i + 1;
    while (end < fds.size() && fds[end] == fds[end - 1] + 1) ++end;
    if (end - i == 1 || ::close_range(static_cast<unsigned>(fds[i]), static_cast<unsigned>(fds[end - 1]), 0) != 0)
      for (std::size_t j = i; j < end; ++j) ::close(fds[j]);
    i = end;
  }
}

}  // namespace platform
