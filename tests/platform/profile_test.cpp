#include <gtest/gtest.h>
#include <unistd.h>

#include "framework/exception.h"
#include "framework/ini_file.h"
#include "platform/profile.h"
#include "tests/support/fsize_limit.h"
#include "tests/support/temp_root.h"

namespace {

std::string Read(std::string_view section, std::string_view key, std::string_view def = "<def>") {
  return TIniFile("Trelmo.ini").ReadString(section, key, def);
}

void Write(std::string_view section, std::string_view key, std::string_view value) {
  TIniFile("Trelmo.ini").WriteString(section, key, value);
}

TEST(SettingsFile, MissingFileGivesDefaultsAndFirstWriteCreatesIt) {
  TempRoot root;
  EXPECT_EQ(Read("zkratky", "p1", "W"), "W");
  EXPECT_FALSE(std::filesystem::exists(root.windows() / "Trelmo.ini"));
  Write("CDROM", "driveCD", "E:");
  EXPECT_EQ(root.Read(root.windows() / "Trelmo.ini"), "[CDROM]\ndriveCD=E:\n");
  EXPECT_EQ(Read("CDROM", "driveCD"), "E:");
  // it may come to hold the program password: its owner's alone, and so it stays
  auto perms = std::filesystem::status(root.windows() / "Trelmo.ini").permissions();
  EXPECT_EQ(perms & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  Write("blokovani", "heslo", "tajne");
  EXPECT_EQ(std::filesystem::status(root.windows() / "Trelmo.ini").permissions(), perms);
}

TEST(SettingsFile, NamesMatchWithoutCaseAndKeepTheirSpelling) {
  TempRoot root;
  Write("Nastaveni", "spousteniVTray", "1");
  EXPECT_EQ(Read("nastaveni", "SpousteniVTray"), "1");
  // replacing keeps the file's spelling, a new key takes the writer's
  Write("NASTAVENI", "SPOUSTENIVTRAY", "0");
  Write("nastaveni", "BlikaniRychlost", "300");
  EXPECT_EQ(root.Read(root.windows() / "Trelmo.ini"), "[Nastaveni]\nspousteniVTray=0\nBlikaniRychlost=300\n");
}

TEST(SettingsFile, EmptyValueIsNotTheDefaultAndFlagsAreExact) {
  TempRoot root;
  root.Write(root.windows() / "Trelmo.ini",
             "[Nastaveni]\nskin=\nSpousteniVTray= 1\nBlikaniPriSpusteni=ano\nX=\"quoted\"\n");
  EXPECT_EQ(Read("Nastaveni", "skin", "WindowsXP (default)"), "");
  // blanks around a value are not part of it; quotes around it are dropped
  EXPECT_EQ(Read("Nastaveni", "SpousteniVTray"), "1");
  EXPECT_EQ(Read("Nastaveni", "BlikaniPriSpusteni"), "ano");
  EXPECT_EQ(Read("Nastaveni", "X"), "quoted");
}

// Reading drops blanks and quotes around a value, so a value that has them
// is written in the quoted form that reading undoes; any other value is
// written as it is, as files and hand edits expect.
TEST(SettingsFile, EveryValueReadsBackAsWritten) {
  TempRoot root;
  for (const char* value : {" heslo ", "\"x\"", "'y'", "a\"b", "  ", "", "\t", "konec\r", "\"", "'a\"", " 'q' ", "\"\"",
                            "''", "\"víc\" \"slov\"", "x = y", "; ne komentář", "[ne sekce]"}) {
    Write("blokovani", "heslo", value);
    EXPECT_EQ(Read("blokovani", "heslo"), value) << '[' << value << ']';
  }
  // the same on replacing a key the file already has and on adding one to a section
  root.Write(root.windows() / "Trelmo.ini", "[blokovani]\r\nheslo=staré\r\n");
  Write("blokovani", "heslo", " a ");
  Write("blokovani", "hesloje", "'1'");
  EXPECT_EQ(root.Read(root.windows() / "Trelmo.ini"), "[blokovani]\r\nheslo=\" a \"\r\nhesloje=\"'1'\"\r\n");
  EXPECT_EQ(Read("blokovani", "heslo"), " a ");
  EXPECT_EQ(Read("blokovani", "hesloje"), "'1'");
  root.Write(root.windows() / "Trelmo.ini", "");
  Write("Obrazky", "CestaPlocha", "C:\\obrázek \"1\".bmp");
  Write("Obrazky", "CestaStart", "\"C:\\");
  Write("Nastaveni", "skin", "Noc 'nová'");
  Write("Nastaveni", "x", "");
  EXPECT_EQ(root.Read(root.windows() / "Trelmo.ini"),
            "[Obrazky]\nCestaPlocha=C:\\obrázek \"1\".bmp\nCestaStart=\"C:\\\n\n[Nastaveni]\nskin=Noc 'nová'\nx=\n");
}

// A line break would end the entry and make the rest of the value lines of
// their own (a section or a key of the file): such a write fails and the file
// stays as it was.
TEST(SettingsFile, AValueWithALineBreakIsNotWritten) {
  TempRoot root;
  Write("blokovani", "hesloje", "1");
  std::string before = root.Read(root.windows() / "Trelmo.ini");
  for (const char* value : {"x\n[blokovani]\nhesloje=0", "\n", "a\r\nb"})
    EXPECT_THROW(Write("blokovani", "heslo", value), Exception);
  EXPECT_THROW(Write("blokovani", "a\nb", "1"), Exception);
  EXPECT_EQ(root.Read(root.windows() / "Trelmo.ini"), before);
}

TEST(SettingsFile, ReadsAreCutAt2047CharactersWithoutSplittingOne) {
  TempRoot root;
  Write("blokovani", "heslo", std::string(3000, 'x'));
  EXPECT_EQ(Read("blokovani", "heslo").size(), 2047u);
  std::string czech;
  for (int i = 0; i < 2100; ++i) czech += "ř";
  Write("blokovani", "heslo", czech);
  std::string cut = Read("blokovani", "heslo");
  EXPECT_EQ(cut.size(), 2047u * 2);
  EXPECT_EQ(cut.substr(0, 4), "řř");
  EXPECT_EQ(Read("x", "y", std::string(2100, 'd')).size(), 2047u);
}

TEST(SettingsFile, HandEditedWindowsFileKeepsItsShape) {
  TempRoot root;
  std::string original =
      "; Ovlix settings\r\n[zkratky]\r\np1=A\r\nunknown line\r\n\r\n"
      "; pictures\r\n[Obrazky]\r\nCestaPlocha=C:\\a.jpg\r\nOther=1\r\n";
  root.Write(root.windows() / "Trelmo.ini", original);
  EXPECT_EQ(Read("ZKRATKY", "P1"), "A");
  Write("zkratky", "p2", "B");
  Write("Obrazky", "CestaPlocha", "D:\\b.jpg");
  Write("CDROM", "driveCD", "E:");
  EXPECT_EQ(root.Read(root.windows() / "Trelmo.ini"),
            "; Ovlix settings\r\n[zkratky]\r\np1=A\r\np2=B\r\nunknown line\r\n\r\n"
            "; pictures\r\n[Obrazky]\r\nCestaPlocha=D:\\b.jpg\r\nOther=1\r\n"
            "\r\n[CDROM]\r\ndriveCD=E:\r\n");
}

TEST(SettingsFile, FailedWriteReportsAndLeavesTheOldFile) {
  TempRoot root;
  Write("Nastaveni", "skin", "Modrý");
  std::string before = root.Read(root.windows() / "Trelmo.ini");
  {
    FileSizeLimit full(16);
    try {
      Write("Nastaveni", "heslo", std::string(100, 'h'));
      FAIL() << "the write should have failed";
    } catch (const Exception& e) {
      EXPECT_STREQ(e.what(), "Unable to write to Trelmo.ini");
    }
  }
  EXPECT_EQ(root.Read(root.windows() / "Trelmo.ini"), before);
  // no temporary file is left behind
  int files = 0;
  for (auto& entry : std::filesystem::directory_iterator(root.windows())) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST(SettingsFile, AWindowsDirectoryThatIsAFileFailsTheWrite) {
  TempRoot root;
  root.Write(root.windows(), "not a folder");
  EXPECT_THROW(Write("CDROM", "driveCD", "E:"), Exception);
  EXPECT_EQ(Read("CDROM", "driveCD", "D:"), "D:");
}

TEST(SettingsFile, TheSameFileFromAnyCurrentFolder) {
  TempRoot root;
  Write("CDROM", "driveCD", "F:");
  auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(root.program());
  EXPECT_EQ(Read("CDROM", "driveCD"), "F:");
  std::filesystem::current_path(cwd);
}

TEST(SettingsFile, DuplicateSectionsAndKeysReadTheFirst) {
  TempRoot root;
  root.Write(root.windows() / "Trelmo.ini", "[a]\nk=1\nk=2\n[A]\nk=3\nj=4\n");
  EXPECT_EQ(Read("a", "k"), "1");
  EXPECT_EQ(Read("a", "j"), "<def>");
}

}  // namespace
