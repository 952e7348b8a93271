// Any bytes as a PE file, read by language: its languages and their names,
// the tree with the last language chosen, and the tree with every language
// of every resource, each leaf saved into memory. Damage may give errors,
// never a read outside the bytes.
#include <cstdint>

#include "fuzz/resx_leaf.h"
#include "resx/ExeImage.h"
#include "resx/language_names.h"
#include "resx/resource_walk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto save = [](const WalkNode& node) {
    std::string out;
    if (!node.list && !node.damaged) SaveLeaf(*node.item, out);
  };
  // nothing here throws: damage is a value
  TExeImage image("fuzz.dll", Bytes(data, size));
  std::vector<Damage> errors;
  Read<std::vector<std::uint16_t>> languages = image.Languages();
  if (!languages) return 0;
  for (std::uint16_t language : *languages) LanguageName(language);
  if (languages->size() > 1) {  // with one, the tree is the one walked without a choice
    image.SetLanguage(languages->back());
    static_cast<void>(WalkResources(image, save, errors));
  }
  static_cast<void>(WalkResources(image, save, errors, WalkLanguages::Every));
  return 0;
}
