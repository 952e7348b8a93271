// A temporary platform root and program folder for one test; everything
// the test writes lands below it and is removed afterwards.
#pragma once

#include <filesystem>
#include <string>

class TempRoot {
 public:
  TempRoot();
  ~TempRoot();
  TempRoot(const TempRoot&) = delete;
  TempRoot& operator=(const TempRoot&) = delete;

  const std::filesystem::path& dir() const { return dir_; }
  std::filesystem::path config() const { return dir_ / "config"; }
  std::filesystem::path windows() const { return config() / "windows"; }
  std::filesystem::path program() const { return dir_ / "program"; }
  std::filesystem::path data() const { return dir_ / "data"; }
  std::filesystem::path hive(const char* name) const { return config() / "registry" / name; }

  // Writes a file below the root, making its folders.
  void Write(const std::filesystem::path& path, const std::string& bytes) const;
  std::string Read(const std::filesystem::path& path) const;

 private:
  std::filesystem::path dir_;
};
