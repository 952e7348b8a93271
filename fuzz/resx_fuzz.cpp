// Any bytes as a PE file: open it, walk the whole tree, show and save every
// leaf; then again with the first of its languages chosen, and with every
// language of every resource. Damage may give errors, never a read outside
// the bytes.
#include <cstdint>

#include "resx/ExeImage.h"
#include "resx/language_names.h"
#include "resx/picture.h"
#include "resx/resource_walk.h"

namespace {

void ShowAndSave(const WalkNode& node) {
  if (node.list) return;
  std::string out;
  TPicture picture;
  TStrings lines;
  try {
    node.item->SaveToStream(out);
  } catch (const EExeError&) {
  }
  try {
    node.item->AssignTo(picture);
  } catch (const EExeError&) {
  }
  try {
    node.item->AssignTo(lines);
  } catch (const EExeError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    TExeImage image("fuzz.dll", Bytes(data, size));
    std::vector<std::string> errors;
    WalkResources(image, ShowAndSave, errors);
    std::vector<std::uint16_t> languages = image.Languages();
    if (!languages.empty()) {
      LanguageName(languages.front());
      image.SetLanguage(languages.front());
      WalkResources(image, ShowAndSave, errors);
    }
    WalkResources(image, ShowAndSave, errors, WalkLanguages::Every);
  } catch (const EExeError&) {
  }
  return 0;
}
