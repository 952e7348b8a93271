#include <gtest/gtest.h>

#include "framework/exception.h"
#include "framework/format.h"

namespace {

TEST(Format, TheDirectivesOfTheProgram) {
  EXPECT_EQ(Format(" %d objektů", {12}), " 12 objektů");
  EXPECT_EQ(Format(" Offset: %x  Velikost: %x", {0x1a2b, 255}), " Offset: 1A2B  Velikost: FF");
  EXPECT_EQ(Format("%.7x", {0xABC}), "0000ABC");
  EXPECT_EQ(Format("%.5x", {0x123456}), "123456");
  EXPECT_EQ(Format("%x", {-1}), "FFFFFFFF");
  EXPECT_EQ(Format(" %s: %s", {"Typ", "Ikona"}), " Typ: Ikona");
  EXPECT_EQ(Format("%d%%", {85}), "85%");
  EXPECT_EQ(Format("[%4d|%-4s]", {7, "ab"}), "[   7|ab  ]");
  EXPECT_EQ(Format("%p", {reinterpret_cast<const void*>(0x1234)}), "0000000000001234");
}

TEST(Format, MismatchedArgumentsAreAnError) {
  EXPECT_THROW(Format("%d", {"text"}), Exception);
  EXPECT_THROW(Format("%s %s", {"one"}), Exception);
  EXPECT_THROW(Format("100%", {}), Exception);
}

}  // namespace
