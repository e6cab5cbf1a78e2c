// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <climits>

#include "base/runtime.h"

TEST(RuntimeTest, CheckedArithmeticRaisesInsteadOfWrapping) {
  EXPECT_EQ(CheckedAdd(INT32_MAX - 1, 1), INT32_MAX);
  EXPECT_THROW(CheckedAdd(INT32_MAX, 1), RuntimeError);
  EXPECT_THROW(CheckedSub(INT32_MIN, 1), RuntimeError);
  EXPECT_THROW(CheckedMul(65536, 65536), RuntimeError);
  EXPECT_EQ(CheckedDiv(-7, 2), -3);
  EXPECT_EQ(CheckedMod(-7, 2), -1);
  try {
    CheckedDiv(1, 0);
    FAIL();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Kind(), ErrorKind::DivisionByZero);
  }
  EXPECT_THROW(CheckedDiv(INT32_MIN, -1), RuntimeError);
  EXPECT_EQ(CheckIndex(12, 0, 12), 12);
  EXPECT_THROW(CheckIndex(13, 0, 12), RuntimeError);
  EXPECT_THROW(CheckIndex(-1, 0, 12), RuntimeError);
}

TEST(RuntimeTest, TextToIntAcceptsBlanksAndRoundsHalvesToEven) {
  EXPECT_EQ(TextToInt("42"), 42);
  EXPECT_EQ(TextToInt("  -17 "), -17);
  EXPECT_EQ(TextToInt("+3"), 3);
  EXPECT_EQ(TextToInt("2.5"), 2);
  EXPECT_EQ(TextToInt("3.5"), 4);
  EXPECT_EQ(TextToInt("1e3"), 1000);
  for (const char* bad : {"", "   ", "abc", "12abc", "1 2", "--1", ".", "e5", "0x10"}) {
    EXPECT_FALSE(IsNumeric(bad)) << bad;
    try {
      TextToInt(bad);
      ADD_FAILURE() << bad;
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.Kind(), ErrorKind::TypeMismatch) << bad;
    }
  }
  try {
    TextToInt("3000000000");
    ADD_FAILURE();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Kind(), ErrorKind::Overflow);
  }
  EXPECT_EQ(RoundToInt(-0.5), 0);
  EXPECT_EQ(RoundToInt(-1.5), -2);
}
