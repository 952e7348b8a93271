#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

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
}

TEST_F(ResxTool, WritesTheWholeIconGroup) {
  std::string out = (root.dir() / "app.ico").string();
  std::string image = IconImage(16, 16, 4);
  ToolRun run = Tool("icon '" + file_ + "' '" + out + "'");  // the group Windows shows
  EXPECT_EQ(run.status, 0) << run.out;
  std::string ico = root.Read(out);
  EXPECT_EQ(ico.substr(0, 6), std::string("\0\0\1\0\1\0", 6));
  EXPECT_EQ(ico.substr(22), image);
  fs::remove(out);
  EXPECT_EQ(Tool("icon '" + file_ + "' Icon/MAIN '" + out + "'").status, 0);
  EXPECT_EQ(root.Read(out), ico);

  run = Tool("icon '" + file_ + "' Bitmap/101 '" + out + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("Bitmap/101 is not an icon or cursor group"), std::string::npos) << run.out;

  // a group naming an image the file lacks: the others are written, the gap reported
  std::string gaps = (root.dir() / "gaps.dll").string();
  root.Write(gaps, BuildPe({Dir(3u, {Named(1u, image)}),
                            Dir(14u, {Named(1u, IconGroup({{32, 32, 0, 32, 4, 0}, {16, 16, 16, 4, 1, 0}}))})})
                       .bytes);
  run = Tool("icon '" + gaps + "' '" + out + "'");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("the group names image 4, which the file lacks"), std::string::npos) << run.out;
  EXPECT_EQ(root.Read(out).substr(22), image);

  // no icon at all: status 2, nothing written
  std::string plain = (root.dir() / "plain.dll").string();
  root.Write(plain, BuildPe({Dir(2u, {Named(101u, Bitmap(40, 2, 2, 24))})}).bytes);
  std::string none = (root.dir() / "none.ico").string();
  run = Tool("icon '" + plain + "' '" + none + "'");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.out.find("no icon group in this file"), std::string::npos) << run.out;
  EXPECT_FALSE(fs::exists(none));
}

}  // namespace
