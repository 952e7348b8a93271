#include <gtest/gtest.h>

#include "resx/ExeImage.h"
#include "resx/picture.h"
#include "resx/language_names.h"
#include "resx/resource_walk.h"
#include "tests/resx/fixtures.h"

namespace {

using platform::AsBytes;

std::string Data(TExeImage& image, const std::string& path) {
  TResourceItem* item = FindResource(image, path).Value();
  if (item == nullptr) return "none";
  std::string out;
  item->SaveToStream(out).Check();
  return out;
}

std::string FirstString(TExeImage& image) {
  TStrings lines;
  FindResource(image, "String/1").Value()->AssignTo(lines).Check();
  return lines.empty() ? "" : lines.front();
}

struct Walked {
  std::vector<std::string> paths;
  std::vector<std::string> errors;
};

Walked Walk(TExeImage& image, WalkLanguages languages) {
  Walked walked;
  std::vector<Damage> damages;
  WalkResources(
      image, [&](const WalkNode& n) { walked.paths.push_back(n.path + (n.list ? "/" : "")); }, damages, languages)
      .Check();
  for (const Damage& d : damages) walked.errors.push_back(d.Message());
  return walked;
}

TEST(ResourceLanguages, TheFileListsItsLanguagesSortedAndOnce) {
  PeFile file = ThreeLanguages();
  TExeImage image("three.dll", AsBytes(file.bytes));
  EXPECT_EQ(image.Languages().Value(), (std::vector<std::uint16_t>{0x0405, 0x0407, 0x0409}));
  // the images' languages count, though the explorer shows them through their groups
  PeFile images = BuildPe({Dir(3u, {Dir(1u, {Leaf(0x0411u, IconImage(16, 16, 4))})}),
                           Dir(14u, {Named(1u, IconGroup({{16, 16, 16, 4, 1, 0}}))})});
  TExeImage japanese("j.dll", AsBytes(images.bytes));
  EXPECT_EQ(japanese.Languages().Value(), (std::vector<std::uint16_t>{0x0409, 0x0411}));
  TExeImage none("n.dll", AsBytes(BuildPe({}, PeOptions{false, ".data"}).bytes));
  EXPECT_EQ(none.Languages().damage.flaw, Flaw::NoResources);
}

TEST(ResourceLanguages, NamesOfLanguageIds) {
  EXPECT_EQ(LanguageName(0x0409), "English (United States)");
  EXPECT_EQ(LanguageName(0x0405), "Czech");
  EXPECT_EQ(LanguageName(0x0407), "German (Germany)");
  EXPECT_EQ(LanguageName(0x040C), "French (France)");
  EXPECT_EQ(LanguageName(0x0419), "Russian");
  EXPECT_EQ(LanguageName(0x0000), "Neutral");
  EXPECT_EQ(LanguageName(0x0411), "Japanese");
  EXPECT_EQ(LanguageName(0x0804), "Chinese (Simplified)");
  EXPECT_EQ(LanguageName(0x1809), "English (Ireland)");  // the last of the table
  EXPECT_EQ(LanguageName(0x1234), "Language 0x1234");
  EXPECT_EQ(LanguageName(0xFFFF), "Language 0xFFFF");
  // a language without its country, and a country the table lacks
  EXPECT_EQ(LanguageName(0x0005), "Czech");
  EXPECT_EQ(LanguageName(0x0009), "English");
  EXPECT_EQ(LanguageName(0x0001), "Arabic");
  EXPECT_EQ(LanguageName(0x2C0A), "Spanish (0x2C0A)");
  EXPECT_EQ(LanguageName(0x0C00), "Language 0x0C00");  // of no language
}

TEST(ResourceLanguages, TheChosenLanguageStandsForEachResourceThatHasIt) {
  PeFile file = ThreeLanguages();
  TExeImage image("three.dll", AsBytes(file.bytes));
  const Walked first = Walk(image, WalkLanguages::Standing);
  // by default the first language of each, in file order
  EXPECT_EQ(FirstString(image), R"(0,  "Hello")");
  EXPECT_EQ(Data(image, "RCData/8"), "de");
  EXPECT_EQ(Data(image, "RCData/NAME"), "name-en");
  EXPECT_EQ(FindResource(image, "Icon/MAIN/16 X 16 16 Colors").Value()->Place().Value().size,
            IconImage(16, 16, 4).size());

  image.SetLanguage(0x0405);  // after the tree was built
  EXPECT_EQ(image.Language(), std::optional<std::uint16_t>(0x0405));
  EXPECT_EQ(FirstString(image), R"(0,  "Ahoj")");
  EXPECT_EQ(Data(image, "RCData/7"), "cz");
  EXPECT_EQ(Data(image, "RCData/8"), "de");  // no Czech: the first
  EXPECT_EQ(Data(image, "RCData/NAME"), "name-cz");
  // the images take the language too; the group names them as before
  TResourceItem* icon = FindResource(image, "Icon/MAIN/16 X 16 16 Colors").Value();
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->Place().Value().size, IconImage(32, 32, 4).size());
  TPicture picture;
  icon->AssignTo(picture).Check();
  EXPECT_EQ(picture.width, 32);
  // the same tree, node for node
  EXPECT_EQ(Walk(image, WalkLanguages::Standing).paths, first.paths);

  image.SetLanguage(0x0407);
  EXPECT_EQ(FirstString(image), R"(0,  "Hallo")");
  EXPECT_EQ(Data(image, "RCData/NAME"), "name-en");
  image.SetLanguage(0x0419);  // in none of them
  EXPECT_EQ(FirstString(image), R"(0,  "Hello")");
  image.SetLanguage(std::nullopt);
  EXPECT_EQ(Data(image, "RCData/NAME"), "name-en");
  EXPECT_EQ(FindResource(image, "Icon/MAIN/16 X 16 16 Colors").Value()->Place().Value().size,
            IconImage(16, 16, 4).size());
}

