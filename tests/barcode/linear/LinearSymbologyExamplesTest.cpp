// Worked examples of the linear symbologies: module counts, check characters,
// captions, and the values each symbology refuses.
#include <gtest/gtest.h>

#include <set>

#include "LinearTestSupport.h"
#include "barcode/linear/LinearSymbologies.h"
#include "barcode/linear/QVBCodabarBarcode.h"
#include "barcode/linear/QVBCode128Barcode.h"
#include "barcode/linear/QVBCode39Barcode.h"
#include "barcode/linear/QVBModifiedPlesseyBarcode.h"
#include "barcode/linear/QVBPostalBarcodes.h"
#include "barcode/linear/QVBTwoOfFiveBarcode.h"
#include "barcode/linear/QVBUPCEANBarcode.h"

using namespace barcode;

namespace {

std::unique_ptr<QVBBarcode> code(const char* symbology, const QString& value) {
  return createLinearBarcode(QString::fromLatin1(symbology), value);
}

bool valid(const char* symbology, const QString& value) {
  auto b = code(symbology, value);
  return b && b->isContentValid();
}

std::unique_ptr<QVBCode128Barcode> code128(int set, const QString& value) {
  auto b = std::make_unique<QVBCode128Barcode>();
  b->setCodeSet(set);
  EXPECT_TRUE(b->initWithContent(value, true));
  return b;
}

}  // namespace

// Code 39 and Extended Code 39

TEST(LinearCode39, PatternsFollowTheCode39Table) {
  EXPECT_EQ(QVBCode39Barcode::pattern('*'), "1001011011010");
  EXPECT_EQ(QVBCode39Barcode::pattern('A'), "1101010010110");
  std::set<std::string> seen;
  for (char c : std::string("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%*")) {
    const std::string p = QVBCode39Barcode::pattern(c);
    ASSERT_EQ(p.size(), 13u) << c;
    EXPECT_EQ(p.back(), '0');
    EXPECT_EQ(barcode::testing::runLengths(p.substr(0, 12)).size(), 9u) << c;
    EXPECT_TRUE(seen.insert(p).second) << c;
  }
  EXPECT_EQ(QVBCode39Barcode::pattern('a'), "");
  EXPECT_EQ(QVBCode39Barcode::pattern('#'), "");
}

TEST(LinearCode39, LowerCaseIsUpperCasedAndNoCheckIsWritten) {
  auto b = code("Code 39", QStringLiteral("abc"));
  EXPECT_EQ(b->content(), QStringLiteral("ABC"));
  EXPECT_EQ(b->caption(), QStringLiteral("ABC"));
  EXPECT_EQ(b->completeBarcode().size(), 65u);
  EXPECT_EQ(b->checkDigit(), -1);
  EXPECT_TRUE(b->isContentValid());
  auto empty = code("Code 39", QStringLiteral(""));
  EXPECT_EQ(empty->completeBarcode().size(), 26u);
  EXPECT_TRUE(empty->isContentValid());
}

TEST(LinearCode39, StartStopCharacterIsRefusedInsideTheContent) {
  EXPECT_FALSE(valid("Code 39", QStringLiteral("AB*CD")));
  EXPECT_FALSE(valid("Code 39", QStringLiteral("*")));
  EXPECT_FALSE(valid("Code 39", QStringLiteral("A#B")));
  EXPECT_TRUE(valid("Code 39", QStringLiteral("A-B. $/+%")));
}

