// Round trips through independent decoders: generated values are drawn at three
// pixels per module and read back by zxing-cpp (all of them) and by zbarimg (a
// sample, in one run per symbology). Every read must equal the value.
#include <gtest/gtest.h>

#include <QImage>

#include "LinearTestSupport.h"
#include "barcode/linear/LinearSymbologies.h"
#include "barcode/linear/QVBCode128Barcode.h"
#include "barcode/linear/QVBCode39Barcode.h"
#include "barcode/linear/QVBUPCEANBarcode.h"

using namespace barcode;
using namespace barcode::testing;

namespace {

constexpr int kValues = 200;
constexpr int kZbarSample = 40;
constexpr int kPixelsPerModule = 3;

struct Sample {
  QString value;         // what the designer is given
  std::string expected;  // what a scanner must read
};

struct RoundTrip {
  const char* symbology;
  const char* zxingFormat;
  bool extended = false;
  const char* zbarSymbology = nullptr;  // nullptr: zbar does not read it
  // Which samples zbarimg reads; nullptr for all.
  bool (*zbarReads)(const Sample&) = nullptr;
};

std::string latin(const QString& s) {
  return s.toStdString();
}

void checkRoundTrips(const RoundTrip& trip, const std::vector<Sample>& samples) {
  ASSERT_GE(samples.size(), static_cast<size_t>(kValues));
  std::vector<QImage> zbarImages;
  std::vector<std::string> zbarExpected;
  int zxingOk = 0;
  for (size_t i = 0; i < samples.size(); ++i) {
    const Sample& sample = samples[i];
    auto code = createLinearBarcode(QString::fromLatin1(trip.symbology), sample.value);
    ASSERT_TRUE(code);
    ASSERT_TRUE(code->isContentValid()) << trip.symbology << " refuses " << latin(sample.value);
    const QImage image = renderForDecoding(*code, kPixelsPerModule);
    ASSERT_FALSE(image.isNull());
    const auto read = zxingRead(image, trip.zxingFormat, trip.extended);
    EXPECT_EQ(read, std::optional<std::string>(sample.expected))
        << trip.symbology << " value \"" << latin(sample.value) << "\"";
    if (read == std::optional<std::string>(sample.expected)) ++zxingOk;
    if (trip.zbarSymbology && static_cast<int>(zbarImages.size()) < kZbarSample &&
        (!trip.zbarReads || trip.zbarReads(sample))) {
      zbarImages.push_back(image);
      zbarExpected.push_back(sample.expected);
    }
  }
  std::printf("[ decoded  ] %s: zxing-cpp %d of %zu", trip.symbology, zxingOk, samples.size());
  if (trip.zbarSymbology) {
    const auto answers = zbarReadAll(zbarImages, QString::fromLatin1(trip.zbarSymbology));
    int zbarOk = 0;
    for (size_t i = 0; i < answers.size(); ++i) {
      EXPECT_EQ(answers[i], std::optional<std::string>(zbarExpected[i])) << trip.symbology << " (zbarimg)";
      if (answers[i] == std::optional<std::string>(zbarExpected[i])) ++zbarOk;
    }
    std::printf(", zbarimg %d of %zu", zbarOk, answers.size());
  }
  std::printf("\n");
}

std::vector<Sample> same(const std::vector<std::string>& values) {
  std::vector<Sample> out;
  for (const std::string& v : values)
    out.push_back({QString::fromLatin1(v.c_str(), static_cast<int>(v.size())), v});
  return out;
}

const std::string kDigits = "0123456789";

std::string printableAscii() {
  std::string s;
  for (int c = 32; c < 127; ++c) s.push_back(static_cast<char>(c));
  return s;
}

// Values that begin and end with a character other than a space, which
// decoders may trim.
std::vector<std::string> trimmed(std::vector<std::string> values) {
  for (std::string& v : values) {
    if (!v.empty() && v.front() == ' ') v.front() = 'Q';
    if (!v.empty() && v.back() == ' ') v.back() = 'Z';
  }
  return values;
}

}  // namespace

