// Second look at the 2D pictures: the Data Matrix EPS text and report lines
// against an independent reading of their layout, the front ends' option
// checks, very long values, and renders on several threads at once.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <random>
#include <sstream>
#include <thread>

#include "TwoDDecode.h"
#include "barcode/twod/DataMatrixEcc200.h"
#include "barcode/twod/DataMatrixRoute.h"
#include "barcode/twod/Pdf417View.h"
#include "barcode/twod/QREncoder.h"
#include "barcode/twod/QrEncode.h"

using namespace barcode::twod;

namespace {

// The image program of an EPS text written the plain way: rows from the bottom,
// eight modules a byte, inverted, a space after each row, a line break once 80
// characters (bytes and spaces) stand on the line.
QByteArray expectedImageData(const DataMatrixSymbol& s) {
  QByteArray body;
  int counter = 0;
  for (int y = 0; y < s.height; ++y) {
    for (int x0 = 0; x0 < s.width; x0 += 8) {
      int byte = 0;
      for (int b = 0; b < 8; ++b) {
        const int x = x0 + b;
        byte = (byte << 1) | (x < s.width && s.dark(x, y) ? 1 : 0);
      }
      body += QByteArray::number(byte ^ 0xFF, 16).rightJustified(2, '0').toUpper();
      ++counter;
    }
    body += ' ';
    ++counter;
    if (counter >= 80) {
      body += '\n';
      counter = 0;
    }
  }
  if (counter) body += '\n';
  return body;
}

}  // namespace

TEST(TwoDReviewDataMatrixRoute, EpsTextOfEveryShapeMatchesTheLayout) {
  // Square and rectangular sizes, with widths that fill whole bytes and widths that do not.
  for (const char* format : {"C10X10", "C8X18", "C16X48", "C24X24", "C64X64", "C144X144"}) {
    std::ostringstream out, err;
    const auto render = drawDataMatrixBarcode(QStringLiteral("C42"), QString::fromLatin1(format),
                                              QStringLiteral("Auto"), 2, 600, out, err);
    ASSERT_TRUE(render.symbol) << format << err.str();
    const DataMatrixSymbol& s = *render.symbol;
    const QByteArray head =
        "%!PS-Adobe-3.0 EPSF-3.0\n%%Creator: QUVO Gratulo Data Matrix generator\n"
        "%%BarcodeData: C42\n%%BarcodeSize: " +
        QByteArray::number(s.width) + "x" + QByteArray::number(s.height) +
        "\n%%BarcodeFormat: ECC200\n%%DocumentData: Clean7Bit\n%%LanguageLevel: 1\n"
        "%%Pages: 1\n%%BoundingBox: 0 0 " +
        QByteArray::number(s.width + 2) + " " + QByteArray::number(s.height + 2) +
        "\n%%EndComments\n%%Page: 1 1\n" + QByteArray::number(s.width) + " " + QByteArray::number(s.height) +
        " 1[1 0 0 1 -1 -1]{<\n";
    EXPECT_EQ(render.eps, head + expectedImageData(s) + "\n>}image\n") << format;
    // Pure 7-bit text, every line short enough for a PostScript reader.
    for (const QByteArray& line : render.eps.split('\n')) EXPECT_LE(line.size(), 255) << format;
    for (char c : render.eps) EXPECT_TRUE(static_cast<unsigned char>(c) < 128) << format;
  }
}

