#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <set>

#include "platform/little_endian.h"
#include "resx/resource_extract.h"
#include "resx/resource_walk.h"

#include "resx/picture_scale.h"
#include "resx/png_codec.h"

#include "tests/resx/fixtures.h"
#include "tests/support/temp_root.h"

namespace fs = std::filesystem;

namespace {

struct ToolRun {
  int status;
  std::string out;
};

// Standard error goes with the output, or to `errors` when given.
ToolRun Tool(const std::string& args, const std::string& errors = {}) {
  std::string command = std::string(OVLIX_RESX) + " " + args + (errors.empty() ? " 2>&1" : " 2>'" + errors + "'");
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
                               Dir(3u, {Named(1u, IconImage(16, 16, 4))}), Dir(4u, {Named(1u, menu)}),
                               Dir(6u, {Named(1u, StringBlock(slots))}),
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
  EXPECT_NE(text.out.find("\nBitmap\tBitmap\t"), std::string::npos) << text.out;  // a type is its own type
  EXPECT_NE(text.out.find("    Icon/MAIN/16 X 16 16 Colors\tIconEntry\t"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("A%2FB/1\tA/B\t"), std::string::npos) << text.out;
  ToolRun json = Tool("list --json '" + file_ + "' '" + file_ + "'");
  EXPECT_EQ(json.status, 0);
  EXPECT_EQ(std::count(json.out.begin(), json.out.end(), '\n'), 2);  // one document per file
  EXPECT_NE(json.out.find("{\"path\":\"Icon/MAIN\",\"name\":\"MAIN\",\"type\":\"Icon\""), std::string::npos)
      << json.out;
  EXPECT_NE(json.out.find("\"list\":true,\"depth\":1"), std::string::npos);
  ToolRun missing = Tool("list /nonexistent.dll");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.out.find("Couldn't open: /nonexistent.dll"), std::string::npos);
}

// A wrong command line is answered as GNU programs answer it: what is
// wrong, one line pointing to --help, status 2; --help and --version
// print to standard output with status 0.
TEST(ResxToolCommandLine, AnswersAsGnuProgramsDo) {
  for (auto [line, why] : {std::pair{"", "missing command"}, std::pair{"bogus", "unknown command \"bogus\""},
                           std::pair{"show only-a-file", "wrong arguments for \"show\""},
                           std::pair{"list", "wrong arguments for \"list\""},
                           std::pair{"png f n o --size 100000", "not a size of 1 to 4096 pixels: 100000"},
                           std::pair{"thumbnail -s 0 f o", "not a size of 1 to 4096 pixels: 0"}}) {
    ToolRun run = Tool(line);
    EXPECT_EQ(run.status, 2) << line;
    EXPECT_EQ(run.out, std::string("ovlix-resx: ") + why + "\nTry 'ovlix-resx --help' for more information.\n") << line;
  }
  ToolRun help = Tool("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.starts_with("Usage:\n")) << help.out;
  ToolRun version = Tool("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_TRUE(version.out.starts_with("ovlix-resx (Ovlix) " OVLIX_VERSION "\n")) << version.out;
  EXPECT_NE(version.out.find("License GPLv3+"), std::string::npos);
}

// Offsets print with at least 7 hexadecimal digits and sizes with at least
// 5, in upper case, however many digits the value needs; a depth beyond
// the usual few indents alike.
TEST(ResxToolNumbers, PrintsEveryWidthOfOffsetAndSize) {
  TempRoot root;
  std::vector<ResNode> deep = {Leaf(1033u, "x")};
  for (int depth = 0; depth < 10; ++depth) deep = {Dir(1u, deep)};
  PeFile pe = BuildPe({Dir(10u, {Named(1u, "a"), Named(2u, "b"), Named(3u, "c"), Named(4u, "d")}), Dir(11u, deep)});
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
  EXPECT_NE(run.out.find("\t00001\n  RCData/" + std::string(40000, 'n') + "\tRCData\t"), std::string::npos);
  EXPECT_NE(run.out.find("\t00001\n  RCData/3\tRCData\t"), std::string::npos);
}

// The tool run with its output into `out` (a descriptor) and its errors
// into the file `errors`; the exit status, -1 when it did not exit.
int ToolInto(const std::vector<std::string>& args, int out, const std::string& errors) {
  std::vector<std::string> command = {OVLIX_RESX};
  command.insert(command.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : command) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out, 1);
  posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = 0;
  int status = -1;
  if (::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) ::waitpid(pid, &status, 0);
  posix_spawn_file_actions_destroy(&actions);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Output that cannot be written, to a full disk or a reader gone, is an
// error told on standard error, with status 1, not text silently lost.
TEST_F(ResxTool, OutputThatCannotBeWrittenIsAnError) {
  const std::string errors = (root.dir() / "errors.txt").string();
  int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
  ASSERT_GE(full, 0);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"list", file_}, std::vector<std::string>{"list", "--json", file_},
        std::vector<std::string>{"languages", file_}, std::vector<std::string>{"show", file_, "String/1"},
        std::vector<std::string>{"--help"}}) {
    SCOPED_TRACE(args[0]);
    EXPECT_EQ(ToolInto(args, full, errors), 1);
    EXPECT_NE(root.Read(errors).find("ovlix-resx: cannot write the output: No space left on device"),
              std::string::npos);
  }
  ::close(full);
  int ends[2];
  ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
  ::close(ends[0]);  // no one reads
  EXPECT_EQ(ToolInto({"list", file_}, ends[1], errors), 1);
  EXPECT_NE(root.Read(errors).find("ovlix-resx: cannot write the output: Broken pipe"), std::string::npos);
  ::close(ends[1]);
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
  EXPECT_EQ(root.Read(dir / "Menu" / "1.txt"), "MENUITEM \"Konec\",  9\n");
  EXPECT_TRUE(fs::exists(dir / "Menu" / "1.bin"));
  // every resource in its saved form, and nothing else (no file left
  // under a temporary name)
  TExeImage image(file_);
  std::vector<Damage> errors;
  std::set<fs::path> expected;
  WalkResources(
      image,
      [&](const WalkNode& n) {
        if (n.list) return;
        std::string bytes;
        n.item->SaveToStream(bytes).Check();
        std::uint32_t type = n.item->TypeCode();
        fs::path written = dir / (n.path + (type == rtBitmap ? ".bmp" : type == rtIconEntry ? ".ico" : ".bin"));
        EXPECT_EQ(root.Read(written), bytes) << n.path;
        expected.insert(written);
        if (type == rtString || type == rtMenu) expected.insert(written.replace_extension(".txt"));
      },
      errors)
      .Check();
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
  std::vector<Damage> errors;
  WalkResources(
      image, [](const WalkNode&) {}, errors)
      .Check();  // the file is mapped now
  std::size_t data = pe.resourceOffset - options.resourceVirtualAddress +
                     platform::Get32(platform::AsBytes(pe.bytes), pe.resourceOffset + pe.dataEntries[1]);
  fs::resize_file(file, data + 65536);  // into the large resource, after the bitmap
  std::vector<std::string> problems;
  fs::path dir = root.dir() / "out";
  ExtractResources(image, dir.string(), [&](const std::string& p) { problems.push_back(p); }).Check();
  EXPECT_EQ(root.Read(dir / "Bitmap" / "1.bmp").substr(0, 2), "BM");
  EXPECT_FALSE(fs::exists(dir / "RCData" / "1.bin"));
  EXPECT_FALSE(fs::exists(dir / "RCData" / "2.bin"));
  EXPECT_EQ(problems,
            (std::vector<std::string>{"RCData/1: Damaged file: the file has become shorter since it was opened",
                                      "RCData/2: Damaged file: the file has become shorter since it was opened"}));
}

