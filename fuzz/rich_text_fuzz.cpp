// Any bytes as a tip file: the rich-text reader either refuses them or
// gives well-formed UTF-8 text, and so does the plain-text reader.
#include <cstdint>
#include <cstdlib>

#include "dialogs/rich_text.h"
#include "platform/codepage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (std::optional<RichDocument> doc = ParseRichText(bytes)) {
    if (doc->paragraphs.empty()) std::abort();
    std::size_t total = 0;
    for (const RichParagraph& p : doc->paragraphs)
      for (const RichRun& run : p.runs) {
        if (run.text.empty() || !platform::IsValidUtf8(run.text)) std::abort();
        if (run.format.halfPoints < 1 || run.format.halfPoints > 3276) std::abort();
        total += run.text.size();
      }
    if (total > 4 * size) std::abort();  // no text out of nothing
  }
  if (std::optional<std::string> text = DecodePlainText(bytes))
    if (!platform::IsValidUtf8(*text)) std::abort();
  return 0;
}
