#include "core/render/TextLook.h"

#include <QFontDatabase>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <cmath>

#include "platform/FontNames.h"

namespace text_look {

namespace {
// Line breaks as the layout knows them; a Windows line end ("\r\n", as text
// from spreadsheets and series files may carry) is one break, not two.
QString withLineSeparators(QString text) {
  text.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
  text.replace(QLatin1Char('\n'), QChar::LineSeparator);
  text.replace(QLatin1Char('\r'), QChar::LineSeparator);
  return text;
}
}  // namespace

QString applyCaseTransform(const QString& text, int transform) {
  switch (transform) {
    case 1:
      return text.toUpper();
    case 2:
      return text.toLower();
    case 3: {
      QString out;
      out.reserve(text.size());
      // A word runs from one blank or line break to the next, so "don't"
      // stays one word ("Don't") and "anna-maria" becomes "Anna-maria".
      bool wordStart = true;
      for (QChar ch : text) {
        if (ch.isSpace()) {
          out += ch;
          wordStart = true;
        } else {
          out += wordStart ? ch.toUpper() : ch.toLower();
          wordStart = false;
        }
      }
      return out;
    }
    default:
      return text;
  }
}

QFont fontForDevice(const CardFont& cardFont, const QPaintDevice* device) {
  QFont font;
  if (!cardFont.name.isEmpty()) {
    const platform::FontFace face = platform::fontFaceForName(cardFont.name);
    font.setFamilies({face.family});
    font.setWeight(face.weight);
    font.setItalic(face.italic);
  }
  double size = cardFont.size;
  if (!std::isfinite(size) || size <= 0) size = 12.0;
  size = std::min(size, 2000.0);
  const double dpi = device ? device->logicalDpiY() : 72.0;
  font.setPointSizeF(size * 72.0 / (dpi > 0 ? dpi : 72.0));
  font.setKerning(true);
  return font;
}

Qt::Alignment alignmentForCode(int code) {
  switch (code) {
    case 1:
      return Qt::AlignRight;
    case 2:
      return Qt::AlignHCenter;
    case 3:
      return Qt::AlignJustify;
    default:
      return Qt::AlignLeft;
  }
}

void drawTextInRect(QPainter& painter, const QString& text, const QRectF& rect, const CardFont& cardFont,
                    const QColor& color, int alignment, double kerning) {
  if (rect.width() <= 0 || rect.height() <= 0 || text.isEmpty()) return;
  QFont font = fontForDevice(cardFont, painter.device());
  if (std::isfinite(kerning) && kerning != 0) font.setLetterSpacing(QFont::AbsoluteSpacing, kerning);
  const QString body = withLineSeparators(text);
  QTextLayout layout(body, font, painter.device());
  QTextOption option(alignmentForCode(alignment));
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(option);
  layout.setCacheEnabled(true);
  double y = 0;
  QList<QTextLine> shown;
  layout.beginLayout();
  for (;;) {
    QTextLine line = layout.createLine();
    if (!line.isValid()) break;
    line.setLineWidth(rect.width());
    line.setPosition(QPointF(0, y));
    y += line.height();
    if (y > rect.height() + 0.01) break;  // does not fit: not shown
    shown << line;
  }
  layout.endLayout();
  painter.save();
  painter.setClipRect(rect, Qt::IntersectClip);
  painter.setPen(color);
  for (const QTextLine& line : shown) line.draw(&painter, rect.topLeft());
  painter.restore();
}

QSizeF naturalSize(const QString& text, const CardFont& cardFont, double width) {
  // Measured on a 72 dpi device: one point is one unit, as on the card.
  static const QImage device = [] {
    QImage img(1, 1, QImage::Format_ARGB32);
    img.setDotsPerMeterX(2835);
    img.setDotsPerMeterY(2835);
    return img;
  }();
  const QFont font = fontForDevice(cardFont, &device);
  const QString body = withLineSeparators(text);
  QTextLayout layout(body, font, const_cast<QImage*>(&device));
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(option);
  const double lineWidth = (std::isfinite(width) && width > 0) ? width : 1e7;
  double height = 0, widest = 0;
  layout.beginLayout();
  for (;;) {
    QTextLine line = layout.createLine();
    if (!line.isValid()) break;
    line.setLineWidth(lineWidth);
    line.setPosition(QPointF(0, height));
    height += line.height();
    widest = std::max(widest, line.naturalTextWidth());
  }
  layout.endLayout();
  return {std::ceil(widest), std::ceil(height)};
}

}  // namespace text_look