// Listings of leaves, as text and JSON; damaged data listed as far as it
// was read, with the error on standard error and status 1.
TEST_F(ResxTool, ShowsTheListingOfALeaf) {
  std::string dialog = DialogTemplate(false);
  std::string listed = (root.dir() / "listed.dll").string();
  root.Write(listed,
             BuildPe({Dir(5u, {Named(1u, dialog), Named(2u, dialog.substr(0, dialog.find(Utf16(u"Seznam"))))}),
                      Dir(10u, {Named(1u, "raw")}),
                      Dir(16u, {Named(1u, VersionInfo({{u"040904B0", {{u"ProductName", u"Ovlix"}}}}, {0x04B00409}))}),
                      Dir(24u, {Named(1u, "\xFF\xFE" + Utf16(u"<assembly>\r\n</assembly>"))})})
                 .bytes);
  std::string errors = (root.dir() / "errors.txt").string();
  ToolRun version = Tool("show '" + listed + "' Version/1", errors);
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.substr(0, 20), "FILEVERSION 1.2.3.4\n");
  EXPECT_NE(version.out.find("\n    VALUE \"ProductName\", \"Ovlix\"\n"), std::string::npos) << version.out;
  EXPECT_EQ(root.Read(errors), "");
  ToolRun json = Tool("show '" + listed + "' Version/1 --json", errors);
  EXPECT_EQ(json.status, 0);
  EXPECT_EQ(json.out.substr(0, 35), "{\"type\":\"Version\",\"fixedFileInfo\":{");
  EXPECT_NE(json.out.find("\"strings\":[{\"key\":\"ProductName\",\"value\":\"Ovlix\"}]"), std::string::npos);
  EXPECT_NE(json.out.find("\"translations\":[{\"language\":1033,\"codePage\":1200}]}\n"), std::string::npos)
      << json.out;
  EXPECT_EQ(Tool("show '" + listed + "' 24/1", errors).out, "<assembly>\n</assembly>\n");
  EXPECT_EQ(Tool("show '" + file_ + "' String/1").out, "2,  \"Ahoj\"\n");
  EXPECT_EQ(Tool("show '" + file_ + "' Menu/1 --json").out,
            "{\"type\":\"Menu\",\"lines\":[\"MENUITEM \\\"Konec\\\",  9\"]}\n");

  ToolRun damaged = Tool("show '" + listed + "' Dialog/2", errors);
  EXPECT_EQ(damaged.status, 1);
  EXPECT_EQ(damaged.out.substr(0, 24), "DIALOG 10, 20, 200, 100\n");
  EXPECT_NE(damaged.out.find("COMBOBOX"), std::string::npos);
  EXPECT_EQ(damaged.out.find("END"), std::string::npos);
  EXPECT_EQ(root.Read(errors), "ovlix-resx: " + listed + ": Dialog/2: Damaged file: the dialog ends early\n");
  ToolRun damagedJson = Tool("show '" + listed + "' Dialog/2 --json", errors);
  EXPECT_EQ(damagedJson.status, 1);
  EXPECT_NE(damagedJson.out.find("\"error\":\"Damaged file: the dialog ends early\"}\n"), std::string::npos)
      << damagedJson.out;

  ToolRun raw = Tool("show '" + listed + "' RCData/1");
  EXPECT_EQ(raw.status, 1);
  EXPECT_NE(raw.out.find("RCData/1 has no listing (type RCData)"), std::string::npos) << raw.out;
  EXPECT_EQ(Tool("show '" + listed + "' Dialog").status, 1);  // a list
  EXPECT_EQ(Tool("show '" + listed + "' Dialog/9").status, 1);
  EXPECT_EQ(Tool("show /nonexistent.dll Dialog/1").status, 1);
  EXPECT_EQ(Tool("show '" + listed + "'").status, 2);
  EXPECT_EQ(Tool("show '" + listed + "' Dialog/1 --xml").status, 2);
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

