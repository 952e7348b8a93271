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

// A node path as a file path below the folder: each component made safe.
std::string FilePath(const std::string& dir, const std::string& nodePath) {
  std::filesystem::path out = dir;
  std::size_t start = 0;
  while (start <= nodePath.size()) {
    std::size_t end = nodePath.find('/', start);
    if (end == std::string::npos) end = nodePath.size();
    std::string part = nodePath.substr(start, end - start);
    if (part.empty() || part == "." || part == "..") part = "_" + part;
    out /= part;
    start = end + 1;
  }
  return out.string();
}

}  // namespace

void ExtractResources(TExeImage& image, const std::string& dir, const std::function<void(const std::string&)>& report) {
  auto write = [&](const std::string& path, const std::string& bytes) {
    if (!platform::WriteFileWhole(path, bytes, 0644)) report("cannot write " + path + ": " + std::strerror(errno));
  };
  std::vector<std::string> errors;
  std::string bytes, text;
  TStrings lines;
  WalkResources(
      image,
      [&](const WalkNode& n) {
        if (n.list || n.damaged) return;  // the walk told the damage
        // everything is read and converted before anything is written: a
        // resource that cannot be read leaves no file
        try {
          bytes.clear();
          n.item->SaveToStream(bytes);
          lines.clear();
          bool listing = n.item->TypeCode() == rtString || n.item->TypeCode() == rtMenu;
          if (listing) n.item->AssignTo(lines);
          std::string base = FilePath(dir, n.path);
          write(base + Extension(n.item->TypeCode()), bytes);
          if (listing) {
            text.clear();
            for (const std::string& l : lines) text.append(l).append(1, '\n');
            write(base + ".txt", text);
          }
        } catch (const EExeError& e) {
          report(n.path + ": " + e.what());
        }
      },
      errors);
  for (const std::string& e : errors) report(e);
}
