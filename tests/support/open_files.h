// What this process holds of a file: a mapping of it, an open descriptor.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

inline bool MappedInThisProcess(const std::string& path) {
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line))
    if (line.find(path) != std::string::npos) return true;
  return false;
}

inline bool OpenInThisProcess(const std::string& path) {
  for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code ec;
    if (std::filesystem::read_symlink(fd.path(), ec) == path) return true;
  }
  return false;
}
