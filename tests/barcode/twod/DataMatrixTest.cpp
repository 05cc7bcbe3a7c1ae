// Data Matrix ECC200: codewords of the worked examples, failures with their
// lines, the EPS text, the route's report, and zxing round trips at every
// size and encodation (dmtxread reads a sample).
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPainter>
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
#include "platform/ChildProcess.h"

using namespace barcode::twod;

namespace {

const uint8_t* bytes(const std::string& s) {
  return reinterpret_cast<const uint8_t*>(s.data());
}

std::optional<DataMatrixSymbol> encode(const std::string& data, int w = 0, int h = 0,
                                       const char* enc = nullptr, std::string* errors = nullptr) {
  std::ostringstream err;
  std::string encoding = enc ? std::string(data.size(), *enc) : std::string();
  auto symbol =
      datamatrix_ecc200(w, h, enc ? &encoding : nullptr, bytes(data), static_cast<int>(data.size()), err);
  if (errors) *errors = err.str();
  return symbol;
}

std::optional<std::string> decodeSymbol(const DataMatrixSymbol& s, int px = 3) {
  const QImage image = twodtest::gridImage(s.toModuleGrid(), px, 2);
  return twodtest::decode(image, ZXing::BarcodeFormat::DataMatrix);
}

}  // namespace

TEST(DataMatrixEncode, DigitsBecomeAsciiPairs) {
  auto s = encode("123456");
  ASSERT_TRUE(s);
  EXPECT_EQ(s->width, 10);
  EXPECT_EQ(s->height, 10);
  EXPECT_EQ(s->encoding, "AAAAAA");
  EXPECT_EQ(s->used, 3);
  EXPECT_EQ(s->capacity, 3);
  EXPECT_EQ(s->ecc, 5);
  ASSERT_GE(s->codewords.size(), 3u);
  EXPECT_EQ(std::vector<uint8_t>(s->codewords.begin(), s->codewords.begin() + 3),
            (std::vector<uint8_t>{142, 164, 186}));
  EXPECT_EQ(decodeSymbol(*s), "123456");
}

TEST(DataMatrixEncode, EmptyDataIsOnlyPadding) {
  auto s = encode("");
  ASSERT_TRUE(s);
  EXPECT_EQ(s->encoding, "");
  EXPECT_EQ(s->width, 10);
  EXPECT_EQ(s->used, 0);
  EXPECT_EQ(s->codewords[0], 129);
}

TEST(DataMatrixEncode, FailuresWriteTheirLine) {
  std::string err;
  EXPECT_FALSE(encode("abc", 11, 11, nullptr, &err));
  EXPECT_EQ(err, "Invalid size 11x11\n");
  EXPECT_FALSE(encode(std::string(20, 'x'), 10, 10, nullptr, &err));
  EXPECT_EQ(err, "Cannot make barcode fit 10x10\n");
  EXPECT_FALSE(encode(std::string(20, 'x'), 10, 10, "A", &err));
  EXPECT_EQ(err, "Barcode too long for 10x10\n");
  EXPECT_FALSE(encode(std::string(1600, '\x01'), 0, 0, nullptr, &err));
  EXPECT_EQ(err, "Cannot find suitable size, barcode too long\n");
  EXPECT_FALSE(encode(std::string(3200, '\xE9'), 144, 144, nullptr, &err));
  EXPECT_EQ(err, "Cannot make barcode fit 144x144\n");
  EXPECT_FALSE(encode("ab", 0, 0, "X", &err));
  EXPECT_EQ(err, "Cannot encode char 0x61 in X12\n");
  EXPECT_FALSE(encode("abcdefgh", 0, 0, "E", &err));
  EXPECT_EQ(err, "Cannot encode 0x61 in EDIFACT\n");
  EXPECT_FALSE(encode("ab", 0, 0, "Q", &err));
  EXPECT_EQ(err, "Unknown encoding Q\n");
  std::ostringstream e;
  std::string shortEnc = "A";
  EXPECT_FALSE(datamatrix_ecc200(0, 0, &shortEnc, bytes("ab"), 2, e));
  EXPECT_EQ(e.str(), "Encoding string too short\n");
}

