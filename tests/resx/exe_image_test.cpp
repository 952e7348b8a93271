#include "resx/ExeImage.h"
#include "resx/picture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>

#include "framework/format.h"
#include "resx/icon_group_file.h"
#include "resx/resource_walk.h"
#include "tests/resx/fixtures.h"
#include "tests/support/open_files.h"
#include "tests/support/temp_root.h"

namespace {

using platform::AsBytes;

// What opening the bytes and reading the root gives: an image that cannot
// be opened is made all the same, and its damage kept.
std::string OpenError(const std::string& bytes) {
  TExeImage image("x.dll", AsBytes(bytes));
  Damage opening = image.Opening();
  Damage root = image.Resources().damage;
  EXPECT_TRUE(!opening.Found() || root.Message() == opening.Message());
  return root.Message();
}

std::vector<std::string> Names(TResourceList* list) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < list->Items().size(); ++i) {
    std::string name;
    Damage damage = list->AppendItemName(i, name);
    EXPECT_FALSE(damage.Found()) << damage.Message();
    names.push_back(name);
  }
  return names;
}

// An icon group of two images, a shared image in a second group, a bitmap
// under a string name, a named type, type 24 in three languages.
PeFile Sample(bool pe64 = false) {
  std::string big = IconImage(32, 32, 4), small = IconImage(16, 16, 4);
  return BuildPe(
      {
          Dir(u"AVI", {Named(1u, "RIFF")}),
          Dir(2u, {Named(u"LOGO", Bitmap(40, 4, 4, 24)), Named(7u, Bitmap(40, 2, 2, 8))}),
          Dir(3u, {Named(1u, big), Named(2u, small)}),
          Dir(14u, {Named(u"MAINICON", IconGroup({{32, 32, 16, 4, 1, 0}, {16, 16, 16, 4, 2, 0}})),
                    Named(5u, IconGroup({{0, 0, 0, 32, 2, 0}}))}),
          Dir(24u, {Dir(1u, {Leaf(1033u, "<manifest/>"), Leaf(1029u, "<cz/>"), Leaf(1031u, "<de/>")})}),
      },
      PeOptions{pe64});
}

TEST(ExeImage, FilesThatCannotBeOpened) {
  TempRoot root;
  std::string missing = (root.dir() / "není.dll").string();
  {
    TExeImage image(missing);  // opening gives a damage, not an exception
    EXPECT_EQ(image.Opening().flaw, Flaw::CannotOpen);
    EXPECT_EQ(image.Opening().Message(), "Couldn't open: " + missing);
    EXPECT_EQ(image.Resources().damage.Message(), "Couldn't open: " + missing);
    EXPECT_EQ(image.Languages().damage.flaw, Flaw::CannotOpen);
  }
  root.Write(root.dir() / "empty.dll", "");
  {
    TExeImage image((root.dir() / "empty.dll").string());
    EXPECT_EQ(image.Opening().Message(), "CreateFileMapping failed");
    std::vector<Damage> errors;
    bool visited = false;
    Damage none = WalkResources(
        image, [&](const WalkNode&) { visited = true; }, errors);
    EXPECT_EQ(none.flaw, Flaw::EmptyFile);
    EXPECT_FALSE(visited);
    EXPECT_TRUE(errors.empty());
  }
  EXPECT_EQ(OpenError("Toto je text."), "unrecognized file format");
  EXPECT_EQ(OpenError("M"), "unrecognized file format");
  std::string dos = "MZ" + std::string(0x3A, '\0') + std::string("\x40\0\0\0", 4) + std::string(300, '\0');
  EXPECT_EQ(OpenError(dos), "Not a PE (WIN32 Executable) file");
  std::string far = BuildPe({}).bytes;
  Poke32(far, 0x3C, static_cast<std::uint32_t>(far.size() - 100));  // 248 bytes do not fit
  EXPECT_EQ(OpenError(far), "Not a PE (WIN32 Executable) file");
  Poke32(far, 0x3C, 0xFFFFFFF0u);  // negative
  EXPECT_EQ(OpenError(far), "Not a PE (WIN32 Executable) file");
  EXPECT_EQ(OpenError(BuildPe({}, PeOptions{false, ".data"}).bytes), "Žádné zdroje v tomto souboru.");
}