TEST(LinearCode39, ExtendedKeepsCaseAndUsesFullAsciiPairs) {
  auto a = code("Extended Code 39", QStringLiteral("a"));
  const std::string p = QVBCode39Barcode::pattern('*') + QVBCode39Barcode::pattern('+') +
                        QVBCode39Barcode::pattern('A') + QVBCode39Barcode::pattern('*');
  EXPECT_EQ(a->completeBarcode(), p);
  EXPECT_EQ(a->completeBarcode().size(), 52u);
  EXPECT_EQ(a->caption(), QStringLiteral("a"));
  EXPECT_FLOAT_EQ(a->width(), 52 * 0.936f);

  QVBExtendedCode39Barcode e;
  auto pair = [](char x, char y) { return QVBCode39Barcode::pattern(x) + QVBCode39Barcode::pattern(y); };
  EXPECT_EQ(e._encodeChar('_'), pair('%', 'O'));
  EXPECT_EQ(e._encodeChar('/'), pair('/', 'O'));
  EXPECT_EQ(e._encodeChar('$'), pair('/', 'D'));
  EXPECT_EQ(e._encodeChar('\t'), pair('$', 'I'));
  EXPECT_EQ(e._encodeChar('\n'), pair('$', 'J'));
  EXPECT_EQ(e._encodeChar('\r'), pair('$', 'M'));
  EXPECT_EQ(e._encodeChar('*'), pair('/', 'J'));
  EXPECT_EQ(e._encodeChar('-'), QVBCode39Barcode::pattern('-'));
  EXPECT_EQ(e._encodeChar('\x01'), "");
  EXPECT_TRUE(valid("Extended Code 39", QStringLiteral("a*b\r\n\t~")));
  EXPECT_FALSE(valid("Extended Code 39", QStringLiteral("a\x01")));
  EXPECT_EQ(code("Extended Code 39", QStringLiteral("x*y"))->checkDigit(), -1);
}

// Code 128

TEST(LinearCode128, SymbolTableFollowsTheStandard) {
  EXPECT_EQ(QVBCode128Barcode::pattern(0), "11011001100");
  EXPECT_EQ(QVBCode128Barcode::pattern(103), "11010000100");
  EXPECT_EQ(QVBCode128Barcode::pattern(104), "11010010000");
  EXPECT_EQ(QVBCode128Barcode::pattern(105), "11010011100");
  EXPECT_EQ(QVBCode128Barcode::pattern(106), "1100011101011");
  EXPECT_EQ(QVBCode128Barcode::pattern(98) + QVBCode128Barcode::pattern(101), "1111010001011101011110");
  EXPECT_EQ(QVBCode128Barcode::pattern(98) + QVBCode128Barcode::pattern(100), "1111010001010111101110");
  EXPECT_EQ(QVBCode128Barcode::pattern(98) + QVBCode128Barcode::pattern(99), "1111010001010111011110");
  std::set<std::string> seen;
  for (int v = 0; v < 106; ++v) {
    const std::string p = QVBCode128Barcode::pattern(v);
    ASSERT_EQ(p.size(), 11u) << v;
    EXPECT_EQ(p.front(), '1');
    EXPECT_EQ(p.back(), '0');
    EXPECT_EQ(barcode::testing::runLengths(p).size(), 6u) << v;
    EXPECT_TRUE(seen.insert(p).second) << v;
  }
  EXPECT_EQ(QVBCode128Barcode::pattern(107), "");
}

TEST(LinearCode128, AutomaticChoiceAndChecks) {
  auto hello = code128(QVBCode128Barcode::Automatic, QStringLiteral("Hello World"));
  EXPECT_EQ(hello->codeSet(), QVBCode128Barcode::SetB);
  EXPECT_EQ(hello->checkDigit(), 43);

  auto abc = code128(QVBCode128Barcode::Automatic, QStringLiteral("ABC"));
  EXPECT_EQ(abc->codeSet(), QVBCode128Barcode::SetB);
  EXPECT_EQ(abc->checkDigit(), 1);

  auto tab = code128(QVBCode128Barcode::Automatic, QStringLiteral("\tABC"));
  EXPECT_EQ(tab->codeSet(), QVBCode128Barcode::SetA);
  EXPECT_EQ(tab->symbols().front(), 73);
  EXPECT_EQ(tab->checkDigit(), 72);

  EXPECT_EQ(code128(QVBCode128Barcode::Automatic, QStringLiteral("123A"))->codeSet(),
            QVBCode128Barcode::SetB);

  auto empty = code128(QVBCode128Barcode::Automatic, QStringLiteral(""));
  EXPECT_EQ(empty->codeSet(), QVBCode128Barcode::SetC);
  EXPECT_EQ(empty->checkDigit(), 2);
  EXPECT_EQ(empty->completeBarcode().size(), 35u);

  auto c = code128(QVBCode128Barcode::SetC, QStringLiteral("1234"));
  EXPECT_EQ(c->symbols(), (std::vector<int>{12, 34}));
  EXPECT_EQ(c->checkDigit(), 82);
}