class ResxLanguages : public ::testing::Test {
 protected:
  void SetUp() override { root.Write(file_, ThreeLanguages().bytes); }
  TempRoot root;
  std::string file_ = (root.dir() / "three.dll").string();
};

TEST_F(ResxLanguages, ListInAChosenLanguage) {
  ToolRun first = Tool("list '" + file_ + "'");
  ASSERT_EQ(first.status, 0) << first.out;
  // hexadecimal with or without 0x, in either case
  for (const char* id : {"0x0405", "405", "0X405"}) {
    ToolRun czech = Tool(std::string("list --language ") + id + " '" + file_ + "'");
    ASSERT_EQ(czech.status, 0) << id << czech.out;
    // the same nodes; the leaves that have Czech take its data, with its offset and size
    EXPECT_EQ(std::count(czech.out.begin(), czech.out.end(), '\n'),
              std::count(first.out.begin(), first.out.end(), '\n'));
    EXPECT_NE(czech.out, first.out) << id;
  }
  auto sizeOf = [](const std::string& listing, const std::string& path) {
    std::size_t at = listing.find(path + "\t");
    if (at == std::string::npos) return std::string("none");
    std::size_t end = listing.find('\n', at);
    return listing.substr(end - 5, 5);
  };
  ToolRun czech = Tool("list --language 0x405 '" + file_ + "'");
  EXPECT_EQ(sizeOf(first.out, "RCData/NAME"), "00007");  // name-en
  EXPECT_EQ(sizeOf(czech.out, "RCData/NAME"), "00007");  // name-cz
  EXPECT_EQ(sizeOf(first.out, "Icon/MAIN/16 X 16 16 Colors"), "00128");
  EXPECT_EQ(sizeOf(czech.out, "Icon/MAIN/16 X 16 16 Colors"), "002E8");  // the 32 x 32 image
  ToolRun json = Tool("list --json --language 0407 '" + file_ + "'");
  EXPECT_EQ(json.status, 0);
  EXPECT_NE(json.out.find("{\"path\":\"RCData/8\",\"name\":\"8\""), std::string::npos) << json.out;

  for (const char* wrong : {"--language", "--language 12345", "--language 0x", "--language 40G",
                            "--language 405 --all-languages", "--all-languages --language 405", "--languages"})
    EXPECT_EQ(Tool(std::string("list ") + wrong + " '" + file_ + "'").status, 2) << wrong;
}

