#include "barcode/twod/Pdf417View.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <new>

#include "barcode/BarcodeLog.h"

namespace barcode::twod {

ModuleGrid pdf417Grid(const pdf417param& p) {
  ModuleGrid grid(p.bitColumns, p.codeRows);
  const bool inverted = (p.options & PDF417_INVERT_BITMAP) != 0;
  for (int y = 0; y < p.codeRows; ++y)
    for (int x = 0; x < p.bitColumns; ++x) grid.set(x, y, p.bar(y, x) != inverted);
  return grid;
}

void pdf417View::setErrorLevel(int level) {
  errorLevel_ = level;
  logLine(QStringLiteral("ErrorLevel set to %1").arg(errorLevel_));
}

int pdf417View::drawWithText(const QString& text) {
  image_.reset();
  if (text.isEmpty()) {
    imageState_ = kEmpty;
    return imageState_;
  }
  try {
    encode(text);
  } catch (const std::bad_alloc&) {
    logLine(QStringLiteral("Error encountered while drawing barcode, error %1.").arg(1));
    image_.reset();
    imageState_ = kError;
  }
  return imageState_;
}

QByteArray pdf417View::textBytes(const QString& text) {
  const bool latin1 = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 256; });
  return latin1 ? text.toLatin1() : text.toUtf8();
}

void pdf417View::encode(const QString& text) {
  pdf417init(p_);
  const QByteArray bytes = textBytes(text);
  p_.text.assign(bytes.constData(), static_cast<size_t>(bytes.size()));
  p_.lenText = static_cast<int>(bytes.size());
  p_.options = PDF417_USE_ERROR_LEVEL | PDF417_INVERT_BITMAP;
  p_.errorLevel = errorLevel_;
  p_.aspectRatio = 1.0f;
  paintCode(p_);
  if (p_.error) {
    logLine(QStringLiteral("Error encountered while drawing barcode, error %1.").arg(p_.error));
    pdf417free(p_);
    imageState_ = kError;
    return;
  }
  auto side = [](double v) { return std::isfinite(v) ? std::clamp(v, 1.0, kMaxPicturePoints) : 1.0; };
  const QSizeF size(side(frame_.width()), side(frame_.height()));
  SymbolPicture::Layout layout;
  layout.page = QSizeF(p_.bitColumns, p_.codeRows);
  layout.gridRect = QRectF(QPointF(0, 0), layout.page);
  layout.opaquePage = true;
  layout.size = size;
  const int dpi = effectiveDpi(dpi_);
  layout.pixels = QSize(pixelsFor(size.width(), dpi), pixelsFor(size.height(), dpi));
  image_.emplace(pdf417Grid(p_), layout);
  imageState_ = kReady;
}

void pdf417View::drawRect(QPainter& painter, const QRectF& bounds) const {
  if (imageState_ == kReady && image_) {
    image_->draw(painter, bounds);
  } else if (imageState_ == kEmpty) {
    painter.fillRect(bounds, QColor(Qt::lightGray));
  } else {
    painter.fillRect(bounds, Qt::white);
    painter.drawText(bounds, Qt::TextWordWrap, QStringLiteral("There was a problem drawing the barcode."));
  }
}

}  // namespace barcode::twod
