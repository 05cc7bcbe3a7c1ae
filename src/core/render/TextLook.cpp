#include "core/render/TextLook.h"

#include <QGlyphRun>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>
#include <algorithm>
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

// Every text is laid out on this device, so that a layout does not depend on
// what it is drawn on (canvas, picture at any scale, PDF, printer). Fonts on
// it are sized so that one unit is one point. It keeps the program's default
// resolution: a layout scales absolute letter spacing by the whole-number
// ratio of its device's resolution to that default, which is 1 only here.
const QImage& layoutDevice() {
  static const QImage device(1, 1, QImage::Format_ARGB32);
  return device;
}

constexpr double kUnwrapped = 1e7;      // the line width of a text that does not wrap
constexpr double kFitTolerance = 0.01;  // a line may reach this far below the box

// A text laid out by the card's rule at one width; drawing and measuring both
// read it.
class BoxLayout {
 public:
  BoxLayout(const QString& text, const TextStyle& style, double width)
      : _layout(withLineSeparators(text), layoutFont(style), &layoutDevice()) {
    QTextOption option(alignmentForCode(style.alignment));
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    _layout.setTextOption(option);
    _layout.setCacheEnabled(true);
    const double lineWidth = (std::isfinite(width) && width > 0) ? width : kUnwrapped;
    double y = 0;
    _layout.beginLayout();
    for (QTextLine line = _layout.createLine(); line.isValid(); line = _layout.createLine()) {
      line.setLineWidth(lineWidth);
      line.setPosition(QPointF(0, y));
      y += line.height();
    }
    _layout.endLayout();
  }

  int lineCount() const { return _layout.lineCount(); }

  // The lines from the top whose bottom lies within the height: the first
  // that does not fit is not shown, nor any after it.
  int linesFitting(double height) const {
    int n = 0;
    while (n < lineCount() && _layout.lineAt(n).rect().bottom() <= height + kFitTolerance) ++n;
    return n;
  }

  double height() const { return lineCount() ? _layout.lineAt(lineCount() - 1).rect().bottom() : 0; }

  double widestLine() const {
    double widest = 0;
    for (int i = 0; i < lineCount(); ++i) widest = std::max(widest, _layout.lineAt(i).naturalTextWidth());
    return widest;
  }

  // Where the glyphs put ink, in layout units (the box's top left is 0, 0);
  // empty when no glyph has any.
  QRectF ink() const {
    QRectF all;
    for (int i = 0; i < lineCount(); ++i)
      for (const QGlyphRun& run : _layout.lineAt(i).glyphRuns()) {
        const QRawFont font = run.rawFont();
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype g = 0; g < glyphs.size() && g < positions.size(); ++g) {
          const QRectF box = font.boundingRect(glyphs[g]).translated(positions[g]);
          if (!box.isEmpty()) all = all.isEmpty() ? box : all.united(box);
        }
      }
    return all;
  }

  void draw(QPainter& painter, const QPointF& origin, int lines) const {
    for (int i = 0; i < lines; ++i) _layout.lineAt(i).draw(&painter, origin);
  }

 private:
  static QFont layoutFont(const TextStyle& style) {
    QFont font = fontForDevice(style.font, &layoutDevice());
    if (std::isfinite(style.kerning) && style.kerning != 0)
      font.setLetterSpacing(QFont::AbsoluteSpacing, style.kerning);
    return font;
  }

  QTextLayout _layout;
};
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

void drawTextInRect(QPainter& painter, const QString& text, const QRectF& rect, const TextStyle& style,
                    const QColor& color) {
  if (rect.width() <= 0 || rect.height() <= 0 || text.isEmpty()) return;
  const BoxLayout layout(text, style, rect.width());
  painter.save();
  painter.setClipRect(rect, Qt::IntersectClip);
  painter.setPen(color);
  layout.draw(painter, rect.topLeft(), layout.linesFitting(rect.height()));
  painter.restore();
}

bool fitsInRect(const QString& text, const QRectF& rect, const TextStyle& style) {
  if (text.isEmpty()) return true;
  if (rect.width() <= 0 || rect.height() <= 0) return false;
  const BoxLayout layout(text, style, rect.width());
  return layout.linesFitting(rect.height()) == layout.lineCount();
}

QSizeF naturalSize(const QString& text, const TextStyle& style, double width) {
  // The lines the width gives; at their widest line's width (whole points)
  // the same lines come out, now aligned within that width.
  const double lineWidth = std::ceil(BoxLayout(text, style, width).widestLine());
  const BoxLayout natural(text, style, lineWidth);
  // Glyphs may reach past their advance. A larger box shows that ink on the
  // sides its alignment keeps free, so the box grows until it shows it too:
  // left-aligned lines stay put as the box widens, right-aligned ones move
  // with its right edge, centred ones by half the widening.
  const QRectF ink = natural.ink();
  double needed = lineWidth;
  if (!ink.isEmpty()) {
    switch (style.alignment) {
      case 1:  // right
        needed += std::max(0.0, -ink.left());
        break;
      case 2:  // centre
        needed += 2 * std::max({0.0, -ink.left(), ink.right() - lineWidth});
        break;
      default:
        needed = std::max(needed, ink.right());
        break;
    }
  }
  const double height = std::max(natural.height(), ink.isEmpty() ? 0.0 : ink.bottom());
  return {std::ceil(needed), std::ceil(height)};
}

}  // namespace text_look
