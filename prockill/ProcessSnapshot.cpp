#include "prockill/ProcessSnapshot.h"

namespace {

Toolhelp32& Api() {
  static Toolhelp32 api{platform::CreateToolhelp32Snapshot, platform::Process32First, platform::Process32Next};
  return api;
}

}  // namespace

const Toolhelp32& Toolhelp32Api() { return Api(); }

Toolhelp32 SetToolhelp32Api(const Toolhelp32& api) {
  Toolhelp32 old = Api();
  Api() = api;
  return old;
}

namespace {

bool IsWindowsPath(std::string_view path) {
  bool drive = path.size() >= 2 && path[1] == ':' && ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z');
  return drive || path.find('\\') != std::string_view::npos;
}

}  // namespace

std::string ExeFileName(std::string_view path) {
  if (path.size() >= 2 && path.front() == '[' && path.back() == ']') return std::string(path);
  std::size_t cut = std::string_view::npos;
  if (path.starts_with('/'))
    cut = path.rfind('/');
  else if (IsWindowsPath(path))
    cut = path.find_last_of("\\:");
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}
