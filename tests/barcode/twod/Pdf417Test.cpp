// PDF417: the worked examples of the encoder and the view, segmentation and
// compaction, the codeword patterns, and zxing round trips at every error
// level and over a spread of lengths.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <random>
#include <set>
#include <sstream>
#include <thread>

#include "TwoDDecode.h"
#include "barcode/twod/DataMatrixEcc200.h"
#include "barcode/twod/DataMatrixRoute.h"
#include "barcode/twod/Pdf417Encoder.h"
#include "barcode/twod/Pdf417View.h"
#include "barcode/twod/QREncoder.h"
#include "barcode/twod/QrEncode.h"

using namespace barcode::twod;

namespace {

std::vector<int> dataCodewords(const std::string& text, int level = 2, float ratio = 1.0f) {
  pdf417param p;
  pdf417init(p);
  p.text = text;
  p.lenText = static_cast<int>(text.size());
  p.options = PDF417_USE_ERROR_LEVEL;
  p.errorLevel = level;
  p.aspectRatio = ratio;
  paintCode(p);
  EXPECT_EQ(p.error, 0);
  const int data = p.lenCodewords - (2 << p.errorLevel);
  return std::vector<int>(p.codewords.begin(), p.codewords.begin() + data);
}

// The data codewords without descriptor and padding.
std::vector<int> payload(const std::string& text) {
  std::vector<int> cw = dataCodewords(text);
  std::vector<int> out(cw.begin() + 1, cw.end());
  while (!out.empty() && out.back() == 900) out.pop_back();
  return out;
}

QImage symbolImage(const pdf417param& p, int px = 2, int rowPx = 6) {
  SymbolPicture::Layout layout;
  layout.page = QSizeF(p.bitColumns, p.codeRows);
  layout.gridRect = QRectF(QPointF(0, 0), layout.page);
  layout.opaquePage = true;
  layout.size = layout.page;
  layout.pixels = QSize(p.bitColumns * px, p.codeRows * rowPx);
  return SymbolPicture(pdf417Grid(p), layout).toImage();
}

std::vector<int> widthsOf(uint32_t pattern) {
  std::vector<int> w;
  int bit = 1, run = 0;
  for (int i = 16; i >= 0; --i) {
    const int b = (pattern >> i) & 1;
    if (b == bit) {
      ++run;
    } else {
      w.push_back(run);
      run = 1;
      bit = b;
    }
  }
  w.push_back(run);
  return w;
}

// Text compaction values back to characters (alpha, lower, mixed, punctuation);
// false when a shift is followed by a value whose meaning under the shift is unclear.
bool decodeTextValues(const std::vector<int>& values, std::string* out) {
  static const char* mixed = "0123456789&\r\t,:#-.$/+%*=^";
  static const char* punctuation = ";<>@[\\]_`~!\r\t,:\n-.$/\"|*()?{}'";
  enum { A, L, M, P } mode = A;
  int shift = -1;  // -1 none, 0 alpha shift, 3 punctuation shift
  for (int v : values) {
    if (shift == 0) {
      if (v >= 26 && v != 26) return false;
      *out += v == 26 ? ' ' : static_cast<char>('A' + v);
      shift = -1;
      continue;
    }
    if (shift == 3) {
      if (v == 29) return false;
      *out += punctuation[v];
      shift = -1;
      continue;
    }
    switch (mode) {
      case A:
        if (v < 26)
          *out += static_cast<char>('A' + v);
        else if (v == 26)
          *out += ' ';
        else if (v == 27)
          mode = L;
        else if (v == 28)
          mode = M;
        else
          shift = 3;
        break;
      case L:
        if (v < 26)
          *out += static_cast<char>('a' + v);
        else if (v == 26)
          *out += ' ';
        else if (v == 27)
          shift = 0;
        else if (v == 28)
          mode = M;
        else
          shift = 3;
        break;
      case M:
        if (v < 25)
          *out += mixed[v];
        else if (v == 25)
          mode = P;
        else if (v == 26)
          *out += ' ';
        else if (v == 27)
          mode = L;
        else if (v == 28)
          mode = A;
        else
          shift = 3;
        break;
      case P:
        if (v < 29)
          *out += punctuation[v];
        else
          mode = A;
        break;
    }
  }
  return true;
}

}  // namespace

