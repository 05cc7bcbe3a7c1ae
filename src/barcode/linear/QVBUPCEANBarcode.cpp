#include "barcode/linear/QVBUPCEANBarcode.h"

#include <algorithm>
#include <array>

namespace barcode {

namespace upcean {

std::string swapHandedness(const std::string& modules) {
  std::string out(modules);
  for (char& c : out) c = (c == '0') ? '1' : '0';
  return out;
}

std::string swapParity(const std::string& modules) {
  std::string out = swapHandedness(modules);
  std::reverse(out.begin(), out.end());
  return out;
}

char checkDigitFor(const std::string& digits) {
  int sum = 0;
  int weight = 3;
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    if (!modules::isDigit(*it)) return '0';
    sum += weight * (*it - '0');
    weight = 4 - weight;
  }
  return static_cast<char>('0' + (10 - sum % 10) % 10);
}

}  // namespace upcean

namespace {

constexpr std::array<const char*, 10> kOddLeft = {"0001101", "0011001", "0010011", "0111101", "0100011",
                                                  "0110001", "0101111", "0111011", "0110111", "0001011"};
// Even (G) positions 1 to 6 of the six left-hand digits of EAN-13, by first digit.
constexpr std::array<const char*, 10> kEan13Parity = {"LLLLLL", "LLGLGG", "LLGGLG", "LLGGGL", "LGLLGG",
                                                      "LGGLLG", "LGGGLL", "LGLGLG", "LGLGGL", "LGGLGL"};
// UPC-E parity of number system 0 by check digit (E even, O odd).
constexpr std::array<const char*, 10> kUpceParity = {"EEEOOO", "EEOEOO", "EEOOEO", "EEOOOE", "EOEEOO",
                                                     "EOOEEO", "EOOOEE", "EOEOEO", "EOEOOE", "EOOEOE"};

QString checkString(signed char check) {
  return check == -1 ? QString() : QString(QChar::fromLatin1(static_cast<char>(check)));
}

}  // namespace

std::string QVBAbstractUPCEANBarcode::L(char d) {
  return modules::isDigit(d) ? std::string(kOddLeft[static_cast<size_t>(d - '0')]) : std::string();
}

std::string QVBAbstractUPCEANBarcode::_encodeChar(char c) const {
  return L(c);
}

QString QVBAbstractUPCEANBarcode::rightCaption() const {
  return checkString(checkDigit_);
}

void QVBAbstractUPCEANBarcode::calculateWidth() {
  caption_.width =
      caption_.content.isEmpty() ? 0.0f : static_cast<float>(completeBarcode().size()) * barWidth_ * 1.2f;
}

void QVBAbstractUPCEANBarcode::generateChecksum() {
  const std::string digits = contentBytes();
  if (static_cast<int>(digits.size()) != dataLength() || !modules::allDigits(digits)) return;
  if (caption_.content.size() != static_cast<qsizetype>(digits.size())) return;
  checkDigit_ = static_cast<signed char>(upcean::checkDigitFor(digits));
}

// UPC-A

bool QVBUPCABarcode::initWithContent(const QString& content, bool printsCaption) {
  if (!QVBBarcode::initWithContent(content, printsCaption)) return false;
  if (caption_.content.size() < 12) {
    generateChecksum();
  } else {
    checkDigit_ = static_cast<signed char>(
        caption_.content.at(11).unicode() < 128 ? caption_.content.at(11).toLatin1() : '?');
    caption_.content = caption_.content.left(11);
  }
  calculateWidth();
  return true;
}

std::string QVBUPCABarcode::barcode() const {
  const std::string d = contentBytes();
  if (d.size() != 11 || !modules::allDigits(d) || !hasCheckDigit()) return {};
  std::string out;
  for (size_t i = 0; i < 6; ++i) out += L(d[i]);
  out += "01010";
  for (size_t i = 6; i < 11; ++i) out += R(d[i]);
  out += R(static_cast<char>(checkDigit_));
  return out;
}

