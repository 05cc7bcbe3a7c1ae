#include "barcode/linear/QVBCodabarBarcode.h"

#include <algorithm>

namespace barcode {

std::string QVBCodabarBarcode::_encodeChar(char c) const {
  switch (c) {
    case '0':
      return "101010011";
    case '1':
      return "101011001";
    case '2':
      return "101001011";
    case '3':
      return "110010101";
    case '4':
      return "101101001";
    case '5':
      return "110101001";
    case '6':
      return "100101011";
    case '7':
      return "100101101";
    case '8':
      return "100110101";
    case '9':
      return "110100101";
    case '-':
      return "101001101";
    case '$':
      return "101100101";
    case ':':
      return "1101011011";
    case '/':
      return "1101101011";
    case '.':
      return "1101101101";
    case '+':
      return "1011011011";
    case 'A':
      return "1011001001";
    case 'B':
      return "1001001011";
    case 'C':
      return "1010010011";
    case 'D':
      return "1010011001";
    default:
      return {};
  }
}

bool QVBCodabarBarcode::isContentValid() const {
  if (!QVBBarcode::isContentValid()) return false;
  const std::string bytes = asciiBytes(caption_.content).value_or(std::string());
  auto guard = [](char c) { return c >= 'A' && c <= 'D'; };
  if (bytes.size() < 2 || !guard(bytes.front()) || !guard(bytes.back())) return false;
  return std::none_of(bytes.begin() + 1, bytes.end() - 1, guard);
}

std::string QVBCodabarBarcode::barcode() const {
  const auto bytes = asciiBytes(caption_.content);
  if (!bytes) return {};
  std::string out;
  for (size_t i = 0; i < bytes->size(); ++i) {
    if (i > 0) out.push_back('0');
    out += _encodeChar((*bytes)[i]);
  }
  return out;
}

}  // namespace barcode