TEST(Pdf417Encode, HelloExample) {
  pdf417param p;
  pdf417init(p);
  p.text = "HELLO";
  p.options = PDF417_USE_ERROR_LEVEL;
  p.errorLevel = 2;
  p.aspectRatio = 1.0f;
  paintCode(p);
  ASSERT_EQ(p.error, 0);
  EXPECT_EQ(std::vector<int>(p.codewords.begin(), p.codewords.begin() + 4),
            (std::vector<int>{4, 214, 341, 449}));
  EXPECT_EQ(p.codeColumns, 1);
  EXPECT_EQ(p.codeRows, 12);
  EXPECT_EQ(p.bitColumns, 86);
  EXPECT_EQ(p.errorLevel, 2);
  EXPECT_EQ(p.lenCodewords, 12);
  EXPECT_EQ(p.lenBits, 11 * 12);
  const auto decoded = twodtest::decode(symbolImage(p), ZXing::BarcodeFormat::PDF417, 12);
  EXPECT_EQ(decoded, "HELLO");
}

TEST(Pdf417Encode, ErrorCorrectionCoefficients) {
  EXPECT_EQ(pdf417ErrorCoefficients(0), (std::vector<int>{27, 917}));
  EXPECT_EQ(pdf417ErrorCoefficients(1), (std::vector<int>{522, 568, 723, 809}));
  EXPECT_EQ(pdf417ErrorCoefficients(8).size(), 512u);
  EXPECT_EQ(maxPossibleErrorLevel(928), 8);
  EXPECT_EQ(maxPossibleErrorLevel(511), 7);
  EXPECT_EQ(maxPossibleErrorLevel(3), 0);
}

TEST(Pdf417Encode, ShapeFromAspectRatio) {
  auto columnsFor = [](int needed, float ratio) {
    pdf417param p;
    pdf417init(p);
    p.options = PDF417_USE_RAW_CODEWORDS | PDF417_USE_ERROR_LEVEL;
    p.errorLevel = 0;
    p.lenCodewords = needed - 2;
    p.codewords[0] = needed - 2;
    for (int i = 1; i < needed - 2; ++i) p.codewords[static_cast<size_t>(i)] = i % 900;
    p.aspectRatio = ratio;
    paintCode(p);
    EXPECT_EQ(p.error, 0);
    return p.codeColumns;
  };
  EXPECT_EQ(columnsFor(100, 1.0f), 3);
  EXPECT_EQ(columnsFor(300, 1.0f), 6);
  EXPECT_EQ(columnsFor(100, 0.5f), 4);
  EXPECT_EQ(columnsFor(300, 0.5f), 9);
}