// Ghostscript draws the EPS text: the page is (W+2) x (H+2) points, white, with
// every module where the grid has it (row 0 at the bottom), and zxing reads it.
TEST(TwoDReviewDataMatrixRoute, GhostscriptDrawsTheEpsAsTheSymbol) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  for (const char* format : {"C12X26", "C22X22"}) {
    std::ostringstream out, err;
    const auto render = drawDataMatrixBarcode(QStringLiteral("EPS 2026"), QString::fromLatin1(format),
                                              QStringLiteral("Auto"), 2, 600, out, err);
    ASSERT_TRUE(render.symbol) << format;
    const DataMatrixSymbol& s = *render.symbol;
    const QString eps = dir.filePath(QStringLiteral("dm.eps"));
    const QString png = dir.filePath(QStringLiteral("dm.png"));
    {
      QFile file(eps);
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      file.write(render.eps);
    }
    constexpr int kScale = 8;  // pixels per point
    QProcess gs;
    gs.start(QStringLiteral("gs"),
             {QStringLiteral("-q"), QStringLiteral("-dSAFER"), QStringLiteral("-dBATCH"),
              QStringLiteral("-dNOPAUSE"), QStringLiteral("-dEPSCrop"), QStringLiteral("-sDEVICE=pnggray"),
              QStringLiteral("-r%1").arg(72 * kScale), QStringLiteral("-sOutputFile=") + png, eps});
    ASSERT_TRUE(gs.waitForStarted()) << "gs (ghostscript) is missing";
    ASSERT_TRUE(gs.waitForFinished(60000));
    ASSERT_EQ(gs.exitCode(), 0) << gs.readAllStandardError().toStdString();
    const QImage page(png);
    ASSERT_EQ(page.size(), QSize((s.width + 2) * kScale, (s.height + 2) * kScale)) << format;
    int wrong = 0;
    for (int y = -1; y <= s.height; ++y) {
      for (int x = -1; x <= s.width; ++x) {
        const bool expected = x >= 0 && y >= 0 && x < s.width && y < s.height && s.dark(x, y);
        // Centre of module (x, y) counted from the bottom; the page has one module of margin.
        const int px = (x + 1) * kScale + kScale / 2;
        const int py = (s.height - y) * kScale + kScale / 2;
        const bool dark = qGray(page.pixel(px, py)) < 128;
        wrong += dark != expected;
      }
    }
    EXPECT_EQ(wrong, 0) << format;
    EXPECT_EQ(twodtest::decode(page, ZXing::BarcodeFormat::DataMatrix), "EPS 2026") << format;
  }
}

TEST(TwoDReviewDataMatrixRoute, EpsOfAMismatchedGridIsRefused) {
  // A grid smaller than width x height has no picture to describe.
  EXPECT_TRUE(makeEPS_Data_Matrix("x", 10, 10, std::vector<uint8_t>(99, 1)).isEmpty());
  EXPECT_TRUE(makeEPS_Data_Matrix("x", -4, 10, std::vector<uint8_t>(100, 1)).isEmpty());
  EXPECT_FALSE(makeEPS_Data_Matrix("x", 10, 10, std::vector<uint8_t>(100, 1)).isEmpty());
}

TEST(TwoDReviewDataMatrixRoute, ReportLinesOfEachFailure) {
  struct Case {
    QString value, format, encoding;
    std::string err, size;
  };
  const std::vector<Case> cases = {
      {QString(40, QLatin1Char('7')) + QStringLiteral("abcdefghij"), QStringLiteral("C12X12"),
       QStringLiteral("Auto"), "Cannot make barcode fit 12x12\n", "12x12"},
      {QStringLiteral("too long for eight by eighteen"), QStringLiteral("C8X18"), QStringLiteral("Text"),
       "Barcode too long for 18x8\n", "18x8"},
      {QString(1600, QLatin1Char('\x01')), QStringLiteral("Auto"), QStringLiteral("Auto"),
       "Cannot find suitable size, barcode too long\n", "0x0"},
      {QString(1600, QLatin1Char('q')), QStringLiteral("Auto"), QStringLiteral("Base256"),
       "Cannot find suitable size, barcode too long\n", "0x0"},
  };
  for (const Case& c : cases) {
    std::ostringstream out, err;
    const auto render = drawDataMatrixBarcode(c.value, c.format, c.encoding, 2, 600, out, err);
    EXPECT_FALSE(render.picture);
    EXPECT_FALSE(render.symbol);
    EXPECT_TRUE(render.eps.isEmpty());
    EXPECT_EQ(err.str(), c.err + "No barcode produced\n");
    const std::string expectedEncoding = c.encoding == QLatin1String("Auto") ? std::string()
                                         : c.encoding == QLatin1String("Text")
                                             ? std::string(static_cast<size_t>(c.value.size()), 'T')
                                             : std::string(static_cast<size_t>(c.value.size()), 'B');
    const std::string shownValue = escapeForText(c.value.toUtf8()).toStdString();
    EXPECT_EQ(out.str(), "Size    : " + c.size + "\nEncoded : 0 of 0 bytes with 0 bytes of ecc\nBarcode : " +
                             shownValue + "\nEncoding: " + expectedEncoding + "\n");
  }
}

