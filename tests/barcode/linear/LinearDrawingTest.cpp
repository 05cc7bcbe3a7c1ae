// Drawing of linear barcode objects: bar runs, caption and text placement,
// four-state bars, PDF output, and the drawing state helpers.
#include <gtest/gtest.h>

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <set>
#include <thread>

#include "LinearTestSupport.h"
#include "barcode/globals.h"
#include "barcode/linear/LinearSymbologies.h"
#include "barcode/linear/QVBPostalBarcodes.h"

using namespace barcode;
using namespace barcode::testing;

namespace {

// A symbol whose module string is given directly.
class FixedModules : public QVBBarcode {
 public:
  explicit FixedModules(std::string modules, QString captionText = QString())
      : modules_(std::move(modules)), captionText_(std::move(captionText)) {}
  std::string initiator() const override { return modules_; }
  std::string _encodeChar(char) const override { return {}; }
  bool isContentValid() const override { return true; }
  QString caption() const override { return captionText_; }

 private:
  std::string modules_;
  QString captionText_;
};

BarcodeDrawingState zeroMargins() {
  BarcodeDrawingState s;
  s.value_margin = s.header_margin = s.footer_margin = s.TB_margin = s.LR_margin = 0;
  return s;
}

constexpr double kScale = 10.0;  // pixels per point in these tests

double TextPen_width(const QString& text, const QFont& font) {
  return textmetrics::textWidth(text, font);
}

QImage draw(const QVBBarcode& b, const BarcodeDrawingState& s) {
  return imageFromBarcode(b, s).toImage(72.0 * kScale);
}

bool dark(const QImage& image, int x, int y) {
  return qGray(image.pixel(x, y)) < 128;
}
bool isBlack(QRgb c) {
  return qRed(c) < 90 && qGreen(c) < 90 && qBlue(c) < 90;
}
bool isRed(QRgb c) {
  return qRed(c) > 150 && qGreen(c) < 150 && qBlue(c) < 150;
}

// First and last row holding a pixel that matches, or (-1, -1).
std::pair<int, int> band(const QImage& image, bool (*match)(QRgb)) {
  int first = -1, last = -1;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (match(image.pixel(x, y))) {
        if (first < 0) first = y;
        last = y;
        break;
      }
  return {first, last};
}

// Dark runs along a row: (start, length) in pixels.
std::vector<std::pair<int, int>> darkRuns(const QImage& image, int y) {
  std::vector<std::pair<int, int>> runs;
  for (int x = 0; x < image.width(); ++x) {
    if (!dark(image, x, y)) continue;
    if (!runs.empty() && runs.back().first + runs.back().second == x)
      ++runs.back().second;
    else
      runs.push_back({x, 1});
  }
  return runs;
}

// Top and bottom dark pixel of a column, or (-1, -1).
std::pair<int, int> columnExtent(const QImage& image, int x, bool (*match)(QRgb) = nullptr) {
  int top = -1, bottom = -1;
  for (int y = 0; y < image.height(); ++y) {
    if (match ? !match(image.pixel(x, y)) : !dark(image, x, y)) continue;
    if (top < 0) top = y;
    bottom = y;
  }
  return {top, bottom};
}

FixedModules fixed(const std::string& modules, float barWidth, float height, float width) {
  FixedModules b(modules);
  b.initWithContent(QStringLiteral(""), false);
  b.setBarWidth(barWidth);
  b.setHeight(height);
  b.setWidth(width);
  return b;
}

}  // namespace

TEST(LinearDrawing, AdjacentBarModulesBecomeOneRectangle) {
  const BarcodeDrawingState s = zeroMargins();
  FixedModules b = fixed("110100", 2.0f, 10.0f, 12.0f);
  const QImage image = draw(b, s);
  ASSERT_EQ(image.width(), 120);
  const auto runs = darkRuns(image, 50);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0], std::make_pair(0, 40));   // 2w
  EXPECT_EQ(runs[1], std::make_pair(60, 20));  // w, starting 3w after the first
  EXPECT_EQ(columnExtent(image, 5), std::make_pair(0, 99));
}