TEST(LinearCode128, OddDigitCountSwitchesToSetBInsteadOfPadding) {
  auto b = code128(QVBCode128Barcode::Automatic, QStringLiteral("12345"));
  EXPECT_EQ(b->codeSet(), QVBCode128Barcode::SetC);
  EXPECT_EQ(b->symbols(), (std::vector<int>{12, 34, QVBCode128Barcode::CodeB, '5' - 32}));
  EXPECT_EQ(b->checkDigit(), (105 + 12 + 2 * 34 + 3 * 100 + 4 * 21) % 103);
  EXPECT_EQ(b->completeBarcode().size(), 11u * 6 + 13);
  EXPECT_EQ(b->caption(), QStringLiteral("12345"));
  auto fixed = code128(QVBCode128Barcode::SetC, QStringLiteral("7"));
  EXPECT_EQ(fixed->symbols(), (std::vector<int>{QVBCode128Barcode::CodeB, '7' - 32}));
  EXPECT_TRUE(fixed->isContentValid());
}

TEST(LinearCode128, FixedSetCRefusesNonDigits) {
  EXPECT_FALSE(code128(QVBCode128Barcode::SetC, QStringLiteral("12A4"))->isContentValid());
  EXPECT_TRUE(code128(QVBCode128Barcode::SetC, QStringLiteral("1234"))->isContentValid());
  EXPECT_FALSE(valid("Code 128 SET C", QStringLiteral("ab")));
  EXPECT_FALSE(valid("Code 128", QStringLiteral("na\u00efve")));
}

TEST(LinearCode128, CharactersOutsideTheSetAreShiftedAndWeightedInTheCheck) {
  auto a = code128(QVBCode128Barcode::SetA, QStringLiteral("Ab"));
  EXPECT_EQ(a->symbols(), (std::vector<int>{33, QVBCode128Barcode::Shift, 66}));
  EXPECT_EQ(a->checkDigit(), (103 + 33 + 2 * 98 + 3 * 66) % 103);
  EXPECT_TRUE(a->isContentValid());
  auto b = code128(QVBCode128Barcode::SetB, QStringLiteral("A\tB"));
  EXPECT_EQ(b->symbols(), (std::vector<int>{33, QVBCode128Barcode::Shift, 73, 34}));
  EXPECT_EQ(b->completeBarcode().size(), 11u * 6 + 13);
}

TEST(LinearCode128, ACheckOfZeroIsStillWritten) {
  auto b = code128(QVBCode128Barcode::Automatic, QStringLiteral(" S"));
  EXPECT_EQ(b->checkDigit(), 0);
  const std::string m = b->completeBarcode();
  EXPECT_EQ(m.substr(m.size() - 13 - 11, 11), "11011001100");
}

// Two of five, Codabar and Plessey

TEST(LinearTwoOfFive, InterleavedPadsOddContentAndRefusesNonDigits) {
  auto b = code("Interleaved 2 of 5", QStringLiteral("123"));
  EXPECT_EQ(b->completeBarcode().size(), 45u);
  EXPECT_EQ(b->completeBarcode().substr(0, 4), "1010");
  EXPECT_EQ(b->checkDigit(), -1);
  EXPECT_FALSE(valid("Interleaved 2 of 5", QStringLiteral("12A")));
  EXPECT_TRUE(valid("Interleaved 2 of 5", QStringLiteral("")));
  // Pair 1, 2: WNNNW in the bars, NWNNW in the spaces.
  EXPECT_EQ(code("Interleaved 2 of 5", QStringLiteral("12"))->completeBarcode(),
            "1010"
            "1110"
            "1000"
            "10"
            "10"
            "111000"
            "11101");
}