TEST(ExeImage, TheResourceSectionByName) {
  EXPECT_EQ(OpenError(BuildPe({Dir(10u, {Named(1u, "x")})}, PeOptions{false, ".RSRC"}).bytes), "");
  EXPECT_EQ(OpenError(BuildPe({}, PeOptions{false, ".rsrcx"}).bytes), "Žádné zdroje v tomto souboru.");
  EXPECT_EQ(OpenError(BuildPe({}, PeOptions{false, ".rsr"}).bytes), "Žádné zdroje v tomto souboru.");
  EXPECT_EQ(OpenError(BuildPe({}, PeOptions{false, std::string(".rsrc\0\0x", 8)}).bytes),
            "");  // the name ends at its zero
}

TEST(ExeImage, TheTreeAsTheExplorerShowsIt) {
  for (bool pe64 : {false, true}) {  // a 64-bit image has a longer optional header
    PeFile file = Sample(pe64);
    TExeImage image("Sample.DLL", AsBytes(file.bytes));
    TResourceList& root = *image.Resources().Value();
    EXPECT_EQ(Names(&root), (std::vector<std::string>{"AVI", "Bitmap", "Icon", "24"})) << pe64;
    ASSERT_NE(image.IconEntries, nullptr);
    EXPECT_EQ(image.IconEntries->Name(), 3u);
    TResourceItem* avi = root.Items()[0];
    EXPECT_TRUE(avi->IsList().Value());
    EXPECT_EQ(avi->SubList().Value()->TypeCode() & 0x80000000u, 0x80000000u);
    EXPECT_EQ(avi->SubList().Value()->Items()[0]->TypeName().Value(), "AVI");
    EXPECT_EQ(Names(root.Items()[1]->SubList().Value()), (std::vector<std::string>{"LOGO", "7"}));
    TResourceItem* logo = root.Items()[1]->SubList().Value()->Items()[0];
    EXPECT_FALSE(logo->IsList().Value());
    EXPECT_STREQ(logo->ClassName(), "TBitMapResource");
    EXPECT_EQ(logo->TypeName().Value(), "Bitmap");
    EXPECT_EQ(logo->Place().Value().size, Bitmap(40, 4, 4, 24).size());
    EXPECT_EQ(logo->Place().Value().offset, 0x3000u + logo->DataOffset().Value() - file.resourceOffset);
    EXPECT_EQ(logo->SubList().damage.Message(), "ResourceItem is not a list");
    TResourceList& groups = *root.Items()[2]->SubList().Value();
    EXPECT_EQ(Names(&groups), (std::vector<std::string>{"MAINICON", "5"}));
    EXPECT_TRUE(groups.Items()[0]->IsList().Value());
    EXPECT_EQ(groups.Items()[0]->Place().Value().size, 0u);
    EXPECT_EQ(Names(groups.Items()[0]->SubList().Value()),
              (std::vector<std::string>{"32 X 32 16 Colors", "16 X 16 16 Colors"}));
    // the shared image is the same item, named in each group by that
    // group's entry for it, whichever group was built last
    EXPECT_EQ(Names(groups.Items()[1]->SubList().Value()), (std::vector<std::string>{"256 X 256 0 Colors"}));
    EXPECT_EQ(groups.Items()[1]->SubList().Value()->Items()[0], groups.Items()[0]->SubList().Value()->Items()[1]);
    EXPECT_EQ(Names(groups.Items()[0]->SubList().Value()),
              (std::vector<std::string>{"32 X 32 16 Colors", "16 X 16 16 Colors"}));
    // three languages show once, with the first language's data
    TResourceItem* manifest = root.Items()[3]->SubList().Value()->Items()[0];
    EXPECT_EQ(root.Items()[3]->SubList().Value()->Items().size(), 1u);
    EXPECT_EQ(manifest->TypeName().Value(), "24");
    EXPECT_EQ(Names(root.Items()[3]->SubList().Value()), std::vector<std::string>{"1"});
    EXPECT_EQ(root.Items()[3]->SubList().Value()->Items()[0], manifest);
    std::string raw;
    manifest->SaveToStream(raw).Check();
    EXPECT_EQ(raw, "<manifest/>");
    // a list's offset is its directory's place in the section
    EXPECT_EQ(root.Items()[3]->Place().Value().offset, file.directories[5]);
  }
}

