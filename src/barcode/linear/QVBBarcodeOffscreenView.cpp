#include "barcode/linear/QVBBarcodeOffscreenView.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QTextBoundaryFinder>
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "barcode/globals.h"
#include "core/render/UprightFallback.h"

namespace barcode {

namespace {

constexpr double kMaxFrame = 14400.0;  // points, 200 inches

// The outlines of a short text laid out from a baseline point. The last few
// are kept on each thread: a batch draws the same header and footer, in the
// same place, on every card. A font is told apart by its description and the
// exact values the description rounds (no font object outlives the thread's
// own font caches).
QPainterPath textOutlines(const QFont& font, const QString& text, QPointF baseline) {
  struct LaidOut {
    QString font;
    std::array<double, 3> sizes;  // point size, letter and word spacing
    bool kerning;
    QString text;
    QPointF baseline;
    QPainterPath outlines;
  };
  constexpr size_t kKept = 16;
  thread_local std::vector<LaidOut> recent;
  thread_local size_t next = 0;
  LaidOut wanted{font.key(),     {font.pointSizeF(), font.letterSpacing(), font.wordSpacing()},
                 font.kerning(), text,
                 baseline,       QPainterPath()};
  for (const LaidOut& laidOut : recent)
    if (laidOut.baseline.x() == baseline.x() && laidOut.baseline.y() == baseline.y() &&
        laidOut.text == text && laidOut.sizes == wanted.sizes && laidOut.kerning == wanted.kerning &&
        laidOut.font == wanted.font)
      return laidOut.outlines;
  text_look::addTextLine(wanted.outlines, baseline, font, text);
  const QPainterPath outlines = wanted.outlines;
  if (recent.size() < kKept)
    recent.push_back(std::move(wanted));
  else
    recent[next] = std::move(wanted);
  next = (next + 1) % kKept;
  return outlines;
}

// Text is drawn as filled outlines, so that a picture replays identically at any
// resolution and stays vector in PDF.
class TextPen {
 public:
  TextPen(VectorRecorder& recorder, double viewHeight) : recorder_(recorder), viewHeight_(viewHeight) {}

  // The font in points, without pair kerning or letter spacing: spacing is
  // added by placing one character (grapheme) after the other.
  static QFont styled(const QFont& font) {
    QFont f = textmetrics::pointFont(font);
    f.setKerning(false);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 0.0);
    return f;
  }
  static double width(const QString& text, const QFont& font) {
    return text_look::lineAdvance(styled(font), text);
  }

  // Text whose line box has its lower-left corner at (x, yUp) in the view's
  // upward coordinates.
  void drawAt(const QString& text, const QFont& font, double kerning, const QColor& color, double x,
              double yUp) const {
    if (text.isEmpty()) return;
    const QFont f = styled(font);
    const double descent = QFontMetricsF(f).descent();
    fill(text, f, kerning, color, QPointF(x, viewHeight_ - yUp - descent));
  }

  // Text in the rectangle (x, yUp, w, h) of upward coordinates, aligned
  // horizontally; the line box stands on the rectangle's lower edge.
  void drawIn(const QString& text, const QFont& font, double kerning, const QColor& color,
              Qt::Alignment align, double x, double yUp, double w) const {
    if (text.isEmpty()) return;
    const QFont f = styled(font);
    const QFontMetricsF metrics(f);
    const double advance = text_look::lineAdvance(f, text) + kerning * static_cast<double>(text.size());
    double left = x;
    if (align & Qt::AlignHCenter)
      left = x + (w - advance) / 2.0;
    else if (align & Qt::AlignRight)
      left = x + w - advance;
    fill(text, f, kerning, color, QPointF(left, viewHeight_ - yUp - metrics.descent()));
  }

