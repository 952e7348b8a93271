#include <gtest/gtest.h>

#include "framework/convert.h"
#include "framework/exception.h"

namespace {

std::string ErrorOf(std::string_view text) {
  try {
    StrToInt(text);
  } catch (const Exception& e) {
    return e.what();
  }
  return "no error";
}

TEST(StrToInt, StrictDecimal) {
  EXPECT_EQ(StrToInt("250"), 250);
  EXPECT_EQ(StrToInt("-15"), -15);
  EXPECT_EQ(StrToInt("+7"), 7);
  EXPECT_EQ(StrToInt("2147483647"), 2147483647);
  EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(ErrorOf(""), "'' is not a valid integer value");
  EXPECT_EQ(ErrorOf("abc"), "'abc' is not a valid integer value");
  EXPECT_EQ(ErrorOf("12 "), "'12 ' is not a valid integer value");
  EXPECT_EQ(ErrorOf("2147483648"), "'2147483648' is not a valid integer value");
  EXPECT_EQ(ErrorOf("-"), "'-' is not a valid integer value");
  EXPECT_EQ(ErrorOf("99999999999999999999999"), "'99999999999999999999999' is not a valid integer value");
  EXPECT_EQ(StrToIntDef("x1", 0), 0);
}

TEST(CheckedArithmetic, RangeAndOverflow) {
  EXPECT_EQ(CheckedCardinal(0), 0u);
  EXPECT_THROW(CheckedCardinal(-1), Exception);
  EXPECT_EQ(CheckedMultiply(35791394, 60), 2147483640);
  try {
    CheckedMultiply(35791395, 60);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Integer overflow");
  }
  EXPECT_EQ(CheckedMultiply(-5, 60), -300);
}

}  // namespace
