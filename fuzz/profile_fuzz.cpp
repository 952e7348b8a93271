// Any bytes as a settings file: parse, read, write one key, and the written
// text must read back the new value while every other key keeps its own.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/profile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  auto doc = platform::ProfileDocument::Parse(bytes);
  auto other = doc.Get("zkratky", "p1");
  doc.Set("nastaveni", "Skin", "Modrý");
  auto again = platform::ProfileDocument::Parse(doc.Serialize());
  if (again.Get("Nastaveni", "skin") != std::optional<std::string>("Modrý")) std::abort();
  if (again.Get("zkratky", "p1") != other) std::abort();
  return 0;
}