 private:
  // The text's outlines from the baseline point on, each grapheme after the
  // previous one's advance plus the spacing. A long text is placed grapheme by
  // grapheme and filled a few dozen at a time: the time to lay out and fill one
  // line of outlines grows with the square of its length, pieces of bounded
  // length keep the whole linear.
  void fill(const QString& text, const QFont& font, double spacing, const QColor& color,
            QPointF baseline) const {
    constexpr qsizetype kPiece = 48;
    if (text.size() <= kPiece) {
      QFont spaced(font);
      spaced.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
      recorder_.fillText(textOutlines(spaced, text, baseline), color, {text, spaced, baseline});
    } else {
      QHash<QString, double> advances;
      QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
      QPainterPath path;
      qsizetype inPath = 0;
      double x = baseline.x();
      qsizetype start = 0;
      for (qsizetype end = graphemes.toNextBoundary(); end > 0; end = graphemes.toNextBoundary()) {
        const QString piece = text.mid(start, end - start);
        auto known = advances.constFind(piece);
        if (known == advances.constEnd()) known = advances.insert(piece, text_look::lineAdvance(font, piece));
        text_look::addTextLine(path, QPointF(x, baseline.y()), font, piece);
        x += *known + spacing;
        start = end;
        if (++inPath == kPiece) {
          recorder_.fillPath(path, color);
          path.clear();
          inPath = 0;
        }
      }
      if (inPath > 0) recorder_.fillPath(path, color);
    }
  }

  VectorRecorder& recorder_;
  double viewHeight_;
};

Qt::Alignment alignmentFor(const QString& name) {
  if (name == QLatin1String("Center")) return Qt::AlignHCenter;
  if (name == QLatin1String("Right")) return Qt::AlignRight;
  return Qt::AlignLeft;
}

bool finiteSize(double v) {
  return std::isfinite(v) && v > 0 && v <= kMaxFrame;
}

// Header (its line headerHeight inches tall, below the top margin) and footer
// (on the bottom margin) of a picture of the given frame, aligned as the state
// says. Header and footer are spaced by 2 points a letter, but they were
// measured without that spacing: a text as wide as the picture gets less
// spacing, so that it is not cut at the picture's edges. An empty text draws
// nothing.
void drawFrameTexts(VectorRecorder& recorder, QSizeF frame, const BarcodeDrawingState& s,
                    const QString& header, float headerHeight, const QString& footer) {
  const TextPen pen(recorder, frame.height());
  auto spacing = [&](const QString& text, const QFont& font) {
    if (text.isEmpty()) return 2.0;
    const double room = (frame.width() - TextPen::width(text, font)) / static_cast<double>(text.size());
    return std::clamp(room, 0.0, 2.0);
  };
  if (!header.isEmpty())
    pen.drawIn(header, s.header_font, spacing(header, s.header_font), s.bar_hdr_clr,
               alignmentFor(s.align_hdr), 0, frame.height() - headerHeight * 72.0 - s.TB_margin,
               frame.width());
  if (!footer.isEmpty())
    pen.drawIn(footer, s.footer_font, spacing(footer, s.footer_font), s.bar_ftr_clr,
               alignmentFor(s.align_ftr), 0, s.TB_margin, frame.width());
}

}  // namespace

QVBBarcodeOffscreenView::QVBBarcodeOffscreenView(const QVBBarcode& barcode, const BarcodeDrawingState& state)
    : barcode_(barcode), state_(state) {
  double w = barcode.width();
  if (barcode.printsHeader()) w = std::max<double>(w, barcode.headerWidth());
  if (barcode.printsFooter()) w = std::max<double>(w, barcode.footerWidth());
  frame_ = QSizeF(w, barcode.height());
}

QSizeF QVBBarcodeOffscreenView::rectForPage() const {
  return QSizeF(barcode_.width(), barcode_.height());
}

void QVBBarcodeOffscreenView::record(VectorRecorder& recorder) const {
  recorder.fillRect(QRectF(QPointF(0, 0), frame_), state_.bar_back_clr);
  double lastRunHeight = 0;
  drawBars(recorder, lastRunHeight);
  drawCaption(recorder, lastRunHeight);
  drawHeaderAndFooter(recorder);
}

void QVBBarcodeOffscreenView::drawRect(QPainter& painter) const {
  VectorRecorder recorder;
  record(recorder);
  recorder.finish().play(painter);
}

