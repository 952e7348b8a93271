#include "tests/support/temp_root.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/paths.h"

TempRoot::TempRoot() {
  std::string pattern = (std::filesystem::temp_directory_path() / "ovlix-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  dir_ = pattern;
  std::filesystem::create_directories(program());
  platform::SetConfigRoot(config());
  platform::SetProgramFolder(program().string());
  platform::SetDataHome(data());
}

TempRoot::~TempRoot() {
  platform::SetConfigRoot({});
  platform::SetProgramFolder({});
  platform::SetDataHome({});
  std::error_code ec;
  std::filesystem::permissions(dir_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(dir_, ec);
}

void TempRoot::Write(const std::filesystem::path& path, const std::string& bytes) const {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string TempRoot::Read(const std::filesystem::path& path) const {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}
