#include <gtest/gtest.h>

#include "platform/QuotedValue.h"

// A value quoted in a message keeps its start and its end around "…", never
// cuts a character or a letter and its accent apart, and stays on one line.
TEST(QuotedValue, LongValuesKeepTheirStartAndEndOnOneLine) {
  using platform::quotedValue;
  const QString ellipsis(QChar(0x2026));
  EXPECT_EQ(quotedValue("Guests 2025"), "Guests 2025");
  EXPECT_EQ(quotedValue(QString(80, 'a')), QString(80, 'a'));
  const QString title = "Name of the guest" + QString(32767 - 34, 'x') + "as it was typed";
  const QString quoted = quotedValue(title);
  EXPECT_EQ(quoted, "Name of the guest" + QString(23, 'x') + ellipsis + QString(25, 'x') + "as it was typed");
  EXPECT_EQ(quotedValue("abcdefghij", 4), "ab" + ellipsis + "ij");
  // A character of two UTF-16 units, or a letter and its combining accent, stays whole.
  const QString smile = QString(QChar(0xD83D)) + QChar(0xDE00);
  EXPECT_EQ(quotedValue("ab" + smile + "cdefg" + smile + "h", 6), "ab" + ellipsis + smile + "h");
  EXPECT_EQ(quotedValue("abe\u0301fghije\u0301k", 6), "ab" + ellipsis + "e\u0301k");
  // Line breaks and control characters cannot break the message's own lines.
  EXPECT_EQ(quotedValue("first\nsecond\u2028third\x1b"), "first\uFFFDsecond\uFFFDthird\uFFFD");

  EXPECT_EQ(platform::quotedValueList({"a", "b"}), "\"a\", \"b\"");
  QStringList many;
  for (int i = 0; i < 13; ++i) many << QString::number(i);
  EXPECT_EQ(platform::quotedValueList(many, 2), "\"0\", \"1\" and 11 more");
  EXPECT_EQ(platform::quotedValueList({title}), "\"" + quoted + "\"");
}