TEST(TwoDReviewLongValues, EachRouteFailsCleanlyAndQuickly) {
  QElapsedTimer timer;
  timer.start();
  const QString huge(200000, QLatin1Char('A'));
  {
    std::ostringstream out, err;
    const auto render =
        drawDataMatrixBarcode(huge, QStringLiteral("Auto"), QStringLiteral("Auto"), 2, 600, out, err);
    EXPECT_FALSE(render.picture);
    EXPECT_EQ(err.str(), "Cannot find suitable size, barcode too long\nNo barcode produced\n");
  }
  {
    std::ostringstream out, err;
    const auto render =
        drawDataMatrixBarcode(huge, QStringLiteral("C144X144"), QStringLiteral("Auto"), 2, 600, out, err);
    EXPECT_FALSE(render.picture);
    EXPECT_EQ(err.str(), "Cannot make barcode fit 144x144\nNo barcode produced\n");
  }
  for (const char* encoding : {"Ascii", "C40", "Text", "Base256"}) {
    std::ostringstream out, err;
    const auto render =
        drawDataMatrixBarcode(huge, QStringLiteral("Auto"), QString::fromLatin1(encoding), 2, 600, out, err);
    EXPECT_FALSE(render.picture) << encoding;
    EXPECT_EQ(err.str(), "Cannot find suitable size, barcode too long\nNo barcode produced\n") << encoding;
  }
  for (int level = 0; level < 4; ++level) {
    EXPECT_FALSE(QREncoder::encodeWithECLevel(level, 0, huge));
    EXPECT_FALSE(QREncoder::encodeWithECLevel(level, 40, huge));
  }
  pdf417View view(QSizeF(200, 60));
  EXPECT_EQ(view.drawWithText(huge), pdf417View::kError);
  EXPECT_FALSE(view.getImage());
  // 5,420 bytes pass the length check but not the codeword limit.
  EXPECT_EQ(view.drawWithText(QString(5420, QChar(0xE9))), pdf417View::kError);
  EXPECT_EQ(view.drawWithText(QString(5420, QLatin1Char('9'))), pdf417View::kError);
  EXPECT_LT(timer.elapsed(), 20000);
}

TEST(TwoDReviewQrFrontEnd, OptionsOutsideTheirRangesGiveNoGrid) {
  const QString text = QStringLiteral("QUVO");
  EXPECT_FALSE(QREncoder::encodeWithECLevel(-1, 0, text));
  EXPECT_FALSE(QREncoder::encodeWithECLevel(4, 0, text));
  EXPECT_FALSE(QREncoder::encodeWithECLevel(1, -1, text));
  EXPECT_FALSE(QREncoder::encodeWithECLevel(1, 41, text));
  EXPECT_FALSE(QREncoder::encodeWithECLevel(1, 0, QString()));
  for (int level = 0; level < 4; ++level) {
    for (int version : {0, 1, 7, 40}) {
      auto grid = QREncoder::encodeWithECLevel(level, version, text);
      ASSERT_TRUE(grid) << level << " " << version;
      EXPECT_EQ(grid->dimension(), 4 * (version ? version : 1) + 17);
    }
  }
  // Masks outside -1 ... 7 are refused by the encoder itself.
  CQR_Encode encoder(false);
  const auto* bytes = reinterpret_cast<const uint8_t*>("QUVO");
  EXPECT_FALSE(encoder.EncodeData(1, 0, true, 8, bytes, 4));
  EXPECT_FALSE(encoder.EncodeData(1, 0, true, -2, bytes, 4));
  EXPECT_TRUE(encoder.EncodeData(1, 0, true, 7, bytes, 4));
  EXPECT_EQ(encoder.m_nMaskingNo, 7);
}

