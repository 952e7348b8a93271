// English names of the Windows language ids (LANGID) that resources are
// most often written in, for the choice of a resource language.
#pragma once

#include <cstdint>
#include <string>

// "Czech" for 0x0405, "Neutral" for 0x0000; an id not in the table reads
// "Language 0x1234" (four upper-case hexadecimal digits).
std::string LanguageName(std::uint16_t langId);
