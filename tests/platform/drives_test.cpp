#include <gtest/gtest.h>

#include "platform/drives.h"
#include "platform/system_info.h"
#include "tests/support/temp_root.h"

namespace {

TEST(DriveMap, DefaultsAndTheUsersMap) {
  TempRoot root;
  EXPECT_EQ(platform::GetDriveTypeA("C:"), DRIVE_FIXED);
  EXPECT_EQ(platform::GetDriveTypeA("C:\\"), DRIVE_FIXED);
  EXPECT_EQ(platform::GetDriveTypeA("Q:"), DRIVE_NO_ROOT_DIR);
  std::filesystem::create_directories(root.dir() / "usb");
  root.Write(root.config() / "drives.ini",
             "[Drives]\nC:=\nF:=" + (root.dir() / "usb").string() + "\nG:=/no/such/folder\n");
  EXPECT_EQ(platform::GetDriveTypeA("C:"), DRIVE_NO_ROOT_DIR);
  EXPECT_EQ(platform::GetDriveTypeA("f:"), DRIVE_FIXED);
  EXPECT_EQ(platform::GetDriveTypeA("G:"), DRIVE_NO_ROOT_DIR);
  EXPECT_EQ(platform::GetDriveTypeA("F:x"), DRIVE_NO_ROOT_DIR);
  EXPECT_EQ(platform::GetDriveTypeA(""), DRIVE_NO_ROOT_DIR);
  auto present = platform::DriveNamesWhere('A', 'N', [](UINT t) { return t != DRIVE_NO_ROOT_DIR; });
  EXPECT_EQ(present, std::vector<std::string>{"F:"});
}

TEST(SystemInfo, ThisHostReportsTheNtFamily) {
  platform::OSVERSIONINFOA info;
  ASSERT_TRUE(platform::GetVersionExA(&info));
  EXPECT_EQ(info.dwPlatformId, VER_PLATFORM_WIN32_NT);
  info.dwOSVersionInfoSize = 3;  // a caller that did not set the size is refused
  EXPECT_FALSE(platform::GetVersionExA(&info));
}

}  // namespace