TEST(DataMatrixEncode, HighBytesAndBase256) {
  std::vector<uint8_t> cw(3, 0);
  std::ostringstream err;
  int used = 0;
  const std::string high = "\xE9";
  ASSERT_TRUE(ecc200encode(cw, 3, bytes(high), 1, "A", &used, err));
  EXPECT_EQ(used, 2);
  EXPECT_EQ(cw[0], 235);
  EXPECT_EQ(cw[1], 0xE9 - 127);

  const std::string run(300, 'z');
  std::vector<uint8_t> big;
  ASSERT_TRUE(ecc200encode(big, 400, bytes(run), 300, std::string(300, 'B'), &used, err));
  EXPECT_EQ(big[0], 231);
  auto unrandomise = [](int value, int position) {
    return (value - ((149 * position) % 255) - 1 + 512) % 256;
  };
  EXPECT_EQ(unrandomise(big[1], 2), 250);
  EXPECT_EQ(unrandomise(big[2], 3), 50);
  EXPECT_EQ(unrandomise(big[3], 4), 'z');
  EXPECT_EQ(used, 303);
}

TEST(DataMatrixEncode, C40EndingWithTwoValuesInTheLastTwoCodewords) {
  // 12x12 holds 5 codewords: latch + two triples of "AB" values... "ABCDE" = latch, 1 triple (2), then
  // "DE" two values completed by a 0 value in the last two codewords, no unlatch.
  std::vector<uint8_t> cw;
  std::ostringstream err;
  int used = 0;
  ASSERT_TRUE(ecc200encode(cw, 5, bytes("ABCDE"), 5, "CCCCC", &used, err));
  EXPECT_EQ(cw[0], 230);
  const int v = 1600 * (3 + 14) + 40 * (3 + 15) + 0 + 1;
  EXPECT_EQ(cw[3], v >> 8);
  EXPECT_EQ(cw[4], v & 0xFF);
  auto s = encode("ABCDE", 12, 12, "C");
  ASSERT_TRUE(s);
  EXPECT_EQ(decodeSymbol(*s), "ABCDE");
}

TEST(DataMatrixEncode, LargestSymbolHasTenBlocks) {
  const Ecc200Size& big = ecc200matrix().back();
  EXPECT_EQ(big.W, 144);
  EXPECT_EQ(big.blocks(), 10);
  EXPECT_EQ(big.eccBytes(), 620);
  // Blocks 0-7 carry 156 data codewords, blocks 8 and 9 carry 155.
  int count8 = 0;
  for (int n = 8; n < big.bytes; n += 10) ++count8;
  EXPECT_EQ(count8, 155);
  int square = 0;
  for (const auto& s : ecc200matrix()) square += s.W == s.H;
  EXPECT_EQ(square, 24);
}

TEST(DataMatrixRoundTrip, EverySizeDecodes) {
  int decoded = 0;
  for (const Ecc200Size& size : ecc200matrix()) {
    // Digit pairs fill the symbol exactly.
    std::string digits;
    for (int i = 0; i < 2 * size.bytes; ++i) digits += static_cast<char>('0' + (i * 7 + size.W) % 10);
    auto s = encode(digits, size.W, size.H);
    ASSERT_TRUE(s) << size.H << "x" << size.W;
    EXPECT_EQ(s->used, size.bytes);
    const auto result = decodeSymbol(*s, size.W > 100 ? 2 : 3);
    if (result == digits)
      ++decoded;
    else
      ADD_FAILURE() << "no decode at " << size.H << "x" << size.W;
  }
  EXPECT_EQ(decoded, 30);
  std::printf("Data Matrix sizes decoded: %d of 30\n", decoded);
}

