#include "barcode/linear/QVBCode39Barcode.h"

#include <array>
#include <cstring>

namespace barcode {

namespace {

// The Code 39 character set in the order of its check values, and each
// character's nine elements (bar, space, bar, ... bar) with 1 for a wide one.
constexpr const char kCharacters[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
constexpr std::array<const char*, 43> kElements = {
    "000110100", "100100001", "001100001", "101100000", "000110001", "100110000", "001110000", "000100101",
    "100100100", "001100100", "100001001", "001001001", "101001000", "000011001", "100011000", "001011000",
    "000001101", "100001100", "001001100", "000011100", "100000011", "001000011", "101000010", "000010011",
    "100010010", "001010010", "000000111", "100000110", "001000110", "000010110", "110000001", "011000001",
    "111000000", "010010001", "110010000", "011010000", "010000101", "110000100", "011000100", "010101000",
    "010100010", "010001010", "000101010"};
constexpr const char* kStartStop = "010010100";

std::string fromElements(const char* elements) {
  std::string out;
  bool bar = true;
  for (const char* p = elements; *p; ++p) {
    out.append(*p == '1' ? 2 : 1, bar ? '1' : '0');
    bar = !bar;
  }
  out.push_back('0');  // gap to the next character
  return out;
}

int valueOf(char c) {
  if (c == 0) return -1;
  const char* p = std::strchr(kCharacters, c);
  return p ? static_cast<int>(p - kCharacters) : -1;
}

}  // namespace

std::string QVBCode39Barcode::pattern(char c) {
  if (c == '*') return fromElements(kStartStop);
  const int v = valueOf(c);
  return v < 0 ? std::string() : fromElements(kElements[static_cast<size_t>(v)]);
}

bool QVBCode39Barcode::initWithContent(const QString& content, bool printsCaption) {
  return QVBBarcode::initWithContent(content.isNull() ? content : content.toUpper(), printsCaption);
}

std::string QVBCode39Barcode::_encodeChar(char c) const {
  return c == '*' ? std::string() : pattern(c);
}

std::string QVBCode39Barcode::initiator() const {
  return pattern('*');
}
std::string QVBCode39Barcode::terminator() const {
  return pattern('*');
}

void QVBCode39Barcode::generateChecksum() {
  const auto bytes = asciiBytes(caption_.content);
  if (!bytes) return;
  int sum = 0;
  for (char c : *bytes) {
    const int v = valueOf(c);
    if (v < 0) return;
    sum += v;
  }
  checkDigit_ = static_cast<signed char>(kCharacters[sum % 43]);
}

bool QVBExtendedCode39Barcode::initWithContent(const QString& content, bool printsCaption) {
  if (!QVBCode39Barcode::initWithContent(content, printsCaption)) return false;
  setContent(content);
  calculateWidth();
  return true;
}

std::string QVBExtendedCode39Barcode::fullAsciiPair(char c) {
  const int u = static_cast<unsigned char>(c);
  auto pair = [](char a, char b) { return std::string{a, b}; };
  if (u == 9) return pair('$', 'I');
  if (u == 10) return pair('$', 'J');
  if (u == 13) return pair('$', 'M');
  if (u >= 33 && u <= 44) return pair('/', static_cast<char>('A' + (u - 33)));  // '*' gives /J
  if (u == 47) return pair('/', 'O');
  if (u == 58) return pair('/', 'Z');
  if (u >= 59 && u <= 63) return pair('%', static_cast<char>('F' + (u - 59)));
  if (u == 64) return pair('%', 'V');
  if (u >= 91 && u <= 95) return pair('%', static_cast<char>('K' + (u - 91)));
  if (u == 96) return pair('%', 'W');
  if (u >= 97 && u <= 122) return pair('+', static_cast<char>('A' + (u - 97)));
  if (u >= 123 && u <= 126) return pair('%', static_cast<char>('P' + (u - 123)));
  return {};
}

std::string QVBExtendedCode39Barcode::_encodeChar(char c) const {
  if (c != '$' && c != '%' && c != '+' && c != '/' && c != '*') {
    std::string own = pattern(c);
    if (!own.empty()) return own;
  }
  const std::string chars = fullAsciiPair(c);
  if (chars.empty()) return {};
  return pattern(chars[0]) + pattern(chars[1]);
}

QString QVBExtendedCode39Barcode::getRequirementDescription() {
  return QStringLiteral(
      "Extended Code 39 encodes the printable ASCII characters, tab, line feed and carriage return. "
      "Characters outside Code 39 take two symbol characters.");
}

}  // namespace barcode
