#include <gtest/gtest.h>

#include "framework/exception.h"
#include "framework/registry_access.h"
#include "platform/registry.h"
#include "tests/support/fsize_limit.h"
#include "tests/support/temp_root.h"

using platform::RootKey;

namespace {

TEST(Registry, AFreshHiveHoldsWhatAFreshSystemHolds) {
  TempRoot root;
  TRegistry user(RootKey::CurrentUser);
  ASSERT_TRUE(user.OpenKey("\\Control Panel\\Desktop\\", true));
  EXPECT_EQ(user.ReadString("DragFullWindows"), "1");
  EXPECT_EQ(user.ReadString("ScreenSaveTimeOut"), "600");
  TRegistry machine(RootKey::LocalMachine);
  ASSERT_TRUE(machine.OpenKey("\\software\\Microsoft\\windows\\CurrentVersion", true));
  EXPECT_EQ(machine.ReadString("ProgramFilesDir"), "C:\\Program Files");
  EXPECT_EQ(machine.ReadString("NoSuchValue"), "");
  // reading and opening keys that exist writes nothing
  EXPECT_FALSE(std::filesystem::exists(root.config() / "registry"));
}

TEST(Registry, NamesMatchWithoutCaseAndKeepTheCaseOfTheirCreation) {
  TempRoot root;
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Software\\Ovlix Test", true));
  reg.WriteString("MixedCase", "a");
  reg.WriteString("MIXEDCASE", "b");
  TRegistry again;
  ASSERT_TRUE(again.OpenKey("\\SOFTWARE\\ovlix test\\", false));
  EXPECT_EQ(again.ReadString("mixedcase"), "b");
  std::string text = root.Read(root.hive("HKEY_CURRENT_USER.reg"));
  EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Ovlix Test]\n\"MixedCase\"=\"b\"\n"), std::string::npos);
}

TEST(Registry, TypesAreKeptAndAWrongTypeIsReported) {
  TempRoot root;
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer", true));
  reg.WriteInteger("NoRun", 1);
  reg.WriteString("Text", "with \"quotes\" and \\ backslash");
  EXPECT_EQ(reg.ReadInteger("NoRun"), 1);
  EXPECT_EQ(reg.ReadString("Text"), "with \"quotes\" and \\ backslash");
  try {
    reg.ReadString("NoRun");
    FAIL();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Invalid data type for 'NoRun'");
  }
  EXPECT_THROW(reg.ReadInteger("Text"), Exception);
  std::string text = root.Read(root.hive("HKEY_CURRENT_USER.reg"));
  EXPECT_NE(text.find("\"NoRun\"=dword:00000001\n"), std::string::npos);
  EXPECT_NE(text.find("\"Text\"=\"with \\\"quotes\\\" and \\\\ backslash\"\n"), std::string::npos);
}

TEST(Registry, OtherTypesCommentsAndOrderSurviveAWrite) {
  TempRoot root;
  std::string hive =
      "REGEDIT4\r\n\r\n; kept\r\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"
      "\"UserPreferencesMask\"=hex:9e,3e,\\\r\n  07,80\r\n\"Path\"=hex(2):25,00\r\n"
      "\"ScreenSaveTimeOut\"=\"300\"\r\n@=\"default\"\r\n\r\n[HKEY_CURRENT_USER\\Other]\r\n\"A\"=\"1\"\r\n";
  root.Write(root.hive("HKEY_CURRENT_USER.reg"), hive);
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Control Panel\\Desktop", true));
  EXPECT_EQ(reg.ReadString("Path"), "%");  // REG_EXPAND_SZ reads as text
  EXPECT_THROW(reg.ReadString("UserPreferencesMask"), Exception);
  reg.WriteString("ScreenSaveTimeOut", "600");
  reg.WriteString("DragFullWindows", "0");
  std::string expected = hive;
  expected.replace(expected.find("\"300\""), 5, "\"600\"");
  expected.insert(expected.find("\r\n\r\n[HKEY_CURRENT_USER\\Other]") + 2, "\"DragFullWindows\"=\"0\"\r\n");
  EXPECT_EQ(root.Read(root.hive("HKEY_CURRENT_USER.reg")), expected);
}