TEST_F(ResxLanguages, ListEveryLanguageAndSaveOne) {
  ToolRun all = Tool("list --all-languages '" + file_ + "'");
  ASSERT_EQ(all.status, 0) << all.out;
  EXPECT_NE(all.out.find("\n  RCData/8\tRCData\t"), std::string::npos) << all.out;
  EXPECT_NE(all.out.find("\tlist\n    RCData/8/0407\tRCData\t"), std::string::npos) << all.out;
  EXPECT_NE(all.out.find("\n    RCData/8/0409\tRCData\t"), std::string::npos);
  EXPECT_NE(all.out.find("\n    String/1/0407\tString\t"), std::string::npos);
  EXPECT_EQ(all.out.find("RCData/7/0409"), std::string::npos);
  ToolRun json = Tool("list --all-languages --json '" + file_ + "'");
  EXPECT_NE(json.out.find("{\"path\":\"RCData/NAME/0405\",\"name\":\"0405\",\"type\":\"RCData\""), std::string::npos)
      << json.out;
  EXPECT_NE(json.out.find("\"path\":\"Icon/MAIN/0409/16 X 16 16 Colors/0405\""), std::string::npos);

  std::string out = (root.dir() / "en.bin").string();
  EXPECT_EQ(Tool("save '" + file_ + "' RCData/8/0409 '" + out + "'").status, 0);
  EXPECT_EQ(root.Read(out), "en");
  EXPECT_EQ(Tool("save '" + file_ + "' RCData/8 '" + out + "'").status, 0);
  EXPECT_EQ(root.Read(out), "de");
  EXPECT_EQ(Tool("save '" + file_ + "' RCData/7/0409 '" + out + "'").status, 1);
}

TEST_F(ResxLanguages, TheLanguagesOfAFile) {
  ToolRun run = Tool("languages '" + file_ + "'");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "0405\tCzech\n0407\tGerman (Germany)\n0409\tEnglish (United States)\n");
  EXPECT_EQ(Tool("languages /nonexistent.dll").status, 1);
}

// A PNG the tool wrote (its encoder is checked against Qt's reader on its own).
struct Png {
  explicit Png(const std::string& bytes) { DecodePng(platform::AsBytes(bytes), picture).Check(); }
  std::pair<int, int> size() const { return {picture.width, picture.height}; }
  std::uint32_t pixel(int x, int y) const { return picture.pixels[static_cast<std::size_t>(y * picture.width + x)]; }
  TPicture picture;
};
using Size = std::pair<int, int>;

class ResxPictures : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = (root.dir() / "app.exe").string();
    root.Write(file_, BuildPe({Dir(2u, {Named(7u, Bitmap(40, 3, 2, 24))}),
                               Dir(3u, {Named(1u, IconImage(16, 16, 4)), Named(2u, IconImage(48, 48, 32, true))}),
                               Dir(14u, {Named(1u, IconGroup({{16, 16, 16, 4, 1, 0}, {48, 48, 0, 32, 2, 0}}))})})
                          .bytes);
  }
  std::string Out(const char* name) { return (root.dir() / name).string(); }
  TempRoot root;
  std::string file_;
};