TEST(LinearDrawing, TrailingSpaceDrawsNothingAndAFinalBarIsDrawn) {
  const BarcodeDrawingState s = zeroMargins();
  EXPECT_EQ(darkRuns(draw(fixed("1010", 1, 4, 4), s), 20).size(), 2u);
  const auto runs = darkRuns(draw(fixed("1011", 1, 4, 4), s), 20);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[1], std::make_pair(20, 20));
}

TEST(LinearDrawing, BarsWiderThanTheViewAreCutEquallyOnBothSides) {
  const BarcodeDrawingState s = zeroMargins();
  const QImage image = draw(fixed("1111111000001111111", 1, 4, 9), s);  // 19 modules in 9 points
  const auto runs = darkRuns(image, 20);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0], std::make_pair(0, 20));  // 7 bars from -5 points: 2 points show
  EXPECT_EQ(runs[1], std::make_pair(70, 20));
}

TEST(LinearDrawing, ColoursOfBackgroundAndBars) {
  BarcodeDrawingState s = zeroMargins();
  s.bar_back_clr = QColor(10, 200, 30);
  s.barcode_clr = QColor(0, 0, 250);
  const QImage image = draw(fixed("10", 1, 2, 2), s);
  EXPECT_EQ(QColor(image.pixel(5, 5)), QColor(0, 0, 250));
  EXPECT_EQ(QColor(image.pixel(15, 5)), QColor(10, 200, 30));
}

TEST(LinearDrawing, CaptionBelowAndAboveTheBars) {
  BarcodeDrawingState s = decoderState();
  s.bar_val_clr = Qt::red;
  auto b = createLinearBarcode(QStringLiteral("Code 39"), QStringLiteral("HELLO"));
  LayoutOptions options;
  options.barHeight = 20;
  layOut(*b, s, options);
  const double Hc = b->captionHeight() * 72.0;
  for (int onTop : {0, 1}) {
    s.showinTop = onTop;
    const QImage image = draw(*b, s);
    const double H = image.height() / kScale;
    const auto bars = band(image, isBlack);
    const auto text = band(image, isRed);
    ASSERT_GE(bars.first, 0);
    ASSERT_GE(text.first, 0);
    const double barBottomUp = H - (bars.second + 1) / kScale;  // upward, points
    const double barTopUp = H - bars.first / kScale;
    const double barY = onTop ? s.TB_margin : Hc + s.value_margin + s.TB_margin;
    EXPECT_NEAR(barBottomUp, barY, 0.15) << onTop;
    EXPECT_NEAR(barTopUp - barBottomUp, b->barTop(0, s), 0.15) << onTop;
    const double textBottomUp = H - (text.second + 1) / kScale;
    const double textTopUp = H - text.first / kScale;
    if (onTop) {
      // The caption's line starts Hb + value margin above the bars' baseline;
      // its glyphs stand on the base line, one descent higher.
      const double descent = QFontMetricsF(textmetrics::pointFont(s.value_font)).descent();
      EXPECT_NEAR(textBottomUp, barTopUp + s.value_margin + descent, 0.6);
    } else {
      EXPECT_LT(textTopUp, barBottomUp);
    }
  }
}

TEST(LinearDrawing, SideCaptionsOfUpcStayInsideThePicture) {
  for (float lr : {0.0f, 2.83f, 12.0f}) {
    BarcodeDrawingState s = decoderState();
    s.LR_margin = lr;
    s.bar_val_clr = Qt::red;
    auto b = createLinearBarcode(QStringLiteral("UPCA"), QStringLiteral("03600029145"));
    layOut(*b, s, LayoutOptions{});
    const QImage image = draw(*b, s);
    const auto barRuns = darkRuns(image, image.height() / 3);
    ASSERT_FALSE(barRuns.empty());
    const int barsLeft = barRuns.front().first;
    const int barsRight = barRuns.back().first + barRuns.back().second;
    int leftDigit = 0, rightDigit = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        if (!isRed(image.pixel(x, y))) continue;
        if (x < barsLeft) ++leftDigit;
        if (x >= barsRight) ++rightDigit;
      }
    EXPECT_GT(leftDigit, 50) << "left margin " << lr;
    EXPECT_GT(rightDigit, 50) << "left margin " << lr;
  }
}