TEST(LinearTwoOfFive, IndustrialUsesItsOwnStartAndStop) {
  auto b = code("Industrial 2 of 5", QStringLiteral("1"));
  EXPECT_EQ(b->completeBarcode(),
            "1110111010"
            "1110"
            "10"
            "10"
            "10"
            "1110"
            "111010111");
  EXPECT_FALSE(valid("Industrial 2 of 5", QStringLiteral("1-2")));
}

TEST(LinearCodabar, CharactersAreSeparatedByOneModuleAndTheTableIsTheStandards) {
  auto b = code("Codabar", QStringLiteral("A1234B"));
  QVBCodabarBarcode c;
  std::string expected;
  for (char ch : std::string("A1234B")) expected += (expected.empty() ? "" : "0") + c._encodeChar(ch);
  EXPECT_EQ(b->completeBarcode(), expected);
  EXPECT_EQ(c._encodeChar('B'), "1001001011");
  EXPECT_EQ(c._encodeChar('C'), "1010010011");
  EXPECT_EQ(c._encodeChar('+'), "1011011011");
  EXPECT_FALSE(valid("Codabar", QStringLiteral("12#4")));
  // Every character has four bars; digits and - $ have one wide bar and one wide
  // space, the others no wide space.
  for (char ch : std::string("0123456789-$:/.+ABCD")) {
    const auto runs = barcode::testing::runLengths(c._encodeChar(ch));
    ASSERT_EQ(runs.size(), 7u) << ch;
  }
}

TEST(LinearPlessey, CheckDigitsAndPatterns) {
  EXPECT_EQ(code("Modified Plessey", QStringLiteral("1234567"))->checkDigit(), '4');
  EXPECT_EQ(code("Modified Plessey", QStringLiteral("0"))->checkDigit(), '0');
  EXPECT_EQ(code("Modified Plessey", QStringLiteral("1"))->completeBarcode(),
            "1110"
            "1000100010001110"
            "1110100010001000"
            "10001");
  auto hex = code("Modified Plessey (Hex)", QStringLiteral("1f"));
  EXPECT_EQ(hex->content(), QStringLiteral("1F"));
  EXPECT_EQ(hex->caption(), QStringLiteral("1F"));
  EXPECT_TRUE(hex->isContentValid());
  EXPECT_FALSE(valid("Modified Plessey (Hex)", QStringLiteral("1G")));
  EXPECT_FALSE(valid("Modified Plessey", QStringLiteral("1F")));
}

TEST(LinearPlessey, LongContentKeepsTheModuloTenRule) {
  // Digit by digit the rule needs no number of the content's size.
  const QString value = QStringLiteral("98765432109876543210987654321");
  int total = 0;
  for (int i = 0; i < value.size(); ++i) {
    const int d = value[value.size() - 1 - i].digitValue();
    if (i % 2 == 0)
      total += (2 * d) / 10 + (2 * d) % 10;
    else
      total += d;
  }
  EXPECT_EQ(code("Modified Plessey", value)->checkDigit(), '0' + (10 - total % 10) % 10);
}

// UPC and EAN

TEST(LinearUpcEan, UpcA) {
  auto b = code("UPCA", QStringLiteral("03600029145"));
  EXPECT_EQ(b->checkDigit(), '2');
  EXPECT_EQ(b->leftCaption(), QStringLiteral("0"));
  EXPECT_EQ(b->caption(), QStringLiteral("36000\t29145"));
  EXPECT_EQ(b->rightCaption(), QStringLiteral("2"));
  EXPECT_EQ(b->completeBarcode().size(), 95u);
  EXPECT_FLOAT_EQ(b->width(), 95 * 0.936f * 1.2f);
  EXPECT_FLOAT_EQ(b->firstBar(), b->width() * 0.1f);
  EXPECT_TRUE(valid("UPCA", QStringLiteral("036000291452")));
  auto wrong = code("UPCA", QStringLiteral("036000291453"));
  EXPECT_FALSE(wrong->isContentValid());
  EXPECT_EQ(wrong->checkDigit(), '3');
  EXPECT_FALSE(valid("UPCA", QStringLiteral("0360002914a")));
  EXPECT_FALSE(valid("UPCA", QStringLiteral("0360002914")));
}

