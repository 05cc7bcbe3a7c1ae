#include "barcode/linear/QVBBarcode.h"

namespace barcode {

namespace modules {
std::string fromWidths(const char* widths) {
  std::string out;
  bool bar = true;
  for (const char* p = widths; *p; ++p) {
    out.append(static_cast<size_t>(*p - '0'), bar ? '1' : '0');
    bar = !bar;
  }
  return out;
}
}  // namespace modules

bool QVBBarcode::initWithContent(const QString& content, bool printsCaption) {
  return initWithContent(content, printsCaption, 0.936f, 36.0f, 6.0f, -1);
}

bool QVBBarcode::initWithContent(const QString& content, bool printsCaption, float barWidth, float height,
                                 float fontSize, signed char checkDigit) {
  if (content.isNull()) return false;
  setContent(content);
  setPrintsCaption(printsCaption);
  barWidth_ = barWidth;
  caption_.height = height;
  caption_.caption_fontSize = fontSize;
  calculateWidth();
  setCheckDigit(checkDigit);
  return true;
}

void QVBBarcode::calculateWidth() {
  caption_.width = static_cast<float>(completeBarcode().size()) * barWidth_;
}

std::optional<std::string> QVBBarcode::asciiBytes(const QString& text) {
  std::string out;
  out.reserve(static_cast<size_t>(text.size()));
  for (QChar ch : text) {
    if (ch.unicode() > 127) return std::nullopt;
    out.push_back(static_cast<char>(ch.unicode()));
  }
  return out;
}

bool QVBBarcode::isContentValid() const {
  const auto bytes = asciiBytes(caption_.content);
  if (!bytes) return false;
  for (char c : *bytes)
    if (_encodeChar(c).empty()) return false;
  return true;
}

std::string QVBBarcode::_encodeChar(char) const {
  return "1010";
}

std::string QVBBarcode::barcode() const {
  const auto bytes = asciiBytes(caption_.content);
  if (!bytes) return {};
  std::string out;
  for (char c : *bytes) out += _encodeChar(c);
  if (checkDigit_ != -1) out += _encodeChar(static_cast<char>(checkDigit_));
  return out;
}

QString QVBBarcode::leftCaption() const {
  return caption_.content.left(digitsToLeft());
}

QString QVBBarcode::rightCaption() const {
  const int r = digitsToRight();
  return r > 0 ? caption_.content.right(r) : QString();
}

QString QVBBarcode::caption() const {
  const int l = digitsToLeft();
  const int r = digitsToRight();
  if (l == 0 && r == 0) return caption_.content;
  const int length = static_cast<int>(caption_.content.size()) - l - r;
  return length > 0 ? caption_.content.mid(l, length) : QString();
}

float QVBBarcode::baseBarTop(const BarcodeDrawingState& state) const {
  float top = caption_.height;
  if (printsCaption()) top -= caption_.captionHeight * 72.0f + state.value_margin;
  if (printsHeader()) top -= caption_.headerHeight * 72.0f + state.header_margin;
  if (printsFooter()) top -= caption_.footerHeight * 72.0f + state.footer_margin;
  return top - 2.0f * state.TB_margin;
}

float QVBBarcode::barTop(int, const BarcodeDrawingState& state) const {
  return baseBarTop(state);
}

float QVBBarcode::barBottom(int, const BarcodeDrawingState&) const {
  float bottom = 0;
  if (printsCaption()) bottom += caption_.captionHeight * 72.0f;
  if (printsHeader()) bottom += caption_.headerHeight * 72.0f;
  if (printsFooter()) bottom += caption_.footerHeight * 72.0f;
  return bottom;
}

QString QVBBarcode::description() const {
  return QStringLiteral(
             "\n\tBarcode Class: %1\n\tContent: %2\n\tCheck Digit:%3\n\tWidth:%4\n\tHeight:%5\n\tBar "
             "Width:%6\n\tCaption Font Size:%7\n\tCaption Height:%8")
      .arg(QString::fromLatin1(className()), caption_.content, QString(QChar::fromLatin1(checkDigit_)))
      .arg(caption_.width, 0, 'f', 6)
      .arg(caption_.height, 0, 'f', 6)
      .arg(barWidth_, 0, 'f', 6)
      .arg(caption_.caption_fontSize, 0, 'f', 6)
      .arg(caption_.captionHeight, 0, 'f', 6);
}

}  // namespace barcode