TEST_F(ResxPictures, ThumbnailIsTheIconScaledToFit) {
  EXPECT_EQ(Tool("thumbnail -s 24 '" + file_ + "' '" + Out("t.png") + "'").status, 0);
  Png thumb(root.Read(Out("t.png")));
  ASSERT_EQ(thumb.size(), Size(24, 24));  // from the 48-pixel image, halved
  // each pixel the mean of four: the pattern's, weighted by their alpha
  TPicture source;
  source.width = source.height = 48;
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 48; ++x)
      source.pixels.push_back((x == y ? 0u : 0x80000000u) | (PatternColor(x, y, 32) & 0xFFFFFF));
  TPicture expected = ScaleToFit(source, 24);
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x) {
      ASSERT_EQ(thumb.pixel(x, y), expected.pixels[static_cast<std::size_t>(y * 24 + x)]) << x << "," << y;
    }
  // the default size: 128, the 48-pixel image enlarged
  EXPECT_EQ(Tool("thumbnail '" + file_ + "' '" + Out("d.png") + "'").status, 0);
  EXPECT_EQ(Png(root.Read(Out("d.png"))).size(), Size(128, 128));
  // the 16-pixel one is closest to 16
  EXPECT_EQ(Tool("thumbnail -s 16 '" + file_ + "' '" + Out("s.png") + "'").status, 0);
  EXPECT_EQ(Png(root.Read(Out("s.png"))).size(), Size(16, 16));
}

TEST_F(ResxPictures, NoThumbnailWithoutAnIcon) {
  std::string plain = Out("plain.dll"), text = Out("notes.txt");
  root.Write(plain, BuildPe({Dir(2u, {Named(7u, Bitmap(40, 3, 2, 24))})}).bytes);
  root.Write(text, "not a program");
  std::string broken = root.Read(file_).substr(0, 0x500);  // the resources cut off
  root.Write(Out("cut.exe"), broken);
  for (const std::string& input : {plain, text, Out("cut.exe"), Out("missing.exe")}) {
    ToolRun run = Tool("thumbnail '" + input + "' '" + Out("none.png") + "'");
    EXPECT_EQ(run.status, 1) << input << run.out;
    EXPECT_FALSE(fs::exists(Out("none.png"))) << input;
  }
  EXPECT_EQ(Tool("thumbnail -s 0 '" + file_ + "' '" + Out("none.png") + "'").status, 2);
  EXPECT_EQ(Tool("thumbnail -s 12x '" + file_ + "' '" + Out("none.png") + "'").status, 2);
  EXPECT_FALSE(fs::exists(Out("none.png")));
}

TEST_F(ResxPictures, PngOfImagesGroupsAndBitmaps) {
  // an image as it is: its own size, the AND mask as transparency
  EXPECT_EQ(Tool("png '" + file_ + "' 'Icon/1/16 X 16 16 Colors' '" + Out("i.png") + "'").status, 0);
  Png image(root.Read(Out("i.png")));
  ASSERT_EQ(image.size(), Size(16, 16));
  EXPECT_EQ(image.pixel(3, 3) >> 24, 0u);
  EXPECT_EQ(image.pixel(1, 0), PatternColor(1, 0, 4) | 0xFF000000u);
  // a group: the largest, or the one closest to --size, scaled to fit it
  EXPECT_EQ(Tool("png '" + file_ + "' Icon/1 '" + Out("g.png") + "'").status, 0);
  EXPECT_EQ(Png(root.Read(Out("g.png"))).size(), Size(48, 48));
  EXPECT_EQ(Tool("png '" + file_ + "' Icon/1 '" + Out("g.png") + "' --size 12").status, 0);
  EXPECT_EQ(Png(root.Read(Out("g.png"))).size(), Size(12, 12));
  // a bitmap
  EXPECT_EQ(Tool("png '" + file_ + "' Bitmap/7 '" + Out("b.png") + "'").status, 0);
  Png bitmap(root.Read(Out("b.png")));
  ASSERT_EQ(bitmap.size(), Size(3, 2));
  EXPECT_EQ(bitmap.pixel(2, 1), PatternColor(2, 1, 24) | 0xFF000000u);
  // not a picture
  ToolRun run = Tool("png '" + file_ + "' Icon '" + Out("x.png") + "'");
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_FALSE(fs::exists(Out("x.png")));
}