TEST(TwoDReviewThreads, RoutesRenderSideBySide) {
  auto work = [](int seed, std::vector<QImage>* out) {
    pdf417View view(QSizeF(120, 40));
    view.setDpi(144);
    for (int i = 0; i < 8; ++i) {
      const QString value = QStringLiteral("row %1 of batch %2").arg(i).arg(seed);
      std::ostringstream o, e;
      auto dm = drawDataMatrixBarcode(value, QStringLiteral("Auto"), QStringLiteral("Auto"), 2, 144, o, e);
      out->push_back(dm.picture ? dm.picture->toImage() : QImage());
      auto grid = QREncoder::encodeWithECLevel(i % 4, 0, value);
      auto qr = grid ? QREncoder::renderDataMatrix(*grid, 60, 144) : std::nullopt;
      out->push_back(qr ? qr->toImage() : QImage());
      view.drawWithText(value);
      auto pdf = view.getImage();
      out->push_back(pdf ? pdf->toImage() : QImage());
    }
  };
  std::vector<QImage> serial, a, b, c;
  work(3, &serial);
  std::thread t1(work, 3, &a), t2(work, 3, &b), t3(work, 3, &c);
  t1.join();
  t2.join();
  t3.join();
  ASSERT_EQ(serial.size(), 24u);
  for (size_t i = 0; i < serial.size(); ++i) {
    ASSERT_FALSE(serial[i].isNull()) << i;
    EXPECT_EQ(a[i], serial[i]) << i;
    EXPECT_EQ(b[i], serial[i]) << i;
    EXPECT_EQ(c[i], serial[i]) << i;
  }
}

// Every format title and encoding title the dialog offers, with a spread of values:
// either a symbol of the chosen size that reads back, or one failure line and the report.
TEST(TwoDReviewDataMatrixRoute, EveryFormatAndEncodingTitle) {
  QStringList formats = {QStringLiteral("Auto")};
  for (int side :
       {10, 12, 14, 16, 18, 20, 22, 24, 26, 32, 36, 40, 44, 48, 52, 64, 72, 80, 88, 96, 104, 120, 132, 144})
    formats << QStringLiteral("C%1X%1").arg(side);
  formats << QStringLiteral("C8X18") << QStringLiteral("C8X32") << QStringLiteral("C12X26")
          << QStringLiteral("C12X36") << QStringLiteral("C16X36") << QStringLiteral("C16X48");
  ASSERT_EQ(formats.size(), 31);
  const QStringList encodings = {QStringLiteral("Auto"), QStringLiteral("Ascii"), QStringLiteral("C40"),
                                 QStringLiteral("Text"), QStringLiteral("Base256")};
  const QStringList values = {QStringLiteral("A"), QStringLiteral("card 7"),
                              QStringLiteral("QUVO GRATULO 2026"),
                              QString::fromUtf8("Gr\xC3\xBC\xC3\x9F"
                                                "e an alle"),
                              QStringLiteral("1234567890123456789012345678901234567890")};
  const std::vector<std::string> failureLines = {"Cannot make barcode fit ", "Barcode too long for "};
  int produced = 0, refused = 0;
  for (const QString& format : formats) {
    int rows = 0, columns = 0;
    parseDataMatrixFormat(format, &rows, &columns);
    for (const QString& encoding : encodings) {
      for (const QString& value : values) {
        std::ostringstream out, err;
        const auto render = drawDataMatrixBarcode(value, format, encoding, 1, 72, out, err);
        const std::string where =
            (format + QLatin1Char(' ') + encoding + QLatin1Char(' ') + value).toStdString();
        if (render.picture) {
          ++produced;
          ASSERT_TRUE(render.symbol) << where;
          EXPECT_TRUE(out.str().empty() && err.str().empty()) << where;
          if (rows) {
            EXPECT_EQ(render.symbol->height, rows) << where;
            EXPECT_EQ(render.symbol->width, columns) << where;
          }
          const QImage image = twodtest::gridImage(render.symbol->toModuleGrid(), 2, 2);
          EXPECT_EQ(twodtest::decode(image, ZXing::BarcodeFormat::DataMatrix), value.toUtf8().toStdString())
              << where;
        } else {
          ++refused;
          EXPECT_FALSE(render.symbol) << where;
          EXPECT_NE(rows, 0) << "no automatic size fits " << where;
          const std::string e = err.str();
          const bool known = std::any_of(failureLines.begin(), failureLines.end(),
                                         [&](const std::string& l) { return e.rfind(l, 0) == 0; });
          EXPECT_TRUE(known) << where << ": " << e;
          EXPECT_TRUE(e.size() > 20 && e.substr(e.size() - 20) == "No barcode produced\n") << where;
          EXPECT_EQ(
              out.str().rfind("Size    : " + std::to_string(columns) + "x" + std::to_string(rows) + "\n", 0),
              0u)
              << where;
        }
      }
    }
  }
  EXPECT_GT(produced, 500);
  EXPECT_GT(refused, 20);
}