bool QVBUPCABarcode::isContentValid() const {
  const auto d = asciiBytes(caption_.content);
  return d && d->size() == 11 && modules::allDigits(*d) && hasCheckDigit() &&
         upcean::checkDigitFor(*d) == checkDigit_;
}

QString QVBUPCABarcode::caption() const {
  return caption_.content.mid(1, 5) + QLatin1Char('\t') + caption_.content.mid(6, 5);
}

// UPC-E

std::string QVBUPCEBarcode::expandToUPCA(const std::string& s) {
  if (s.size() != 7 || !modules::allDigits(s)) return {};
  const char ns = s[0];
  const std::string d = s.substr(1);
  switch (d[5]) {
    case '0':
    case '1':
    case '2':
      return std::string{ns, d[0], d[1], d[5], '0', '0', '0', '0', d[2], d[3], d[4]};
    case '3':
      return std::string{ns, d[0], d[1], d[2], '0', '0', '0', '0', '0', d[3], d[4]};
    case '4':
      return std::string{ns, d[0], d[1], d[2], d[3], '0', '0', '0', '0', '0', d[4]};
    default:
      return std::string{ns, d[0], d[1], d[2], d[3], d[4], '0', '0', '0', '0', d[5]};
  }
}

QString QVBUPCEBarcode::UPCAToUPCE(const QString& upca) {
  if (upca.size() < 12) return {};
  const QByteArray a = upca.left(12).toLatin1();
  for (char c : a)
    if (!modules::isDigit(c)) return {};
  auto zeros = [&](int from, int to) {
    for (int i = from; i <= to; ++i)
      if (a[i] != '0') return false;
    return true;
  };
  auto pick = [&](std::initializer_list<int> positions, const char* tail) {
    QString out;
    for (int p : positions) out += QLatin1Char(a[p]);
    return out + QLatin1String(tail);
  };
  if (a[3] >= '0' && a[3] <= '2' && zeros(4, 7)) return pick({1, 2, 8, 9, 10, 3}, "");
  if (zeros(4, 8)) return pick({1, 2, 3, 9, 10}, "3");
  if (zeros(5, 9)) return pick({1, 2, 3, 4, 10}, "4");
  if (a[10] >= '5' && a[10] <= '9' && zeros(6, 9)) return pick({1, 2, 3, 4, 5, 10}, "");
  return {};
}

bool QVBUPCEBarcode::initWithContent(const QString& content, bool printsCaption) {
  if (!QVBUPCABarcode::initWithContent(content, printsCaption)) return false;
  caption_.content = content;
  const std::string bytes = contentBytes();
  const bool digits = asciiBytes(caption_.content).has_value() && modules::allDigits(bytes);
  if (caption_.content.size() == 11) {
    // The UPC-A rule has already given the check digit of the 11 digits.
    const QString six = digits && hasCheckDigit()
                            ? UPCAToUPCE(caption_.content + QChar::fromLatin1(static_cast<char>(checkDigit_)))
                            : QString();
    if (!six.isEmpty()) caption_.content = caption_.content.left(1) + six;
  } else if (caption_.content.size() == 8) {
    checkDigit_ = static_cast<signed char>(
        caption_.content.at(7).unicode() < 128 ? caption_.content.at(7).toLatin1() : '?');
    caption_.content = caption_.content.left(7);
  } else if (caption_.content.size() == 7) {
    const std::string upca = expandToUPCA(bytes);
    checkDigit_ = upca.empty() ? -1 : static_cast<signed char>(upcean::checkDigitFor(upca));
  } else {
    checkDigit_ = -1;
  }
  calculateWidth();
  return true;
}

bool QVBUPCEBarcode::isContentValid() const {
  const auto d = asciiBytes(caption_.content);
  if (!d || d->size() != 7 || !modules::allDigits(*d) || ((*d)[0] != '0' && (*d)[0] != '1')) return false;
  if (!hasCheckDigit()) return false;
  return upcean::checkDigitFor(expandToUPCA(*d)) == checkDigit_;
}

