#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>

#include "platform/little_endian.h"
#include "resx/resource_extract.h"
#include "resx/resource_walk.h"

#include "tests/resx/fixtures.h"
#include "tests/support/temp_root.h"

namespace fs = std::filesystem;

namespace {

struct ToolRun {
  int status;
  std::string out;
};

ToolRun Tool(const std::string& args) {
  std::string command = std::string(OVLIX_RESX) + " " + args + " 2>&1";
  ToolRun run{0, {}};
  FILE* pipe = ::popen(command.c_str(), "r");
  char buf[4096];
  while (std::size_t n = std::fread(buf, 1, sizeof buf, pipe)) run.out.append(buf, n);
  run.status = WEXITSTATUS(::pclose(pipe));
  return run;
}

class ResxTool : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<std::u16string> slots(16);
    slots[2] = u"Ahoj";
    std::string menu(4, '\0');
    Put16(menu, 0x80), Put16(menu, 9);
    menu += Utf16(u"Konec") + std::string(2, '\0');
    file_ = (root.dir() / "a b.dll").string();
    root.Write(file_, BuildPe({Dir(u"A/B", {Named(1u, "raw")}), Dir(2u, {Named(101u, Bitmap(40, 2, 2, 24))}),
                               Dir(3u, {Named(1u, IconImage(16, 16, 4))}),
                               Dir(4u, {Named(1u, menu)}), Dir(6u, {Named(1u, StringBlock(slots))}),
                               Dir(14u, {Named(u"MAIN", IconGroup({{16, 16, 16, 4, 1, 0}}))})})
                          .bytes);
  }
  TempRoot root;
  std::string file_;
};

TEST_F(ResxTool, ListsTheTreeAsTheWindowShowsIt) {
  ToolRun text = Tool("list '" + file_ + "'");
  EXPECT_EQ(text.status, 0) << text.out;
  EXPECT_NE(text.out.find("Bitmap/101\tBitmap\t"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("    Icon/MAIN/16 X 16 16 Colors\tIconEntry\t"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("A%2FB/1\tA/B\t"), std::string::npos) << text.out;
  ToolRun json = Tool("list --json '" + file_ + "' '" + file_ + "'");
  EXPECT_EQ(json.status, 0);
  EXPECT_EQ(std::count(json.out.begin(), json.out.end(), '\n'), 2);  // one document per file
  EXPECT_NE(json.out.find("{\"path\":\"Icon/MAIN\",\"name\":\"MAIN\",\"type\":\"Icon\""), std::string::npos) << json.out;
  EXPECT_NE(json.out.find("\"list\":true,\"depth\":1"), std::string::npos);
  ToolRun missing = Tool("list /nonexistent.dll");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.out.find("Couldn't open: /nonexistent.dll"), std::string::npos);
  EXPECT_EQ(Tool("").status, 2);
  EXPECT_EQ(Tool("--help").status, 0);
}

// Offsets print with at least 7 hexadecimal digits and sizes with at least
// 5, in upper case, however many digits the value needs; a depth beyond
// the usual few indents alike.
TEST(ResxToolNumbers, PrintsEveryWidthOfOffsetAndSize) {
  TempRoot root;
  std::vector<ResNode> deep = {Leaf(1033u, "x")};
  for (int depth = 0; depth < 10; ++depth) deep = {Dir(1u, deep)};
  PeFile pe = BuildPe({Dir(10u, {Named(1u, "a"), Named(2u, "b"), Named(3u, "c"), Named(4u, "d")}),
                       Dir(11u, deep)});
  const std::uint32_t values[][2] = {{0xFEDCBA98, 0}, {0x0ABCDEF0, 0xABCDEF01}, {0, 0xF}, {0x10000000, 0x123456}};
  for (int i = 0; i < 4; ++i) {
    Poke32(pe.bytes, pe.resourceOffset + pe.dataEntries[static_cast<std::size_t>(i)], values[i][0]);
    Poke32(pe.bytes, pe.resourceOffset + pe.dataEntries[static_cast<std::size_t>(i)] + 4, values[i][1]);
  }
  std::string file = (root.dir() / "n.dll").string();
  root.Write(file, pe.bytes);
  ToolRun run = Tool("list '" + file + "'");
  EXPECT_EQ(run.status, 0) << run.out;
  for (const char* line : {"\n  RCData/1\tRCData\tFEDCBA98\t00000\n", "\n  RCData/2\tRCData\tABCDEF0\tABCDEF01\n",
                           "\n  RCData/3\tRCData\t0000000\t0000F\n", "\n  RCData/4\tRCData\t10000000\t123456\n"})
    EXPECT_NE(run.out.find(line), std::string::npos) << line << run.out;
  EXPECT_NE(run.out.find("\n" + std::string(20, ' ') + "MessageTable/1/1/1/1/1/1/1/1/1/1\tMessageTable\t"),
            std::string::npos)
      << run.out;
}

// A line longer than the output buffer (a name of 40,000 characters)
// comes out whole, between the lines around it.
TEST(ResxToolNumbers, ListsANameLongerThanTheOutputBuffer) {
  TempRoot root;
  std::u16string name(40000, u'n');
  std::string file = (root.dir() / "long.dll").string();
  root.Write(file, BuildPe({Dir(10u, {Named(1u, "a"), Named(name, "b"), Named(3u, "c")})}).bytes);
  ToolRun run = Tool("list '" + file + "'");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("\t00001\n  RCData/" + std::string(40000, 'n') + "\tRCData\t"),
            std::string::npos);
  EXPECT_NE(run.out.find("\t00001\n  RCData/3\tRCData\t"), std::string::npos);
}