void QVBBarcodeOffscreenView::drawBars(VectorRecorder& recorder, double& lastRunHeight) const {
  const QVBBarcode& b = barcode_;
  const BarcodeDrawingState& s = state_;
  const double H = frame_.height();
  const double Hc = b.printsCaption() ? b.captionHeight() * 72.0 : 0.0;
  const double Hf = b.printsFooter() ? b.footerHeight() * 72.0 : 0.0;
  const bool captionOnTop = s.showinTop != 0;
  const double barY = captionOnTop ? Hf + s.footer_margin + s.TB_margin
                                   : Hc + Hf + s.value_margin + s.footer_margin + s.TB_margin;

  // Four-state symbols keep their true proportions and shrink only when the
  // room left for the bars is smaller than the symbol.
  double scale = 1.0;
  if (b.drawsBarBottoms()) {
    const double room = b.baseBarTop(s);
    const double symbol = b.symbolTop();
    if (room > 0 && symbol > room) scale = room / symbol;
  }

  const std::string m = b.completeBarcode();
  const double w = b.barWidth();
  const int n = static_cast<int>(m.size());
  double x = (frame_.width() - n * w) / 2.0;
  int run = 0;
  int last = 0;
  auto drawRun = [&] {
    double bottom = 0;
    double top = b.barTop(last, s);
    if (b.drawsBarBottoms()) {
      bottom = b.barBottom(last, s) * scale;
      top *= scale;
    }
    if (top > bottom) {
      const QRectF rect(x, H - (barY + top), w * run, top - bottom);
      recorder.fillRect(rect, s.barcode_clr);
    }
    lastRunHeight = top;
  };
  for (int i = 0; i < n; ++i) {
    if (m[static_cast<size_t>(i)] == '1') {
      ++run;
      last = i;
      if (i == n - 1) drawRun();
    } else {
      if (run > 0) drawRun();
      x += w * (run + 1);
      run = 0;
    }
  }
}

void QVBBarcodeOffscreenView::drawCaption(VectorRecorder& recorder, double lastRunHeight) const {
  const QVBBarcode& b = barcode_;
  const BarcodeDrawingState& s = state_;
  if (!b.printsCaption()) return;
  const TextPen pen(recorder, frame_.height());
  const double Hf = b.printsFooter() ? b.footerHeight() * 72.0 : 0.0;
  const bool captionOnTop = s.showinTop != 0;
  const double captionY = captionOnTop ? Hf + s.footer_margin + lastRunHeight + s.value_margin + s.TB_margin
                                       : Hf + s.footer_margin + s.TB_margin;
  const QString left = b.leftCaption();
  const QString centre = b.caption();
  const QString right = b.rightCaption();
  const double w = b.barWidth();
  const double width = b.width();

  // Where the bars begin and end, in points from the view's left edge.
  const double barsLength = static_cast<double>(b.completeBarcode().size()) * w;
  const double barsStart = (frame_.width() - barsLength) / 2.0;
  const double barsEnd = barsStart + barsLength;

  // The left caption stands at its place in the margin, but never on the bars:
  // with a wide font or no left/right margin it moves left, at most to the
  // picture's edge.
  if (!left.isEmpty()) {
    const double leftWidth = TextPen::width(left, s.value_font);
    const double x =
        std::max(0.0, std::min(b.firstBar() * 0.25 + s.LR_margin, barsStart - 2.0 * w - leftWidth));
    pen.drawAt(left, s.value_font, 0.0, s.bar_val_clr, x, captionY + 3);
  }

  // Right edge of the ink of the caption pieces placed one by one.
  double piecesEnd = 0.0;

  if (!centre.isEmpty()) {
    const QStringList pieces = centre.split(QLatin1Char('\t'));
    const int count = static_cast<int>(pieces.size());
    if (left.isEmpty() && count == 1) {
      const QString& piece = pieces.front();
      const double p = TextPen::width(piece, s.value_font);
      const double k = (width - p) / (2.0 * piece.size());
      // The designer's choice at the time of drawing: spread over the width, or 2 points apart.
      const double kerning = Spread_Barcode_Value_Text.load() ? 2.0 * k : 2.0;
      pen.drawIn(piece, s.value_font, kerning, s.bar_val_clr, Qt::AlignHCenter, 0, captionY, frame_.width());
    } else {
      const double I = static_cast<double>(b.initiator().size());
      const double F = b.firstBar();
      const double S = count == 1 ? width / count - I * w * 2 - F * 2 : width / count - I * w - F;
      for (int i = 0; i < count; ++i) {
        const QString& piece = pieces[i];
        if (piece.isEmpty()) continue;  // an empty piece draws nothing
        const double p = TextPen::width(piece, s.value_font);
        const double k = (S - p) / (2.0 * piece.size());
        const double origin = 3 * k + F + (i + 1) * I * w + i * S + s.LR_margin;
        pen.drawAt(piece, s.value_font, 1.3 * k, s.bar_val_clr, origin, captionY);
        piecesEnd = std::max(piecesEnd, origin + p + 1.3 * k * static_cast<double>(piece.size() - 1));
      }
    }
  }

  // The right caption stands two modules after the last bar, or after the last
  // caption piece where that reaches further, and inside the picture. (Placed
  // from the barcode's width, which the designer has by now replaced with the
  // whole picture width, it would fall off the picture's right edge.)
  if (!right.isEmpty()) {
    const double x = std::min(std::max(barsEnd, piecesEnd) + 2.0 * w,
                              frame_.width() - TextPen::width(right, s.value_font));
    pen.drawAt(right, s.value_font, 0.0, s.bar_val_clr, x, captionY + 3);
  }
}

