#include "prockill/ProcessSnapshot.h"

namespace {

Toolhelp32& Api() {
  static Toolhelp32 api{platform::CreateToolhelp32Snapshot, platform::Process32First,
                        platform::Process32Next};
  return api;
}

}  // namespace

const Toolhelp32& Toolhelp32Api() { return Api(); }

Toolhelp32 SetToolhelp32Api(const Toolhelp32& api) {
  Toolhelp32 old = Api();
  Api() = api;
  return old;
}

std::string ExeFileName(std::string_view path) {
  if (path.size() >= 2 && path.front() == '[' && path.back() == ']') return std::string(path);
  std::size_t cut = path.starts_with('/') ? path.rfind('/') : path.find_last_of("\\:");
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}
