// Data Matrix ECC200: codewords of the worked examples, failures with their
// lines, the EPS text, the route's report, and zxing round trips at every
// size and encodation (dmtxread reads a sample).
#include <gtest/gtest.h>

#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <sstream>

#include "TwoDDecode.h"
#include "barcode/twod/DataMatrixEcc200.h"
#include "barcode/twod/DataMatrixRoute.h"

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
  QProcess process;
  process.start(QStringLiteral("dmtxread"), QStringList{QStringLiteral("-n")} + paths);
  ASSERT_TRUE(process.waitForStarted()) << "dmtxread is missing (package dmtx-utils)";
  ASSERT_TRUE(process.waitForFinished(120000));
  EXPECT_EQ(process.readAllStandardOutput(), expected);
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
