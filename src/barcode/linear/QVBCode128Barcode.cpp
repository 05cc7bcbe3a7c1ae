#include "barcode/linear/QVBCode128Barcode.h"

#include <array>

#include "barcode/BarcodeLog.h"

namespace barcode {

namespace {

// Bar and space widths of the 107 symbols, by symbol value.
constexpr std::array<const char*, 107> kWidths = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212", "221213",
    "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221", "223211", "221132",
    "221231", "213212", "223112", "312131", "311222", "321122", "321221", "312212", "322112", "322211",
    "212123", "212321", "232121", "111323", "131123", "131321", "112313", "132113", "132311", "211313",
    "231113", "231311", "112133", "112331", "132131", "113123", "113321", "133121", "313121", "211331",
    "231131", "213113", "213311", "213131", "311123", "311321", "331121", "312113", "312311", "332111",
    "314111", "221411", "431111", "111224", "111422", "121124", "121421", "141122", "141221", "112214",
    "112412", "122114", "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111",
    "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311", "113141",
    "114131", "311141", "411131", "211412", "211214", "211232", "2331112"};

// Value of a character in set A or B, or -1 when the set does not hold it.
int valueInSet(char c, int set) {
  const int u = static_cast<unsigned char>(c);
  if (set == QVBCode128Barcode::SetA) {
    if (u < 32) return u + 64;
    if (u <= 95) return u - 32;
    return -1;
  }
  if (set == QVBCode128Barcode::SetB) return (u >= 32 && u <= 127) ? u - 32 : -1;
  return -1;
}

// A number written as the character of its low byte, as a "%c" format does.
QString asCharacter(int value) {
  return QString(QChar(static_cast<char16_t>(static_cast<unsigned char>(value))));
}

}  // namespace

std::string QVBCode128Barcode::pattern(int value) {
  if (value < 0 || value >= static_cast<int>(kWidths.size())) return {};
  return modules::fromWidths(kWidths[static_cast<size_t>(value)]);
}

bool QVBCode128Barcode::initWithContent(const QString& content, bool printsCaption) {
  if (content.isNull()) return false;
  if (codeSet_ == Automatic) {
    caption_.content = content;
    codeSet_ = _bestCodeSetForContent();
  }
  if (!QVBBarcode::initWithContent(content, printsCaption)) return false;
  buildSymbols();
  generateChecksum();
  calculateWidth();
  return true;
}

int QVBCode128Barcode::_bestCodeSetForContent() const {
  const std::string bytes = asciiBytes(caption_.content).value_or(std::string());
  int digits = 0, controls = 0, lowercase = 0;
  for (char c : bytes) {
    const int u = static_cast<unsigned char>(c);
    if (modules::isDigit(c))
      ++digits;
    else if (u < 32 || u == 127)
      ++controls;
    else if (c >= 'a' && c <= 'z')
      ++lowercase;
  }
  if (digits == static_cast<int>(bytes.size())) return SetC;
  return controls > lowercase ? SetA : SetB;
}

void QVBCode128Barcode::buildSymbols() {
  symbols_.clear();
  const std::string bytes = asciiBytes(caption_.content).value_or(std::string());
  if (codeSet_ == SetC) {
    const size_t pairs = bytes.size() / 2;
    for (size_t i = 0; i < pairs; ++i) {
      const char a = bytes[2 * i], b = bytes[2 * i + 1];
      // Only digit pairs are valid; others count by their leading digits.
      int v = 0;
      if (modules::isDigit(a)) v = modules::isDigit(b) ? (a - '0') * 10 + (b - '0') : a - '0';
      symbols_.push_back(v);
    }
    if (bytes.size() % 2 == 1) {
      symbols_.push_back(CodeB);
      const int v = valueInSet(bytes.back(), SetB);
      symbols_.push_back(v < 0 ? 0 : v);
    }
    return;
  }
  if (codeSet_ != SetA && codeSet_ != SetB) return;
  const int other = codeSet_ == SetA ? SetB : SetA;
  for (char c : bytes) {
    int v = valueInSet(c, codeSet_);
    if (v < 0) {
      symbols_.push_back(Shift);
      v = valueInSet(c, other);
    }
    symbols_.push_back(v < 0 ? 0 : v);
  }
}

std::string QVBCode128Barcode::initiator() const {
  switch (codeSet_) {
    case SetA:
      return pattern(StartA);
    case SetB:
      return pattern(StartB);
    case SetC:
      return pattern(StartC);
    default:
      logLine(QStringLiteral("Invalid codeSet value: %1").arg(asCharacter(codeSet_)));
      return {};
  }
}

std::string QVBCode128Barcode::terminator() const {
  return pattern(Stop);
}

std::string QVBCode128Barcode::_encodeChar(char c, int set) const {
  if (set == SetC) {
    const int u = static_cast<unsigned char>(c);
    return (u >= 32 && u <= 95) ? pattern(u - 32) : std::string();
  }
  const int v = valueInSet(c, set);
  return v < 0 ? std::string() : pattern(v);
}

std::string QVBCode128Barcode::_encodeChar(char c) const {
  const int set = codeSet_ == SetC ? SetA : codeSet_;
  std::string own = _encodeChar(c, set);
  if (!own.empty()) return own;
  const int other = set == SetA ? SetB : SetA;
  const std::string shifted = _encodeChar(c, other);
  if (shifted.empty()) return {};
  return _shiftCharacterForSet(other) + shifted;
}

std::string QVBCode128Barcode::_shiftCharacterForSet(int set) const {
  if (set == SetA || set == SetB) return pattern(Shift);
  logLine(QStringLiteral("Invalid CodeSet value Supplied: %1").arg(asCharacter(set)));
  return {};
}

std::string QVBCode128Barcode::_encodeNumberPair(const std::string& pair) const {
  int v = 0;
  size_t i = 0;
  bool any = false;
  while (i < pair.size() && modules::isDigit(pair[i]) && v <= 1000) {
    v = v * 10 + (pair[i] - '0');
    any = true;
    ++i;
  }
  if (!any || v > 102) return {};
  return pattern(v);
}

int QVBCode128Barcode::_valueForChar(char c) const {
  const int u = static_cast<unsigned char>(c);
  if (u < 32) return u + 64;
  if (u <= 127) return u - 32;
  logLine(QStringLiteral("_valueForChar: received Unrecognized character %1").arg(QChar(u)));
  return -1;
}

char QVBCode128Barcode::_charForValue(int value) const {
  if (value < 0 || value > 95) return 0;
  if (codeSet_ == SetA && value >= 64) return static_cast<char>(value - 64);
  return static_cast<char>(value + 32);
}

void QVBCode128Barcode::generateChecksum() {
  int start = StartA;
  if (codeSet_ == SetB) start = StartB;
  if (codeSet_ == SetC) start = StartC;
  long sum = start;
  for (size_t i = 0; i < symbols_.size(); ++i) sum += static_cast<long>(i + 1) * symbols_[i];
  checkDigit_ = static_cast<signed char>(sum % 103);
}

std::string QVBCode128Barcode::barcode() const {
  std::string out;
  for (int v : symbols_) out += pattern(v);
  out += _encodeNumberPair(std::to_string(static_cast<int>(checkDigit_)));
  return out;
}

bool QVBCode128Barcode::isContentValid() const {
  const auto bytes = asciiBytes(caption_.content);
  if (!bytes) return false;
  if (codeSet_ < SetA || codeSet_ > SetC) return false;
  if (codeSet_ == SetC) return modules::allDigits(*bytes);
  return true;
}

}  // namespace barcode
