// Whole-file reads and crash-safe replacement of files the program owns.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The file's bytes, or nothing when it does not exist or cannot be read;
// `missing`, when given, tells the two apart (true: there is no such file).
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path, bool* missing = nullptr);

// Writes the bytes to a temporary file beside `path`, flushes it to disk and
// renames it over `path`: readers see the old file or the new one, never a
// torn one, and on failure the old file stays as it was. An existing file
// keeps its permission bits; a new one gets `newMode` (less the umask).
// Missing parent folders are created. Returns false (errno set) on failure.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, unsigned newMode = 0666);

// The same without flushing the file or its folder to disk: a reader and a
// failed write never see a torn file, but a crash soon after may lose it.
// For many new files at once, where a flush each would cost most of the time.
bool WriteFileWhole(const std::filesystem::path& path, std::string_view bytes, unsigned newMode = 0666);

// Many files written below one folder as WriteFileWhole writes each, for
// thousands at once: the folders on the way are created as needed and the
// last file's stay open, and a file in a folder the batch created has no
// older file to keep the mode of. Each file is complete before it has its
// name: a new one is written nameless and then linked under it (one change
// to its folder), one that replaces another, or where the file system or
// kernel cannot do that, is written under a temporary name and renamed
// into place. Writes are not redirected.
class FileBatch {
 public:
  FileBatch(std::filesystem::path root, unsigned newMode = 0666);
  ~FileBatch();
  FileBatch(const FileBatch&) = delete;
  FileBatch& operator=(const FileBatch&) = delete;

  // `relative`: below the root, components separated by "/", none of them
  // empty, "." or "..". Returns false (errno set) on failure.
  bool Write(std::string_view relative, std::string_view bytes);

 private:
  struct Folder {
    std::string name;
    int fd;
    bool created;
  };
  bool Enter(std::string_view folders);
  void Leave(std::size_t depth);

  std::filesystem::path root_;
  unsigned mode_;
  std::vector<Folder> open_;  // the root, then the folders of the last file
  std::string name_;
  bool nameless_ = true;  // false once new files cannot be written nameless here
};

// From here on both write `path` into the open, empty file `fd` instead
// and then call `putInPlace`, whose result they give (a confined process may
// open nothing; another process renames the file, see confinement.h).
void RedirectWrites(const std::filesystem::path& path, int fd, bool (*putInPlace)());

}  // namespace platform
