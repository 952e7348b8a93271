#include "resx/resource_extract.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/atomic_file.h"
#include "resx/resource_walk.h"

namespace {

// The saved form's extension.
const char* Extension(std::uint32_t typeCode) {
  switch (typeCode) {
    case rtBitmap: return ".bmp";
    case rtCursorEntry: return ".cur";
    case rtIconEntry: return ".ico";
    default: return ".bin";
  }
}

// A node path as a path below the folder: each component made safe.
void AppendSafe(std::string& out, std::string_view nodePath) {
  std::size_t start = 0;
  while (start <= nodePath.size()) {
    std::size_t end = nodePath.find('/', start);
    if (end == std::string_view::npos) end = nodePath.size();
    std::string_view part = nodePath.substr(start, end - start);
    if (start > 0) out += '/';
    if (part.empty() || part == "." || part == "..") out += '_';
    out += part;
    start = end + 1;
  }
}

}  // namespace

Damage ExtractResources(TExeImage& image, const std::string& dir,
                        const std::function<void(const std::string&)>& report) {
  platform::FileBatch files(dir, 0644);
  std::string relative;
  auto write = [&](const char* extension, const std::string& bytes) {
    const std::size_t base = relative.size();
    relative += extension;
    if (!files.Write(relative, bytes))
      report("cannot write " + (std::filesystem::path(dir) / relative).string() + ": " + std::strerror(errno));
    relative.resize(base);
  };
  std::vector<Damage> errors;
  std::string bytes, text;
  TStrings lines;
  Damage none = WalkResources(
      image,
      [&](const WalkNode& n) {
        if (n.list || n.damaged) return;  // the walk told the damage
        // everything is read and converted before anything is written: a
        // resource that cannot be read leaves no file
        bytes.clear();
        Damage damage = n.item->SaveToStream(bytes);
        const bool listing = n.item->TypeCode() == rtString || n.item->TypeCode() == rtMenu;
        if (listing && !damage.Found()) damage = n.item->AssignTo(lines);
        if (damage.Found()) {
          report(n.path + ": " + damage.Message());
          return;
        }
        relative.clear();
        AppendSafe(relative, n.path);
        write(Extension(n.item->TypeCode()), bytes);
        if (listing) {
          text.clear();
          for (const std::string& l : lines) text.append(l).append(1, '\n');
          write(".txt", text);
        }
      },
      errors);
  if (none.Found()) return none;
  for (const Damage& e : errors) report(e.Message());
  return {};
}
