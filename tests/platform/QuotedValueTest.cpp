#include <gtest/gtest.h>

#include <QRegularExpression>

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
  // After Indic, Thai or Hangul text too (whose boundary finder calls every
  // place within an emoji a boundary): no lone half of a character, no
  // emoji parted from its skin tone, joined emoji or a flag's other half.
  const QString boy = QString::fromUcs4(U"\U0001F466");
  const QString malayalam = (QChar(0x0D2E) + boy).repeated(30);
  EXPECT_EQ(quotedValue(malayalam), malayalam.left(40) + ellipsis + malayalam.right(39));
  const QString toned = QString::fromUcs4(U"\U0001F466\U0001F3FD"),
                family = QString::fromUcs4(U"\U0001F468\u200D\U0001F469");
  const QString flag = QString::fromUcs4(U"\U0001F1E9\U0001F1EA");
  for (const QString& script :
       {QString(QChar(0x0D2E)), QStringLiteral("\u0E2A"), QStringLiteral("\uD55C")}) {
    for (const QString& emoji : {boy, toned, family, flag}) {
      const QString value = script + emoji + emoji + "xyz" + emoji + emoji;
      for (qsizetype length = 2; length < value.size(); ++length) {
        const QString quoted = quotedValue(value, length);
        const qsizetype cut = quoted.indexOf(ellipsis);
        ASSERT_GT(cut, 0) << length;  // the start shows
        const QString start = quoted.left(cut), end = quoted.mid(cut + 1);
        EXPECT_TRUE(value.startsWith(start) && value.endsWith(end)) << length;
        EXPECT_LE(start.size() + end.size(), length);
        // Each part is made of whole emoji, the script's letter and letters.
        for (QString part : {start, end})
          EXPECT_EQ(part.remove(script).remove(emoji).remove(QRegularExpression("[xyz]")), "") << length;
      }
    }
  }
  // A first letter under more accents than half the length keeps the start.
  const QString accented = "e" + QString(50, QChar(0x0301));
  EXPECT_EQ(quotedValue(accented + QString(100, 'x')), accented + ellipsis + QString(29, 'x'));
  EXPECT_EQ(quotedValue(accented + "x", 20), accented.left(20) + ellipsis);
  // Line breaks and control characters cannot break the message's own lines.
  EXPECT_EQ(quotedValue("first\nsecond\u2028third\x1b"), "first\uFFFDsecond\uFFFDthird\uFFFD");
  // Many values: the first ones named, the rest counted.
  EXPECT_EQ(platform::quotedValueList({"a", "b\n", "c"}, 2), "\"a\", \"b\uFFFD\" and 1 more");
}
