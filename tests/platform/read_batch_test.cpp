#include "platform/read_batch.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_view.h"
#include "tests/support/open_files.h"
#include "tests/support/temp_root.h"

namespace {

using platform::FileView;
using platform::PageRun;
using platform::ReadBatch;

std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 13 + i / 241);
  return bytes;
}

std::string Bytes(const FileView& view, std::uint64_t offset, std::size_t size) {
  const std::uint8_t* at = view.At(offset, size);
  return at == nullptr ? "(none)" : std::string(reinterpret_cast<const char*>(at), size);
}

// Each way a batch reads: through the kernel's ring, and one call at a time.
// Where the kernel refuses a ring (no io_uring, or a sandbox forbids it) the
// ring's way is skipped: its batches would quietly read one call at a time.
class ReadBatchTest : public testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (GetParam() && !ReadBatch(true).UsesRing())
      GTEST_SKIP() << "the kernel refuses an io_uring ring here: the ring's way cannot be tested";
  }
};

// Files opened in a batch, their heads read with the batch, as a caller
// hands them to views. The batch's descriptors are closed with it.
struct Opened {
  Opened(ReadBatch& batch, std::span<const char* const> paths)
      : fds(paths.size()), heads(paths.size()), runs(paths.size()) {
    batch.Open(paths, fds);
    for (std::size_t i = 0; i < paths.size(); ++i) {
      heads[i] = std::make_unique<std::uint8_t[]>(FileView::kHeadSize);
      runs[i] = {fds[i], 0, FileView::kHeadSize, heads[i].get()};
    }
    batch.Read(runs, ReadBatch::Files::Unknown);
  }
  ~Opened() {
    std::erase(fds, -1);
    ReadBatch::Close(fds);
  }
  FileView::Result Into(FileView& view, std::size_t i) { return view.Open(fds[i], std::move(heads[i]), runs[i].read); }
  std::vector<int> fds;
  std::vector<std::unique_ptr<std::uint8_t[]>> heads;
  std::vector<PageRun> runs;
};

// A batch opens what a view opens alone, refuses what it refuses, and the
// views read the same bytes.
TEST_P(ReadBatchTest, OpensFilesAsAViewAlone) {
  TempRoot root;
  auto file = [&](const char* name, const std::string& bytes) {
    std::string path = (root.dir() / name).string();
    root.Write(path, bytes);
    return path;
  };
  std::vector<std::string> paths = {file("long.dll", Pattern(3 * FileView::kHeadSize + 5)),
                                    file("short.dll", Pattern(100)),
                                    file("page.dll", Pattern(FileView::kHeadSize)),
                                    file("empty.dll", ""),
                                    (root.dir() / "none.dll").string(),
                                    root.dir().string(),
                                    "/dev/null",
                                    "/dev/zero"};
  std::vector<const char*> names;
  for (const std::string& p : paths) names.push_back(p.c_str());
  ReadBatch batch(GetParam());
  Opened opened(batch, names);
  for (std::size_t i = 0; i < paths.size(); ++i) {
    SCOPED_TRACE(paths[i]);
    FileView alone, batched;
    FileView::Result expected = alone.Open(paths[i]);
    ASSERT_EQ(opened.Into(batched, i), expected);
    if (expected != FileView::Result::Opened) continue;
    EXPECT_EQ(batched.size(), alone.size());
    EXPECT_EQ(Bytes(batched, 0, batched.size()), Bytes(alone, 0, alone.size()));
  }
}

// A named pipe is refused as pread refuses it, its data left to its reader,
// not taken by a read at an offset that a pipe does not have.
TEST_P(ReadBatchTest, ANamedPipeKeepsItsData) {
  TempRoot root;
  std::string pipe = (root.dir() / "pipe.dll").string();
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
  int writer = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
  ASSERT_GE(writer, 0);
  ASSERT_EQ(::write(writer, "MZ data", 7), 7);
  ReadBatch batch(GetParam());
  std::array<const char*, 1> names = {pipe.c_str()};
  Opened opened(batch, names);
  FileView view;
  EXPECT_EQ(opened.Into(view, 0), FileView::Result::CannotOpen);
  char data[16] = {};
  EXPECT_EQ(::read(reader, data, sizeof data), 7);
  ::close(writer);
  ::close(reader);
}

