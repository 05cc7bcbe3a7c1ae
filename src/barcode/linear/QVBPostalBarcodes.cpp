#include "barcode/linear/QVBPostalBarcodes.h"

#include <algorithm>
#include <array>

namespace barcode {

namespace {

constexpr float kPointsPerInch = 72.0f;
float mmToPoints(float mm) {
  return mm / 25.4f * 72.0f;
}

// Tall bars (1 to 5) of each digit in POSTNET.
constexpr std::array<std::array<int, 2>, 10> kPostnetTall = {
    {{1, 2}, {4, 5}, {3, 5}, {3, 4}, {2, 5}, {2, 4}, {2, 3}, {1, 5}, {1, 4}, {1, 3}}};

// Four-state bars: T tracker, D descender, A ascender, F full.
int stateOf(char c) {
  switch (c) {
    case 'D':
      return 1;
    case 'A':
      return 2;
    case 'F':
      return 3;
    default:
      return 0;
  }
}
int pack(const char* bars) {
  int v = 0;
  for (const char* p = bars; *p; ++p) v = (v << 4) | stateOf(*p);
  return v;
}

// Royal Mail characters 0-9 then A-Z.
constexpr std::array<const char*, 36> kRoyalMail = {
    "TTFF", "TDAF", "TDFA", "DTAF", "DTFA", "DDAA", "TADF", "TFTF", "TFDA", "DATF", "DADA", "DFTA",
    "TAFD", "TFAD", "TFFT", "DAAD", "DAFT", "DFAT", "ATDF", "ADTF", "ADDA", "FTTF", "FTDA", "FDTA",
    "ATFD", "ADAD", "ADFT", "FTAD", "FTFT", "FDAT", "AADD", "AFTD", "AFDT", "FATD", "FADT", "FFTT"};
constexpr char kRoyalMailOrder[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

int royalMailIndex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return -1;
}

// Japan Post symbols by character code - 45: '-', '.', '/', '0'-'9', ':'-'?'.
constexpr std::array<const char*, 19> kJapanPost = {"TFT", "TTF", "FFF", "FTT", "FFT", "FDA", "DFA",
                                                    "FAD", "FTF", "DAF", "AFD", "ADF", "TFF", "DAT",
                                                    "DTA", "ADT", "TDA", "ATD", "TAD"};
constexpr float kMmPerPoint = 0.3527777777777777f;

int japanPostValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  switch (c) {
    case '-':
      return 10;
    case ':':
      return 11;
    case ';':
      return 12;
    case '<':
      return 13;
    case '=':
      return 14;
    case '>':
      return 15;
    case '?':
      return 16;
    case '.':
      return 17;
    case '/':
      return 18;
    default:
      return 0;
  }
}

}  // namespace

// POSTNET and PLANET

bool QVBPostnetBarcode::initWithContent(const QString& content, bool printsCaption) {
  if (content.isNull()) return false;
  setContent(content);
  barWidth_ = 1.08f;
  setPrintsCaption(printsCaption);
  generateChecksum();
  caption_.height = 9.0f;
  calculateWidth();
  return true;
}

void QVBPostnetBarcode::generateChecksum() {
  const std::string bytes = asciiBytes(caption_.content).value_or(std::string());
  int sum = 0;
  for (char c : bytes)
    if (modules::isDigit(c)) sum += c - '0';
  checkDigit_ = static_cast<signed char>(sum % 10 == 0 ? '0' : '0' + (10 - sum % 10));
}

bool QVBPostnetBarcode::isContentValid() const {
  const auto bytes = asciiBytes(caption_.content);
  if (!bytes || !modules::allDigits(*bytes)) return false;
  const size_t n = bytes->size();
  return n == 5 || n == 9 || n == 11;
}

float QVBPostnetBarcode::_heightForDigit(char digit, int bar) const {
  if (!modules::isDigit(digit)) return 0.0f;
  const auto& tall = kPostnetTall[static_cast<size_t>(digit - '0')];
  return (bar == tall[0] || bar == tall[1]) ? 0.125f : 0.05f;
}

float QVBPlanetBarcode::_heightForDigit(char digit, int bar) const {
  return QVBPostnetBarcode::_heightForDigit(digit, bar) == 0.125f ? 0.05f : 0.125f;
}

