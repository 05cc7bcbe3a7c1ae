// The linear barcode model: initialisation, module strings, captions, geometry
// and the symbology table.
#include <gtest/gtest.h>

#include <random>

#include "LinearTestSupport.h"
#include "barcode/linear/LinearSymbologies.h"
#include "barcode/linear/QVBBarcodeOffscreenView.h"
#include "barcode/linear/QVBCode39Barcode.h"

using namespace barcode;

namespace {

BarcodeDrawingState plainState() {
  BarcodeDrawingState s;
  s.TB_margin = 3.0f;
  s.value_margin = 1.5f;
  s.header_margin = 2.5f;
  s.footer_margin = 3.5f;
  return s;
}

}  // namespace

TEST(LinearModel, DefaultInitialiserGivesTheDesignersStartingGeometry) {
  QVBBarcode b;
  ASSERT_TRUE(b.initWithContent(QStringLiteral("ABC")));
  EXPECT_FLOAT_EQ(b.barWidth(), 0.936f);
  EXPECT_FLOAT_EQ(b.height(), 36.0f);
  EXPECT_FLOAT_EQ(b.caption_fontSize(), 6.0f);
  EXPECT_EQ(b.checkDigit(), -1);
  EXPECT_TRUE(b.printsCaption());
  EXPECT_EQ(b.completeBarcode(), "101010101010");
  EXPECT_FLOAT_EQ(b.width(), 12 * 0.936f);
  EXPECT_EQ(b.header(), QString());
  EXPECT_EQ(b.footer(), QString());
}

TEST(LinearModel, NullContentIsRefusedAndNonAsciiContentIsInvalid) {
  QVBBarcode b;
  EXPECT_FALSE(b.initWithContent(QString()));
  EXPECT_EQ(createLinearBarcode(QStringLiteral("Code 39"), QString()), nullptr);

  QVBBarcode accented;
  ASSERT_TRUE(accented.initWithContent(QStringLiteral("caf\u00e9")));
  EXPECT_FALSE(accented.isContentValid());
  EXPECT_EQ(accented.barcode(), "");
}

TEST(LinearModel, EmptyContentIsValidAndLeavesStartAndStopOnly) {
  QVBCode39Barcode b;
  ASSERT_TRUE(b.initWithContent(QStringLiteral("")));
  EXPECT_TRUE(b.isContentValid());
  EXPECT_EQ(b.barcode(), "");
  EXPECT_EQ(b.completeBarcode(), b.initiator() + b.terminator());
}

TEST(LinearModel, CheckCharacterIsAppendedOnlyWhenSet) {
  QVBBarcode b;
  ASSERT_TRUE(b.initWithContent(QStringLiteral("AB")));
  EXPECT_EQ(b.barcode(), "10101010");
  b.setCheckDigit('Z');
  EXPECT_EQ(b.barcode(), "101010101010");
}

TEST(LinearModel, BarTopAndBottomFollowThePrintedTexts) {
  const BarcodeDrawingState s = plainState();
  QVBBarcode b;
  ASSERT_TRUE(b.initWithContent(QStringLiteral("1"), false));
  b.setHeight(50);
  EXPECT_FLOAT_EQ(b.barTop(0, s), 50 - 2 * 3.0f);
  EXPECT_FLOAT_EQ(b.barBottom(0, s), 0.0f);

  b.setPrintsCaption(true);
  b.setPrintsHeader(true);
  b.setPrintsFooter(true);
  b.setCaptionHeight(0.1f);
  b.setHeaderHeight(0.2f);
  b.setFooterHeight(0.05f);
  EXPECT_NEAR(b.barTop(3, s), 50 - (7.2 + 1.5) - (14.4 + 2.5) - (3.6 + 3.5) - 6.0, 1e-4);
  EXPECT_NEAR(b.barBottom(3, s), 7.2 + 14.4 + 3.6, 1e-4);
}

TEST(LinearModel, CaptionsWithoutSideDigitsAreTheContent) {
  QVBCode39Barcode b;
  ASSERT_TRUE(b.initWithContent(QStringLiteral("XY-1")));
  EXPECT_EQ(b.caption(), QStringLiteral("XY-1"));
  EXPECT_EQ(b.leftCaption(), QString());
  EXPECT_EQ(b.rightCaption(), QString());
}