// The level asked for is a floor: out-of-range levels are brought into 0-8, and a
// symbol whose rows leave room uses the highest level that fits. Every picture reads back.
TEST(TwoDReviewPdf417View, LevelsAndFramesOfTheDialog) {
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

// The margins of a QR picture are white with alpha 0, so the picture stays white
// around the symbol wherever it is flattened to RGB.
TEST(TwoDReviewQrFrontEnd, MarginsAreTransparentWhite) {
  auto grid = QREncoder::encodeWithECLevel(1, 1, QStringLiteral("margin"));
  ASSERT_TRUE(grid);
  auto picture = QREncoder::renderDataMatrix(*grid, 51, 72);  // margins 4 left/top, 5 right/bottom
  ASSERT_TRUE(picture);
  const QImage image = picture->toImage();
  ASSERT_EQ(image.format(), QImage::Format_RGBA8888);
  for (const QPoint& at : {QPoint(0, 0), QPoint(3, 20), QPoint(50, 50), QPoint(20, 47)}) {
    const QColor c = image.pixelColor(at);
    EXPECT_EQ(c.alpha(), 0);
    EXPECT_EQ(c.rgb() & 0xFFFFFF, 0xFFFFFFu) << at.x() << "," << at.y();
  }
  const QImage flat = image.convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(flat.pixelColor(0, 0), QColor(Qt::white));
  EXPECT_EQ(flat.pixelColor(50, 50), QColor(Qt::white));
  EXPECT_EQ(flat.pixelColor(4, 4), QColor(Qt::black));  // finder corner
}

// A size chosen in the dialog takes a value that one of the optimiser's two plans
// (planned for the end of the symbol, or the general one) fits into it; both are
// tried before the value is refused.
TEST(TwoDReviewDataMatrixEncode, ChosenSizeTriesBothPlansBeforeRefusing) {
  const struct {
    const char* value;
    const char* format;
  } cases[] = {
      {",B!--#+,-", "C14X14"},
      {"B\",2--/AA", "C14X14"},
      {"B1 3C20BC1CB0000", "C16X16"},
      {"AB03A*00AAB** *>2A02", "C12X26"},
  };
  for (const auto& c : cases) {
    const QString value = QString::fromLatin1(c.value);
    std::ostringstream out, err;
    const auto chosen =
        drawDataMatrixBarcode(value, QString::fromLatin1(c.format), QStringLiteral("Auto"), 2, 600, out, err);
    ASSERT_TRUE(chosen.symbol) << c.value << ": " << err.str();
    EXPECT_TRUE(err.str().empty() && out.str().empty()) << c.value;
    int rows = 0, columns = 0;
    parseDataMatrixFormat(QString::fromLatin1(c.format), &rows, &columns);
    EXPECT_EQ(chosen.symbol->height, rows);
    EXPECT_EQ(chosen.symbol->width, columns);
    EXPECT_EQ(twodtest::decode(chosen.picture->toImage(), ZXing::BarcodeFormat::DataMatrix),
              std::string(c.value))
        << c.value;
  }
  // Data that fits no encodation at the size is still refused with the same line.
  std::ostringstream out, err;
  EXPECT_FALSE(drawDataMatrixBarcode(QStringLiteral(",B!--#+,-,B!--"), QStringLiteral("C14X14"),
                                     QStringLiteral("Auto"), 2, 600, out, err)
                   .picture);
  EXPECT_EQ(err.str(), "Cannot make barcode fit 14x14\nNo barcode produced\n");
}

// Without a fixed level the level used for sizing follows the data codeword count
// (below 41: 2, below 161: 3, below 321: 4, else 5); with ten fixed columns the rows show it.
TEST(TwoDReviewPdf417Encode, AutomaticLevelForSizing) {
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

// Capacity at a chosen version: a text of one class holds the table's count
// (41 digits at 1-L); a mixed text is judged by its segments, so 30 digits and
// a letter fit 1-L although the whole text would count as 31 alphanumeric
// characters or 31 bytes (tables: 25 and 17).
TEST(TwoDReviewQrFrontEnd, CapacityFollowsTheSegments) {
  EXPECT_TRUE(QREncoder::encodeWithECLevel(0, 1, QString(41, QLatin1Char('7'))));
  EXPECT_FALSE(QREncoder::encodeWithECLevel(0, 1, QString(42, QLatin1Char('7'))));
  EXPECT_TRUE(QREncoder::encodeWithECLevel(0, 1, QString(30, QLatin1Char('7')) + QLatin1Char('A')));
  EXPECT_TRUE(QREncoder::encodeWithECLevel(0, 1, QString(30, QLatin1Char('7')) + QLatin1Char('a')));
  EXPECT_FALSE(QREncoder::encodeWithECLevel(0, 1, QString(41, QLatin1Char('7')) + QLatin1Char('A')));
  EXPECT_FALSE(QREncoder::encodeWithECLevel(0, 1, QString(18, QLatin1Char('a'))));
  // Version 40-L: 7,089 digits.
  EXPECT_TRUE(QREncoder::encodeWithECLevel(0, 40, QString(7089, QLatin1Char('1'))));
  EXPECT_FALSE(QREncoder::encodeWithECLevel(0, 40, QString(7090, QLatin1Char('1'))));
}

// Random values at chosen sizes with the automatic encodation: every symbol made reads back.
TEST(TwoDReviewDataMatrixEncode, ChosenSizesWithAutomaticEncodationRead) {
  std::mt19937 random(20261207);
  const std::string sets[] = {"ABCDEFGHIJ0123456789 ", "abcdefghij0123456789 ", "0123456789",
                              "ABC*>\r0123 ",          "AB12.,-+/!\"#",         "xyz\xE9\xFC 12"};
  const auto& table = ecc200matrix();
  int made = 0;
  for (int i = 0; i < 240; ++i) {
    const std::string& set = sets[static_cast<size_t>(i) % 6];
    std::string value;
    const int length = 1 + static_cast<int>(random() % 30);
    for (int k = 0; k < length; ++k) value += set[random() % set.size()];
    for (int t = 0; t < 3; ++t) {
      const Ecc200Size& size = table[random() % 15];
      std::ostringstream err;
      const auto symbol =
          datamatrix_ecc200(size.W, size.H, nullptr, reinterpret_cast<const uint8_t*>(value.data()),
                            static_cast<int>(value.size()), err);
      if (!symbol) continue;
      ++made;
      const QImage image = twodtest::gridImage(symbol->toModuleGrid(), 2, 2);
      EXPECT_EQ(twodtest::decode(image, ZXing::BarcodeFormat::DataMatrix), value)
          << size.W << "x" << size.H << " " << symbol->encoding << " " << value;
    }
  }
  EXPECT_GT(made, 200);
}