TEST(ExeImage, TheListRuleLooksAtTheFirstChildOnly) {
  // a name directory whose first entry is a directory makes the name a list
  PeFile file = BuildPe({Dir(10u, {Dir(1u, {Dir(7u, {Leaf(1033u, "deep")}), Leaf(1029u, "x")}), Named(2u, "two")})});
  TExeImage image("a.dll", AsBytes(file.bytes));
  TResourceList& names = *image.Resources().Value()->Items()[0]->SubList().Value();
  EXPECT_TRUE(names.Items()[0]->IsList().Value());
  EXPECT_FALSE(names.Items()[1]->IsList().Value());
  TResourceList& languages = *names.Items()[0]->SubList().Value();
  EXPECT_EQ(languages.TypeCode(), 10u);  // deeper lists keep their type
  EXPECT_EQ(Names(&languages), (std::vector<std::string>{"7", "1029"}));
}

TEST(ExeImage, WalkPathsTellRepeatedNamesApart) {
  // a group naming two images of one size; names "7" met three times (a
  // damaged directory may repeat a string name); "/" and "%" in a name; an
  // id listed twice in a row, among ids in order
  std::string image = IconImage(16, 16, 4);
  PeFile file = BuildPe({
      Dir(3u, {Named(1u, image), Named(2u, image), Named(3u, image)}),
      Dir(9u, {Named(1u, ""), Named(2u, "a"), Named(2u, "b"), Named(10u, "")}),
      Dir(10u, {Named(u"7", "first"), Named(u"a/b%c", "slash"), Named(u"a%2Fb%25c", "escaped"), Named(7u, "second"),
                Named(u"7", "third")}),
      // more siblings than are compared one by one
      Dir(11u, {Named(u"x", "x1"), Named(u"y", ""), Named(u"x", "x2"), Named(1u, ""), Named(2u, ""), Named(3u, ""),
                Named(u"2", "string 2"), Named(5u, ""), Named(u"x", "x3"), Named(7u, ""), Named(8u, "")}),
      Dir(14u, {Named(1u, IconGroup({{16, 16, 16, 4, 1, 0}, {32, 32, 16, 4, 2, 0}, {16, 16, 16, 4, 3, 0}}))}),
  });
  TExeImage image32("w.dll", AsBytes(file.bytes));
  std::vector<Damage> errors;
  std::vector<std::string> paths, names;
  WalkResources(
      image32,
      [&](const WalkNode& n) {
        paths.push_back(n.path);
        names.emplace_back(n.name);
      },
      errors)
      .Check();
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(paths, (std::vector<std::string>{"Accelerators",
                                             "Accelerators/1",
                                             "Accelerators/2",
                                             "Accelerators/2~2",
                                             "Accelerators/10",
                                             "RCData",
                                             "RCData/7",
                                             "RCData/a%2Fb%25c",
                                             "RCData/a%252Fb%2525c",
                                             "RCData/7~2",
                                             "RCData/7~3",
                                             "MessageTable",
                                             "MessageTable/x",
                                             "MessageTable/y",
                                             "MessageTable/x~2",
                                             "MessageTable/1",
                                             "MessageTable/2",
                                             "MessageTable/3",
                                             "MessageTable/2~2",
                                             "MessageTable/5",
                                             "MessageTable/x~3",
                                             "MessageTable/7",
                                             "MessageTable/8",
                                             "Icon",
                                             "Icon/1",
                                             "Icon/1/16 X 16 16 Colors",
                                             "Icon/1/32 X 32 16 Colors",
                                             "Icon/1/16 X 16 16 Colors~2"}));
  EXPECT_EQ(names[10], "7");  // the number is the path's, not the name's
  auto data = [&](const std::string& path) {
    TResourceItem* item = FindResource(image32, path).Value();
    if (item == nullptr) return std::string("none");
    std::string out;
    item->SaveToStream(out).Check();
    return out;
  };
  EXPECT_EQ(data("RCData/7~3"), "third");
  EXPECT_EQ(data("RCData/7~2"), "second");
  EXPECT_EQ(data("RCData/a%2Fb%25c"), "slash");
  EXPECT_EQ(data("RCData/a%252Fb%2525c"), "escaped");
  EXPECT_EQ(data("RCData/7~4"), "none");
  EXPECT_EQ(data("MessageTable/x~3"), "x3");
  EXPECT_EQ(data("MessageTable/2~2"), "string 2");
  EXPECT_EQ(FindResource(image32, "Icon/1/16 X 16 16 Colors~2").Value(),
            image32.IconEntries->SubList().Value()->Items()[2]);
}

