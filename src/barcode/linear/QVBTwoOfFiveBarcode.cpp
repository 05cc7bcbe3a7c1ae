#include "barcode/linear/QVBTwoOfFiveBarcode.h"

#include <array>

namespace barcode {

namespace {
constexpr std::array<const char*, 10> kElements = {"NNWWN", "WNNNW", "NWNNW", "WWNNN", "NNWNW",
                                                   "WNWNN", "NWWNN", "NNNWW", "WNNWN", "NWNWN"};
}

bool QVBInterleavedTwoOfFiveBarcode::_getBarForDigit(char digit, int bar) {
  if (!modules::isDigit(digit) || bar < 0 || bar > 4) return true;
  return kElements[static_cast<size_t>(digit - '0')][bar] == 'N';
}

std::string QVBInterleavedTwoOfFiveBarcode::barcode() const {
  std::string digits = asciiBytes(caption_.content).value_or(std::string());
  if (digits.size() % 2 == 1) digits.insert(digits.begin(), '0');
  std::string out;
  for (size_t i = 0; i + 1 < digits.size(); i += 2) {
    for (int k = 0; k < 5; ++k) {
      out += _getBarForDigit(digits[i], k) ? "1" : "111";
      out += _getBarForDigit(digits[i + 1], k) ? "0" : "000";
    }
  }
  return out;
}

bool QVBInterleavedTwoOfFiveBarcode::isContentValid() const {
  const auto bytes = asciiBytes(caption_.content);
  return bytes && modules::allDigits(*bytes);
}

void QVBInterleavedTwoOfFiveBarcode::generateChecksum() {
  const auto bytes = asciiBytes(caption_.content);
  if (!bytes || !modules::allDigits(*bytes)) return;
  int sum = 0;
  int weight = 3;
  for (auto it = bytes->rbegin(); it != bytes->rend(); ++it) {
    sum += weight * (*it - '0');
    weight = 4 - weight;
  }
  checkDigit_ = static_cast<signed char>('0' + (10 - sum % 10) % 10);
}

std::string QVBIndustrialTwoOfFiveBarcode::barcode() const {
  const std::string digits = asciiBytes(caption_.content).value_or(std::string());
  std::string out;
  for (char d : digits)
    for (int k = 0; k < 5; ++k) out += _getBarForDigit(d, k) ? "10" : "1110";
  return out;
}

}  // namespace barcode
