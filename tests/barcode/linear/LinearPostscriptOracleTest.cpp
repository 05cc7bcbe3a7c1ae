// Symbologies that no decoder here reads are compared bar by bar with an
// independent encoder: the PostScript barcode writer, run by gs with its
// "dontdraw" option (one gs run per symbology for all values).
#include <gtest/gtest.h>

#include <algorithm>

#include "LinearTestSupport.h"
#include "barcode/linear/LinearSymbologies.h"
#include "barcode/linear/QVBPostalBarcodes.h"

using namespace barcode;
using namespace barcode::testing;

namespace {

constexpr int kValues = 60;

std::string ourClasses(const QVBBarcode& code) {
  std::vector<double> widths;
  for (int r : runLengths(code.completeBarcode())) widths.push_back(r);
  return widthClasses(widths, 1.0);
}

// Bar kinds of a height-coded symbol: T tracker, D descender, A ascender, F
// full for four-state codes; T tall and S short for POSTNET and PLANET.
std::string ourBars(const QVBBarcode& code) {
  const BarcodeDrawingState s;
  const std::string m = code.completeBarcode();
  std::string out;
  for (size_t i = 0; i < m.size(); ++i) {
    if (m[i] != '1') continue;
    const int index = static_cast<int>(i);
    const float top = code.barTop(index, s);
    if (!code.drawsBarBottoms()) {
      out.push_back(top > 6.0f ? 'T' : 'S');
      continue;
    }
    const bool ascender = top >= code.symbolTop() - 0.01f;
    const bool descender = code.barBottom(index, s) <= 0.01f;
    out.push_back(ascender ? (descender ? 'F' : 'A') : (descender ? 'D' : 'T'));
  }
  return out;
}

enum class Compare { Widths, Heights, FourState };

void compareWithWriter(const char* symbology, const char* encoder, const char* options,
                       const std::vector<std::string>& values, Compare how) {
  ASSERT_GE(values.size(), 50u);
  const auto theirs = postscriptEncodeAll(QString::fromLatin1(encoder), QString::fromLatin1(options), values);
  ASSERT_EQ(theirs.size(), values.size());
  int same = 0;
  for (size_t i = 0; i < values.size(); ++i) {
    auto code = createLinearBarcode(QString::fromLatin1(symbology), QString::fromStdString(values[i]));
    ASSERT_TRUE(code && code->isContentValid()) << symbology << " refuses " << values[i];
    ASSERT_TRUE(theirs[i].ok) << encoder << " refuses " << values[i];
    std::string ours, other;
    if (how == Compare::Widths) {
      ours = ourClasses(*code);
      other = widthClasses(theirs[i].sbs, 1.0);
    } else {
      ours = ourBars(*code);
      other = writerBarKinds(theirs[i], how == Compare::FourState);
      // Bar pitch: every bar one module, every gap the same.
      const std::vector<int> runs = runLengths(code->completeBarcode());
      for (size_t k = 0; k + 1 < runs.size(); ++k) ASSERT_EQ(runs[k], k % 2 == 0 ? 1 : runs[1]) << values[i];
    }
    EXPECT_EQ(ours, other) << symbology << " value " << values[i];
    if (ours == other) ++same;
  }
  std::printf("[ oracle   ] %s: %d of %zu equal to the PostScript writer\n", symbology, same, values.size());
}

std::vector<std::string> digitStrings(std::mt19937& rng, int count, std::initializer_list<int> lengths) {
  std::vector<std::string> out;
  std::vector<int> l(lengths);
  for (int i = 0; i < count; ++i) {
    const auto one = randomStrings(rng, "0123456789", 1, l[static_cast<size_t>(i) % l.size()],
                                   l[static_cast<size_t>(i) % l.size()]);
    out.push_back(one.front());
  }
  return out;
}

}  // namespace

TEST(LinearPostscriptOracle, Postnet) {
  std::mt19937 rng(1);
  auto values = digitStrings(rng, kValues, {5, 9, 11});
  values.push_back("12345");
  compareWithWriter("PostNet", "postnet", "includecheck", values, Compare::Heights);
}

TEST(LinearPostscriptOracle, Planet) {
  std::mt19937 rng(2);
  const auto values = digitStrings(rng, kValues, {11});
  compareWithWriter("Planet", "planet", "includecheck", values, Compare::Heights);
}

TEST(LinearPostscriptOracle, RoyalMail) {
  std::mt19937 rng(3);
  auto values = randomStrings(rng, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ", kValues, 1, 12);
  values.push_back("SN34RD1A");
  values.push_back("LE28HS9Z");
  compareWithWriter("Royal Mail Barcode (RM4SCC / CBC)", "royalmail", "", values, Compare::FourState);
}

TEST(LinearPostscriptOracle, JapanPost) {
  std::mt19937 rng(4);
  std::vector<std::string> values{"0100013", "2630023-1-AB5", "6540123789-A-K-Z"};
  std::vector<std::string> values19;
  std::uniform_int_distribution<int> parts(0, 3);
  std::uniform_int_distribution<int> kind(0, 2);
  while (values.size() < static_cast<size_t>(kValues)) {
    std::string v = randomStrings(rng, "0123456789", 1, 7, 7).front();
    const int n = parts(rng);
    for (int p = 0; p < n; ++p) {
      v += '-';
      if (kind(rng) == 0)
        v += randomStrings(rng, "ABCDEFGHIJKLMNOPQRSTUVWXYZ", 1, 1, 2).front();
      else
        v += randomStrings(rng, "0123456789", 1, 1, 3).front();
    }
    // Keep within the 20 symbols (letters take two).
    int symbols = 0;
    for (char c : v) symbols += (c >= 'A' && c <= 'Z') ? 2 : 1;
    if (symbols > 20) continue;
    // When the symbol sum is a multiple of 19 the check character is "0"; the
    // writer answers a character outside its table there, so those values are
    // checked on their own below.
    if (createLinearBarcode(QStringLiteral("Japan Post Barcode"), QString::fromStdString(v))->checkDigit() ==
        '0') {
      values19.push_back(v);
      continue;
    }
    values.push_back(v);
  }
  auto edge = createLinearBarcode(QStringLiteral("Japan Post Barcode"), QStringLiteral("1519137"));
  EXPECT_EQ(edge->checkDigit(), '0');  // 1+5+1+9+1+3+7 + 13 x 14 = 209 = 11 x 19
  for (const std::string& v : values19) {
    auto code = createLinearBarcode(QStringLiteral("Japan Post Barcode"), QString::fromStdString(v));
    int sum = 0;
    for (char c : dynamic_cast<JapanPostBarcode&>(*code).japanpostContents())
      sum += c >= '0' && c <= '9' ? c - '0' : (c == '-' ? 10 : c - ':' + 11);
    EXPECT_EQ(sum % 19, 0) << v;
  }
  compareWithWriter("Japan Post Barcode", "japanpost", "", values, Compare::FourState);
}

TEST(LinearPostscriptOracle, ModifiedPlessey) {
  std::mt19937 rng(5);
  auto values = randomStrings(rng, "0123456789", kValues, 1, 16);
  values.push_back("1234567");
  values.push_back("0");
  compareWithWriter("Modified Plessey", "msi", "includecheck", values, Compare::Widths);
}

TEST(LinearPostscriptOracle, Industrial2of5) {
  std::mt19937 rng(6);
  auto values = randomStrings(rng, "0123456789", kValues, 1, 16);
  values.push_back("1");
  compareWithWriter("Industrial 2 of 5", "code2of5", "", values, Compare::Widths);
}