TEST_F(ResxTool, SavesOneLeafAndExtractsThemAll) {
  std::string out = (root.dir() / "b.bmp").string();
  EXPECT_EQ(Tool("save '" + file_ + "' Bitmap/101 '" + out + "'").status, 0);
  EXPECT_EQ(root.Read(out).substr(0, 2), "BM");
  EXPECT_EQ(Tool("save '" + file_ + "' Bitmap/999 '" + out + "'").status, 1);
  EXPECT_EQ(Tool("save '" + file_ + "' Icon/MAIN '" + out + "'").status, 1);  // a list
  fs::path dir = root.dir() / "out";
  ToolRun run = Tool("extract '" + file_ + "' '" + dir.string() + "'");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_TRUE(fs::exists(dir / "Bitmap" / "101.bmp"));
  EXPECT_TRUE(fs::exists(dir / "Icon" / "MAIN" / "16 X 16 16 Colors.ico"));
  EXPECT_TRUE(fs::exists(dir / "A%2FB" / "1.bin"));
  EXPECT_EQ(root.Read(dir / "String" / "1.txt"), "2,  \"Ahoj\"\n");
  EXPECT_EQ(root.Read(dir / "Menu" / "1.txt"), "MENUITEM \"Konec\",  9\nENDPOPUP\n");
  EXPECT_TRUE(fs::exists(dir / "Menu" / "1.bin"));
  // every resource in its saved form, and nothing else (no file left
  // under a temporary name)
  TExeImage image(file_);
  std::vector<std::string> errors;
  std::set<fs::path> expected;
  WalkResources(image, [&](const WalkNode& n) {
    if (n.list) return;
    std::string bytes;
    n.item->SaveToStream(bytes);
    std::uint32_t type = n.item->TypeCode();
    fs::path written = dir / (n.path + (type == rtBitmap ? ".bmp" : type == rtIconEntry ? ".ico" : ".bin"));
    EXPECT_EQ(root.Read(written), bytes) << n.path;
    expected.insert(written);
    if (type == rtString || type == rtMenu) expected.insert(written.replace_extension(".txt"));
  }, errors);
  std::set<fs::path> files;
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(dir))
    if (e.is_regular_file()) files.insert(e.path());
  EXPECT_EQ(files, expected);
}

// A library whose names all lead to one directory of names, whose entries
// all lead to one directory of languages: each resource once, each other
// name that leads there an error.
TEST(ResxToolHostile, ExtractsASharedDirectoryOnce) {
  TempRoot root;
  std::string file = (root.dir() / "shared.dll").string();
  root.Write(file, SharedDirectories(40));
  fs::path dir = root.dir() / "out";
  ToolRun run = Tool("extract '" + file + "' '" + dir.string() + "'");
  EXPECT_EQ(run.status, 1);
  std::size_t files = 0;
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(dir)) files += e.is_regular_file();
  EXPECT_EQ(files, 40u);
  EXPECT_TRUE(fs::exists(dir / "RCData" / "1" / "40.bin"));
  EXPECT_EQ(root.Read(dir / "RCData" / "1" / "40.bin"), "x");
  std::size_t errors = 0;
  for (std::size_t at = 0; (at = run.out.find("is listed already under another entry", at)) != std::string::npos; ++at)
    ++errors;
  EXPECT_EQ(errors, 39u) << run.out;
}

// A library cut short by another program while it is extracted: a
// resource that lost bytes is reported and leaves no file.
TEST(ResxExtract, WritesNothingOfBytesLostToACut) {
  TempRoot root;
  std::string file = (root.dir() / "cut.dll").string();
  // code first: the resources lie past the head read at the opening, and
  // the section is larger than is read into memory: the file is mapped
  PeOptions options;
  options.codeSize = 0x8000;
  options.resourceVirtualAddress = 0x9000;
  PeFile pe = BuildPe(
      {Dir(2u, {Named(1u, Bitmap(40, 4, 4, 24))}), Dir(10u, {Named(1u, std::string(1200000, 'x')), Named(2u, "last")})},
      options);
  root.Write(file, pe.bytes);
  TExeImage image(file);
  std::vector<std::string> errors;
  WalkResources(image, [](const WalkNode&) {}, errors);  // the file is mapped now
  std::size_t data = pe.resourceOffset - options.resourceVirtualAddress +
                     platform::Get32(platform::AsBytes(pe.bytes), pe.resourceOffset + pe.dataEntries[1]);
  fs::resize_file(file, data + 65536);  // into the large resource, after the bitmap
  std::vector<std::string> problems;
  fs::path dir = root.dir() / "out";
  ExtractResources(image, dir.string(), [&](const std::string& p) { problems.push_back(p); });
  EXPECT_EQ(root.Read(dir / "Bitmap" / "1.bmp").substr(0, 2), "BM");
  EXPECT_FALSE(fs::exists(dir / "RCData" / "1.bin"));
  EXPECT_FALSE(fs::exists(dir / "RCData" / "2.bin"));
  EXPECT_EQ(problems, (std::vector<std::string>{"RCData/1: Damaged file: the file has become shorter since it was opened",
                                                "RCData/2: Damaged file: the file has become shorter since it was opened"}));
}

}  // namespace
