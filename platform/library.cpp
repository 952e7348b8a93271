#include "platform/library.h"

#include <map>

#include "platform/paths.h"
#include "platform/text_util.h"
#include "platform/trash.h"

namespace platform {
namespace {

constexpr HANDLE kShell32 = 0x7C9C0000;  // where the platform maps it, for flavour

std::map<HANDLE, int>& LoadCounts() {
  static std::map<HANDLE, int> counts;
  return counts;
}

}  // namespace

HANDLE LoadLibraryA(std::string_view fileName) {
  if (!EqualsNoCase(fileName, "Shell32.dll") && !EqualsNoCase(fileName, "Shell32")) return 0;
  if (DataHome().empty()) return 0;
  ++LoadCounts()[kShell32];
  return kShell32;
}

void* GetProcAddress(HANDLE module, std::string_view procName) {
  if (LoadCounts().count(module) == 0) return nullptr;
  if (procName == "SHEmptyRecycleBinA") return reinterpret_cast<void*>(&SHEmptyRecycleBinA);
  return nullptr;
}

BOOL FreeLibrary(HANDLE module) {
  auto it = LoadCounts().find(module);
  if (it == LoadCounts().end()) return FALSE_;
  if (--it->second == 0) LoadCounts().erase(it);
  return TRUE_;
}

}  // namespace platform