// The pages views will need are read in the batch: they hold the bytes the
// file had then, and a page past the end is left to the view to find.
TEST_P(ReadBatchTest, PageRunsReadWhatViewsWillNeed) {
  TempRoot root;
  const std::string bytes = Pattern(6 * FileView::kPage);
  std::string path = (root.dir() / "lib.dll").string();
  root.Write(path, bytes);
  ReadBatch batch(GetParam());
  std::array<const char*, 2> names = {path.c_str(), path.c_str()};
  Opened opened(batch, names);
  FileView view, beyond;
  ASSERT_EQ(opened.Into(view, 0), FileView::Result::Opened);
  ASSERT_EQ(opened.Into(beyond, 1), FileView::Result::Opened);
  view.Window(FileView::kPage, 5 * FileView::kPage);
  view.WillNeed(FileView::kPage, 16);
  view.WillNeed(6 * FileView::kPage - 1, 1);
  // a window named past the end of the file, its last page needed
  beyond.Window(FileView::kPage, 8 * FileView::kPage);
  beyond.WillNeed(9 * FileView::kPage - 1, 1);
  std::vector<PageRun> pages;
  view.PagesToRead(pages);
  const std::size_t viewPages = pages.size();
  beyond.PagesToRead(pages);
  batch.Read(pages);
  for (std::size_t i = 0; i < pages.size(); ++i) (i < viewPages ? view : beyond).PagesRead(pages[i]);
  ASSERT_EQ(::truncate(path.c_str(), 2 * FileView::kPage), 0);
  if (batch.UsesRing()) {
    EXPECT_EQ(Bytes(view, FileView::kPage, 16), bytes.substr(FileView::kPage, 16));
    EXPECT_EQ(Bytes(view, 6 * FileView::kPage - 8, 8), bytes.substr(6 * FileView::kPage - 8, 8));
  } else {  // read when asked, from the file as it is now
    EXPECT_EQ(Bytes(view, FileView::kPage, 16), bytes.substr(FileView::kPage, 16));
    EXPECT_EQ(Bytes(view, 6 * FileView::kPage - 8, 8), "(none)");
  }
  // pages not read in the batch come from the file as it is now
  EXPECT_EQ(Bytes(view, 3 * FileView::kPage, 8), "(none)");
  EXPECT_EQ(Bytes(beyond, 9 * FileView::kPage - 1, 1), "(none)");
  EXPECT_EQ(Bytes(beyond, FileView::kPage, 8), bytes.substr(FileView::kPage, 8));
}

// Runs of consecutive descriptors are closed together; descriptors that lie
// between them, not given, stay open.
TEST(ReadBatch, ClosesTheDescriptorsGiven) {
  TempRoot root;
  std::string path = (root.dir() / "lib.dll").string(), other = (root.dir() / "other.bin").string();
  root.Write(path, "MZ");
  root.Write(other, "x");
  std::vector<int> fds;
  int kept = -1;
  for (int i = 0; i < 6; ++i) {
    fds.push_back(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (i == 3) kept = ::open(other.c_str(), O_RDONLY | O_CLOEXEC);
  }
  ASSERT_TRUE(OpenInThisProcess(path));
  ReadBatch::Close(fds);
  EXPECT_FALSE(OpenInThisProcess(path));
  EXPECT_TRUE(OpenInThisProcess(other));
  ::close(kept);
}

// A wait on the ring that fails leaves no read in flight: the buffers the
// reads were given are their callers' again, and nothing is written into
// them later (here a read of an empty pipe, which waits for data, would
// take the data written after).
TEST(ReadBatch, AFailedWaitLeavesNoReadInFlight) {
  int ends[2];
  ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
  std::array<std::uint8_t, 16> buffer{};
  int waits = 0;
  {
    ReadBatch batch(true, [&] { return ++waits == 1 ? -EIO : 0; });
    if (!batch.UsesRing()) GTEST_SKIP() << "the kernel refuses io_uring";
    std::array<PageRun, 1> runs = {PageRun{ends[0], 0, static_cast<std::uint32_t>(buffer.size()), buffer.data()}};
    batch.Read(runs);
    EXPECT_EQ(runs[0].read, PageRun::kNotRead);
    EXPECT_FALSE(batch.UsesRing()) << "a ring that failed is not used again";
    ASSERT_EQ(::write(ends[1], "MZ data", 7), 7);
    int waiting = 0;
    ASSERT_EQ(::ioctl(ends[0], FIONREAD, &waiting), 0);
    EXPECT_EQ(waiting, 7) << "a read left in flight took the data";
    EXPECT_EQ(buffer, (std::array<std::uint8_t, 16>{}));
  }
  ::close(ends[0]);
  ::close(ends[1]);
}

INSTANTIATE_TEST_SUITE_P(Ways, ReadBatchTest, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& way) { return way.param ? "Ring" : "OneCallEach"; });

}  // namespace