TEST(Pdf417Encode, FixedShapesAndLimits) {
  pdf417param p;
  pdf417init(p);
  p.text = "fixed";
  p.options = PDF417_FIXED_RECTANGLE;
  p.codeColumns = 30;
  p.codeRows = 90;
  paintCode(p);
  EXPECT_EQ(p.codeColumns, 29);
  EXPECT_EQ(p.codeRows, 32);
  pdf417init(p);
  p.text = "fixed";
  p.options = PDF417_FIXED_RECTANGLE;
  p.codeColumns = 20;
  p.codeRows = 50;
  paintCode(p);
  EXPECT_EQ(p.codeColumns, 16);
  EXPECT_EQ(p.codeRows, 58);
  // A rectangle with room to spare raises the level to fill it.
  pdf417init(p);
  p.text = "fixed";
  p.options = PDF417_FIXED_RECTANGLE;
  p.codeColumns = 5;
  p.codeRows = 10;
  paintCode(p);
  EXPECT_EQ(p.codeColumns * p.codeRows, 50);
  EXPECT_EQ(p.errorLevel, 4);
  pdf417init(p);
  p.text = "rows";
  p.options = PDF417_FIXED_ROWS;
  p.codeRows = 4;
  paintCode(p);
  EXPECT_EQ(p.codeRows, 4);
  // Too long and invalid raw codewords.
  pdf417init(p);
  p.text = std::string(5421, 'a');
  paintCode(p);
  EXPECT_EQ(p.error, 1);
  pdf417init(p);
  p.text = std::string(5400, '\x01');
  paintCode(p);
  EXPECT_EQ(p.error, 1);
  pdf417init(p);
  p.options = PDF417_USE_RAW_CODEWORDS;
  p.lenCodewords = 5;
  p.codewords[0] = 4;
  paintCode(p);
  EXPECT_EQ(p.error, 2);
  // Raw codewords outside 0-928 have no pattern: refused, nothing drawn.
  for (int bad : {929, 5000, -1}) {
    pdf417init(p);
    p.options = PDF417_USE_RAW_CODEWORDS;
    p.lenCodewords = 4;
    p.codewords = {4, 1, bad, 3};
    paintCode(p);
    EXPECT_EQ(p.error, 2) << bad;
    EXPECT_TRUE(p.outBits.empty()) << bad;
  }
}

TEST(Pdf417Encode, SegmentationAndCompaction) {
  // Twelve digits inside a text stay text; thirteen become a numeric segment.
  auto twelve = breakString("ab123456789012cd");
  ASSERT_EQ(twelve.size(), 1u);
  EXPECT_EQ(twelve[0].type, 'T');
  auto thirteen = breakString("ab1234567890123cd");
  ASSERT_EQ(thirteen.size(), 3u);
  EXPECT_EQ(thirteen[1].type, 'N');
  const auto cw13 = payload("ab1234567890123cd");
  EXPECT_NE(std::find(cw13.begin(), cw13.end(), 902), cw13.end());
  // 8 to 12 digits alone are numeric, 7 are text.
  EXPECT_EQ(breakString("12345678")[0].type, 'N');
  EXPECT_EQ(breakString("123456789012")[0].type, 'N');
  EXPECT_EQ(breakString("1234567")[0].type, 'T');
  EXPECT_EQ(payload("12345678")[0], 902);
  // A single binary byte in a text is shifted.
  auto shifted = breakString(
      "abc\xE9"
      "def");
  ASSERT_EQ(shifted.size(), 1u);
  const auto cwShift = payload(
      "abc\xE9"
      "def");
  auto it = std::find(cwShift.begin(), cwShift.end(), 913);
  ASSERT_NE(it, cwShift.end());
  EXPECT_EQ(*(it + 1), 0xE9);
  // Seven binary bytes: 901, one group of five, one byte; six: 924 and five.
  const auto seven = payload(std::string("\x01\x02\x03\x04\x05\x06\x07", 7));
  ASSERT_EQ(seven.size(), 7u);
  EXPECT_EQ(seven[0], 901);
  EXPECT_EQ(seven[6], 7);
  const auto six = payload(std::string("\x01\x02\x03\x04\x05\x06", 6));
  ASSERT_EQ(six.size(), 6u);
  EXPECT_EQ(six[0], 924);
}

// Every pattern has four bars and four spaces of 1-6 modules, 17 in all, in its own
// cluster (bars b1 - b2 + b3 - b4 = 0, 3, 6 modulo 9), and no pattern appears twice.
TEST(Pdf417Encode, CodewordPatternsAreWellFormed) {
  for (int cluster = 0; cluster < 3; ++cluster) {
    std::set<uint32_t> seen;
    for (uint32_t pattern : CLUSTERS[static_cast<size_t>(cluster)]) {
      const std::vector<int> w = widthsOf(pattern);
      ASSERT_EQ(w.size(), 8u) << std::hex << pattern;
      int sum = 0;
      for (int x : w) {
        EXPECT_GE(x, 1);
        EXPECT_LE(x, 6);
        sum += x;
      }
      EXPECT_EQ(sum, 17);
      EXPECT_EQ(((w[0] - w[2] + w[4] - w[6]) % 9 + 9) % 9, 3 * cluster) << std::hex << pattern;
      EXPECT_TRUE(seen.insert(pattern).second);
    }
  }
}

