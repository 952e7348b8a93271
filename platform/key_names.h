// The 38 key names a hotkey can bind, in their order, with their virtual-key
// codes: "A" to "Z" (65 to 90) and "F1" to "F12" (112 to 123). A name binds
// only when it matches one exactly, case included.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "platform/win32.h"

struct KeyName {
  const char* name;
  UINT code;
};

const std::vector<KeyName>& KeyNameTable();

std::optional<UINT> VirtualKeyFor(std::string_view name);