TEST(LinearUpcEan, Ean13) {
  auto b = code("EAN-13", QStringLiteral("400638133393"));
  EXPECT_EQ(b->checkDigit(), '1');
  EXPECT_EQ(b->leftCaption(), QStringLiteral("4"));
  EXPECT_EQ(b->caption(), QStringLiteral("  006381\t333931"));
  EXPECT_EQ(b->rightCaption(), QString());
  EXPECT_EQ(code("EAN-13", QStringLiteral("123456789012"))->checkDigit(), '8');
  EXPECT_TRUE(valid("EAN-13", QStringLiteral("1234567890128xyz")));
  EXPECT_FALSE(valid("EAN-13", QStringLiteral("1234567890127")));
  EXPECT_FALSE(valid("EAN-13", QStringLiteral("12345678901a")));
  EXPECT_FALSE(QVBEAN13Barcode::_parityForSystemDigit('0', 3));
  std::string nine;
  for (int i = 1; i <= 6; ++i) nine += QVBEAN13Barcode::_parityForSystemDigit('9', i) ? 'G' : 'L';
  EXPECT_EQ(nine, "LGGLGL");
}

TEST(LinearUpcEan, Ean8VerifiesASuppliedCheckDigit) {
  auto b = code("EAN-8", QStringLiteral("9638507"));
  EXPECT_EQ(b->checkDigit(), '4');
  EXPECT_EQ(b->caption(), QStringLiteral(" 9638\t5074"));
  EXPECT_EQ(b->leftCaption(), QString());
  EXPECT_EQ(b->completeBarcode().size(), 67u);
  EXPECT_TRUE(valid("EAN-8", QStringLiteral("96385074")));
  EXPECT_FALSE(valid("EAN-8", QStringLiteral("96385075")));
  EXPECT_FALSE(valid("EAN-8", QStringLiteral("96a8507")));
  EXPECT_FALSE(valid("EAN-8", QStringLiteral("963850")));
}

TEST(LinearUpcEan, UpcEFromElevenDigits) {
  struct Case {
    const char* upca;
    const char* upce;
  };
  for (const Case& c : {Case{"04210000526", "0425261"}, Case{"01230000045", "0123453"},
                        Case{"01234000005", "0123454"}, Case{"01234500007", "0123457"}}) {
    auto b = code("UPCE", QString::fromLatin1(c.upca));
    EXPECT_EQ(b->content(), QString::fromLatin1(c.upce)) << c.upca;
    EXPECT_TRUE(b->isContentValid()) << c.upca;
    EXPECT_EQ(QVBUPCEBarcode::expandToUPCA(c.upce), c.upca);
  }
  EXPECT_EQ(code("UPCE", QStringLiteral("04210000526"))->checkDigit(), '4');
  EXPECT_FALSE(valid("UPCE", QStringLiteral("01234500003")));
  // A number whose dropped digits are not zero has no UPC-E form.
  EXPECT_EQ(QVBUPCEBarcode::UPCAToUPCE(QStringLiteral("042100105264")), QString());
  EXPECT_EQ(QVBUPCEBarcode::UPCAToUPCE(QStringLiteral("042100005264")), QStringLiteral("425261"));
  EXPECT_FALSE(valid("UPCE", QStringLiteral("04210010526")));
}