TEST(Pdf417View, HelloPictureGeometry) {
  pdf417View view(QSizeF(100, 20));
  EXPECT_EQ(view.drawWithText(QStringLiteral("HELLO")), pdf417View::kReady);
  auto image = view.getImage();
  ASSERT_TRUE(image);
  EXPECT_EQ(view.param().bitColumns, 86);
  EXPECT_EQ(view.param().codeRows, 12);
  EXPECT_EQ(image->size(), QSizeF(100, 20));
  EXPECT_EQ(image->pixelSize(), QSize(834, 167));
  EXPECT_EQ(image->grid().width, 86);
  // The start pattern begins with eight bar modules.
  for (int x = 0; x < 8; ++x) EXPECT_TRUE(image->grid().dark(x, 0));
  EXPECT_FALSE(image->grid().dark(8, 0));
}

TEST(Pdf417View, FailureAndEmptyLeaveNoPicture) {
  pdf417View view(QSizeF(200, 60));
  ASSERT_EQ(view.drawWithText(QStringLiteral("first value")), pdf417View::kReady);
  ASSERT_TRUE(view.getImage());
  EXPECT_EQ(view.drawWithText(QString(5421, QLatin1Char('x'))), pdf417View::kError);
  EXPECT_FALSE(view.getImage());
  QImage shown(100, 40, QImage::Format_RGB32);
  {
    QPainter painter(&shown);
    view.drawRect(painter, QRectF(0, 0, 100, 40));
  }
  EXPECT_EQ(shown.pixelColor(99, 39), QColor(Qt::white));
  ASSERT_EQ(view.drawWithText(QStringLiteral("again")), pdf417View::kReady);
  EXPECT_EQ(view.drawWithText(QString()), pdf417View::kEmpty);
  EXPECT_FALSE(view.getImage());
  view.setErrorLevel(5);
  EXPECT_EQ(view.getErrorLevel(), 5);
}

// Each codeword value of each cluster twice in one row at level 0 (two check
// codewords): a wrong pattern would make two errors, more than the level corrects.
TEST(Pdf417RoundTrip, EveryCodewordOfEveryCluster) {
  int symbols = 0, decoded = 0;
  std::vector<std::pair<int, int>> tests;  // (value, cluster)
  for (int cluster = 0; cluster < 3; ++cluster)
    for (int v = 0; v < 900; ++v) tests.push_back({v, cluster});
  size_t next = 0;
  while (next < tests.size()) {
    // Rows 1-87 carry [900, v, v]; row r uses cluster r mod 3. Row 0: [length, v, v].
    pdf417param p;
    pdf417init(p);
    std::vector<int> data{0};
    std::string expected;
    bool exact = true;
    for (int row = 0; row < 87 && next < tests.size(); ++row) {
      // Find the next untested value for this row's cluster.
      size_t k = next;
      while (k < tests.size() && tests[k].second != row % 3) ++k;
      if (k == tests.size()) break;
      std::swap(tests[k], tests[next]);
      const int v = tests[next++].first;
      if (row > 0) data.push_back(900);
      data.push_back(v);
      data.push_back(v);
      std::string text;
      if (decodeTextValues({v / 30, v % 30, v / 30, v % 30}, &text))
        expected += text;
      else
        exact = false;
    }
    while (data.size() % 3 != 1) data.push_back(900);
    data[0] = static_cast<int>(data.size());
    p.options = PDF417_USE_RAW_CODEWORDS | PDF417_USE_ERROR_LEVEL | PDF417_FIXED_COLUMNS;
    p.codeColumns = 3;
    p.errorLevel = 0;
    p.lenCodewords = static_cast<int>(data.size());
    std::copy(data.begin(), data.end(), p.codewords.begin());
    paintCode(p);
    ASSERT_EQ(p.error, 0);
    ++symbols;
    const auto result = twodtest::decode(symbolImage(p, 2, 6), ZXing::BarcodeFormat::PDF417, 12);
    if (result && (!exact || *result == expected))
      ++decoded;
    else
      ADD_FAILURE() << "symbol " << symbols << " not read back" << (result ? " (wrong text)" : "");
  }
  EXPECT_EQ(decoded, symbols);
  std::printf("PDF417 codeword-pattern symbols decoded: %d of %d (2700 patterns)\n", decoded, symbols);
}

