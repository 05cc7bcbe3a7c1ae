#include <gtest/gtest.h>

#include "platform/QuotedValue.h"

// A value quoted in a message keeps its start and its end around "…", never
// cuts a character or a letter and its accent apart, and stays on one line.
TEST(QuotedValue, LongValuesKeepTheirStartAndEndOnOneLine) {
  using platform::quotedValue;
  const QString ellipsis(QChar(0x2026));
  EXPECT_EQ(quotedValue("Guests 2025"), "Guests 2025");
  const QString title = "Name of the guest" + QString(32767 - 34, 'x') + "as it was typed";
  EXPECT_EQ(quotedValue(title),
            "Name of the guest" + QString(23, 'x') + ellipsis + QString(25, 'x') + "as it was typed");
  // A character of two UTF-16 units, or a letter and its combining accent, stays whole.
  const QString smile = QString(QChar(0xD83D)) + QChar(0xDE00);
  EXPECT_EQ(quotedValue("ab" + smile + "cdefg" + smile + "h", 6), "ab" + ellipsis + smile + "h");
  EXPECT_EQ(quotedValue("abe\u0301fghije\u0301k", 6), "ab" + ellipsis + "e\u0301k");
  // Line breaks and control characters cannot break the message's own lines.
  EXPECT_EQ(quotedValue("first\nsecond\u2028third\x1b"), "first\uFFFDsecond\uFFFDthird\uFFFD");
  // Many values: the first ones named, the rest counted.
  EXPECT_EQ(platform::quotedValueList({"a", "b\n", "c"}, 2), "\"a\", \"b\uFFFD\" and 1 more");
}
