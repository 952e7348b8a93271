// A read-only view of a whole file (CreateFileA, CreateFileMappingA and
// MapViewOfFile in one): the file is mapped, never copied, and unmapped
// with the object.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

class FileMapping {
 public:
  enum class Result { Mapped, CannotOpen, CannotMap, CannotView };

  FileMapping() = default;
  ~FileMapping();
  FileMapping(const FileMapping&) = delete;
  FileMapping& operator=(const FileMapping&) = delete;

  // CannotOpen: missing, not a regular file, no access; CannotMap: an empty
  // file (the platform cannot map nothing); CannotView: the mapping failed.
  Result Open(const std::string& path);

  const std::uint8_t* data() const { return data_; }
  std::size_t size() const { return size_; }

 private:
  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace platform
