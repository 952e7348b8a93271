// Any bytes as a registry hive: a hive that parses must take a write, and
// its text must parse again and hold the value written.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/registry_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string why;
  auto doc = platform::RegistryDocument::Parse(bytes, &why);
  if (!doc) return 0;
  const char* key = "HKEY_CURRENT_USER\\Control Panel\\Desktop";
  (void)doc->Get(key, "ScreenSaveTimeOut");
  doc->Set(key, "ScreenSaveTimeOut", platform::RegValue::String("6\"0\\0"));
  doc->Set(key, "N", platform::RegValue::Dword(7));
  doc->Delete(key, "DragFullWindows");
  auto again = platform::RegistryDocument::Parse(doc->Serialize(), &why);
  if (!again) std::abort();
  if (again->Get(key, "ScreenSaveTimeOut") != platform::RegValue::String("6\"0\\0")) std::abort();
  if (again->Get(key, "N") != platform::RegValue::Dword(7)) std::abort();
  return 0;
}