void QVBBarcodeOffscreenView::drawHeaderAndFooter(VectorRecorder& recorder) const {
  const QVBBarcode& b = barcode_;
  drawFrameTexts(recorder, frame_, state_, b.printsHeader() ? b.header() : QString(), b.headerHeight(),
                 b.printsFooter() ? b.footer() : QString());
}

BarcodePicture imageFromBarcode(const QVBBarcode& barcode, const BarcodeDrawingState& state) {
  BarcodePicture out;
  // A value the symbology refuses has no bars and draws nothing, not even its caption.
  if (!barcode.isContentValid()) return out;
  const QVBBarcodeOffscreenView view(barcode, state);
  const QSizeF size = view.frameSize();
  if (!finiteSize(size.width()) || !finiteSize(size.height())) return out;
  VectorRecorder recorder;
  view.record(recorder);
  out.picture = recorder.finish();
  out.size = size;
  return out;
}

QByteArray pdfFromBarcode(const QVBBarcode& barcode, const BarcodeDrawingState& state) {
  return imageFromBarcode(barcode, state).toPdf();
}

BarcodePicture imageFromBarcodeImage(const BarcodePicture& image2d, const BarcodeDrawingState& state) {
  BarcodePicture out;
  if (image2d.isNull()) return out;
  const BarcodeCaptionModel& model = state.caption2D;
  const QSizeF frame(model.width, model.height);
  if (!finiteSize(frame.width()) || !finiteSize(frame.height())) return out;
  const QSizeF size = image2d.size;
  VectorRecorder recorder;
  recorder.fillRect(QRectF(QPointF(0, 0), frame), Qt::white);
  const double Hh = model.printsHeader ? model.headerHeight * 72.0 : 0.0;
  // Upward from the bottom: the picture's top edge lies the header margin below
  // the header's line.
  const double top = frame.height() - Hh - state.TB_margin;
  const double bottom = top - size.height() - state.header_margin;
  recorder.place(image2d.picture, image2d.placement(QRectF((frame.width() - size.width()) / 2.0,
                                                           frame.height() - bottom - size.height(),
                                                           size.width(), size.height())));
  drawFrameTexts(recorder, frame, state, model.printsHeader ? model.header : QString(), model.headerHeight,
                 model.printsFooter ? model.footer : QString());
  out.picture = recorder.finish();
  out.size = frame;
  return out;
}

}  // namespace barcode