TEST_F(ResxPictures, TheJsonListingDescribesEveryIconImage) {
  ToolRun run = Tool("list --json '" + file_ + "'");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("\"path\":\"Icon/1/16 X 16 16 Colors\""), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\"image\":{\"width\":16,\"height\":16,\"colors\":16,\"bits\":4,\"png\":false}"),
            std::string::npos);
  EXPECT_NE(run.out.find("\"image\":{\"width\":48,\"height\":48,\"colors\":0,\"bits\":32,\"png\":false}"),
            std::string::npos);
}

// GNOME runs thumbnailers in a sandbox: read-only system folders, no home,
// only the input and the output's folder.
TEST_F(ResxPictures, TheThumbnailerTouchesOnlyItsInputAndOutput) {
  if (std::system("command -v strace >/dev/null 2>&1") != 0) GTEST_SKIP() << "strace is not installed";
  fs::create_directories(root.dir() / "thumbs");
  std::string out = Out("thumbs/x.png"), log = Out("trace.log");
  // the leak checker of a sanitizer build cannot work under a tracer
  std::string command = "ASAN_OPTIONS=detect_leaks=0 strace -f -qq -s 4096 -e trace=%file -o '" + log + "' " +
                        OVLIX_RESX + " thumbnail '" + file_ + "' '" + out + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  ASSERT_TRUE(fs::exists(out));
  std::string trace = root.Read(log);
  std::size_t lines = 0;
  for (std::size_t at = 0, end; at < trace.size(); at = end + 1) {
    end = trace.find('\n', at);
    if (end == std::string::npos) end = trace.size();
    std::string line = trace.substr(at, end - at);
    if (line.find("execve(") != std::string::npos) continue;
    ++lines;
    for (std::size_t q = line.find('"'); q != std::string::npos; q = line.find('"', line.find('"', q + 1) + 1)) {
      std::string path = line.substr(q + 1, line.find('"', q + 1) - q - 1);
      if (path.empty() || path[0] != '/') continue;
      // the input, the output's folder (synced after the rename) and what is in it, the tool itself
      bool allowed = path == file_ || path == Out("thumbs") || path.rfind(Out("thumbs/"), 0) == 0 ||
                     path == fs::canonical(OVLIX_RESX).string() ||
                     // the loader and the system's own files, where the program is not static
                     path.rfind("/usr/", 0) == 0 || path.rfind("/lib", 0) == 0 || path.rfind("/etc/ld.so", 0) == 0 ||
                     path.rfind("/proc/self/", 0) == 0 || path.rfind("/sys/", 0) == 0;
      EXPECT_TRUE(allowed) << line;
    }
  }
  EXPECT_GT(lines, 0u);
}

// A type named outside the file: every type is listed, the damaged one as
// "?", and the damage is told once, not again for its resources' type.
TEST_F(ResxTool, ADamagedTypeNameIsToldOnce) {
  PeFile pe = BuildPe({Dir(2u, {Named(1u, Bitmap(40, 2, 2, 24))}), Dir(u"DAMAGED", {Named(1u, "raw")}),
                       Dir(10u, {Named(1u, "x")}), Dir(24u, {Named(1u, "<a/>")})});
  for (std::size_t entry = 0; entry < 4; ++entry)
    if (static_cast<unsigned char>(pe.bytes[pe.resourceOffset + 16 + 8 * entry + 3]) & 0x80)
      Poke32(pe.bytes, pe.resourceOffset + 16 + 8 * entry, 0xFFFFFFF0u);
  const std::string damaged = (root.dir() / "damaged.dll").string();
  root.Write(damaged, pe.bytes);
  const std::string errors = (root.dir() / "errors.txt").string();
  ToolRun run = Tool("list '" + damaged + "'", errors);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("\n?\t?\t"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("  ?/1\t?\t"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\n24\t24\t"), std::string::npos) << run.out;
  const std::string told = root.Read(errors);
  EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1) << told;
}

}  // namespace
