#include "platform/read_batch.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <string>
#include <vector>

#include "tests/support/open_files.h"
#include "tests/support/temp_root.h"

namespace {

using platform::FileView;
using platform::OpenedFile;
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
  std::vector<OpenedFile> opened(names.size());
  batch.Open(names, opened);
  for (std::size_t i = 0; i < paths.size(); ++i) {
    SCOPED_TRACE(paths[i]);
    FileView alone, batched;
    FileView::Result expected = alone.Open(paths[i]);
    ASSERT_EQ(batched.Open(std::move(opened[i])), expected);
    if (expected != FileView::Result::Opened) continue;
    EXPECT_EQ(batched.size(), alone.size());
    EXPECT_EQ(Bytes(batched, 0, batched.size()), Bytes(alone, 0, alone.size()));
  }
  // what no view took is closed with the batch's results
  std::vector<OpenedFile> again(1);
  batch.Open(std::span(names).first(1), again);
  again.clear();
  EXPECT_FALSE(OpenInThisProcess(paths[0]));
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
  std::array<OpenedFile, 1> opened;
  batch.Open(names, opened);
  FileView view;
  EXPECT_EQ(view.Open(std::move(opened[0])), FileView::Result::CannotOpen);
  char data[16] = {};
  EXPECT_EQ(::read(reader, data, sizeof data), 7);
  ::close(writer);
  ::close(reader);
}

// The pages views will need are read in the batch: they hold the bytes the
// file had then, and a page past the end is left to the view to find.
TEST_P(ReadBatchTest, FillReadsWhatViewsWillNeed) {
  TempRoot root;
  const std::string bytes = Pattern(6 * FileView::kPage);
  std::string path = (root.dir() / "lib.dll").string();
  root.Write(path, bytes);
  ReadBatch batch(GetParam());
  std::array<const char*, 2> names = {path.c_str(), path.c_str()};
  std::array<OpenedFile, 2> opened;
  batch.Open(names, opened);
  FileView view, beyond;
  ASSERT_EQ(view.Open(std::move(opened[0])), FileView::Result::Opened);
  ASSERT_EQ(beyond.Open(std::move(opened[1])), FileView::Result::Opened);
  view.Window(FileView::kPage, 5 * FileView::kPage);
  view.WillNeed(FileView::kPage, 16);
  view.WillNeed(6 * FileView::kPage - 1, 1);
  // a window named past the end of the file, its last page needed
  beyond.Window(FileView::kPage, 8 * FileView::kPage);
  beyond.WillNeed(9 * FileView::kPage - 1, 1);
  std::array<FileView*, 2> views = {&view, &beyond};
  batch.Fill(views);
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

INSTANTIATE_TEST_SUITE_P(Ways, ReadBatchTest, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& way) { return way.param ? "Ring" : "OneCallEach"; });

}  // namespace