TEST(LinearUpcEan, UpcECheckComesFromItsExpansion) {
  auto b = code("UPCE", QStringLiteral("04252614"));
  EXPECT_EQ(b->checkDigit(), '4');
  EXPECT_EQ(b->caption(), QStringLiteral("425261"));
  EXPECT_EQ(b->leftCaption(), QStringLiteral("0"));
  EXPECT_EQ(b->rightCaption(), QStringLiteral("4"));
  EXPECT_EQ(b->completeBarcode().size(), 51u);
  auto* e = dynamic_cast<QVBUPCEBarcode*>(b.get());
  std::string parity;
  for (int i = 1; i <= 6; ++i) parity += e->parityForDigit(i) ? 'E' : 'O';
  EXPECT_EQ(parity, "EOEEOO");

  EXPECT_EQ(code("UPCE", QStringLiteral("0425261"))->checkDigit(), '4');
  EXPECT_FALSE(valid("UPCE", QStringLiteral("04252613")));
  auto system1 = code("UPCE", QStringLiteral("1425261"));
  EXPECT_EQ(system1->checkDigit(), '1');
  parity.clear();
  for (int i = 1; i <= 6; ++i)
    parity += dynamic_cast<QVBUPCEBarcode*>(system1.get())->parityForDigit(i) ? 'E' : 'O';
  EXPECT_EQ(parity, "OOEOEE");  // number system 0 with check 1 is EEOEOO
  EXPECT_FALSE(valid("UPCE", QStringLiteral("14252614")));
  EXPECT_FALSE(valid("UPCE", QStringLiteral("2425261")));
  EXPECT_FALSE(valid("UPCE", QStringLiteral("042100005264")));
  EXPECT_FALSE(valid("UPCE", QStringLiteral("04a5261")));
}

TEST(LinearUpcEan, EmptyContentHasNoWidth) {
  for (const char* name : {"UPCA", "UPCE", "EAN-13", "EAN-8"}) {
    auto b = code(name, QStringLiteral(""));
    EXPECT_FLOAT_EQ(b->width(), 0.0f) << name;
    EXPECT_FALSE(b->isContentValid()) << name;
  }
}

TEST(LinearUpcEan, ParityHelpers) {
  EXPECT_EQ(upcean::swapHandedness("0001101"), "1110010");
  EXPECT_EQ(upcean::swapParity("0001101"), "0100111");
}

// Postal codes

TEST(LinearPostal, PostnetAndPlanet) {
  BarcodeDrawingState s;
  auto p = code("PostNet", QStringLiteral("12345"));
  EXPECT_EQ(p->checkDigit(), '5');
  const std::string m = p->completeBarcode();
  EXPECT_EQ(m.size(), 94u);
  EXPECT_EQ(std::count(m.begin(), m.end(), '1'), 32);
  EXPECT_FLOAT_EQ(p->barWidth(), 1.08f);
  EXPECT_FLOAT_EQ(p->height(), 9.0f);
  EXPECT_FALSE(valid("PostNet", QStringLiteral("1234")));
  EXPECT_FALSE(valid("PostNet", QStringLiteral("12a45")));
  EXPECT_TRUE(valid("PostNet", QStringLiteral("123456789")));

  auto planet = code("Planet", QStringLiteral("12345"));
  EXPECT_EQ(planet->checkDigit(), '5');
  // Digit 1 of POSTNET: bars 4 and 5 tall.
  EXPECT_FLOAT_EQ(p->barTop(3, s), 3.6f);
  EXPECT_FLOAT_EQ(p->barTop(12, s), 9.0f);
  for (size_t i = 0; i < m.size(); ++i) {
    if (m[i] != '1') continue;
    const int index = static_cast<int>(i);
    if (index == 0 || index == static_cast<int>(m.size()) - 1) continue;
    EXPECT_FLOAT_EQ(p->barTop(index, s) + planet->barTop(index, s), 9.0f + 3.6f) << i;
  }
}