TEST(DataMatrixRoundTrip, EveryEncodationDecodes) {
  struct Case {
    const char* encoding;
    std::string data;
  };
  std::string binary;
  for (int i = 0; i < 40; ++i) binary += static_cast<char>((i * 37 + 200) & 0xFF);
  const std::vector<Case> cases = {
      {"A", "Hello, World! 0123456789 \xC3\xA9t\xC3\xA9"},
      {"C", "C40 ENCODATION 12345 WITH SHIFTS: a!b?\x01\xE9"},
      {"T", "text encodation 12345 With Shifts! \x02\xE9"},
      {"X", "X12*SEGMENT>123\rABC"},
      {"X", "X12*SEGMENT>123\rAB"},
      {"X", "X12*SEGMENT>123\rA"},
      {"E", "EDIFACT:DATA?123=;<>@^"},
      {"E", "EDIFACT:DATA?1"},
      {"E", "EDIF"},
      {"B", binary},
      {"C", "AB"},
      {"C", "ABCD"},
      {"T", "abcdefg"},
      {nullptr, "Mixed CONTENT 1234567890 with EDIFACT:;<=> and X12*> and \xFF\x00\x01 bytes"},
      {nullptr, std::string(1500, 'A')},
      {nullptr, binary + binary + binary},
  };
  int decoded = 0, total = 0;
  for (const Case& c : cases) {
    // Automatic size, and a few forced sizes where the data fits.
    std::vector<std::pair<int, int>> sizes = {{0, 0}};
    for (const auto& size : ecc200matrix()) {
      std::string err;
      if (sizes.size() < 4 && encode(c.data, size.W, size.H, c.encoding, &err))
        sizes.push_back({size.W, size.H});
    }
    for (auto [w, h] : sizes) {
      ++total;
      auto s = encode(c.data, w, h, c.encoding);
      ASSERT_TRUE(s) << (c.encoding ? c.encoding : "auto") << " " << w << "x" << h;
      const auto result = decodeSymbol(*s, s->width > 100 ? 2 : 3);
      if (result == c.data)
        ++decoded;
      else
        ADD_FAILURE() << "no decode: " << (c.encoding ? c.encoding : "auto") << " " << s->width << "x"
                      << s->height << " data " << c.data.substr(0, 30) << " got "
                      << (result ? *result : "nothing");
    }
  }
  EXPECT_EQ(decoded, total);
  std::printf("Data Matrix encodation round trips decoded: %d of %d\n", decoded, total);
}

TEST(DataMatrixRoundTrip, AutomaticEncodationOverManyLengths) {
  int decoded = 0, total = 0;
  const std::string alphabet = "ABCDEFGHIJ0123456789abcdefghij *>\r:;<=?@[]!\xE9\x01";
  for (int length = 1; length <= 120; length += 7) {
    for (int seed = 0; seed < 3; ++seed) {
      std::string data;
      for (int i = 0; i < length; ++i) {
        const int pick = seed == 0   ? (i % 11)
                         : seed == 1 ? (i * 7 % 20) + 10
                                     : (i * 13 + length) % alphabet.size();
        data += alphabet[static_cast<size_t>(pick) % alphabet.size()];
      }
      ++total;
      auto s = encode(data);
      ASSERT_TRUE(s) << data;
      const auto result = decodeSymbol(*s, s->width > 100 ? 2 : 3);
      if (result == data)
        ++decoded;
      else
        ADD_FAILURE() << "no decode: " << s->encoding << " for " << data;
    }
  }
  EXPECT_EQ(decoded, total);
}

TEST(DataMatrixRoute, EpsTextAndPicture) {
  std::ostringstream out, err;
  auto render = drawDataMatrixBarcode(QStringLiteral("123456"), QStringLiteral("Auto"),
                                      QStringLiteral("Auto"), 2, 600, out, err);
  ASSERT_TRUE(render.picture);
  EXPECT_TRUE(out.str().empty());
  EXPECT_TRUE(err.str().empty());
  EXPECT_EQ(render.picture->size(), QSizeF(20, 20));
  EXPECT_EQ(render.picture->pixelSize(), QSize(100, 100));
  const QByteArray eps = render.eps;
  EXPECT_TRUE(
      eps.startsWith("%!PS-Adobe-3.0 EPSF-3.0\n%%Creator: QUVO Gratulo Data Matrix generator\n"
                     "%%BarcodeData: 123456\n%%BarcodeSize: 10x10\n%%BarcodeFormat: ECC200\n"
                     "%%DocumentData: Clean7Bit\n%%LanguageLevel: 1\n%%Pages: 1\n"
                     "%%BoundingBox: 0 0 12 12\n%%EndComments\n%%Page: 1 1\n10 10 1[1 0 0 1 -1 -1]{<\n"));
  EXPECT_TRUE(eps.endsWith("\n>}image\n"));
  // Row 0 (the bottom) is all dark: 0xFF 0xC0 inverted is 00 3F.
  EXPECT_TRUE(eps.contains("{<\n003F "));
  // The counter adds 3 per row (2 bytes, 1 space): 10 rows stay on one line of 50 characters.
  const QByteArray body = eps.mid(eps.indexOf("{<\n") + 3);
  EXPECT_EQ(body.left(body.indexOf('\n')).size(), 50);
  // The picture shows the symbol one module in from a white page.
  const QImage image = render.picture->toImage();
  EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::white));
  EXPECT_EQ(image.pixelColor(10, 90), QColor(Qt::black));  // bottom-left module
  EXPECT_EQ(twodtest::decode(image, ZXing::BarcodeFormat::DataMatrix), "123456");
}