TEST(LinearModel, EqualityComparesContentsOnly) {
  auto a = createLinearBarcode(QStringLiteral("Code 39"), QStringLiteral("12345"));
  auto c = createLinearBarcode(QStringLiteral("Interleaved 2 of 5"), QStringLiteral("12345"));
  auto d = createLinearBarcode(QStringLiteral("Interleaved 2 of 5"), QStringLiteral("12346"));
  EXPECT_TRUE(a->isEqual(*c));
  EXPECT_FALSE(c->isEqual(*d));
}

TEST(LinearModel, FontSizeSettersSizeTheTextLinesFromTheDrawingState) {
  BarcodeDrawingState s;
  QVBBarcode b;
  ASSERT_TRUE(b.initWithContent(QStringLiteral("1")));
  b.setHeaderFontSize(10, s);  // header unset: measured as ""
  EXPECT_FLOAT_EQ(b.headerWidth(), 0.0f);
  b.setHeader(QStringLiteral("HEADER"));
  b.setHeaderFontSize(10, s);
  b.setCaptionFontSize(10, s);
  EXPECT_GT(b.headerWidth(), 20.0f);
  EXPECT_LT(b.headerWidth(), 80.0f);
  EXPECT_FLOAT_EQ(b.captionHeight(), textmetrics::lineHeightInches(s.value_font));
  EXPECT_GT(b.captionHeight() * 72.0f, 5.0f);  // a 10-point font has a cap height of about 6.5 points
  EXPECT_LT(b.captionHeight() * 72.0f, 12.0f);
}

TEST(LinearModel, DescriptionNamesClassAndContent) {
  auto b = createLinearBarcode(QStringLiteral("EAN-8"), QStringLiteral("9638507"));
  const QString text = b->description();
  EXPECT_TRUE(text.contains(QStringLiteral("Barcode Class: QVBEAN8Barcode")));
  EXPECT_TRUE(text.contains(QStringLiteral("Content: 9638507")));
  EXPECT_TRUE(text.contains(QStringLiteral("Check Digit:4")));
}

TEST(LinearModel, SymbologyTableHasTheNineteenNamesInOrder) {
  const QStringList names = linearSymbologyNames();
  ASSERT_EQ(names.size(), 19);
  EXPECT_EQ(names.front(), QStringLiteral("Code 39"));
  EXPECT_EQ(names[9], QStringLiteral("Code 128"));
  EXPECT_EQ(names.back(), QStringLiteral("Japan Post Barcode"));
  for (const QString& name : names) {
    auto b = createLinearBarcode(name, QStringLiteral("0123456789"));
    ASSERT_TRUE(b) << name.toStdString();
    EXPECT_FALSE(b->completeBarcode().empty()) << name.toStdString();
  }
  EXPECT_EQ(createLinearBarcode(QStringLiteral("Code 93"), QStringLiteral("1")), nullptr);
}

TEST(LinearModel, AnyInputInAnySymbologyIsHandledWithoutFault) {
  std::mt19937 rng(101);
  std::uniform_int_distribution<int> length(0, 40);
  std::uniform_int_distribution<int> unit(0, 0x2ff);
  BarcodeDrawingState state = barcode::testing::decoderState();
  for (const QString& name : linearSymbologyNames()) {
    for (int i = 0; i < 40; ++i) {
      QString value = QStringLiteral("");  // not null: a null value is no value at all
      const int n = length(rng);
      for (int k = 0; k < n; ++k) value += QChar(static_cast<char16_t>(unit(rng) % (i % 2 ? 128 : 0x300)));
      auto b = createLinearBarcode(name, value);
      ASSERT_TRUE(b);
      const bool ok = b->isContentValid();
      const std::string m = b->completeBarcode();
      EXPECT_EQ(m.find_first_not_of("01"), std::string::npos) << name.toStdString();
      barcode::testing::layOut(*b, state, barcode::testing::LayoutOptions{});
      const BarcodePicture picture = imageFromBarcode(*b, state);
      if (ok) EXPECT_FALSE(picture.isNull()) << name.toStdString();
      if (!picture.isNull()) EXPECT_FALSE(picture.toImage(36).isNull());
    }
  }
}