float QVBPostnetBarcode::barTop(int index, const BarcodeDrawingState&) const {
  const int last = static_cast<int>(completeBarcode().size()) - 1;
  if (index <= 0 || index >= last) return 9.0f;
  const std::string bytes = asciiBytes(caption_.content).value_or(std::string());
  const int k = (index - 3) / 15;
  const int bar = (index - 15 * k) / 3;
  char c = 0;
  if (k < static_cast<int>(bytes.size()))
    c = bytes[static_cast<size_t>(k)];
  else if (k == static_cast<int>(bytes.size()))
    c = static_cast<char>(checkDigit_);
  return _heightForDigit(c, bar) * kPointsPerInch;
}

// Royal Mail

int royalmail_characterDescriptor(char c) {
  const int i = royalMailIndex(c);
  return i < 0 ? 0 : pack(kRoyalMail[static_cast<size_t>(i)]);
}

int royalmail_barDescriptor(int characterDescriptor, int bar) {
  return (characterDescriptor >> (4 * (3 - bar))) & 0xF;
}

float royalmail_barTop(int barDescriptor) {
  return mmToPoints((barDescriptor & 2) ? 5.05f : 3.15f);
}
float royalmail_barBottom(int barDescriptor) {
  return mmToPoints((barDescriptor & 1) ? 0.0f : 1.9f);
}

int royalmail_collapseAscenders(int d) {
  int v = 0;
  for (int bar = 0; bar < 4; ++bar) v = (v << 1) | ((royalmail_barDescriptor(d, bar) & 2) ? 1 : 0);
  return v;
}

int royalmail_collapseDescenders(int d) {
  int v = 0;
  for (int bar = 0; bar < 4; ++bar) v = (v << 1) | ((royalmail_barDescriptor(d, bar) & 1) ? 1 : 0);
  return v;
}

bool QVBRoyalMailBarcode::initWithContent(const QString& content, bool printsCaption) {
  if (content.isNull()) return false;
  setContent(content.toUpper());
  barWidth_ = 1.4173229f;
  setPrintsCaption(false);
  generateChecksum();
  caption_.height = 14.3149605f;
  calculateWidth();
  return true;
}

std::string QVBRoyalMailBarcode::_encodeChar(char c) const {
  return royalMailIndex(c) < 0 ? std::string() : "10101010";
}

void QVBRoyalMailBarcode::generateChecksum() {
  int rows = 0, columns = 0;
  for (QChar ch : caption_.content) {
    const int d = ch.unicode() < 128 ? royalmail_characterDescriptor(ch.toLatin1()) : 0;
    if (d == 0) continue;
    rows = (rows + (royalmail_collapseAscenders(d) >> 1)) % 6;
    columns = (columns + (royalmail_collapseDescenders(d) >> 1)) % 6;
  }
  const int row = rows == 0 ? 5 : rows - 1;
  const int column = columns == 0 ? 5 : columns - 1;
  checkDigit_ = static_cast<signed char>(kRoyalMailOrder[row * 6 + column]);
}

int QVBRoyalMailBarcode::_barDescriptor(int index) const {
  const int n = static_cast<int>(caption_.content.size());
  if (index <= 0) return 2;
  if (index >= 8 * (n + 1) + 2) return 3;
  const int k = (index - 2) / 8;
  const int bar = ((index - 2) % 8) / 2;
  char c = static_cast<char>(checkDigit_);
  if (k < n) c = caption_.content.at(k).unicode() < 128 ? caption_.content.at(k).toLatin1() : '\0';
  return royalmail_barDescriptor(royalmail_characterDescriptor(c), bar);
}

float QVBRoyalMailBarcode::barTop(int index, const BarcodeDrawingState&) const {
  return royalmail_barTop(_barDescriptor(index));
}

float QVBRoyalMailBarcode::barBottom(int index, const BarcodeDrawingState&) const {
  return royalmail_barBottom(_barDescriptor(index));
}

float QVBRoyalMailBarcode::symbolTop() const {
  return royalmail_barTop(2);
}

// Japan Post

int japanpost_characterDescriptor(char c) {
  const int i = static_cast<unsigned char>(c) - 45;
  if (i < 0 || i >= static_cast<int>(kJapanPost.size())) return 0;
  return pack(kJapanPost[static_cast<size_t>(i)]);
}

int japanpost_barDescriptor(int characterDescriptor, int bar, int bars) {
  return (characterDescriptor >> (4 * (bars - 1 - bar))) & 0xF;
}

