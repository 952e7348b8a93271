#include "resx/damage.h"

#include <algorithm>
#include <charconv>

#include "framework/format.h"
#include "resx/ExeImage.h"

namespace {

// Upper-case hexadecimal, as the engine's messages give offsets.
std::string Hex(std::uint64_t value) {
  char digits[16];
  char* end = std::to_chars(digits, digits + sizeof digits, value, 16).ptr;
  std::transform(digits, end, digits, [](char c) { return c >= 'a' ? static_cast<char>(c - 'a' + 'A') : c; });
  return std::string(digits, end);
}

}  // namespace

std::string Damage::Message() const {
  const auto offset = static_cast<long long>(at);
  switch (flaw) {
    case Flaw::None: return {};
    case Flaw::Outside:
      return "Damaged file: " + std::string(what) + " at offset " + Hex(at) + " lies outside the file";
    case Flaw::Shorter: return "Damaged file: the file has become shorter since it was opened";
    case Flaw::Unmapped: return "MapViewOfFile failed";
    case Flaw::BeforeSection: return "Damaged file: resource data at RVA " + Hex(at) + " lies before its section";
    case Flaw::EmptyDirectory: return "Damaged file: an empty resource directory";
    case Flaw::ContainsItself:
      return Format("Damaged file: the resource directory at offset %x contains itself", {offset});
    case Flaw::ListedAlready:
      return Format("Damaged file: the resource directory at offset %x is listed already under another entry",
                    {offset});
    case Flaw::NestsTooDeep: return "Damaged file: resource directories nest too deep";
    case Flaw::TooMany:
      return Format("Damaged file: more than %d resources", {static_cast<long long>(TExeImage::kMaxItems)});
    case Flaw::NotAList: return "ResourceItem is not a list";
    case Flaw::NoLanguages: return "ResourceItem has no languages";
    case Flaw::NoResources: return "Žádné zdroje v tomto souboru.";
    case Flaw::BitmapHeader: return "Bitmap header is not valid";
    case Flaw::BitmapData: return "Bitmap data is not valid";
    case Flaw::IconImage: return "Icon image is not valid";
    case Flaw::PngWrite: return "Cannot write PNG";
    case Flaw::Data: return "Damaged file: " + std::string(what);
    case Flaw::EndsEarly: return "Damaged file: " + std::string(what) + " ends early";
    case Flaw::NoEnd: return "Damaged file: a text in " + std::string(what) + " has no end";
    case Flaw::CannotOpen: return "Couldn't open: " + std::string(what);
    case Flaw::EmptyFile: return "CreateFileMapping failed";
    case Flaw::NotMz: return "unrecognized file format";
    case Flaw::NotPe: return "Not a PE (WIN32 Executable) file";
    case Flaw::NotPicture: return "Cannot assign a " + std::string(what) + " to a TPicture";
    case Flaw::NotLines: return "Cannot assign a " + std::string(what) + " to a TStrings";
    case Flaw::NoListing: return "the resource has no listing";
  }
  return {};
}

void Damage::Check() const {
  if (Found()) throw EExeError(Message());
}
