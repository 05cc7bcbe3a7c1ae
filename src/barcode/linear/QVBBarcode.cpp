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
  height_ = height;
  captionFontSize_ = fontSize;
  calculateWidth();
  setCheckDigit(checkDigit);
  return true;
}

void QVBBarcode::setCaptionFontSize(float size, const BarcodeDrawingState& state) {
  captionFontSize_ = size;
  captionHeight_ = textmetrics::lineHeightInches(state.value_font);
}

void QVBBarcode::setHeaderFontSize(float size, const BarcodeDrawingState& state) {
  headerFontSize_ = size;
  headerHeight_ = textmetrics::lineHeightInches(state.header_font);
  headerWidth_ = textmetrics::textWidth(header_, state.header_font);
}

void QVBBarcode::setFooterFontSize(float size, const BarcodeDrawingState& state) {
  footerFontSize_ = size;
  footerHeight_ = textmetrics::lineHeightInches(state.footer_font);
  footerWidth_ = textmetrics::textWidth(footer_, state.footer_font);
}

void QVBBarcode::calculateWidth() {
  width_ = static_cast<float>(completeBarcode().size()) * barWidth_;
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
  const auto bytes = asciiBytes(content_);
  if (!bytes) return false;
  for (char c : *bytes)
    if (_encodeChar(c).empty()) return false;
  return true;
}

std::string QVBBarcode::_encodeChar(char) const {
  return "1010";
}

std::string QVBBarcode::barcode() const {
  const auto bytes = asciiBytes(content_);
  if (!bytes) return {};
  std::string out;
  for (char c : *bytes) out += _encodeChar(c);
  if (checkDigit_ != -1) out += _encodeChar(static_cast<char>(checkDigit_));
  return out;
}

QString QVBBarcode::leftCaption() const {
  return content_.left(digitsToLeft());
}

QString QVBBarcode::rightCaption() const {
  const int r = digitsToRight();
  return r > 0 ? content_.right(r) : QString();
}

QString QVBBarcode::caption() const {
  const int l = digitsToLeft();
  const int r = digitsToRight();
  if (l == 0 && r == 0) return content_;
  const int length = static_cast<int>(content_.size()) - l - r;
  return length > 0 ? content_.mid(l, length) : QString();
}

float QVBBarcode::baseBarTop(const BarcodeDrawingState& state) const {
  float top = height_;
  if (printsCaption()) top -= captionHeight_ * 72.0f + state.value_margin;
  if (printsHeader()) top -= headerHeight_ * 72.0f + state.header_margin;
  if (printsFooter()) top -= footerHeight_ * 72.0f + state.footer_margin;
  return top - 2.0f * state.TB_margin;
}

float QVBBarcode::barTop(int, const BarcodeDrawingState& state) const {
  return baseBarTop(state);
}

float QVBBarcode::barBottom(int, const BarcodeDrawingState&) const {
  float bottom = 0;
  if (printsCaption()) bottom += captionHeight_ * 72.0f;
  if (printsHeader()) bottom += headerHeight_ * 72.0f;
  if (printsFooter()) bottom += footerHeight_ * 72.0f;
  return bottom;
}

QString QVBBarcode::description() const {
  return QStringLiteral(
             "\n\tBarcode Class: %1\n\tContent: %2\n\tCheck Digit:%3\n\tWidth:%4\n\tHeight:%5\n\tBar "
             "Width:%6\n\tCaption Font Size:%7\n\tCaption Height:%8")
      .arg(QString::fromLatin1(className()), content_, QString(QChar::fromLatin1(checkDigit_)))
      .arg(width_, 0, 'f', 6)
      .arg(height_, 0, 'f', 6)
      .arg(barWidth_, 0, 'f', 6)
      .arg(captionFontSize_, 0, 'f', 6)
      .arg(captionHeight_, 0, 'f', 6);
}

}  // namespace barcode