TEST(LinearDrawing, OnePieceCaptionIsSpreadOnlyWithTheKerningBox) {
  BarcodeDrawingState s = decoderState();
  s.bar_val_clr = Qt::red;
  auto b = createLinearBarcode(QStringLiteral("Code 128"), QStringLiteral("ABCDEFGH"));
  layOut(*b, s, LayoutOptions{});
  auto redWidth = [&](bool spread) {
    Spread_Barcode_Value_Text.store(spread);
    const QImage image = draw(*b, s);
    Spread_Barcode_Value_Text.store(true);
    int lo = image.width(), hi = -1;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (isRed(image.pixel(x, y))) lo = std::min(lo, x), hi = std::max(hi, x);
    return (hi - lo + 1) / kScale;
  };
  const double plain = TextPen_width(QStringLiteral("ABCDEFGH"), s.value_font);
  // Kerning 2.0 after each of the 8 letters, the last one's ending the line.
  EXPECT_NEAR(redWidth(false), plain + 7 * 2.0, 2.0);
  // Spread: 2k per letter with k = (width - p) / (2 x 8) fills the barcode width.
  EXPECT_NEAR(redWidth(true), b->width() - (b->width() - plain) / 8.0, 3.0);
}

TEST(LinearDrawing, EmptyCaptionPiecesDrawNothingAndDoNotFail) {
  BarcodeDrawingState s = decoderState();
  for (const QString& text :
       {QStringLiteral("\t"), QStringLiteral("AB\t"), QStringLiteral("\tCD"), QStringLiteral("")}) {
    FixedModules b("1011001", text);
    ASSERT_TRUE(b.initWithContent(QStringLiteral("X"), true));
    layOut(b, s, LayoutOptions{});
    const BarcodePicture picture = imageFromBarcode(b, s);
    EXPECT_FALSE(picture.isNull());
    EXPECT_FALSE(picture.toImage(72).isNull());
  }
}

TEST(LinearDrawing, HeaderAndFooterAlignment) {
  BarcodeDrawingState s = zeroMargins();
  FixedModules b = fixed("1", 1, 1, 1);
  b.setHeader(QStringLiteral("HH"));
  b.setFooter(QStringLiteral("FF"));
  b.setPrintsHeader(true);
  b.setPrintsFooter(true);
  b.setHeaderFontSize(10, s);
  b.setFooterFontSize(10, s);
  b.setHeight(60);
  b.setWidth(200);
  auto darkXRange = [](const QImage& image, int y0, int y1) {
    int lo = image.width(), hi = -1;
    for (int y = y0; y < y1; ++y)
      for (int x = 0; x < image.width(); ++x)
        if (dark(image, x, y)) lo = std::min(lo, x), hi = std::max(hi, x);
    return std::make_pair(lo, hi);
  };
  s.align_hdr = QStringLiteral("Left");
  s.align_ftr = QStringLiteral("Right");
  QImage image = draw(b, s);
  const int headerBand = static_cast<int>(b.headerHeight() * 72 * kScale);
  auto header = darkXRange(image, 0, headerBand);
  auto footer = darkXRange(image, image.height() - headerBand, image.height());
  EXPECT_LT(header.first, 30);
  EXPECT_GT(footer.second, 1900);
  s.align_hdr = QStringLiteral("Center");
  s.align_ftr = QStringLiteral("middle");  // unknown: the default, left
  image = draw(b, s);
  header = darkXRange(image, 0, headerBand);
  footer = darkXRange(image, image.height() - headerBand, image.height());
  EXPECT_NEAR((header.first + header.second) / 2.0, 1000, 30);
  EXPECT_LT(footer.first, 30);
}

