#include "resx/language_names.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string_view>

namespace {

struct NamedLanguage {
  std::uint16_t id;
  const char* name;
};

// sorted by id
constexpr NamedLanguage kLanguages[] = {
    {0x0000, "Neutral"},
    {0x0400, "Process Default"},
    {0x0401, "Arabic (Saudi Arabia)"},
    {0x0402, "Bulgarian"},
    {0x0403, "Catalan"},
    {0x0404, "Chinese (Traditional)"},
    {0x0405, "Czech"},
    {0x0406, "Danish"},
    {0x0407, "German (Germany)"},
    {0x0408, "Greek"},
    {0x0409, "English (United States)"},
    {0x040A, "Spanish (Traditional Sort)"},
    {0x040B, "Finnish"},
    {0x040C, "French (France)"},
    {0x040D, "Hebrew"},
    {0x040E, "Hungarian"},
    {0x040F, "Icelandic"},
    {0x0410, "Italian (Italy)"},
    {0x0411, "Japanese"},
    {0x0412, "Korean"},
    {0x0413, "Dutch (Netherlands)"},
    {0x0414, "Norwegian (Bokmal)"},
    {0x0415, "Polish"},
    {0x0416, "Portuguese (Brazil)"},
    {0x0417, "Romansh"},
    {0x0418, "Romanian"},
    {0x0419, "Russian"},
    {0x041A, "Croatian"},
    {0x041B, "Slovak"},
    {0x041D, "Swedish"},
    {0x041E, "Thai"},
    {0x041F, "Turkish"},
    {0x0420, "Urdu"},
    {0x0421, "Indonesian"},
    {0x0422, "Ukrainian"},
    {0x0423, "Belarusian"},
    {0x0424, "Slovenian"},
    {0x0425, "Estonian"},
    {0x0426, "Latvian"},
    {0x0427, "Lithuanian"},
    {0x0429, "Persian"},
    {0x042A, "Vietnamese"},
    {0x042D, "Basque"},
    {0x0436, "Afrikaans"},
    {0x0439, "Hindi"},
    {0x043E, "Malay (Malaysia)"},
    {0x0446, "Punjabi"},
    {0x0448, "Odia"},
    {0x0449, "Tamil"},
    {0x044A, "Telugu"},
    {0x044C, "Malayalam"},
    {0x045B, "Sinhala"},
    {0x0800, "System Default"},
    {0x0804, "Chinese (Simplified)"},
    {0x0807, "German (Switzerland)"},
    {0x0809, "English (United Kingdom)"},
    {0x080A, "Spanish (Mexico)"},
    {0x080C, "French (Belgium)"},
    {0x0810, "Italian (Switzerland)"},
    {0x0813, "Dutch (Belgium)"},
    {0x0814, "Norwegian (Nynorsk)"},
    {0x0816, "Portuguese (Portugal)"},
    {0x081A, "Serbian (Latin)"},
    {0x0C04, "Chinese (Hong Kong)"},
    {0x0C07, "German (Austria)"},
    {0x0C09, "English (Australia)"},
    {0x0C0A, "Spanish (Spain)"},
    {0x0C0C, "French (Canada)"},
    {0x0C1A, "Serbian (Cyrillic)"},
    {0x1004, "Chinese (Singapore)"},
    {0x1009, "English (Canada)"},
    {0x100C, "French (Switzerland)"},
    {0x101A, "Croatian (Bosnia and Herzegovina)"},
    {0x1409, "English (New Zealand)"},
    {0x141A, "Bosnian (Latin)"},
    {0x1809, "English (Ireland)"},
    {0x241A, "Serbian (Latin, Serbia)"},
    {0x281A, "Serbian (Cyrillic, Serbia)"},
};

static_assert(std::is_sorted(std::begin(kLanguages), std::end(kLanguages),
                             [](const NamedLanguage& a, const NamedLanguage& b) { return a.id < b.id; }));

}  // namespace

namespace {

const char* Named(std::uint16_t langId) {
  const NamedLanguage* at = std::lower_bound(std::begin(kLanguages), std::end(kLanguages), langId,
                                             [](const NamedLanguage& l, std::uint16_t id) { return l.id < id; });
  return at != std::end(kLanguages) && at->id == langId ? at->name : nullptr;
}

}  // namespace

std::string LanguageName(std::uint16_t langId) {
  if (const char* name = Named(langId)) return name;
  char hex[8];
  std::snprintf(hex, sizeof hex, "0x%04X", static_cast<unsigned>(langId));
  // another sublanguage of a known language, or the language itself (the
  // neutral sublanguage, as compilers write "LANGUAGE LANG_CZECH, 0"): the
  // language's name from its default sublanguage, without the country
  const std::uint16_t primary = langId & 0x3FF;
  if (const char* base = primary != 0 ? Named(static_cast<std::uint16_t>(0x0400 | primary)) : nullptr) {
    const std::string_view full(base);
    std::string name(full.substr(0, full.find(" (")));
    return langId == primary ? name : name + " (" + hex + ")";
  }
  return std::string("Language ") + hex;
}
