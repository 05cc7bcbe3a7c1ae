#include "barcode/BarcodeDrawingState.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

#include "barcode/BarcodeLog.h"
#include "core/render/UprightFallback.h"

// Resolution Qt gives fonts that are measured or laid out without a device.
Q_GUI_EXPORT int qt_defaultDpiY();

namespace barcode {

namespace textmetrics {

QFont pointFont(const QFont& font) {
  QFont scaled(font);
  const int dpi = qt_defaultDpiY();
  double points = font.pointSizeF();
  if (points <= 0) points = font.pixelSize() > 0 ? font.pixelSize() : 12.0;
  if (dpi > 0 && dpi != 72) scaled.setPointSizeF(points * 72.0 / dpi);
  return scaled;
}

float lineHeightInches(const QFont& font) {
  const double cap = QFontMetricsF(pointFont(font)).capHeight();
  return static_cast<float>(cap / 72.0 + 0.35 * cap / 72.0);
}

float textWidth(const QString& text, const QFont& font) {
  if (text.isEmpty()) return 0.0f;
  // Kerning 0: no pair kerning, no extra letter spacing, as the text is drawn
  // before its letter spacing is added.
  QFont plain = pointFont(font);
  plain.setKerning(false);
  plain.setLetterSpacing(QFont::AbsoluteSpacing, 0.0);
  return static_cast<float>(text_look::lineAdvance(plain, text));
}

}  // namespace textmetrics

BarcodeDrawingState::BarcodeDrawingState() {
  QFont times(QStringLiteral("Times New Roman"));
  times.setPointSizeF(10.0);
  value_font = times;
  header_font = times;
  footer_font = times;
}

void BarcodeCaptionModel::setCaptionFontSize(float size, const QFont& font) {
  caption_fontSize = size;
  captionHeight = textmetrics::lineHeightInches(font);
}

void BarcodeCaptionModel::setHeaderFontSize(float size, const QFont& font) {
  header_fontSize = size;
  headerHeight = textmetrics::lineHeightInches(font);
  headerWidth = textmetrics::textWidth(header, font);
}

void BarcodeCaptionModel::setFooterFontSize(float size, const QFont& font) {
  footer_fontSize = size;
  footerHeight = textmetrics::lineHeightInches(font);
  footerWidth = textmetrics::textWidth(footer, font);
}

QImage Increase_DPI(const QImage& picture, QSizeF sizeInPoints, double dpi) {
  if (picture.isNull() || !(sizeInPoints.width() > 0) || !(sizeInPoints.height() > 0) || !(dpi > 0)) {
    logLine(QStringLiteral("Invalid image"));
    return {};
  }
  const int pw = static_cast<int>(std::ceil(static_cast<float>(dpi * sizeInPoints.width() / 72.0)));
  const int ph = static_cast<int>(std::ceil(static_cast<float>(dpi * sizeInPoints.height() / 72.0)));
  QImage out(pw, ph, QImage::Format_RGBA8888);
  if (out.isNull()) {
    logLine(QStringLiteral("Invalid image"));
    return {};
  }
  out.fill(Qt::transparent);
  const int dotsPerMeter = static_cast<int>(std::lround(dpi / 0.0254));
  out.setDotsPerMeterX(dotsPerMeter);
  out.setDotsPerMeterY(dotsPerMeter);
  QPainter painter(&out);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter.drawImage(QRectF(0, 0, pw, ph), picture);
  painter.end();
  return out;
}

}  // namespace barcode