// A visit may pass over a node's branch or end the walk; the icon tools
// find their group that way, without reading the rest of the tree.
TEST(ExeImage, AVisitPassesOverABranchOrStopsTheWalk) {
  PeFile file = Sample(false);
  TExeImage image("s.dll", AsBytes(file.bytes));
  std::vector<Damage> errors;
  std::vector<std::string> all, types, two;
  WalkResources(
      image, [&](const WalkNode& n) { all.push_back(n.path); }, errors)
      .Check();
  WalkResources(
      image,
      [&](WalkNode& n) {
        types.push_back(n.path);
        n.next = WalkOn::Over;
      },
      errors)
      .Check();
  EXPECT_EQ(types, (std::vector<std::string>{"AVI", "Bitmap", "Icon", "24"}));
  WalkResources(
      image,
      [&](WalkNode& n) {
        two.push_back(n.path);
        if (two.size() == 2) n.next = WalkOn::Stop;
      },
      errors)
      .Check();
  ASSERT_GT(all.size(), 2u);
  EXPECT_EQ(two, (std::vector<std::string>{all[0], all[1]}));
  EXPECT_TRUE(errors.empty());
  // the first icon group, and a group's images walked on their own
  TIconResource* group = FirstIconGroup(image).Value();
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->Name(), image.Resources().Value()->Items()[2]->SubList().Value()->Items()[0]->Name());
  std::vector<std::string> images;
  WalkList(
      *group->SubList().Value(), [&](const WalkNode& n) { images.push_back(n.path); }, errors);
  EXPECT_EQ(images, (std::vector<std::string>{"32 X 32 16 Colors", "16 X 16 16 Colors"}));
}

TEST(ExeImage, DamagedFilesGiveAnErrorAndKeepWhatWasRead) {
  PeFile file = Sample();
  // a directory that contains itself: the type directory of AVI points back at the root
  std::string cyclic = file.bytes;
  Poke32(cyclic, file.resourceOffset + 16 + 4, 0x80000000u);
  TExeImage image("c.dll", AsBytes(cyclic));
  std::vector<Damage> errors;
  std::vector<std::string> paths;
  WalkResources(
      image, [&](const WalkNode& n) { paths.push_back(n.path); }, errors)
      .Check();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].Message().find("contains itself"), std::string::npos);
  EXPECT_EQ(paths.front(), "AVI");  // the entry now leads to the root's own directory...
  EXPECT_NE(std::find(paths.begin(), paths.end(), "Bitmap/LOGO"), paths.end());  // ...its siblings stay

  // counts beyond the section, names and data past the end
  std::string counts = file.bytes;
  counts[file.resourceOffset + 14] = '\xFF', counts[file.resourceOffset + 15] = '\x7F';
  errors.clear();
  TExeImage bad("d.dll", AsBytes(counts));
  WalkResources(
      bad, [](const WalkNode&) {}, errors)
      .Check();
  ASSERT_FALSE(errors.empty());
  EXPECT_NE(errors[0].Message().find("outside the file"), std::string::npos);

  std::string data = file.bytes;
  Poke32(data, file.resourceOffset + file.dataEntries[0] + 4, 0x7FFFFFFF);
  TExeImage past("e.dll", AsBytes(data));
  TResourceItem* first = past.Resources().Value()->Items()[0]->SubList().Value()->Items()[0];
  // the damage is where and what, a message only when it is shown
  Read<Bytes> read = first->ResourceData();
  ASSERT_FALSE(read);
  EXPECT_EQ(read.damage.flaw, Flaw::Outside);
  EXPECT_EQ(read.damage.at, *first->DataOffset());
  EXPECT_STREQ(read.damage.what, "resource data");
  char offset[20];
  std::snprintf(offset, sizeof offset, "%llX", static_cast<unsigned long long>(*first->DataOffset()));
  EXPECT_EQ(read.damage.Message(),
            "Damaged file: resource data at offset " + std::string(offset) + " lies outside the file");
  EXPECT_THROW(first->ResourceData().Value(), EExeError);
  std::string out;
  EXPECT_EQ(first->SaveToStream(out).Message(), read.damage.Message());
}

