// Text forms of the design file's numbers, points and sizes.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "mainwindow/designfile/DesignText.h"

namespace {

using namespace designfile;

TEST(DesignText, WholeNumbersReadLikeHandEditedText) {
  EXPECT_EQ(intFromText("12"), 12);
  EXPECT_EQ(intFromText("  -7 points"), -7);
  EXPECT_EQ(intFromText("+3"), 3);
  EXPECT_EQ(intFromText("3.9"), 3);
  EXPECT_EQ(intFromText("abc"), 0);
  EXPECT_EQ(intFromText(""), 0);
  EXPECT_EQ(intFromText("99999999999999999999"), std::numeric_limits<int>::max());
  EXPECT_EQ(intFromText("-99999999999999999999"), std::numeric_limits<int>::min());
  EXPECT_EQ(intText(-45), "-45");
}

TEST(DesignText, FractionsHaveTwoDecimals) {
  EXPECT_EQ(fractionText(0.5), "0.50");
  EXPECT_EQ(fractionText(100.0), "100.00");
  EXPECT_EQ(fractionText(0.126), "0.13");
  EXPECT_DOUBLE_EQ(doubleFromText("0.50"), 0.5);
  EXPECT_DOUBLE_EQ(doubleFromText(" 1.5e2x"), 150.0);
  EXPECT_DOUBLE_EQ(doubleFromText(".25"), 0.25);
  EXPECT_DOUBLE_EQ(doubleFromText("2e"), 2.0);
  EXPECT_DOUBLE_EQ(doubleFromText("none"), 0.0);
  EXPECT_FALSE(std::isfinite(doubleFromText("1e999")));
}

TEST(DesignText, FlagsAreYesOnlyForExactlyY) {
  EXPECT_TRUE(flagFromText("Y"));
  for (const char* no : {"y", "YES", "N", "", " Y"}) EXPECT_FALSE(flagFromText(no)) << no;
  EXPECT_EQ(flagText(true), "Y");
  EXPECT_EQ(flagText(false), "N");
}

TEST(DesignText, PointsAndSizesRoundTripExactly) {
  EXPECT_EQ(pointText(QPointF(0, 0)), "{0, 0}");
  EXPECT_EQ(sizeText(QSizeF(243, 154)), "{243, 154}");
  EXPECT_EQ(pointText(QPointF(-0.0, 1.5)), "{0, 1.5}");
  for (const QSizeF s : {QSizeF(0.1, 1.0 / 3.0), QSizeF(297.6377952755906, 1e-7), QSizeF(12345.678, 0)}) {
    EXPECT_EQ(sizeFromText(sizeText(s)), s);
  }
  EXPECT_EQ(pointFromText(" {1.5,-2} "), QPointF(1.5, -2));
  EXPECT_EQ(pointFromText("3, 4"), QPointF(3, 4));
  EXPECT_FALSE(pointFromText("{1}"));
  EXPECT_FALSE(pointFromText("{a, b}"));
  EXPECT_FALSE(sizeFromText("{nan, 1}"));
  EXPECT_FALSE(sizeFromText("{inf, 1}"));
  EXPECT_FALSE(sizeFromText("{1e999, 1}"));
}

}  // namespace
