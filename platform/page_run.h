// A run of a file's pages to read into memory, for a reader that reads
// those of several files at once.
#pragma once

#include <cstdint>

namespace platform {

struct PageRun {
  static constexpr std::int64_t kNotRead = -2;
  int fd;
  std::uint64_t offset;  // in the file
  std::uint32_t size;
  std::uint8_t* to;
  // the bytes read, fewer at the end of the file; -1 on an error; kNotRead
  // when the reader left the run to its owner
  std::int64_t read = kNotRead;
};

}  // namespace platform