float japanpost_barTop(int barDescriptor, float symbolHeight) {
  return ((barDescriptor & 2) ? 3.6f : 2.4f) * symbolHeight / 10.0f / kMmPerPoint;
}

float japanpost_barBottom(int barDescriptor, float symbolHeight) {
  return ((barDescriptor & 1) ? 0.0f : 1.2f) * symbolHeight / 10.0f / kMmPerPoint;
}

bool JapanPostBarcode::initWithContent(const QString& content, bool printsCaption, float, float height, float,
                                       signed char) {
  if (content.isNull()) return false;
  setContent(content);
  setPrintsCaption(printsCaption);
  setHeight(height >= 8.0f && height <= 11.5f ? height : 10.0f);
  return true;
}

void JapanPostBarcode::setContent(const QString& text) {
  std::string symbols;
  QString captionText;
  for (QChar original : text) {
    if (original.unicode() > 127) continue;
    const char16_t u = original.toUpper().unicode();
    if (u >= 'A' && u <= 'J') {
      symbols += ':';
      symbols += static_cast<char>('0' + (u - 'A'));
    } else if (u >= 'K' && u <= 'T') {
      symbols += ';';
      symbols += static_cast<char>('0' + (u - 'K'));
    } else if (u >= 'U' && u <= 'Z') {
      symbols += '<';
      symbols += static_cast<char>('0' + (u - 'U'));
    } else if ((u >= '0' && u <= '9') || u == '-') {
      symbols += static_cast<char>(u);
    } else {
      continue;
    }
    captionText += QChar(u);
  }
  if (symbols.size() > 20) {
    symbols.resize(20);
    const auto kept =
        std::count_if(symbols.begin(), symbols.end(), [](char c) { return modules::isDigit(c) || c == '-'; });
    captionText.truncate(static_cast<qsizetype>(kept));
  }
  symbols.resize(20, '=');
  japanpostContents_ = symbols;
  caption_.content = captionText;
  generateChecksum();
}

void JapanPostBarcode::setHeight(float height) {
  caption_.height = height;
  symbolHeight_ = std::clamp(height, 8.5f, 11.5f);
  barWidth_ = symbolHeight_ / 6.0f;
  calculateWidth();
}

void JapanPostBarcode::setBarWidth(float barWidth) {
  barWidth_ = std::clamp(barWidth, 1.3333333f, 1.9166667f);
  symbolHeight_ = 6.0f * barWidth_;
  calculateWidth();
}

std::string JapanPostBarcode::barcode() const {
  std::string out;
  for (int i = 0; i < 21; ++i) out += _encodeChar(0);
  return out;
}

void JapanPostBarcode::generateChecksum() {
  int sum = 0;
  for (char c : japanpostContents_) sum += japanPostValue(c);
  const int v = 19 - sum % 19;
  char check = '0';
  if (v < 10)
    check = static_cast<char>('0' + v);
  else if (v == 10)
    check = '-';
  else if (v <= 16)
    check = static_cast<char>(':' + (v - 11));
  else if (v == 17)
    check = '.';
  else if (v == 18)
    check = '/';
  checkDigit_ = static_cast<signed char>(check);
}

bool JapanPostBarcode::isContentValid() const {
  if (caption_.content.size() < 7) return false;
  for (int i = 0; i < 7; ++i)
    if (!caption_.content.at(i).isDigit() || caption_.content.at(i).unicode() > 127) return false;
  return true;
}

int JapanPostBarcode::_barDescriptor(int index) const {
  if (index < 4) return japanpost_barDescriptor(pack("FD"), (index % 4) / 2, 2);
  if (index < 4 + 21 * 6) {
    const int k = (index - 4) / 6;
    const char c = k < 20 ? japanpostContents_[static_cast<size_t>(k)] : static_cast<char>(checkDigit_);
    return japanpost_barDescriptor(japanpost_characterDescriptor(c), ((index - 4) % 6) / 2, 3);
  }
  return japanpost_barDescriptor(pack("DF"), ((index - 130) % 3) / 2, 2);
}

float JapanPostBarcode::barTop(int index, const BarcodeDrawingState&) const {
  return japanpost_barTop(_barDescriptor(index), symbolHeight_);
}

float JapanPostBarcode::barBottom(int index, const BarcodeDrawingState&) const {
  return japanpost_barBottom(_barDescriptor(index), symbolHeight_);
}

float JapanPostBarcode::symbolTop() const {
  return japanpost_barTop(2, symbolHeight_);
}

}  // namespace barcode