TEST(LinearPostal, RoyalMail) {
  auto b = code("Royal Mail Barcode (RM4SCC / CBC)", QStringLiteral("SN34RD1A"));
  EXPECT_EQ(b->checkDigit(), 'K');
  EXPECT_EQ(b->completeBarcode().size(), 2u + 8 * 9 + 1);
  EXPECT_TRUE(b->printsCaption());
  EXPECT_TRUE(b->printsHeader());
  auto lower = code("Royal Mail Barcode (RM4SCC / CBC)", QStringLiteral("sn34rd1a"));
  EXPECT_EQ(lower->content(), QStringLiteral("SN34RD1A"));
  EXPECT_EQ(lower->checkDigit(), 'K');
  EXPECT_TRUE(lower->isContentValid());
  EXPECT_FALSE(valid("Royal Mail Barcode (RM4SCC / CBC)", QStringLiteral("SN34 RD")));
  EXPECT_FALSE(valid("Royal Mail Barcode (RM4SCC / CBC)", QStringLiteral("SN-34")));
  // The six two-of-four patterns give the rows.
  EXPECT_EQ(royalmail_collapseAscenders(royalmail_characterDescriptor('0')) >> 1, 1);
  EXPECT_EQ(royalmail_collapseDescenders(royalmail_characterDescriptor('1')) >> 1, 2);
  EXPECT_EQ(royalmail_collapseAscenders(royalmail_characterDescriptor('Z')) >> 1, 6);
  auto* rm = dynamic_cast<QVBRoyalMailBarcode*>(b.get());
  EXPECT_EQ(rm->_barDescriptor(0), 2);
  EXPECT_EQ(rm->_barDescriptor(static_cast<int>(rm->completeBarcode().size()) - 1), 3);
}

TEST(LinearPostal, JapanPostContentAndCheck) {
  auto a = code("Japan Post Barcode", QStringLiteral("0100013"));
  auto* ja = dynamic_cast<JapanPostBarcode*>(a.get());
  EXPECT_EQ(ja->japanpostContents(), "0100013" + std::string(13, '='));
  EXPECT_EQ(ja->checkDigit(), '3');
  EXPECT_EQ(ja->completeBarcode().size(), 133u);
  const std::string m = ja->completeBarcode();
  EXPECT_EQ(std::count(m.begin(), m.end(), '1'), 67);

  auto b = code("Japan Post Barcode", QStringLiteral("2630023-1-AB5"));
  auto* jb = dynamic_cast<JapanPostBarcode*>(b.get());
  EXPECT_EQ(jb->japanpostContents(), "2630023-1-:0:15=====");
  EXPECT_EQ(jb->checkDigit(), '.');
  EXPECT_EQ(jb->content(), QStringLiteral("2630023-1-AB5"));

  auto c = code("Japan Post Barcode", QStringLiteral("1234567890123456789A"));
  auto* jc = dynamic_cast<JapanPostBarcode*>(c.get());
  EXPECT_EQ(jc->japanpostContents(), "1234567890123456789:");
  EXPECT_EQ(jc->content(), QStringLiteral("1234567890123456789"));

  auto lower = code("Japan Post Barcode", QStringLiteral("2630023-1-ab5"));
  EXPECT_EQ(dynamic_cast<JapanPostBarcode*>(lower.get())->japanpostContents(), jb->japanpostContents());
  EXPECT_EQ(lower->content(), QStringLiteral("2630023-1-AB5"));  // the text is upper-cased first
  auto foreign = code("Japan Post Barcode", QStringLiteral("1234567\u0131\u00e9"));
  EXPECT_EQ(foreign->content(), QStringLiteral("1234567"));

  EXPECT_FALSE(valid("Japan Post Barcode", QStringLiteral("12345AB")));
  EXPECT_FALSE(valid("Japan Post Barcode", QStringLiteral("123456")));
}

TEST(LinearPostal, JapanPostClampScalesOnlyTheSymbol) {
  JapanPostBarcode b;
  ASSERT_TRUE(b.initWithContent(QStringLiteral("1234567")));
  EXPECT_FLOAT_EQ(b.height(), 10.0f);
  b.setHeight(20);
  EXPECT_FLOAT_EQ(b.height(), 20.0f);  // the picture keeps its height
  EXPECT_FLOAT_EQ(b.symbolHeight(), 11.5f);
  EXPECT_FLOAT_EQ(b.barWidth(), 11.5f / 6);
  b.setBarWidth(1.0f);
  EXPECT_FLOAT_EQ(b.barWidth(), 1.3333333f);
  EXPECT_NEAR(b.symbolHeight(), 8.0f, 1e-5);
  EXPECT_FLOAT_EQ(b.width(), 133 * 1.3333333f);
}