bool QVBUPCEBarcode::parityForDigit(int position) const {
  if (!hasCheckDigit() || position < 1 || position > 6) return false;
  const bool even = kUpceParity[static_cast<size_t>(checkDigit_ - '0')][position - 1] == 'E';
  const bool system1 = !caption_.content.isEmpty() && caption_.content.at(0) != QLatin1Char('0');
  return system1 ? !even : even;
}

std::string QVBUPCEBarcode::barcode() const {
  const std::string d = contentBytes();
  if (d.size() != 7 || !modules::allDigits(d) || !hasCheckDigit()) return {};
  std::string out;
  for (int i = 1; i <= 6; ++i)
    out += parityForDigit(i) ? G(d[static_cast<size_t>(i)]) : L(d[static_cast<size_t>(i)]);
  return out;
}

QString QVBUPCEBarcode::caption() const {
  return caption_.content.mid(1, 6);
}

// EAN-13

bool QVBEAN13Barcode::_parityForSystemDigit(char digit, int position) {
  if (!modules::isDigit(digit) || position < 1 || position > 6) return false;
  return kEan13Parity[static_cast<size_t>(digit - '0')][position - 1] == 'G';
}

bool QVBEAN13Barcode::initWithContent(const QString& content, bool printsCaption) {
  if (!QVBBarcode::initWithContent(content, printsCaption)) return false;
  setContent(content);
  if (caption_.content.size() < 13) {
    generateChecksum();
  } else {
    checkDigit_ = static_cast<signed char>(
        caption_.content.at(12).unicode() < 128 ? caption_.content.at(12).toLatin1() : '?');
    caption_.content = caption_.content.left(12);
  }
  calculateWidth();
  return true;
}

std::string QVBEAN13Barcode::barcode() const {
  const std::string d = contentBytes();
  if (d.size() != 12 || !modules::allDigits(d) || !hasCheckDigit()) return {};
  std::string out;
  for (int i = 1; i <= 6; ++i)
    out += _parityForSystemDigit(d[0], i) ? G(d[static_cast<size_t>(i)]) : L(d[static_cast<size_t>(i)]);
  out += "01010";
  for (size_t i = 7; i < 12; ++i) out += R(d[i]);
  out += R(static_cast<char>(checkDigit_));
  return out;
}

bool QVBEAN13Barcode::isContentValid() const {
  const auto d = asciiBytes(caption_.content);
  return d && d->size() == 12 && modules::allDigits(*d) && hasCheckDigit() &&
         upcean::checkDigitFor(*d) == checkDigit_;
}

QString QVBEAN13Barcode::caption() const {
  return QStringLiteral("  ") + caption_.content.mid(1, 6) + QLatin1Char('\t') + caption_.content.mid(7, 5) +
         checkString(checkDigit_);
}

// EAN-8

bool QVBEAN8Barcode::initWithContent(const QString& content, bool printsCaption) {
  if (!QVBEAN13Barcode::initWithContent(content, printsCaption)) return false;
  if (content.size() == 7) {
    setContent(content);
    generateChecksum();
  } else if (content.size() == 8) {
    checkDigit_ = static_cast<signed char>(content.at(7).unicode() < 128 ? content.at(7).toLatin1() : '?');
    caption_.content = content.left(7);
  }
  calculateWidth();
  return true;
}

std::string QVBEAN8Barcode::barcode() const {
  const std::string d = contentBytes();
  if (d.size() != 7 || !modules::allDigits(d) || !hasCheckDigit()) return {};
  std::string out;
  for (size_t i = 0; i < 4; ++i) out += L(d[i]);
  out += "01010";
  for (size_t i = 4; i < 7; ++i) out += R(d[i]);
  out += R(static_cast<char>(checkDigit_));
  return out;
}

bool QVBEAN8Barcode::isContentValid() const {
  const auto d = asciiBytes(caption_.content);
  return d && d->size() == 7 && modules::allDigits(*d) && hasCheckDigit() &&
         upcean::checkDigitFor(*d) == checkDigit_;
}

QString QVBEAN8Barcode::caption() const {
  return QStringLiteral(" ") + caption_.content.left(4) + QLatin1Char('\t') + caption_.content.mid(4, 3) +
         checkString(checkDigit_);
}

}  // namespace barcode