TEST(LinearDrawing, FourStateBarsStandAtTheirTrueTopsAndBottoms) {
  for (const char* name : {"Royal Mail Barcode (RM4SCC / CBC)", "Japan Post Barcode"}) {
    BarcodeDrawingState s = decoderState();
    s.bar_val_clr = s.bar_hdr_clr = s.bar_ftr_clr = Qt::red;
    auto b = createLinearBarcode(QString::fromLatin1(name), QStringLiteral("1234567ABC"));
    ASSERT_TRUE(b->isContentValid());
    LayoutOptions options;
    options.barWidth = 0;  // keep the symbology's own
    options.barHeight = 24;
    options.header = QStringLiteral("H");
    options.footer = QStringLiteral("F");
    layOut(*b, s, options);
    const QImage image = draw(*b, s);
    const std::string m = b->completeBarcode();
    const double x0 = (image.width() / kScale - m.size() * b->barWidth()) / 2.0;
    const double baseline =
        b->footerHeight() * 72 + s.footer_margin + b->captionHeight() * 72 + s.value_margin + s.TB_margin;
    std::set<int> kinds;
    for (size_t i = 0; i < m.size(); ++i) {
      if (m[i] != '1') continue;
      const int index = static_cast<int>(i);
      const int x = static_cast<int>((x0 + (i + 0.5) * b->barWidth()) * kScale);
      const auto [top, bottom] = columnExtent(image, x, isBlack);
      ASSERT_GE(top, 0) << name << " bar " << i << " is not visible";
      const double expectedTop = image.height() - (baseline + b->barTop(index, s)) * kScale;
      const double expectedBottom = image.height() - (baseline + b->barBottom(index, s)) * kScale;
      EXPECT_NEAR(top, expectedTop, 1.5) << name << " bar " << i;
      EXPECT_NEAR(bottom + 1, expectedBottom, 1.5) << name << " bar " << i;
      kinds.insert(static_cast<int>(std::lround(b->barTop(index, s) * 100)) * 10000 +
                   static_cast<int>(std::lround(b->barBottom(index, s) * 100)));
    }
    EXPECT_EQ(kinds.size(), 4u) << name << ": trackers, ascenders, descenders and full bars";
  }
}

TEST(LinearDrawing, JapanPostStaysVisibleWhenItsHeightIsClamped) {
  BarcodeDrawingState s = decoderState();
  auto b = createLinearBarcode(QStringLiteral("Japan Post Barcode"), QStringLiteral("2630023-1-AB5"));
  LayoutOptions options;
  options.barWidth = 0;
  options.barHeight = 17;  // 0.6 cm
  layOut(*b, s, options);
  EXPECT_GT(b->height(), 11.5f);
  auto* jp = dynamic_cast<JapanPostBarcode*>(b.get());
  EXPECT_FLOAT_EQ(jp->symbolHeight(), 11.5f);
  const QImage image = draw(*b, s);
  const double baseline =
      b->captionHeight() * 72 + s.value_margin + s.TB_margin + b->footerHeight() * 72 + s.footer_margin;
  const double trackerMiddle = baseline + 0.5 * (japanpost_barTop(0, 11.5f) + japanpost_barBottom(0, 11.5f));
  const auto runs = darkRuns(image, static_cast<int>(image.height() - trackerMiddle * kScale));
  EXPECT_EQ(runs.size(), 67u);  // every bar crosses the tracker band
}

