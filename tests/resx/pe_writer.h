// Builds PE32 and PE32+ files with a resource section from a tree, for the
// resource extractor's tests, fuzz corpus and benchmarks. The section holds,
// in this order, the directories (breadth first), the names, the data
// entries and the data, as resource compilers lay them out.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "platform/little_endian.h"

struct ResNode {
  std::variant<std::uint32_t, std::u16string> key;
  std::vector<ResNode> children;  // a directory when it has children
  std::string data;               // a leaf's bytes
  bool directory = false;         // a directory even without children
};

inline ResNode Dir(std::variant<std::uint32_t, std::u16string> key, std::vector<ResNode> children) {
  return ResNode{std::move(key), std::move(children), {}, true};
}
inline ResNode Leaf(std::variant<std::uint32_t, std::u16string> key, std::string data) {
  return ResNode{std::move(key), {}, std::move(data), false};
}
// A resource as compilers store it: type / name / language 1033 / data.
inline ResNode Named(std::variant<std::uint32_t, std::u16string> name, std::string data) {
  return Dir(std::move(name), {Leaf(1033u, std::move(data))});
}

struct PeOptions {
  bool pe64 = false;
  std::string sectionName = ".rsrc";
  std::uint32_t resourceVirtualAddress = 0x3000;
  std::uint32_t codeSize = 0x10;  // the .text section before the resources
};

struct PeFile {
  std::string bytes;
  std::uint32_t resourceOffset = 0;        // file offset of the resource section
  std::vector<std::uint32_t> directories;  // section offsets of the directories, breadth first
  std::vector<std::uint32_t> dataEntries;  // section offsets of the data entries, in the same order
};

PeFile BuildPe(const std::vector<ResNode>& types, const PeOptions& options = {});
// A PE file around a resource section made by hand; with the default code
// size the section lies at file offset kResourceOffset.
inline constexpr std::uint32_t kResourceOffset = 0x400;
std::string BuildPeAround(const std::string& section, const PeOptions& options = {});
// A hostile tree in a few kB: one type of `count` names that all lead to
// one directory (at section offset SharedDirectory(count)) of `count`
// entries, which all lead to one directory of `count` languages, all for
// one byte of data: count^3 resources on paper.
inline constexpr std::uint32_t SharedDirectory(std::uint32_t count) { return 24 + 16 + 8 * count; }
std::string SharedDirectories(std::uint32_t count);

// Little helpers for fixtures.
using platform::Put16;
using platform::Put32;
void Poke32(std::string& bytes, std::size_t at, std::uint32_t value);
std::string Utf16(const std::u16string& text);