TEST(DataMatrixRoute, EpsDataLineIsEscaped) {
  const QByteArray eps =
      makeEPS_Data_Matrix(QByteArray("a\n%%EOF\\\xC3\xA9", 10), 10, 10, std::vector<uint8_t>(100, 0));
  const int start = eps.indexOf("%%BarcodeData: ");
  const QByteArray line = eps.mid(start, eps.indexOf('\n', start) - start);
  EXPECT_EQ(line, QByteArray("%%BarcodeData: a\\012%%EOF\\134\\303\\251"));
  EXPECT_EQ(eps.count("\n%%EOF"), 0);
}

TEST(DataMatrixRoute, FailureReportsAndGivesNoPicture) {
  std::ostringstream out, err;
  auto render = drawDataMatrixBarcode(QString(30, QLatin1Char('x')), QStringLiteral("C10X10"),
                                      QStringLiteral("Ascii"), 2, 600, out, err);
  EXPECT_FALSE(render.picture);
  EXPECT_TRUE(render.eps.isEmpty());
  EXPECT_EQ(err.str(), "Barcode too long for 10x10\nNo barcode produced\n");
  EXPECT_EQ(out.str(), "Size    : 10x10\nEncoded : 0 of 0 bytes with 0 bytes of ecc\nBarcode : " +
                           std::string(30, 'x') + "\nEncoding: " + std::string(30, 'A') + "\n");
}

TEST(DataMatrixRoute, FormatTitlesAndEncodings) {
  int rows = -1, cols = -1;
  parseDataMatrixFormat(QStringLiteral("C8X18"), &rows, &cols);
  EXPECT_EQ(rows, 8);
  EXPECT_EQ(cols, 18);
  parseDataMatrixFormat(QStringLiteral("Auto"), &rows, &cols);
  EXPECT_EQ(rows + cols, 0);
  parseDataMatrixFormat(QStringLiteral("C 16 X 48"), &rows, &cols);
  EXPECT_EQ(rows, 16);
  EXPECT_EQ(cols, 48);
  std::ostringstream out, err;
  auto rect = drawDataMatrixBarcode(QStringLiteral("Rect"), QStringLiteral("C8X18"), QStringLiteral("Auto"),
                                    1, 72, out, err);
  ASSERT_TRUE(rect.symbol);
  EXPECT_EQ(rect.symbol->width, 18);
  EXPECT_EQ(rect.symbol->height, 8);
  // Non-ASCII values are encoded with all the bytes of their UTF-8 form.
  for (const char* enc : {"Ascii", "C40", "Text", "Base256", "Auto"}) {
    auto r = drawDataMatrixBarcode(QString::fromUtf8("Gr\xC3\xBC\xC3\x9F"
                                                     "e 42"),
                                   QStringLiteral("Auto"), QString::fromLatin1(enc), 3, 300, out, err);
    ASSERT_TRUE(r.picture) << enc;
    EXPECT_EQ(twodtest::decode(r.picture->toImage(), ZXing::BarcodeFormat::DataMatrix),
              "Gr\xC3\xBC\xC3\x9F"
              "e 42")
        << enc;
  }
}

// dmtxread lays out the blocks of 144x144 its own way, so it reads the other
// 29 sizes: one symbol of each, all in one run, one line each.
TEST(DataMatrixRoundTrip, DmtxreadReadsEverySizeButTheLargest) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QStringList paths;
  QByteArray expected;
  for (const Ecc200Size& size : ecc200matrix()) {
    if (size.W == 144) continue;
    const std::string value = "QUVO " + std::to_string(size.H) + "x" + std::to_string(size.W);
    auto s = encode(value.substr(0, static_cast<size_t>(size.bytes)), size.W, size.H);
    ASSERT_TRUE(s) << value;
    const QString path = dir.filePath(QStringLiteral("dm%1.png").arg(paths.size()));
    ASSERT_TRUE(twodtest::gridImage(s->toModuleGrid(), 4, 2).save(path));
    paths << path;
    expected += QByteArray::fromStdString(value.substr(0, static_cast<size_t>(size.bytes))) + "\n";
  }
  ASSERT_EQ(paths.size(), 29);
  const auto process =
      platform::runChild(QStringLiteral("dmtxread"), QStringList{QStringLiteral("-n")} + paths);
  ASSERT_TRUE(process.started) << "dmtxread is missing (package dmtx-utils)";
  EXPECT_EQ(process.out, expected);
}

