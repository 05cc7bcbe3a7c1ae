// Captions of the barcode pictures: texts around the bars (header, footer,
// side captions, caption pieces) stay whole, inside the picture and apart from
// each other, text widths are measured as they are drawn, and 2D pictures
// are framed with header and footer.
#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cstring>

#include "LinearTestSupport.h"
#include "barcode/linear/LinearSymbologies.h"
#include "barcode/linear/QVBCode128Barcode.h"
#include "barcode/twod/QREncoder.h"

using namespace barcode;
using namespace barcode::testing;

namespace {

constexpr double kScale = 10.0;  // pixels per point

QImage draw(const QVBBarcode& b, const BarcodeDrawingState& s) {
  return imageFromBarcode(b, s).toImage(72.0 * kScale);
}

bool isRed(QRgb c) {
  return qRed(c) > 150 && qGreen(c) < 150 && qBlue(c) < 150;
}
bool isBlue(QRgb c) {
  return qBlue(c) > 150 && qRed(c) < 150 && qGreen(c) < 150;
}

// Columns of the rows [y0, y1) that hold a pixel of the colour.
std::vector<bool> inkColumns(const QImage& image, int y0, int y1, bool (*match)(QRgb)) {
  std::vector<bool> out(static_cast<size_t>(image.width()), false);
  for (int y = std::max(0, y0); y < std::min(y1, image.height()); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (match(image.pixel(x, y))) out[static_cast<size_t>(x)] = true;
  return out;
}

// Runs of inked columns as (first, last) pixel columns.
std::vector<std::pair<int, int>> clusters(const std::vector<bool>& columns) {
  std::vector<std::pair<int, int>> out;
  for (int x = 0; x < static_cast<int>(columns.size()); ++x) {
    if (!columns[static_cast<size_t>(x)]) continue;
    if (!out.empty() && out.back().second == x - 1)
      out.back().second = x;
    else
      out.push_back({x, x});
  }
  return out;
}

// First and last row holding a pixel of the colour.
std::pair<int, int> rows(const QImage& image, bool (*match)(QRgb)) {
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

// Ink width of a text drawn with no letter spacing, in points.
double inkWidth(const QString& text, const QFont& font) {
  QFont f = textmetrics::pointFont(font);
  f.setKerning(false);
  return QFontMetricsF(f).tightBoundingRect(text).width();
}

std::unique_ptr<QVBBarcode> laidOut(const char* symbology, const QString& value, BarcodeDrawingState& s,
                                    const LayoutOptions& options) {
  auto b = createLinearBarcode(QString::fromLatin1(symbology), value);
  EXPECT_TRUE(b && b->isContentValid()) << symbology;
  if (b) layOut(*b, s, options);
  return b;
}

}  // namespace

TEST(LinearCaption, AHeaderOrFooterAsWideAsThePictureIsNotCutAtItsEdges) {
  const QString text = QStringLiteral("MEMORIES OF A WONDERFUL DAY");
  for (float lr : {0.0f, 2.83f}) {
    BarcodeDrawingState s = decoderState();
    s.LR_margin = lr;
    s.bar_hdr_clr = Qt::red;
    s.bar_ftr_clr = Qt::blue;
    LayoutOptions options;
    options.header = text;
    options.footer = text;
    auto b = laidOut("Code 128", QStringLiteral("Hi"), s, options);
    ASSERT_GT(b->headerWidth(), static_cast<float>(b->completeBarcode().size()) * b->barWidth());
    const QImage image = draw(*b, s);
    const double plain = inkWidth(text, s.header_font) * kScale;
    for (bool (*match)(QRgb) : {isRed, isBlue}) {
      const auto [top, bottom] = rows(image, match);
      ASSERT_GE(top, 0);
      const auto ink = clusters(inkColumns(image, top, bottom + 1, match));
      ASSERT_FALSE(ink.empty());
      const int lo = ink.front().first, hi = ink.back().second;
      // Nothing touches the picture's edges, and the whole text is there.
      EXPECT_GT(lo, 0) << "left margin " << lr;
      EXPECT_LT(hi, image.width() - 1) << "left margin " << lr;
      EXPECT_GE(hi - lo + 1, plain - kScale) << "left margin " << lr;
    }
  }
}

TEST(LinearCaption, AShortHeaderKeepsItsTwoPointLetterSpacing) {
  BarcodeDrawingState s = decoderState();
  s.bar_hdr_clr = Qt::red;
  LayoutOptions options;
  options.header = QStringLiteral("HEAD");
  auto b = laidOut("Code 128", QStringLiteral("A long enough value 12345"), s, options);
  const QImage image = draw(*b, s);
  const auto [top, bottom] = rows(image, isRed);
  const auto ink = clusters(inkColumns(image, top, bottom + 1, isRed));
  ASSERT_FALSE(ink.empty());
  const double width = (ink.back().second - ink.front().first + 1) / kScale;
  EXPECT_NEAR(width, inkWidth(options.header, s.header_font) + 3 * 2.0, 1.2);
}

TEST(LinearCaption, TextWidthsAreMeasuredWithoutPairKerning) {
  const BarcodeDrawingState s;
  QFont plain = textmetrics::pointFont(s.header_font);
  plain.setKerning(false);
  for (const QString& text : {QStringLiteral("AVAWAYAT To Ty"), QStringLiteral("LT. VA. P.")}) {
    EXPECT_NEAR(textmetrics::textWidth(text, s.header_font), QFontMetricsF(plain).horizontalAdvance(text),
                1e-3)
        << text.toStdString();
  }
  QVBBarcode b;
  ASSERT_TRUE(b.initWithContent(QStringLiteral("1")));
  b.setHeader(QStringLiteral("AVAWAYAT"));
  b.setHeaderFontSize(10, s);
  EXPECT_NEAR(b.headerWidth(), QFontMetricsF(plain).horizontalAdvance(QStringLiteral("AVAWAYAT")), 1e-3);
}

TEST(LinearCaption, AHeaderInAScriptTheItalicHasNoFaceForIsDrawnUpright) {
  // No installed oblique or italic face has Arabic: an italic header draws
  // it in the upright face and measures it so, not as empty boxes (the
  // outlines come from the glyphs, so edge pixels may be shaded otherwise).
  QImage pictures[2];
  float widths[2] = {0, 0};
  for (const bool italic : {false, true}) {
    BarcodeDrawingState s = decoderState();
    s.header_font.setItalic(italic);
    s.bar_hdr_clr = Qt::red;
    LayoutOptions options;
    options.header = QStringLiteral("أحمد علي");
    auto b = laidOut("Code 128", QStringLiteral("Hi"), s, options);
    pictures[italic] = draw(*b, s);
    widths[italic] = b->headerWidth();
  }
  EXPECT_EQ(widths[1], widths[0]);
  ASSERT_EQ(pictures[1].size(), pictures[0].size());
  int ink = 0, differing = 0;
  for (int y = 0; y < pictures[0].height(); ++y)
    for (int x = 0; x < pictures[0].width(); ++x) {
      ink += isRed(pictures[0].pixel(x, y));
      differing += isRed(pictures[0].pixel(x, y)) != isRed(pictures[1].pixel(x, y));
    }
  EXPECT_GT(ink, 2000);
  EXPECT_LT(differing, ink / 20);
}

TEST(LinearCaption, SideCaptionsOfUpcAndEanStandApartFromTheirNeighbours) {
  struct Case {
    const char* symbology;
    const char* value;
    float barWidth;
    float lr;
    double fontSize;
  };
  const Case cases[] = {
      {"UPCA", "03600029145", 1.0f, 2.83f, 10},  {"UPCA", "03600029145", 1.0f, 12.0f, 10},
      {"UPCA", "03600029145", 1.44f, 2.83f, 10}, {"UPCA", "01234567890", 0.8f, 2.83f, 12},
      {"UPCE", "04252614", 1.44f, 0.0f, 10},     {"UPCE", "04252614", 1.44f, 2.83f, 10},
      {"UPCA", "03600029145", 1.0f, 0.0f, 14},   {"EAN-13", "400638133393", 1.0f, 0.0f, 14},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.symbology << " bar width " << c.barWidth << " margin " << c.lr
                                      << " font " << c.fontSize);
    BarcodeDrawingState s = decoderState();
    s.LR_margin = c.lr;
    s.value_font.setPointSizeF(c.fontSize);
    s.bar_val_clr = Qt::red;
    LayoutOptions options;
    options.barWidth = c.barWidth;
    auto b = laidOut(c.symbology, QString::fromLatin1(c.value), s, options);
    const QImage image = draw(*b, s);
    const auto [top, bottom] = rows(image, isRed);
    ASSERT_GE(top, 0);
    const auto ink = clusters(inkColumns(image, top, bottom + 1, isRed));
    ASSERT_GE(ink.size(), 3u);
    // Bars: dark columns above the caption.
    int barsLeft = image.width(), barsRight = -1;
    for (int x = 0; x < image.width(); ++x)
      if (qGray(image.pixel(x, top / 2)) < 100)
        barsLeft = std::min(barsLeft, x), barsRight = std::max(barsRight, x);
    ASSERT_GE(barsRight, 0);

    // The leftmost cluster is the left digit alone, left of the bars.
    const double leftDigit = inkWidth(b->leftCaption(), s.value_font) * kScale;
    EXPECT_LE(ink.front().second - ink.front().first + 1, leftDigit + 2);
    EXPECT_LT(ink.front().second, barsLeft);
    EXPECT_GE(ink.front().first, 0);

    if (!b->rightCaption().isEmpty()) {
      // The rightmost cluster is the right digit alone, right of the bars, and
      // at least a module away from the last caption digit.
      const double rightDigit = inkWidth(b->rightCaption(), s.value_font) * kScale;
      const auto& last = ink.back();
      const auto& before = ink[ink.size() - 2];
      EXPECT_LE(last.second - last.first + 1, rightDigit + 2);
      EXPECT_GT(last.first, barsRight);
      EXPECT_GE(last.first - before.second, c.barWidth * kScale - 1);
      EXPECT_LT(last.second, image.width());
    }
  }
}

TEST(LinearCaption, CaptionPiecesStandWhereTheLayoutPlacesThem) {
  // EAN-8: two pieces, no side digits; piece i starts at
  // 3 k_i + F + (i + 1) I w + i S + LR with S = width / 2 - I w - F.
  BarcodeDrawingState s = decoderState();
  s.LR_margin = 2.83f;
  s.bar_val_clr = Qt::red;
  auto b = laidOut("EAN-8", QStringLiteral("9638507"), s, LayoutOptions{});
  const QImage image = draw(*b, s);
  const auto [top, bottom] = rows(image, isRed);
  const auto ink = clusters(inkColumns(image, top, bottom + 1, isRed));
  ASSERT_EQ(ink.size(), 8u);  // eight digits, spread apart
  const QStringList pieces = b->caption().split(QLatin1Char('\t'));
  ASSERT_EQ(pieces.size(), 2);
  const double w = b->barWidth();
  const double I = 3, F = b->firstBar();
  const double S = b->width() / 2 - I * w - F;
  QFont plain = textmetrics::pointFont(s.value_font);
  plain.setKerning(false);
  const QFontMetricsF metrics(plain);
  // The second piece's first digit is the fifth cluster (the first piece
  // begins with a space).
  const QString& second = pieces[1];
  const double k = (S - textmetrics::textWidth(second, s.value_font)) / (2.0 * second.size());
  const double origin = 3 * k + F + 2 * I * w + S + s.LR_margin;
  const double inkStart = origin + metrics.leftBearing(second.front());
  EXPECT_NEAR(ink[4].first / kScale, inkStart, 1.0);
  const QString& first = pieces[0];
  const double k0 = (S - textmetrics::textWidth(first, s.value_font)) / (2.0 * first.size());
  const double origin0 = 3 * k0 + F + I * w + s.LR_margin;
  // Its first digit follows the leading space, spaced by 1.3 k0.
  const double digitStart =
      origin0 + metrics.horizontalAdvance(QStringLiteral(" ")) + 1.3 * k0 + metrics.leftBearing(first.at(1));
  EXPECT_NEAR(ink[0].first / kScale, digitStart, 1.0);
}

// Framing of a finished 2D picture with header and footer.

namespace {

BarcodePicture blackBlock(QSizeF size) {
  VectorRecorder recorder;
  recorder.fillRect(QRectF(QPointF(0, 0), size), Qt::black);
  BarcodePicture block;
  block.picture = recorder.finish();
  block.size = size;
  return block;
}

// Bounding box of the pixels of a colour, in pixels; empty when there are none.
QRect inkBox(const QImage& image, bool (*match)(QRgb)) {
  QRect box;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (match(image.pixel(x, y))) box |= QRect(x, y, 1, 1);
  return box;
}

bool isBlack(QRgb c) {
  return qRed(c) < 60 && qGreen(c) < 60 && qBlue(c) < 60;
}

}  // namespace

TEST(LinearCaption, A2DPictureIsFramedWithHeaderAndFooter) {
  BarcodeDrawingState s = decoderState();
  s.bar_hdr_clr = Qt::red;
  s.bar_ftr_clr = Qt::blue;
  BarcodeCaptionModel& m = s.caption2D;
  m.header = QStringLiteral("HEADER");
  m.footer = QStringLiteral("FOOTER");
  m.printsHeader = m.printsFooter = true;
  s.setHeaderFontSize(10);
  s.setFooterFontSize(10);
  const QSizeF block(40, 30);
  const double Hh = m.headerHeight * 72.0, Hf = m.footerHeight * 72.0;
  m.width = 100;
  m.height =
      static_cast<float>(block.height() + Hh + s.header_margin + Hf + s.footer_margin + 2 * s.TB_margin);

  const BarcodePicture picture = imageFromBarcodeImage(blackBlock(block), s);
  ASSERT_FALSE(picture.isNull());
  EXPECT_EQ(picture.size, QSizeF(m.width, m.height));
  const QImage image = picture.toImage(72.0 * kScale);
  EXPECT_EQ(QColor(image.pixel(2, image.height() / 2)), QColor(Qt::white));

  // The picture: centred, its top edge the header margin below the header line.
  const QRect symbol = inkBox(image, isBlack);
  const double top = s.TB_margin + Hh + s.header_margin;
  EXPECT_NEAR(symbol.left() / kScale, 30.0, 0.15);
  EXPECT_NEAR((symbol.right() + 1) / kScale, 70.0, 0.15);
  EXPECT_NEAR(symbol.top() / kScale, top, 0.15);
  EXPECT_NEAR((symbol.bottom() + 1) / kScale, top + block.height(), 0.15);

  // Header above it, footer below it, both centred and inside the frame.
  const QRect header = inkBox(image, isRed);
  const QRect footer = inkBox(image, isBlue);
  ASSERT_FALSE(header.isEmpty());
  ASSERT_FALSE(footer.isEmpty());
  EXPECT_LT(header.bottom(), symbol.top());
  EXPECT_GE(header.top(), static_cast<int>(s.TB_margin * kScale) - 2);
  EXPECT_GT(footer.top(), symbol.bottom());
  EXPECT_LE(footer.bottom(), image.height() - 1);
  EXPECT_NEAR((header.left() + header.right()) / 2.0, image.width() / 2.0, 2.5 * kScale);
  EXPECT_NEAR((footer.left() + footer.right()) / 2.0, image.width() / 2.0, 2.5 * kScale);

  // Without a header the picture stands right below the top margin (the
  // designer sets the margin of a hidden text to 0).
  m.printsHeader = false;
  s.header_margin = 0;
  const QImage noHeader = imageFromBarcodeImage(blackBlock(block), s).toImage(72.0 * kScale);
  EXPECT_TRUE(inkBox(noHeader, isRed).isEmpty());
  EXPECT_NEAR(inkBox(noHeader, isBlack).top() / kScale, s.TB_margin, 0.15);

  // No picture, or no frame: no result.
  EXPECT_TRUE(imageFromBarcodeImage(BarcodePicture{}, s).isNull());
  m.width = 0;
  EXPECT_TRUE(imageFromBarcodeImage(blackBlock(block), s).isNull());
}

TEST(LinearCaption, CodabarNeedsItsStartAndStopCharactersAtTheEndsOnly) {
  // Without start and stop characters the bars cannot be read at all.
  auto bare = createLinearBarcode(QStringLiteral("Codabar"), QStringLiteral("1234"));
  ASSERT_TRUE(bare);
  EXPECT_EQ(zxingRead(renderForDecoding(*bare, 3), "Codabar"), std::nullopt);
  EXPECT_FALSE(bare->isContentValid());
  for (const char* value : {"A1234", "1234B", "A12C34B", "A", "a1234b", "A12#4B"})
    EXPECT_FALSE(createLinearBarcode(QStringLiteral("Codabar"), QString::fromLatin1(value))->isContentValid())
        << value;
  for (const char* value : {"A1234B", "C-$:/.+D", "B0A", "DD"}) {
    auto code = createLinearBarcode(QStringLiteral("Codabar"), QString::fromLatin1(value));
    EXPECT_TRUE(code->isContentValid()) << value;
    // (zxing-cpp does not report symbols this short: it guards against misreads.)
    if (std::strlen(value) > 3)
      EXPECT_EQ(zxingRead(renderForDecoding(*code, 3), "Codabar"), std::optional<std::string>(value));
  }
}

TEST(LinearCaption, HeaderAndFooterLinesStandOnTheirMargins) {
  // From the bottom: top/bottom margin, footer line, footer margin, caption,
  // value margin, bars, header margin, header line, top/bottom margin. Capital
  // letters stand on the base line, one descent above the bottom of their line.
  BarcodeDrawingState s = decoderState();
  s.TB_margin = 5.0f;
  s.header_margin = 3.0f;
  s.footer_margin = 4.0f;
  s.bar_hdr_clr = Qt::red;
  s.bar_ftr_clr = Qt::blue;
  LayoutOptions options;
  options.header = QStringLiteral("HEADER");
  options.footer = QStringLiteral("FOOTER");
  auto b = laidOut("Code 39", QStringLiteral("ABC"), s, options);
  const QImage image = draw(*b, s);
  const double H = image.height() / kScale;
  const double descent = QFontMetricsF(textmetrics::pointFont(s.header_font)).descent();
  const double cap = QFontMetricsF(textmetrics::pointFont(s.header_font)).capHeight();
  const QRect header = inkBox(image, isRed);
  const QRect footer = inkBox(image, isBlue);
  ASSERT_FALSE(header.isEmpty());
  ASSERT_FALSE(footer.isEmpty());
  // Upward positions of the base lines and cap tops.
  const double headerBase = H - (header.bottom() + 1) / kScale;
  const double footerBase = H - (footer.bottom() + 1) / kScale;
  EXPECT_NEAR(headerBase, H - b->headerHeight() * 72.0 - s.TB_margin + descent, 0.2);
  EXPECT_NEAR(footerBase, s.TB_margin + descent, 0.2);
  EXPECT_NEAR(H - header.top() / kScale, headerBase + cap, 0.25);
  // The header's capitals end below the top margin; the bars end the header
  // margin below the header's line.
  EXPECT_LE(H - header.top() / kScale, H - s.TB_margin + 0.1);
  const int barsTop = inkBox(image, isBlack).top();  // the caption lies below the bars
  EXPECT_NEAR(H - barsTop / kScale, H - b->headerHeight() * 72.0 - s.TB_margin - s.header_margin, 0.15);
}

TEST(LinearCaption, AFramedQrSymbolStaysVectorAndReadable) {
  const auto grid = twod::QREncoder::encodeWithECLevel(1, 0, QStringLiteral("Framed 2D 42"));
  ASSERT_TRUE(grid);
  const auto symbol = twod::QREncoder::renderDataMatrix(*grid, 60, 600);
  ASSERT_TRUE(symbol);
  BarcodePicture inner;
  inner.picture = symbol->toPicture();
  inner.size = symbol->size();

  BarcodeDrawingState s = decoderState();
  BarcodeCaptionModel& m = s.caption2D;
  m.header = QStringLiteral("Header of a QR card");
  m.footer = QStringLiteral("Footer");
  m.printsHeader = m.printsFooter = true;
  s.setHeaderFontSize(10);
  s.setFooterFontSize(10);
  m.width = static_cast<float>(std::max<double>({m.headerWidth, m.footerWidth, inner.size.width()}) +
                               2 * s.LR_margin + 15);
  m.height = static_cast<float>(inner.size.height() + m.headerHeight * 72 + s.header_margin +
                                m.footerHeight * 72 + s.footer_margin + 2 * s.TB_margin);
  const BarcodePicture framed = imageFromBarcodeImage(inner, s);
  ASSERT_FALSE(framed.isNull());
  EXPECT_EQ(zxingRead(framed.toImage(288), "QRCode"), std::optional<std::string>("Framed 2D 42"));
  const QByteArray pdf = framed.toPdf();
  ASSERT_TRUE(pdf.startsWith("%PDF"));
  EXPECT_FALSE(pdf.contains("/Subtype /Image")) << "modules must stay vector rectangles";
}

namespace {
QStringList* capturedLines = nullptr;
void capture(QtMsgType, const QMessageLogContext&, const QString& text) {
  if (capturedLines) capturedLines->append(text);
}
}  // namespace

TEST(LinearCaption, Code128LogsItsFixedTextsWithTheValueAsACharacter) {
  QStringList lines;
  capturedLines = &lines;
  const QtMessageHandler previous = qInstallMessageHandler(capture);
  QVBCode128Barcode b;
  b.setCodeSet(65);  // no code set: logged as the character 'A', as "%c" writes it
  ASSERT_TRUE(b.initWithContent(QStringLiteral("x"), true));
  EXPECT_FALSE(b.isContentValid());
  EXPECT_EQ(b.initiator(), "");
  EXPECT_EQ(b._shiftCharacterForSet(66), "");
  EXPECT_EQ(b._valueForChar(static_cast<char>(0xE9)), -1);
  qInstallMessageHandler(previous);
  capturedLines = nullptr;
  EXPECT_TRUE(lines.contains(QStringLiteral("Invalid codeSet value: A")));
  EXPECT_TRUE(lines.contains(QStringLiteral("Invalid CodeSet value Supplied: B")));
  EXPECT_TRUE(lines.contains(QStringLiteral("_valueForChar: received Unrecognized character \u00e9")));
}