// The walk asks each item whether it is a list, its offset and its size,
// each through what the one before read: damage is told once, not thrice.
TEST(ExeImage, DamageOfAnItemIsToldOnce) {
  std::string section;
  Put32(section, 0), Put32(section, 0), Put32(section, 0), Put16(section, 0), Put16(section, 1);
  Put32(section, 10), Put32(section, 0x80000000u | 24);  // the root: RCData
  Put32(section, 0), Put32(section, 0), Put32(section, 0), Put16(section, 0), Put16(section, 1);
  Put32(section, 1), Put32(section, 0x80000000u | 0x7FFFFF00u);  // a name whose directory lies past the end
  std::string bytes = BuildPeAround(section);
  TExeImage image("d.dll", AsBytes(bytes));
  std::vector<Damage> errors;
  std::vector<std::string> paths;
  std::vector<bool> damaged;
  WalkResources(
      image,
      [&](const WalkNode& n) {
        paths.push_back(n.path);
        damaged.push_back(n.damaged);
      },
      errors)
      .Check();
  EXPECT_EQ(paths, (std::vector<std::string>{"RCData", "RCData/1"}));
  EXPECT_EQ(damaged, (std::vector<bool>{false, true}));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].Message().find("outside the file"), std::string::npos);
}

TEST(ExeImage, AFileCutShortWhileOpenGivesAnError) {
  TempRoot root;
  std::string path = (root.dir() / "cut.dll").string();
  // code first: the resources lie past the headers read at the opening
  PeOptions options;
  options.codeSize = 0x8000;
  options.resourceVirtualAddress = 0x9000;
  root.Write(path, BuildPe({Dir(10u, {Named(1u, "data")})}, options).bytes);
  TExeImage image(path);
  std::filesystem::resize_file(path, 1024);
  std::vector<Damage> errors;
  WalkResources(
      image, [](const WalkNode&) {}, errors)
      .Check();
  ASSERT_FALSE(errors.empty());
  EXPECT_EQ(errors[0].Message(), "Damaged file: the file has become shorter since it was opened");
}

// A directory that many entries lead to is listed under the first; each
// other entry that leads to it is an error, as a directory that contains
// itself is: a file of a few kB is not a tree of billions of resources.
TEST(ExeImage, ASharedDirectoryIsListedOnce) {
  for (std::uint32_t count : {3u, 1500u}) {
    std::string bytes = SharedDirectories(count);
    TExeImage image("f.dll", AsBytes(bytes));
    std::vector<Damage> errors;
    std::vector<std::string> paths;
    WalkResources(
        image, [&](const WalkNode& n) { paths.push_back(n.path); }, errors)
        .Check();
    ASSERT_EQ(paths.size(), 1 + count + count) << count;  // the type, its names, the first name's entries
    EXPECT_EQ(paths[1], "RCData/1");
    EXPECT_EQ(paths[2], "RCData/1/1");
    EXPECT_EQ(paths[1 + count], "RCData/1/" + std::to_string(count));
    EXPECT_EQ(paths.back(), "RCData/" + std::to_string(count));
    ASSERT_EQ(errors.size(), count - 1);
    EXPECT_EQ(errors.front().Message(),
              Format("Damaged file: the resource directory at offset %x is listed already under "
                     "another entry",
                     {static_cast<long long>(kResourceOffset + SharedDirectory(count))}));
  }
  // the list of a name asked again is the same list, no error
  std::string bytes = SharedDirectories(3);
  TExeImage image("f.dll", AsBytes(bytes));
  TResourceItem* name = image.Resources().Value()->Items()[0]->SubList().Value()->Items()[0];
  EXPECT_EQ(name->SubList().Value(), name->SubList().Value());
  EXPECT_THROW(image.Resources().Value()->Items()[0]->SubList().Value()->Items()[1]->SubList().Value(), EExeError);
}

