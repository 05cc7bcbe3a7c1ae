#include <gtest/gtest.h>

#include "platform/StringHelpers.h"

TEST(StringHelpers, TrimStr) {
  EXPECT_TRUE(Trim_Str(QString()).isNull());
  EXPECT_EQ(Trim_Str(" \t\n\r  "), "");
  EXPECT_FALSE(Trim_Str(" \t\n ").isNull());
  EXPECT_EQ(Trim_Str("  a b \n"), "a b");
  // Control characters inside the blanks go too; blanks inside them stay.
  EXPECT_EQ(Trim_Str(QString(" \x01") + "x" + QString("\x02 ")), "x");
  EXPECT_EQ(Trim_Str(QString("\x01 x \x02")), " x ");
  EXPECT_EQ(Trim_Str(QString::fromUtf8("\u00a0Name\u2028")), "Name");
}

TEST(StringHelpers, RemoveReservedCharactersKeepsInnerOnes) {
  EXPECT_EQ(Remove_Reserve_Char_In_File_Name("/\\?%*|\"<>Name<>"), "Name");
  EXPECT_EQ(Remove_Reserve_Char_In_File_Name("a/b"), "a/b");
  EXPECT_EQ(Remove_Reserve_Char_In_File_Name("  My Series  "), "My Series");
  // A blank at an end shields the reserved characters behind it; only the blank goes.
  EXPECT_EQ(Remove_Reserve_Char_In_File_Name(" /name/ "), "/name/");
  EXPECT_EQ(Remove_Reserve_Char_In_File_Name("name? "), "name?");
  EXPECT_FALSE(platform::isPlainFileName(Remove_Reserve_Char_In_File_Name(" /../x/ ")));
  EXPECT_EQ(Remove_Reserve_Char_In_File_Name("***"), "");
  EXPECT_TRUE(Remove_Reserve_Char_In_File_Name(QString()).isNull());
}

TEST(StringHelpers, PlainFileNames) {
  EXPECT_TRUE(platform::isPlainFileName("Guests 2024"));
  EXPECT_TRUE(platform::isPlainFileName("a..b"));
  for (const QString bad : {"", ".", "..", "a/b", "a\\b", "../x"})
    EXPECT_FALSE(platform::isPlainFileName(bad)) << bad.toStdString();
  EXPECT_FALSE(platform::isPlainFileName(QString("a") + QChar(0) + "b"));
}

TEST(StringHelpers, CuttingCountsCodeUnits) {
  EXPECT_EQ(Left_Str_substringToIndex("abc", -1), "");
  EXPECT_EQ(Left_Str_substringToIndex("abc", 0), "");
  EXPECT_EQ(Left_Str_substringToIndex("abc", 2), "ab");
  EXPECT_EQ(Left_Str_substringToIndex("abc", 3), "abc");
  EXPECT_EQ(Left_Str_substringToIndex("abc", 99), "abc");
  EXPECT_EQ(Right_Str_substringFromIndex("abc", 2), "bc");
  EXPECT_EQ(Right_Str_substringFromIndex("abc", -5), "");
  EXPECT_EQ(Right_Str_substringFromIndex("abc", 3), "abc");
  EXPECT_EQ(Right_Str_substringFromIndex("abc", 4), "abc");
  EXPECT_EQ(Read_Str_FromIndex("abc", 1), "bc");
  EXPECT_EQ(Read_Str_FromIndex("abc", 0), "abc");
  EXPECT_EQ(Read_Str_FromIndex("abc", 3), "");
  EXPECT_FALSE(Read_Str_FromIndex("abc", 3).isNull());
  EXPECT_EQ(Read_Str_FromIndex("abc", 4), "");
  EXPECT_EQ(Read_Str_FromIndex("abc", -1), "");
  EXPECT_EQ(Read_Str_FromIndex("abc", INT32_MIN), "");
  const QString cake = QString::fromUtf8("a\U0001F382b");  // the emoji is two code units
  EXPECT_EQ(cake.size(), 4);
  EXPECT_EQ(Right_Str_substringFromIndex(cake, 1), "b");
  EXPECT_EQ(Read_Str_FromIndex(cake, 3), "b");
}

TEST(StringHelpers, ReplaceAndFind) {
  EXPECT_EQ(Replace_char_in_string("a-b-c", "-", "+"), "a+b+c");
  EXPECT_EQ(Replace_char_in_string("aAa", "a", ""), "A");
  EXPECT_EQ(Replace_char_in_string("abc", "", "x"), "abc");
  EXPECT_EQ(Replace_char_in_string("%name% & %name%", "%name%", "Ann"), "Ann & Ann");
  EXPECT_TRUE(Find_Str("Hello World", "World"));
  EXPECT_FALSE(Find_Str("Hello World", "world"));
  EXPECT_FALSE(Find_Str("Hello", ""));
  EXPECT_FALSE(Find_Str("", "x"));
  EXPECT_FALSE(Find_Str(QString(), "x"));
}
