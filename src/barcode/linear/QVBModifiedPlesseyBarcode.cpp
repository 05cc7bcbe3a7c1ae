#include "barcode/linear/QVBModifiedPlesseyBarcode.h"

namespace barcode {

namespace {
int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
int digitSum(int v) {
  int s = 0;
  for (; v > 0; v /= 10) s += v % 10;
  return s;
}
}  // namespace

std::string QVBModifiedPlesseyBarcode::bitsOf(int value) {
  std::string out;
  for (int bit = 3; bit >= 0; --bit) out += ((value >> bit) & 1) ? "1110" : "1000";
  return out;
}

bool QVBModifiedPlesseyBarcode::initWithContent(const QString& content, bool printsCaption) {
  if (!QVBBarcode::initWithContent(content.isNull() ? content : content.toUpper(), printsCaption))
    return false;
  generateChecksum();
  calculateWidth();
  return true;
}

std::string QVBModifiedPlesseyBarcode::_encodeChar(char c) const {
  return modules::isDigit(c) ? bitsOf(c - '0') : std::string();
}

std::string QVBModifiedPlesseyHexBarcode::_encodeChar(char c) const {
  const int v = hexValue(c);
  return v < 0 ? std::string() : bitsOf(v);
}

void QVBModifiedPlesseyBarcode::generateChecksum() {
  const std::string bytes = asciiBytes(caption_.content).value_or(std::string());
  int total = 0;
  int position = 1;
  for (auto it = bytes.rbegin(); it != bytes.rend(); ++it, ++position) {
    const int v = hexValue(*it);
    if (v < 0) continue;
    total += (position % 2 == 1) ? digitSum(2 * v) : v;
  }
  checkDigit_ = static_cast<signed char>('0' + (10 - total % 10) % 10);
}

}  // namespace barcode