TEST(LinearDecoders, Code39) {
  std::mt19937 rng(39);
  const auto values =
      trimmed(randomStrings(rng, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%", kValues, 1, 14));
  checkRoundTrips({"Code 39", "Code39", false, "code39"}, same(values));
}

TEST(LinearDecoders, ExtendedCode39) {
  std::mt19937 rng(3939);
  auto values = trimmed(randomStrings(rng, printableAscii() + "\t\n\r", kValues, 1, 10));
  for (std::string& v : values) {
    // A value of digits and capitals only reads the same in both modes; mix in
    // a lower-case letter so that every value needs the full-ASCII table.
    v.insert(v.begin() + static_cast<long>(v.size() / 2), 'k');
  }
  values.push_back("*");
  values.push_back("a*b\r\nc\td");
  checkRoundTrips({"Extended Code 39", "Code39", true, nullptr}, same(values));
}

TEST(LinearDecoders, Code128Automatic) {
  std::mt19937 rng(128);
  std::vector<std::string> values = trimmed(randomStrings(rng, printableAscii(), kValues / 2, 1, 16));
  for (const auto& v : randomStrings(rng, kDigits, kValues / 4, 1, 17)) values.push_back(v);  // odd and even
  std::string controls;
  for (int c = 1; c < 32; ++c) controls.push_back(static_cast<char>(c));
  // Control characters with lower-case letters: set A or B with shifts.
  for (const auto& v : randomStrings(rng, controls + "abcxyzABC019", kValues / 4, 2, 12)) values.push_back(v);
  // zbarimg reads the first values, which are printable.
  checkRoundTrips({"Code 128", "Code128", false, "code128"}, same(values));
}

TEST(LinearDecoders, Code128SetA) {
  std::mt19937 rng(1281);
  std::string alphabet;
  for (int c = 0; c < 96; ++c)
    if (c != 0) alphabet.push_back(static_cast<char>(c));
  auto values = trimmed(randomStrings(rng, alphabet + "abz", kValues, 1, 14));  // lower case: shifted
  checkRoundTrips({"Code 128 SET A", "Code128", false, nullptr}, same(values));
}

TEST(LinearDecoders, Code128SetB) {
  std::mt19937 rng(1282);
  auto values =
      trimmed(randomStrings(rng, printableAscii() + "\t\x1f", kValues, 1, 14));  // controls: shifted
  checkRoundTrips({"Code 128 SET B", "Code128", false, nullptr}, same(values));
}

TEST(LinearDecoders, Code128SetC) {
  std::mt19937 rng(1283);
  const auto values = randomStrings(rng, kDigits, kValues, 1, 24);
  checkRoundTrips({"Code 128 SET C", "Code128", false, "code128"}, same(values));
}

TEST(LinearDecoders, Ean13) {
  std::mt19937 rng(13);
  std::vector<Sample> samples;
  for (const auto& v : randomStrings(rng, kDigits, kValues, 12, 12))
    samples.push_back({QString::fromStdString(v), v + upcean::checkDigitFor(v)});
  checkRoundTrips({"EAN-13", "EAN13", false, "ean13"}, samples);
}

TEST(LinearDecoders, Ean8) {
  std::mt19937 rng(8);
  std::vector<Sample> samples;
  for (const auto& v : randomStrings(rng, kDigits, kValues, 7, 7))
    samples.push_back({QString::fromStdString(v), v + upcean::checkDigitFor(v)});
  checkRoundTrips({"EAN-8", "EAN8", false, "ean8"}, samples);
}

TEST(LinearDecoders, UpcA) {
  std::mt19937 rng(12);
  std::vector<Sample> samples;
  for (const auto& v : randomStrings(rng, kDigits, kValues, 11, 11))
    samples.push_back({QString::fromStdString(v), v + upcean::checkDigitFor(v)});
  checkRoundTrips({"UPCA", "UPCA", false, "ean13 upca"}, samples);
}

TEST(LinearDecoders, UpcE) {
  std::mt19937 rng(6);
  std::vector<Sample> samples;
  for (const auto& six : randomStrings(rng, kDigits, kValues, 6, 6)) {
    const std::string v = std::string(1, "01"[samples.size() % 2]) + six;
    const std::string check(1, upcean::checkDigitFor(QVBUPCEBarcode::expandToUPCA(v)));
    samples.push_back({QString::fromStdString(v), v + check});
  }
  // Eleven-digit UPC-A numbers with a UPC-E form.
  for (const char* upca : {"04210000526", "01230000045", "01234000005", "01234500007"}) {
    const std::string a(upca);
    auto code = createLinearBarcode(QStringLiteral("UPCE"), QString::fromLatin1(upca));
    samples.push_back({QString::fromLatin1(upca), code->content().toStdString() + upcean::checkDigitFor(a)});
  }
  // zbarimg reads UPC-E of number system 0 only.
  checkRoundTrips({"UPCE", "UPCE", false, "upce", [](const Sample& s) { return s.expected[0] == '0'; }},
                  samples);
}

TEST(LinearDecoders, Interleaved2of5) {
  std::mt19937 rng(25);
  std::uniform_int_distribution<int> half(3, 10);
  std::vector<std::string> values;
  std::uniform_int_distribution<int> digit(0, 9);
  for (int i = 0; i < kValues; ++i) {
    std::string v;
    const int n = 2 * half(rng);
    for (int k = 0; k < n; ++k) v.push_back(static_cast<char>('0' + digit(rng)));
    values.push_back(v);
  }
  std::vector<Sample> samples = same(values);
  // An odd count of digits is written with a leading zero.
  samples.push_back({QStringLiteral("1234567"), "01234567"});
  checkRoundTrips({"Interleaved 2 of 5", "ITF", false, "i25"}, samples);
}

TEST(LinearDecoders, Codabar) {
  std::mt19937 rng(27);
  std::uniform_int_distribution<int> guard(0, 3);
  std::vector<std::string> values;
  for (const auto& body : randomStrings(rng, "0123456789-$:/.+", kValues, 2, 12))
    values.push_back(std::string(1, "ABCD"[guard(rng)]) + body + std::string(1, "ABCD"[guard(rng)]));
  values.push_back("A1234B");
  values.push_back("C+5+D");
  checkRoundTrips({"Codabar", "Codabar", false, "codabar"}, same(values));
}