TEST(LinearDrawing, PdfHoldsVectorBarsThatDecode) {
  const QString pdftoppm = requireProgram(QStringLiteral("pdftoppm"));
  ASSERT_FALSE(pdftoppm.isEmpty());
  BarcodeDrawingState s = decoderState();
  auto b = createLinearBarcode(QStringLiteral("Code 128"), QStringLiteral("Vector 42"));
  LayoutOptions options;
  layOut(*b, s, options);
  const QByteArray pdf = pdfFromBarcode(*b, s);
  ASSERT_TRUE(pdf.startsWith("%PDF"));
  EXPECT_FALSE(pdf.contains("/Subtype /Image")) << "bars must not be a raster image";
  QTemporaryDir dir;
  QFile file(dir.filePath(QStringLiteral("b.pdf")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(pdf);
  file.close();
  runProgram(pdftoppm,
             {QStringLiteral("-r"), QStringLiteral("216"), QStringLiteral("-png"),
              QStringLiteral("-singlefile"), file.fileName(), dir.filePath(QStringLiteral("page"))});
  const QImage page(dir.filePath(QStringLiteral("page.png")));
  ASSERT_FALSE(page.isNull());
  const QSizeF size = imageFromBarcode(*b, s).size;
  EXPECT_NEAR(page.width(), size.width() * 3, 2);
  EXPECT_NEAR(page.height(), size.height() * 3, 2);
  EXPECT_EQ(zxingRead(page, "Code128"), std::optional<std::string>("Vector 42"));
}

TEST(LinearDrawing, TwoThreadsDrawTheSamePicture) {
  auto render = [](QImage* out) {
    BarcodeDrawingState s = decoderState();
    for (int i = 0; i < 20; ++i) {
      auto b = createLinearBarcode(QStringLiteral("EAN-13"), QStringLiteral("400638133393"));
      layOut(*b, s, LayoutOptions{});
      *out = imageFromBarcode(*b, s).toImage(144);
    }
  };
  QImage a, c;
  std::thread t1(render, &a), t2(render, &c);
  t1.join();
  t2.join();
  ASSERT_FALSE(a.isNull());
  EXPECT_EQ(a, c);
}

TEST(LinearDrawing, EmptyOrHugeFramesGiveNoPicture) {
  const BarcodeDrawingState s = zeroMargins();
  EXPECT_TRUE(imageFromBarcode(fixed("1", 1, 0, 1), s).isNull());
  EXPECT_TRUE(imageFromBarcode(fixed("1", 1, 1e9f, 1), s).isNull());
  EXPECT_TRUE(pdfFromBarcode(fixed("1", 1, 0, 1), s).isEmpty());
}

// Drawing state

TEST(LinearDrawingState, StartingValues) {
  const BarcodeDrawingState s;
  EXPECT_EQ(s.value_font.family(), QStringLiteral("Times New Roman"));
  EXPECT_DOUBLE_EQ(s.header_font.pointSizeF(), 10.0);
  EXPECT_FLOAT_EQ(s.TB_margin, 0.1f);
  EXPECT_EQ(s.align_hdr, QStringLiteral("Center"));
  EXPECT_EQ(s.usedDpi, 600);
  EXPECT_EQ(s.caption2D.header, QString());
  EXPECT_EQ(s.caption2D.footer, QString());
}

TEST(LinearDrawingState, CaptionModelFontSizes) {
  BarcodeDrawingState s;
  s.caption2D.header = QStringLiteral("Header");
  s.setHeaderFontSize(10);
  s.setFooterFontSize(10);
  s.setCaptionFontSize(10);
  const double cap = QFontMetricsF(textmetrics::pointFont(s.value_font)).capHeight();
  EXPECT_NEAR(s.caption2D.captionHeight, 1.35 * cap / 72.0, 1e-6);
  EXPECT_GT(s.caption2D.headerWidth, 0.0f);
  EXPECT_FLOAT_EQ(s.caption2D.footerWidth, 0.0f);
  EXPECT_FLOAT_EQ(s.caption2D.header_fontSize, 10.0f);
}

TEST(LinearDrawingState, ResamplingToADotsPerInch) {
  QImage source(10, 10, QImage::Format_RGBA8888);
  source.fill(Qt::black);
  const QImage at72 = Increase_DPI(source, QSizeF(12.5, 3.2), 72);
  EXPECT_EQ(at72.size(), QSize(13, 4));
  const QImage at600 = Increase_DPI(source, QSizeF(12, 12), 600);
  EXPECT_EQ(at600.size(), QSize(100, 100));
  EXPECT_NEAR(at600.width() / (at600.dotsPerMeterX() * 0.0254) * 72.0, 12.0, 0.01);
  EXPECT_EQ(QColor(at600.pixel(50, 50)), QColor(Qt::black));
  EXPECT_TRUE(Increase_DPI(QImage(), QSizeF(12, 12), 600).isNull());
}
