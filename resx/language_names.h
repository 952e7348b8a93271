// English names of the Windows language ids (LANGID) that resources are
// most often written in, for the choice of a resource language.
#pragma once

#include <cstdint>
#include <string>

// "Czech" for 0x0405, "Neutral" for 0x0000; the neutral sublanguage of a
// language in the table reads as the language ("Czech" for 0x0005), another
// sublanguage of it with its id ("Spanish (0x2C0A)"); any other id reads
// "Language 0x1234" (four upper-case hexadecimal digits).
std::string LanguageName(std::uint16_t langId);