// Bytes of a mapped file that another program cut short read as zeros
// (the program is not killed): no resource that lost a page is shown or
// saved, whatever the conversion.
TEST(ExeImage, BytesLostToACutAreNeverHandedOut) {
  TempRoot root;
  std::string path = (root.dir() / "cut.dll").string();
  std::vector<std::u16string> table(16);
  table[3] = u"Ahoj";
  // code first: the resources lie past the head read at the opening, and
  // the section is larger than is read into memory: the file is mapped
  PeOptions options;
  options.codeSize = 0x8000;
  options.resourceVirtualAddress = 0x9000;
  PeFile pe = BuildPe({Dir(10u, {Named(1u, std::string(1200000, 'x'))}), Dir(2u, {Named(1u, Bitmap(40, 4, 4, 24))}),
                       Dir(3u, {Named(1u, IconImage(16, 16, 4))}), Dir(6u, {Named(1u, StringBlock(table))}),
                       Dir(14u, {Named(1u, IconGroup({{16, 16, 16, 4, 1, 0}}))})},
                      options);
  root.Write(path, pe.bytes);
  TExeImage image(path);
  std::vector<Damage> errors;
  std::map<std::string, TResourceItem*> leaves;
  WalkResources(
      image,
      [&](const WalkNode& n) {
        if (!n.list) leaves[n.path] = n.item;
      },
      errors)
      .Check();
  ASSERT_TRUE(errors.empty());
  ASSERT_EQ(leaves.size(), 4u);
  ASSERT_TRUE(MappedInThisProcess(path));
  // cut into the first resource's data; the directories and data entries stay
  std::size_t data = pe.resourceOffset - options.resourceVirtualAddress +
                     platform::Get32(AsBytes(pe.bytes), pe.resourceOffset + pe.dataEntries[0]);
  std::filesystem::resize_file(path, data + 65536);
  const std::string shorter = "Damaged file: the file has become shorter since it was opened";
  for (auto& [name, item] : leaves) {
    std::string out;
    TPicture picture;
    TStrings lines;
    EXPECT_EQ(item->SaveToStream(out).Message(), shorter) << name;
    EXPECT_EQ(item->ResourceData().damage.Message(), shorter) << name;
    std::uint32_t type = item->TypeCode();
    if (type == rtBitmap || type == rtIconEntry) {
      EXPECT_EQ(item->AssignTo(picture).Message(), shorter) << name;
    }
    if (type == rtString) {
      EXPECT_EQ(item->AssignTo(lines).Message(), shorter) << name;
    }
  }
}

