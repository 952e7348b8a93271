#include "platform/file_view.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/open_files.h"
#include "tests/support/temp_root.h"

namespace {

using platform::FileView;

std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 251);
  return bytes;
}

// A file of `bytes` below the root; its path.
std::string PatternFile(const TempRoot& root, const char* name, const std::string& bytes) {
  std::string path = (root.dir() / name).string();
  root.Write(path, bytes);
  return path;
}

// Every read gives the file's own bytes, whether it lies in the head, in a
// part read ahead, across a part's edge or in the mapped rest.
void ExpectFileBytes(const FileView& view, const std::string& bytes, std::uint64_t ahead) {
  const std::uint64_t edges[] = {0,
                                 1,
                                 FileView::kHeadSize - 2,
                                 FileView::kHeadSize,
                                 ahead - 3,
                                 ahead,
                                 ahead + 5000 - 1,
                                 ahead + 5000,
                                 bytes.size() - 8};
  for (std::uint64_t at : edges)
    for (std::uint64_t size : {0u, 1u, 2u, 8u, 300u}) {
      if (at + size > bytes.size()) continue;
      const std::uint8_t* p = view.At(at, size);
      ASSERT_NE(p, nullptr) << at;
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(p), size), bytes.substr(at, size)) << at << "+" << size;
    }
}

TEST(FileView, TheHeadAndAWindowAreReadAndTheRestIsMappedOnFirstNeed) {
  TempRoot root;
  std::string bytes = Pattern(200000), path = PatternFile(root, "lib.dll", bytes);
  {
    FileView view;
    ASSERT_EQ(view.Open(path), FileView::Result::Opened);
    EXPECT_EQ(view.size(), bytes.size());
    view.Window(90000, 5000);
    view.At(0, FileView::kHeadSize);
    view.At(91000, 4000);
    EXPECT_FALSE(MappedInThisProcess(path)) << "the head and the part read ahead need no mapping";
    view.At(95000, 1);
    EXPECT_TRUE(MappedInThisProcess(path));
    ExpectFileBytes(view, bytes, 90000);
  }
  EXPECT_FALSE(MappedInThisProcess(path));
  EXPECT_FALSE(OpenInThisProcess(path));
}

TEST(FileView, BytesInMemoryReadAsAFile) {
  std::string bytes = Pattern(200000);
  FileView view;
  ASSERT_EQ(view.Open(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size())),
            FileView::Result::Opened);
  view.Window(90000, 5000);
  ExpectFileBytes(view, bytes, 90000);
  EXPECT_EQ(view.Open(std::span<const std::uint8_t>()), FileView::Result::Empty);
}

TEST(FileView, WhatIsNotWindowStaysMapped) {
  TempRoot root;
  std::string bytes = Pattern(FileView::kMaxWindow + 10000), path = PatternFile(root, "big.dll", bytes);
  FileView view;
  ASSERT_EQ(view.Open(path), FileView::Result::Opened);
  view.Window(90000, FileView::kMaxWindow + 1);  // too large to copy
  view.Window(bytes.size() - 10, 11);            // past the end, as far as the view knows yet
  view.Window(bytes.size() - 10, 10);
  // the read that meets the end cuts the window to the file
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(view.At(bytes.size() - 5, 5)), 5),
            bytes.substr(bytes.size() - 5));
  EXPECT_EQ(view.At(bytes.size() - 5, 6), nullptr);
  EXPECT_FALSE(view.Shrunk());
  view.Window(bytes.size() + 10, 10);  // past the known end
  EXPECT_EQ(view.At(bytes.size() + 10, 1), nullptr);
  EXPECT_FALSE(MappedInThisProcess(path));
  view.At(91000, 100);
  EXPECT_TRUE(MappedInThisProcess(path));
  ExpectFileBytes(view, bytes, 90000);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(view.At(bytes.size() - 10, 10)), 10),
            bytes.substr(bytes.size() - 10));
}