// Every ending of a forced encodation: each length in the smallest sizes that hold it,
// so that the data runs out with 0, 1, 2 or more codewords of room.
TEST(DataMatrixRoundTrip, ForcedEncodationEndings) {
  struct Set {
    char encoding;
    std::string chars;
  };
  const std::vector<Set> sets = {{'A', "12ab3CD45"},
                                 {'C', "AB1 CD2x"},
                                 {'T', "ab1 cd2X"},
                                 {'X', "AB1*>\rC2"},
                                 {'E', "AB1:;<=>?@"},
                                 {'B',
                                  "\x01\xFF"
                                  "ab"}};
  int decoded = 0, total = 0;
  for (const Set& set : sets) {
    for (int length = 1; length <= 24; ++length) {
      std::string data;
      for (int i = 0; i < length; ++i)
        data += set.chars[static_cast<size_t>(i * 5 + length) % set.chars.size()];
      int fitting = 0;
      for (const auto& size : ecc200matrix()) {
        if (fitting == 3) break;
        auto s = encode(data, size.W, size.H, std::string(1, set.encoding).c_str());
        if (!s) continue;
        ++fitting;
        ++total;
        const auto result = decodeSymbol(*s);
        if (result == data)
          ++decoded;
        else
          ADD_FAILURE() << set.encoding << " " << size.H << "x" << size.W << " length " << length << " used "
                        << s->used << " of " << s->capacity;
      }
    }
  }
  EXPECT_EQ(decoded, total);
  std::printf("Data Matrix forced endings decoded: %d of %d\n", decoded, total);
}

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

TEST(DataMatrixRoute, EpsTextOfEveryShapeMatchesTheLayout) {
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
TEST(DataMatrixRoute, GhostscriptDrawsTheEpsAsTheSymbol) {
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
    const auto gs = platform::runChild(
        QStringLiteral("gs"),
        {QStringLiteral("-q"), QStringLiteral("-dSAFER"), QStringLiteral("-dBATCH"),
         QStringLiteral("-dNOPAUSE"), QStringLiteral("-dEPSCrop"), QStringLiteral("-sDEVICE=pnggray"),
         QStringLiteral("-r%1").arg(72 * kScale), QStringLiteral("-sOutputFile=") + png, eps});
    ASSERT_TRUE(gs.started) << "gs (ghostscript) is missing";
    ASSERT_EQ(gs.exitCode, 0) << gs.err.toStdString();
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

TEST(DataMatrixRoute, EpsOfAMismatchedGridIsRefused) {
  // A grid smaller than width x height has no picture to describe.
  EXPECT_TRUE(makeEPS_Data_Matrix("x", 10, 10, std::vector<uint8_t>(99, 1)).isEmpty());
  EXPECT_TRUE(makeEPS_Data_Matrix("x", -4, 10, std::vector<uint8_t>(100, 1)).isEmpty());
  EXPECT_FALSE(makeEPS_Data_Matrix("x", 10, 10, std::vector<uint8_t>(100, 1)).isEmpty());
}

TEST(DataMatrixRoute, ReportLinesOfEachFailure) {
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

// Every format title and encoding title the dialog offers, with a spread of values:
// either a symbol of the chosen size that reads back, or one failure line and the report.
TEST(DataMatrixRoute, EveryFormatAndEncodingTitle) {
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

// A size chosen in the dialog takes a value that one of the optimiser's two plans
// (planned for the end of the symbol, or the general one) fits into it; both are
// tried before the value is refused.
TEST(DataMatrixEncode, ChosenSizeTriesBothPlansBeforeRefusing) {
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

// Random values at chosen sizes with the automatic encodation: every symbol made reads back.
TEST(DataMatrixEncode, ChosenSizesWithAutomaticEncodationRead) {
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