TEST(ExeImage, TruncatedAnywhere) {
  PeFile file = Sample();
  // where the data of the last shown resource ends: any cut before it loses
  // something (the last two entries are languages that are never read)
  std::size_t end = 0;
  for (std::size_t i = 0; i + 2 < file.dataEntries.size(); ++i) {
    std::uint32_t entry = file.dataEntries[i];
    std::size_t at = file.resourceOffset + entry;
    std::uint32_t rva = platform::Get32(AsBytes(file.bytes), at);
    std::uint32_t size = platform::Get32(AsBytes(file.bytes), at + 4);
    end = std::max<std::size_t>(end, file.resourceOffset + rva - 0x3000 + size);
  }
  for (std::size_t size = 1; size < end; size += 5) {
    std::string cut = file.bytes.substr(0, size);
    std::vector<Damage> errors;
    bool damaged = false;
    TExeImage image("t.dll", AsBytes(cut));
    Damage none = WalkResources(
        image,
        [&](const WalkNode& n) {
          if (n.list) return;
          std::string out;
          TPicture picture;
          damaged |= n.item->SaveToStream(out).Found();
          std::uint32_t type = n.item->TypeCode();
          if (type == rtBitmap || type == rtIconEntry) damaged |= n.item->AssignTo(picture).Found();
        },
        errors);
    EXPECT_TRUE(none.Found() || damaged || !errors.empty()) << size;
  }
}

TEST(ExeImage, AClosedImageLeavesNothingOpen) {
  TempRoot root;
  std::string small = (root.dir() / "small.dll").string(), large = (root.dir() / "large.dll").string();
  root.Write(small, Sample().bytes);
  std::string blob(platform::FileView::kMaxWindow + 1, 'x');
  root.Write(large, BuildPe({Dir(10u, {Named(1u, "head"), Named(2u, blob)})}).bytes);
  {
    TExeImage image(small);
    EXPECT_EQ(image.FileName(), small);
    EXPECT_EQ(Names(image.Resources().Value()).size(), 4u);
    EXPECT_FALSE(MappedInThisProcess(small)) << "a small resource section is read, not mapped";
  }
  {
    TExeImage image(large);
    TResourceList& blobs = *image.Resources().Value()->Items()[0]->SubList().Value();
    EXPECT_EQ(blobs.Items()[0]->ResourceData().Value().size(), 4u);
    Bytes data = blobs.Items()[1]->ResourceData().Value();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data.data()), data.size()), blob);
    EXPECT_TRUE(MappedInThisProcess(large));
  }
  for (const std::string& path : {small, large}) {
    EXPECT_FALSE(MappedInThisProcess(path));
    EXPECT_FALSE(OpenInThisProcess(path));
  }
}

}  // namespace

namespace {

// Libraries made by windres and ld from tests/resx/toolchain.rc.
TEST(ExeImage, LibrariesOfARealToolchain) {
  for (const char* name : {"toolchain32.dll", "toolchain64.dll"}) {
    TExeImage image(std::string(OVLIX_TOOLCHAIN_DLLS) + name);
    std::vector<Damage> errors;
    std::vector<std::string> paths;
    std::map<std::string, TResourceItem*> byPath;
    WalkResources(
        image,
        [&](const WalkNode& n) {
          paths.push_back(n.path);
          byPath[n.path] = n.item;
        },
        errors)
        .Check();
    EXPECT_TRUE(errors.empty()) << name;
    EXPECT_EQ(paths, (std::vector<std::string>{"AVI", "AVI/CLIP", "Menu", "Menu/100", "Menu/101", "String", "String/1",
                                               "String/2", "24", "24/1"}))
        << name;
    TStrings lines;
    byPath["Menu/100"]->AssignTo(lines).Check();
    EXPECT_EQ(lines, (TStrings{"POPUP \"&Soubor\"", "  MENUITEM \"&Otevřít\",  1", "  MENUITEM SEPARATOR",
                               "  MENUITEM \"&Konec\",  2", "ENDPOPUP", "POPUP \"&Nápověda\"",
                               "  MENUITEM \"&O programu\",  3", "ENDPOPUP"}));
    byPath["Menu/101"]->AssignTo(lines).Check();
    EXPECT_EQ(lines, (TStrings{"POPUP \"&Úpravy\"", "  MENUITEM \"Kopírovat\",  100", "ENDPOPUP"}));
    byPath["String/2"]->AssignTo(lines).Check();
    EXPECT_EQ(lines, TStrings{"17,  \"Druhý blok\""});
    std::string manifest;
    byPath["24/1"]->SaveToStream(manifest).Check();
    EXPECT_EQ(manifest, "<assembly/>");
  }
}

}  // namespace