// Another program may cut a file short while it is viewed: what was read
// stays, what is gone gives nullptr (never a mapping, whose missing pages
// would kill the process with SIGBUS).
TEST(FileView, AFileCutShortAfterItWasOpened) {
  TempRoot root;
  std::string bytes = Pattern(200000), path = PatternFile(root, "lib.dll", bytes);
  FileView view;
  ASSERT_EQ(view.Open(path), FileView::Result::Opened);
  view.Window(90000, 20000);
  ASSERT_NE(view.At(0, 16), nullptr);
  ASSERT_EQ(view.size(), bytes.size());
  std::filesystem::resize_file(path, 50000);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(view.At(0, 16)), 16), bytes.substr(0, 16));
  EXPECT_FALSE(view.Shrunk());
  EXPECT_EQ(view.At(95000, 4), nullptr);  // in the window
  EXPECT_TRUE(view.Shrunk());
  EXPECT_EQ(view.At(150000, 4), nullptr);  // in the rest
  EXPECT_FALSE(MappedInThisProcess(path));

  // the rest of a file too large for windows: cut before its mapping is made
  std::string big = PatternFile(root, "big.dll", Pattern(FileView::kMaxWindow + 10000));
  FileView mapped;
  ASSERT_EQ(mapped.Open(big), FileView::Result::Opened);
  std::filesystem::resize_file(big, 100);
  EXPECT_EQ(mapped.At(FileView::kMaxWindow, 4), nullptr);
  EXPECT_TRUE(mapped.Shrunk());
  EXPECT_FALSE(MappedInThisProcess(big));

  // cut after its mapping is made: the lost pages read as zeros
  std::string cut = PatternFile(root, "cut.dll", Pattern(FileView::kMaxWindow + 10000));
  FileView late;
  ASSERT_EQ(late.Open(cut), FileView::Result::Opened);
  const std::uint8_t* head = late.At(5000, 4);
  const std::uint8_t* tail = late.At(FileView::kMaxWindow, 4);
  ASSERT_NE(tail, nullptr);
  ASSERT_TRUE(MappedInThisProcess(cut));
  std::filesystem::resize_file(cut, 100);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(tail), 4), std::string(4, '\0'));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(head), 4), std::string(4, '\0'));
  EXPECT_TRUE(late.Shrunk());

  // the length is asked only when a read goes past what was read: a cut
  // before that, to no less than the head, is a shorter file
  std::string early = PatternFile(root, "early.dll", bytes);
  FileView shorter;
  ASSERT_EQ(shorter.Open(early), FileView::Result::Opened);
  shorter.Window(40000, 20000);
  std::filesystem::resize_file(early, 50000);
  ASSERT_NE(shorter.At(45000, 8), nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(shorter.At(45000, 8)), 8), bytes.substr(45000, 8));
  EXPECT_EQ(shorter.At(49996, 8), nullptr);  // the window is cut to the file
  EXPECT_FALSE(shorter.Holds(49996, 8));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(shorter.At(49992, 8)), 8), bytes.substr(49992, 8));
  EXPECT_EQ(shorter.size(), 50000u);
  EXPECT_FALSE(shorter.Shrunk());
  EXPECT_FALSE(MappedInThisProcess(early));

  // one into the head, read at the opening, is a cut
  std::string into = PatternFile(root, "head.dll", bytes);
  FileView cutHead;
  ASSERT_EQ(cutHead.Open(into), FileView::Result::Opened);
  std::filesystem::resize_file(into, 100);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(cutHead.At(1000, 8)), 8), bytes.substr(1000, 8));
  EXPECT_EQ(cutHead.At(100000, 8), nullptr);
  EXPECT_TRUE(cutHead.Shrunk());
  EXPECT_FALSE(MappedInThisProcess(into));
}

TEST(FileView, OtherBusErrorsStillEndTheProgram) {
  // the guard of the views is installed, and a mapping of its own is cut
  TempRoot root;
  std::string path = PatternFile(root, "other.bin", Pattern(3 * 4096));
  platform::MappingGuard installed(&path, 1);
  EXPECT_DEATH(
      {
        int fd = ::open(path.c_str(), O_RDONLY);
        auto* bytes = static_cast<volatile const char*>(::mmap(nullptr, 3 * 4096, PROT_READ, MAP_PRIVATE, fd, 0));
        std::filesystem::resize_file(path, 10);
        std::printf("%d\n", bytes[2 * 4096]);
      },
      "");
}

TEST(FileView, FilesThatCannotBeViewed) {
  TempRoot root;
  FileView missing, folder, empty;
  EXPECT_EQ(missing.Open((root.dir() / "none.dll").string()), FileView::Result::CannotOpen);
  EXPECT_EQ(folder.Open(root.dir().string()), FileView::Result::CannotOpen);
  root.Write(root.dir() / "empty.dll", "");
  EXPECT_EQ(empty.Open((root.dir() / "empty.dll").string()), FileView::Result::Empty);
  // a named pipe with no writer: refused at once, not waited on for ever
  std::string pipe = (root.dir() / "pipe.dll").string();
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  FileView fifo;
  EXPECT_EQ(fifo.Open(pipe), FileView::Result::CannotOpen);
  FileView nothing;
  EXPECT_EQ(nothing.Open("/dev/null"), FileView::Result::CannotOpen);
  // a device that reads for ever is as long as its head, and never mapped
  FileView zeros;
  ASSERT_EQ(zeros.Open("/dev/zero"), FileView::Result::Opened);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(zeros.At(0, 8)), 8), std::string(8, '\0'));
  EXPECT_EQ(zeros.At(FileView::kHeadSize, 1), nullptr);
  EXPECT_EQ(zeros.size(), FileView::kHeadSize);
  EXPECT_FALSE(MappedInThisProcess("/dev/zero"));
}

}  // namespace