TEST(Registry, AbsoluteAndRelativeKeyPaths) {
  TempRoot root;
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Software", true));
  ASSERT_TRUE(reg.OpenKey("Ovlix", true));  // relative to the open key
  reg.WriteString("Where", "relative");
  ASSERT_TRUE(reg.OpenKey("\\Software\\Ovlix", false));
  EXPECT_EQ(reg.ReadString("Where"), "relative");
  EXPECT_FALSE(reg.OpenKey("\\No\\Such\\Key", false));
}

TEST(Registry, RemovingAMissingValueIsSilent) {
  TempRoot root;
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer", true));
  EXPECT_FALSE(reg.DeleteValue("NoSetTaskBar"));
  reg.WriteInteger("NoDrives", 8);
  EXPECT_TRUE(reg.DeleteValue("nodrives"));
  EXPECT_FALSE(reg.ValueExists("NoDrives"));
}

TEST(Registry, AFailedWriteReportsAndKeepsTheHive) {
  TempRoot root;
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Control Panel\\Desktop", true));
  reg.WriteString("Wallpaper", "a.bmp");
  std::string before = root.Read(root.hive("HKEY_CURRENT_USER.reg"));
  {
    FileSizeLimit full(64);
    try {
      reg.WriteString("Wallpaper", std::string(200, 'w'));
      FAIL();
    } catch (const Exception& e) {
      EXPECT_STREQ(e.what(), "Failed to set data for 'Wallpaper'");
    }
  }
  EXPECT_EQ(root.Read(root.hive("HKEY_CURRENT_USER.reg")), before);
}

TEST(Registry, ADamagedHiveIsReportedAndKeptAside) {
  TempRoot root;
  std::string garbage = "this is not a hive\n\"x\"=\"y\"\n";
  root.Write(root.hive("HKEY_LOCAL_MACHINE.reg"), garbage);
  TRegistry reg(RootKey::LocalMachine);
  try {
    reg.OpenKey("\\software\\Microsoft\\windows\\CurrentVersion", true);
    FAIL();
  } catch (const std::exception& e) {
    EXPECT_NE(std::string(e.what()).find("HKEY_LOCAL_MACHINE.reg"), std::string::npos);
  }
  EXPECT_EQ(root.Read(root.hive("HKEY_LOCAL_MACHINE.reg.damaged")), garbage);
  // the next access starts from a fresh hive and never touches the damaged one
  ASSERT_TRUE(reg.OpenKey("\\software\\Microsoft\\windows\\CurrentVersion", true));
  EXPECT_EQ(reg.ReadString("ProgramFilesDir"), "C:\\Program Files");
  reg.WriteString("ProgramFilesDir", "D:\\Programy");
  EXPECT_EQ(root.Read(root.hive("HKEY_LOCAL_MACHINE.reg.damaged")), garbage);
}

TEST(RegistryText, MalformedLinesAreDamage) {
  std::string why;
  EXPECT_FALSE(platform::RegistryDocument::Parse("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=\"open\n", &why));
  EXPECT_EQ(why, "line 3: unterminated string");
  EXPECT_FALSE(platform::RegistryDocument::Parse("REGEDIT4\n\"v\"=\"x\"\n", &why));
  EXPECT_FALSE(platform::RegistryDocument::Parse("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=dword:123456789\n", &why));
  EXPECT_FALSE(platform::RegistryDocument::Parse("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=hex:1\n", &why));
  auto doc = platform::RegistryDocument::Parse(
      "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\A]\n\"gone\"=-\n\"n\"=dword:ff\n", &why);
  ASSERT_TRUE(doc);
  EXPECT_EQ(doc->Get("HKEY_CURRENT_USER\\a", "N")->AsDword(), 255u);
  EXPECT_FALSE(doc->Get("HKEY_CURRENT_USER\\A", "gone"));
}

}  // namespace