TEST(Pdf417RoundTrip, EveryLevelAndASpreadOfLengths) {
  int decoded = 0, total = 0;
  const std::string sample =
      "Greeting Cards 2026: Happy Birthday, Anna! Call +49 30 1234567890123 or mail anna@example.org; "
      "ROOM 12B / FLOOR 3 (East) ~ [ok] {done} ";
  for (int level = 0; level <= 8; ++level) {
    for (int length : {1, 5, 20, 60, 150, 300, 600, 1000, 1500, 2000}) {
      for (int kind = 0; kind < 3; ++kind) {
        std::string text;
        for (int i = 0; i < length; ++i) {
          if (kind == 0)
            text += sample[static_cast<size_t>(i) % sample.size()];
          else if (kind == 1)
            text += static_cast<char>('0' + (i * 7 + level) % 10);
          else
            text += static_cast<char>((i * 73 + level * 11) & 0xFF);
        }
        pdf417param p;
        pdf417init(p);
        p.text = text;
        p.lenText = static_cast<int>(text.size());
        p.options = PDF417_USE_ERROR_LEVEL;
        p.errorLevel = level;
        p.aspectRatio = 1.0f;
        paintCode(p);
        if (p.error) continue;               // beyond the capacity of the symbology
        if (p.errorLevel < level) continue;  // would not hold this level
        ++total;
        const auto result = twodtest::decode(symbolImage(p, 2, 6), ZXing::BarcodeFormat::PDF417, 12);
        if (result == text)
          ++decoded;
        else
          ADD_FAILURE() << "no decode: level " << level << " length " << length << " kind " << kind
                        << " rows " << p.codeRows << " columns " << p.codeColumns;
      }
    }
  }
  EXPECT_EQ(decoded, total);
  EXPECT_GT(total, 150);
  std::printf("PDF417 round trips decoded: %d of %d\n", decoded, total);
}

TEST(Pdf417RoundTrip, NearCapacity) {
  // The longest texts of each kind that still fit, at level 0 and level 5.
  int decoded = 0, total = 0;
  for (int level : {0, 5}) {
    for (int kind = 0; kind < 3; ++kind) {
      int low = 1, high = 5420, best = 0;
      auto make = [&](int length) {
        std::string text;
        for (int i = 0; i < length; ++i)
          text += kind == 0   ? static_cast<char>('A' + i % 26)
                  : kind == 1 ? static_cast<char>('0' + i % 10)
                              : static_cast<char>(128 + i % 100);
        return text;
      };
      auto fits = [&](int length, pdf417param* out) {
        pdf417param p;
        pdf417init(p);
        p.text = make(length);
        p.options = PDF417_USE_ERROR_LEVEL;
        p.errorLevel = level;
        paintCode(p);
        const bool ok = p.error == 0 && p.errorLevel >= level;
        if (ok && out) *out = p;
        return ok;
      };
      while (low <= high) {
        const int mid = (low + high) / 2;
        if (fits(mid, nullptr)) {
          best = mid;
          low = mid + 1;
        } else {
          high = mid - 1;
        }
      }
      pdf417param p;
      ASSERT_TRUE(fits(best, &p));
      ++total;
      const auto result = twodtest::decode(symbolImage(p, 2, 6), ZXing::BarcodeFormat::PDF417, 12);
      if (result == make(best))
        ++decoded;
      else
        ADD_FAILURE() << "no decode near capacity: level " << level << " kind " << kind << " length " << best;
    }
  }
  EXPECT_EQ(decoded, total);
}

