#include "tests/resx/pe_writer.h"

#include <algorithm>
#include <deque>

void Poke32(std::string& bytes, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
std::string Utf16(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) Put16(out, c);
  return out;
}

namespace {

void Align(std::string& s, std::size_t to) {
  while (s.size() % to) s += '\0';
}

std::string Section(const std::vector<ResNode>& types, PeFile& file, std::uint32_t va) {
  ResNode root = Dir(0u, types);
  // breadth-first order of the directories, then the leaves in the same walk
  std::vector<const ResNode*> dirs, leaves, named;
  std::deque<const ResNode*> queue{&root};
  while (!queue.empty()) {
    const ResNode* n = queue.front();
    queue.pop_front();
    dirs.push_back(n);
    for (const ResNode& c : n->children) {
      if (std::holds_alternative<std::u16string>(c.key)) named.push_back(&c);
      if (c.directory || !c.children.empty())
        queue.push_back(&c);
      else
        leaves.push_back(&c);
    }
  }
  std::uint32_t at = 0;
  std::vector<std::uint32_t> dirAt;
  for (const ResNode* d : dirs) {
    dirAt.push_back(at);
    at += 16 + 8 * static_cast<std::uint32_t>(d->children.size());
  }
  std::vector<std::uint32_t> nameAt;
  for (const ResNode* n : named) {
    nameAt.push_back(at);
    at += 2 + 2 * static_cast<std::uint32_t>(std::get<std::u16string>(n->key).size());
  }
  at = (at + 3) / 4 * 4;
  std::vector<std::uint32_t> entryAt, dataAt;
  for (std::size_t i = 0; i < leaves.size(); ++i, at += 16) entryAt.push_back(at);
  for (const ResNode* l : leaves) {
    dataAt.push_back(at);
    at = (at + static_cast<std::uint32_t>(l->data.size()) + 3) / 4 * 4;
  }
  auto indexOf = [](const std::vector<const ResNode*>& v, const ResNode* n) {
    return static_cast<std::size_t>(std::find(v.begin(), v.end(), n) - v.begin());
  };
  std::string out;
  for (const ResNode* d : dirs) {
    std::uint32_t namedCount = 0;
    for (const ResNode& c : d->children) namedCount += std::holds_alternative<std::u16string>(c.key);
    Put32(out, 0), Put32(out, 0), Put16(out, 4), Put16(out, 0);
    Put16(out, namedCount);
    Put16(out, static_cast<std::uint32_t>(d->children.size()) - namedCount);
    for (const ResNode& c : d->children) {
      if (auto* id = std::get_if<std::uint32_t>(&c.key))
        Put32(out, *id);
      else
        Put32(out, 0x80000000u | nameAt[indexOf(named, &c)]);
      if (c.directory || !c.children.empty())
        Put32(out, 0x80000000u | dirAt[indexOf(dirs, &c)]);
      else
        Put32(out, entryAt[indexOf(leaves, &c)]);
    }
  }
  for (const ResNode* n : named) {
    const std::u16string& text = std::get<std::u16string>(n->key);
    Put16(out, static_cast<std::uint32_t>(text.size()));
    out += Utf16(text);
  }
  Align(out, 4);
  for (std::size_t i = 0; i < leaves.size(); ++i) {
    Put32(out, va + dataAt[i]);
    Put32(out, static_cast<std::uint32_t>(leaves[i]->data.size()));
    Put32(out, 0), Put32(out, 0);
  }
  for (const ResNode* l : leaves) {
    out += l->data;
    Align(out, 4);
  }
  file.directories = dirAt;
  file.dataEntries = entryAt;
  return out;
}

}  // namespace

namespace {
std::uint32_t ResourceOffset(const PeOptions& options) { return 0x200 + (options.codeSize + 0x1FF) / 0x200 * 0x200; }
}  // namespace

std::string BuildPeAround(const std::string& section, const PeOptions& options) {
  const std::uint32_t resourceOffset = ResourceOffset(options);
  std::string b = "MZ";
  b.resize(0x3C, '\0');
  Put32(b, 0x80);
  b.resize(0x80, '\0');
  b += std::string("PE\0\0", 4);
  Put16(b, options.pe64 ? 0x8664 : 0x14C);  // machine
  Put16(b, 2);                              // sections
  Put32(b, 0), Put32(b, 0), Put32(b, 0);
  std::uint32_t optionalSize = options.pe64 ? 240 : 224;
  Put16(b, optionalSize);
  Put16(b, 0x2102);  // a DLL
  std::size_t optional = b.size();
  Put16(b, options.pe64 ? 0x20B : 0x10B);
  b.resize(optional + optionalSize, '\0');
  // what other readers look at: alignments, sizes and the resource data
  // directory (this reader goes by the section's name alone)
  std::uint32_t sectionSize = static_cast<std::uint32_t>(section.size());
  Poke32(b, optional + 32, 0x1000);
  Poke32(b, optional + 36, 0x200);
  Poke32(b, optional + 56, options.resourceVirtualAddress + (sectionSize + 0xFFF) / 0x1000 * 0x1000);
  Poke32(b, optional + 60, 0x200);
  std::size_t directories = optional + (options.pe64 ? 108 : 92);
  Poke32(b, directories, 16);
  Poke32(b, directories + 4 + 2 * 8, options.resourceVirtualAddress);
  Poke32(b, directories + 4 + 2 * 8 + 4, sectionSize);
  auto header = [&](const std::string& name, std::uint32_t va, std::uint32_t size, std::uint32_t raw) {
    std::string n = name;
    n.resize(8, '\0');
    b += n;
    Put32(b, size), Put32(b, va), Put32(b, (size + 0x1FF) / 0x200 * 0x200), Put32(b, raw);
    Put32(b, 0), Put32(b, 0), Put16(b, 0), Put16(b, 0), Put32(b, 0x40000040);
  };
  header(".text", 0x1000, options.codeSize, 0x200);
  header(options.sectionName, options.resourceVirtualAddress, static_cast<std::uint32_t>(section.size()),
         resourceOffset);
  b.resize(0x200, '\0');
  b += std::string(options.codeSize, '\xC3');
  b.resize(resourceOffset, '\0');
  b += section;
  Align(b, 0x200);
  return b;
}

PeFile BuildPe(const std::vector<ResNode>& types, const PeOptions& options) {
  PeFile file;
  file.bytes = BuildPeAround(Section(types, file, options.resourceVirtualAddress), options);
  file.resourceOffset = ResourceOffset(options);
  return file;
}

std::string SharedDirectories(std::uint32_t count) {
  // entries named first, first + 1, ...
  auto directory = [](std::string& s, std::uint32_t entries, std::uint32_t first, std::uint32_t target) {
    Put32(s, 0), Put32(s, 0), Put32(s, 0), Put16(s, 0), Put16(s, static_cast<std::uint16_t>(entries));
    for (std::uint32_t i = 0; i < entries; ++i) Put32(s, first + i), Put32(s, target);
  };
  const std::uint32_t names = 24, shared = SharedDirectory(count), languages = shared + 16 + 8 * count,
                      entry = languages + 16 + 8 * count;
  std::string section;
  directory(section, 1, 10, 0x80000000u | names);  // the root: RCData
  directory(section, count, 1, 0x80000000u | shared);
  directory(section, count, 1, 0x80000000u | languages);
  directory(section, count, 1033, entry);
  Put32(section, 0x3000 + entry + 16), Put32(section, 1), Put32(section, 0), Put32(section, 0);
  section += "x";
  return BuildPeAround(section);
}