TEST(ResourceLanguages, EveryLanguageIsItsOwnLeaf) {
  PeFile file = ThreeLanguages();
  TExeImage image("three.dll", AsBytes(file.bytes));
  Walked all = Walk(image, WalkLanguages::Every);
  EXPECT_TRUE(all.errors.empty());
  EXPECT_EQ(all.paths, (std::vector<std::string>{"String/",
                                                 "String/1/",
                                                 "String/1/0409",
                                                 "String/1/0405",
                                                 "String/1/0407",
                                                 "RCData/",
                                                 "RCData/NAME/",
                                                 "RCData/NAME/0409",
                                                 "RCData/NAME/0405",
                                                 "RCData/7/",
                                                 "RCData/7/0405",
                                                 "RCData/8/",
                                                 "RCData/8/0407",
                                                 "RCData/8/0409",
                                                 "Icon/",
                                                 "Icon/MAIN/",
                                                 "Icon/MAIN/0409/",
                                                 "Icon/MAIN/0409/16 X 16 16 Colors/",
                                                 "Icon/MAIN/0409/16 X 16 16 Colors/0409",
                                                 "Icon/MAIN/0409/16 X 16 16 Colors/0405"}));
  EXPECT_EQ(Data(image, "RCData/8/0409"), "en");
  EXPECT_EQ(Data(image, "RCData/8/0407"), "de");
  EXPECT_EQ(Data(image, "RCData/7/0409"), "none");
  TResourceItem* czech = FindResource(image, "String/1/0405").Value();
  ASSERT_NE(czech, nullptr);
  EXPECT_EQ(czech->Language(), std::optional<std::uint16_t>(0x0405));
  EXPECT_EQ(czech->TypeName().Value(), "String");
  std::string name, damage;
  EXPECT_TRUE(!czech->AppendDisplayName(name).Found());
  EXPECT_EQ(name, "0405");
  TStrings lines;
  czech->AssignTo(lines).Check();
  EXPECT_EQ(lines.front(), R"(0,  "Ahoj")");
  EXPECT_EQ(FindResource(image, "Icon/MAIN/0409/16 X 16 16 Colors/0405").Value()->Place().Value().size,
            IconImage(32, 32, 4).size());
  // the tree the explorer shows is as before
  EXPECT_EQ(Walk(image, WalkLanguages::Standing).paths,
            (std::vector<std::string>{"String/", "String/1", "RCData/", "RCData/NAME", "RCData/7", "RCData/8", "Icon/",
                                      "Icon/MAIN/", "Icon/MAIN/16 X 16 16 Colors"}));
}

TEST(ResourceLanguages, DamagedLanguageDirectories) {
  // an empty language directory, a language entry that leads to a
  // directory, and one whose id is wider than a LANGID
  PeFile file =
      BuildPe({Dir(10u, {Dir(5u, {Leaf(0x0409u, "en"), Dir(0x0405u, {Leaf(0x0407u, "deep")}), Leaf(0x10405u, "wide")}),
                         Dir(9u, std::vector<ResNode>{}), Named(2u, "two")})});
  TExeImage image("d.dll", AsBytes(file.bytes));
  EXPECT_EQ(image.Languages().Value(), (std::vector<std::uint16_t>{0x0409}));
  image.SetLanguage(0x0405);
  EXPECT_EQ(Data(image, "RCData/5"), "en");  // the Czech entry holds no data of its own
  Walked all = Walk(image, WalkLanguages::Every);
  EXPECT_EQ(all.paths, (std::vector<std::string>{"RCData/", "RCData/5/", "RCData/5/0409", "RCData/9", "RCData/2/",
                                                 "RCData/2/0409"}));
  ASSERT_FALSE(all.errors.empty());
  for (const std::string& e : all.errors) EXPECT_NE(e.find("an empty resource directory"), std::string::npos) << e;

  // a language directory whose count runs past the file: the first
  // language still stands by default; a choice that must read the whole
  // directory reports it, and the other resources keep their choice
  PeFile three = ThreeLanguages();
  const std::uint32_t rcdata8 = three.directories[9];  // breadth first: root, 4 types, RT_ICON/1, String/1, NAME, 7, 8
  three.bytes[three.resourceOffset + rcdata8 + 14] = '\xFF', three.bytes[three.resourceOffset + rcdata8 + 15] = '\x7F';
  TExeImage counts("c.dll", AsBytes(three.bytes));
  EXPECT_EQ(Data(counts, "RCData/8"), "de");
  EXPECT_TRUE(Walk(counts, WalkLanguages::Standing).errors.empty());
  EXPECT_EQ(counts.Languages().Value(), (std::vector<std::uint16_t>{0x0405, 0x0407, 0x0409}));
  counts.SetLanguage(0x0409);
  Walked chosen = Walk(counts, WalkLanguages::Standing);
  ASSERT_FALSE(chosen.errors.empty());
  EXPECT_NE(chosen.errors[0].find("outside the file"), std::string::npos);
  EXPECT_EQ(FirstString(counts), R"(0,  "Hello")");
  Walked every = Walk(counts, WalkLanguages::Every);
  ASSERT_FALSE(every.errors.empty());
  EXPECT_NE(std::find(every.paths.begin(), every.paths.end(), "RCData/7/0405"), every.paths.end());
}

}  // namespace