// The level asked for is a floor: out-of-range levels are brought into 0-8, and a
// symbol whose rows leave room uses the highest level that fits. Every picture reads back.
TEST(Pdf417View, LevelsAndFramesOfTheDialog) {
  const QString value = QStringLiteral("Invoice 2026-0042, Gratulo");
  for (int level : {-5, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 40}) {
    pdf417View view(QSizeF(300, 90));
    view.setErrorLevel(level);
    ASSERT_EQ(view.drawWithText(value), pdf417View::kReady) << level;
    const pdf417param& p = view.param();
    EXPECT_GE(p.errorLevel, std::clamp(level, 0, 8)) << level;
    EXPECT_LE(p.errorLevel, 8) << level;
    EXPECT_LE(p.lenCodewords, p.codeRows * p.codeColumns);
    EXPECT_EQ(p.codeRows * p.codeColumns, p.lenCodewords) << "the check codewords fill the last row";
    const auto picture = view.getImage();
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->size(), QSizeF(300, 90));
    EXPECT_EQ(picture->pixelSize(), QSize(2500, 750));
    const QImage image = twodtest::gridImage(picture->grid(), 2, 2)
                             .scaled(picture->grid().width * 2 + 8, picture->grid().height * 6 + 8);
    EXPECT_EQ(twodtest::decode(image, ZXing::BarcodeFormat::PDF417), value.toStdString()) << level;
  }
  // Frames of no size still give a picture of at least one point a side.
  pdf417View tiny(QSizeF(0, -3));
  ASSERT_EQ(tiny.drawWithText(QStringLiteral("tiny")), pdf417View::kReady);
  EXPECT_EQ(tiny.getImage()->size(), QSizeF(1, 1));
}

// Without a fixed level the level used for sizing follows the data codeword count
// (below 41: 2, below 161: 3, below 321: 4, else 5); with ten fixed columns the rows show it.
TEST(Pdf417Encode, AutomaticLevelForSizing) {
  const struct {
    int data, sizingLevel;
  } cases[] = {{1, 2}, {40, 2}, {41, 3}, {160, 3}, {161, 4}, {320, 4}, {321, 5}, {700, 5}};
  for (const auto& c : cases) {
    pdf417param p;
    pdf417init(p);
    p.options = PDF417_USE_RAW_CODEWORDS | PDF417_FIXED_COLUMNS;
    p.codeColumns = 10;
    p.lenCodewords = c.data;
    p.codewords[0] = c.data;
    for (int i = 1; i < c.data; ++i) p.codewords[static_cast<size_t>(i)] = (i * 37) % 900;
    paintCode(p);
    ASSERT_EQ(p.error, 0) << c.data;
    const int needed = c.data + (2 << c.sizingLevel);
    EXPECT_EQ(p.codeColumns, 10) << c.data;
    EXPECT_EQ(p.codeRows, std::max(3, (needed - 1) / 10 + 1)) << c.data;
    EXPECT_GE(p.errorLevel, c.sizingLevel) << c.data;
    EXPECT_EQ(p.lenCodewords, p.codeRows * p.codeColumns) << c.data;
  }
  // A level asked for beyond what the room holds is lowered to the highest that fits.
  pdf417param p;
  pdf417init(p);
  p.options = PDF417_USE_RAW_CODEWORDS | PDF417_USE_ERROR_LEVEL;
  p.errorLevel = 8;
  p.lenCodewords = 800;
  p.codewords[0] = 800;
  paintCode(p);
  ASSERT_EQ(p.error, 0);
  EXPECT_EQ(p.errorLevel, 6);  // 928 - 800 = 128 = 2^(6+1)
  EXPECT_EQ(p.codeColumns * p.codeRows, 928);
}
