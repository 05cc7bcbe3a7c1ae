#include "production/print/SolidFills.h"

#include <QFontDatabase>
#include <QGlyphRun>
#include <QPaintEngine>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <limits>
#include <variant>

namespace production {

namespace {

using barcode::VectorPicture;

// The rectangle a path outlines, when it is one (a move and four lines round
// an axis-parallel box, as a rectangle's outline is made).
std::optional<QRectF> rectangleOf(const QPainterPath& path) {
  if (path.elementCount() != 5) return std::nullopt;
  const QPainterPath::Element e[5] = {path.elementAt(0), path.elementAt(1), path.elementAt(2),
                                      path.elementAt(3), path.elementAt(4)};
  if (!e[0].isMoveTo() || !e[1].isLineTo() || !e[2].isLineTo() || !e[3].isLineTo() || !e[4].isLineTo())
    return std::nullopt;
  const bool across = e[1].y == e[0].y && e[2].x == e[1].x && e[3].y == e[2].y && e[3].x == e[0].x;
  const bool down = e[1].x == e[0].x && e[2].y == e[1].y && e[3].x == e[2].x && e[3].y == e[0].y;
  if (!(across || down) || e[4].x != e[0].x || e[4].y != e[0].y) return std::nullopt;
  return QRectF(QPointF(e[0].x, e[0].y), QPointF(e[2].x, e[2].y)).normalized();
}

// Whether the font file draws the face the font asks for as it stands, or
// the face has to be made up from it (a bold or italic the family lacks,
// thickened or slanted from another of its faces). A face made up draws its
// outlines one way and its text in a PDF another (a bold twice over, a
// steeper slant). The file's own tables tell what it holds: the OS/2 table's
// weight class and style bits, or the header's style bits where a file has
// no OS/2 table. A file with neither (a Type 1 font) is told by what the
// font database lists of the face it holds (its style name): its weight and
// whether it is italic. Where nothing tells, the face is taken as made up.
bool madeUpFace(const QRawFont& font) {
  bool bold = false;
  bool italic = false;
  int weight = QFont::Normal;
  if (const QByteArray os2 = font.fontTable("OS/2"); os2.size() >= 64) {
    weight = qFromBigEndian<quint16>(os2.constData() + 4);
    const quint16 selection = qFromBigEndian<quint16>(os2.constData() + 62);
    italic = selection & 0x0201;  // italic or oblique
    bold = selection & 0x0020;
  } else if (const QByteArray head = font.fontTable("head"); head.size() >= 46) {
    const quint16 style = qFromBigEndian<quint16>(head.constData() + 44);
    bold = style & 0x1;
    italic = style & 0x2;
  } else if (const int listed = QFontDatabase::weight(font.familyName(), font.styleName()); listed > 0) {
    weight = listed;
    bold = QFontDatabase::bold(font.familyName(), font.styleName());
    italic = QFontDatabase::italic(font.familyName(), font.styleName());
  } else {
    return true;
  }
  const bool slanted = font.style() != QFont::StyleNormal && !italic;
  const bool thickened = font.weight() >= QFont::DemiBold && !bold && weight < font.weight();
  return slanted || thickened;
}

// The glyphs of a line of text, as QPainterPath::addText() places them, when
// they all come from the line's own font (no fallback font) in a face its
// file holds. Lines that run from right to left or hold a tab keep their
// outlines, and so do lines in a face that has to be made up.
std::optional<SolidFills::Glyphs> glyphsOf(const VectorPicture::TextLine& line, const QTransform& transform) {
  if (line.text.isRightToLeft() || line.text.contains(QLatin1Char('\t'))) return std::nullopt;
  QTextLayout layout(line.text, line.font);
  QTextOption option = layout.textOption();
  option.setUseDesignMetrics(true);
  layout.setTextOption(option);
  layout.beginLayout();
  const QTextLine laidOut = layout.createLine();
  layout.endLayout();
  if (!laidOut.isValid()) return std::nullopt;
  const QList<QGlyphRun> runs = layout.glyphRuns();
  if (runs.size() != 1) return std::nullopt;
  const QRawFont raw = runs.front().rawFont();
  const QRawFont own = QRawFont::fromFont(line.font);
  if (!raw.isValid() || raw.familyName() != own.familyName() || raw.styleName() != own.styleName() ||
      raw.pixelSize() != own.pixelSize() || madeUpFace(raw))
    return std::nullopt;
  SolidFills::Glyphs glyphs;
  // Made from the description, so that it shares nothing with fonts in use here.
  glyphs.font.fromString(line.font.toString());
  if (line.font.pixelSize() > 0)
    glyphs.font.setPixelSize(line.font.pixelSize());
  else
    glyphs.font.setPointSizeF(line.font.pointSizeF());
  glyphs.family = raw.familyName();
  glyphs.style = raw.styleName();
  glyphs.pixelSize = raw.pixelSize();
  glyphs.indexes = runs.front().glyphIndexes();
  glyphs.positions = runs.front().positions();
  glyphs.place =
      QTransform::fromTranslate(line.baseline.x(), line.baseline.y() - laidOut.ascent()) * transform;
  return glyphs;
}

// Draws the glyphs in the colour, when the painter's thread finds the font
// they were laid out in.
bool drawGlyphs(QPainter& painter, const SolidFills::Glyphs& glyphs, const QColor& colour) {
  const QRawFont raw = QRawFont::fromFont(glyphs.font);
  if (!raw.isValid() || raw.familyName() != glyphs.family || raw.styleName() != glyphs.style ||
      raw.pixelSize() != glyphs.pixelSize)
    return false;
  QGlyphRun run;
  run.setRawFont(raw);
  run.setGlyphIndexes(glyphs.indexes);
  run.setPositions(glyphs.positions);
  const QTransform picture = painter.transform();
  painter.setTransform(glyphs.place * picture);
  painter.setPen(colour);
  painter.drawGlyphRun(QPointF(0, 0), run);
  painter.setPen(Qt::NoPen);
  painter.setTransform(picture);
  return true;
}

// Collects the fills of a picture's commands, placed pictures through their
// transforms; notes a colour that is not opaque.
class FillGatherer {
 public:
  void gather(const VectorPicture& picture, const QTransform& transform) {
    for (const VectorPicture::Command& command : picture.commands()) {
      if (const auto* fill = std::get_if<VectorPicture::FilledRects>(&command)) {
        if (!opaque(fill->colour)) return;
        for (const QRectF& rect : fill->rects) addRect(rect, fill->colour, transform);
      } else if (const auto* outline = std::get_if<VectorPicture::FilledPath>(&command)) {
        if (!opaque(outline->colour)) return;
        if (outline->text)
          fillFor(outline->colour)
              .outlines.push_back({transform.map(outline->path), glyphsOf(*outline->text, transform)});
        else if (const std::optional<QRectF> rect = rectangleOf(outline->path))
          addRect(*rect, outline->colour, transform);
        else
          fillFor(outline->colour).outlines.push_back({transform.map(outline->path), std::nullopt});
      } else if (const auto* placed = std::get_if<VectorPicture::Placed>(&command)) {
        gather(placed->picture, placed->transform * transform);
      }
    }
  }

  bool plain = true;
  SolidFills gathered;

 private:
  bool opaque(const QColor& colour) {
    if (colour.alpha() != 255) plain = false;
    return plain;
  }
  void addRect(const QRectF& rect, const QColor& colour, const QTransform& transform) {
    if (transform.type() <= QTransform::TxScale) {
      fillFor(colour).rects.push_back(transform.mapRect(rect).normalized());
    } else {
      QPainterPath path;
      path.addRect(rect);
      fillFor(colour).outlines.push_back({transform.map(path), std::nullopt});
    }
  }
  SolidFills::Fill& fillFor(const QColor& colour) {
    if (gathered.fills.empty() || gathered.fills.back().colour != colour) {
      gathered.fills.emplace_back();
      gathered.fills.back().colour = colour;
    }
    return gathered.fills.back();
  }
};

// Rectangles of one colour that repeat row after row become one.
std::vector<QRectF> mergedDown(std::vector<QRectF> rects) {
  std::sort(rects.begin(), rects.end(), [](const QRectF& a, const QRectF& b) {
    if (a.left() != b.left()) return a.left() < b.left();
    if (a.width() != b.width()) return a.width() < b.width();
    return a.top() < b.top();
  });
  std::vector<QRectF> merged;
  for (const QRectF& rect : rects) {
    if (!merged.empty()) {
      QRectF& last = merged.back();
      const double tolerance = 1e-6 * std::max(1.0, std::abs(rect.top()));
      if (last.left() == rect.left() && last.width() == rect.width() &&
          std::abs(last.bottom() - rect.top()) <= tolerance) {
        last.setBottom(std::max(last.bottom(), rect.bottom()));
        continue;
      }
    }
    merged.push_back(rect);
  }
  return merged;
}

// One axis of a grid: where it starts and how long a step is.
struct GridAxis {
  double origin = 0;
  double step = 1;
  bool steps = false;  // every edge lies on a step
};

// Whole steps are whole to a ten-thousandth of a step: a ten-thousandth of
// a module is far below what any printer or screen shows.
constexpr double kWholeTolerance = 1e-4;
constexpr double kMostSteps = 1e6;

bool whole(double steps) {
  return std::abs(steps - std::round(steps)) <= kWholeTolerance && std::abs(steps) <= kMostSteps;
}

// The grid of one axis (x: `across`): it starts at the rectangles' first
// edge, and its step is their smallest extent when every edge and extent is
// a whole number of such steps; otherwise the step stays one unit.
GridAxis gridAxis(const std::vector<QRectF>& rects, bool across) {
  GridAxis axis{std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity()};
  for (const QRectF& rect : rects) {
    axis.origin = std::min(axis.origin, across ? rect.left() : rect.top());
    axis.step = std::min(axis.step, across ? rect.width() : rect.height());
  }
  if (!std::isfinite(axis.origin)) return {};
  if (!(axis.step > 0) || !std::isfinite(axis.step)) return {axis.origin, 1.0};
  for (const QRectF& rect : rects) {
    const double start = ((across ? rect.left() : rect.top()) - axis.origin) / axis.step;
    const double extent = (across ? rect.width() : rect.height()) / axis.step;
    if (!whole(start) || !whole(extent)) return {axis.origin, 1.0};
  }
  axis.steps = true;
  return axis;
}

// Puts a fill's rectangles into the steps of their grid.
void onGrid(SolidFills::Fill& fill) {
  if (fill.rects.empty()) return;
  const GridAxis x = gridAxis(fill.rects, true);
  const GridAxis y = gridAxis(fill.rects, false);
  const auto steps = [](double v, const GridAxis& axis, bool isStart) {
    const double s = (v - (isStart ? axis.origin : 0.0)) / axis.step;
    return axis.steps ? std::round(s) : s;
  };
  for (QRectF& rect : fill.rects)
    rect = QRectF(steps(rect.left(), x, true), steps(rect.top(), y, true), steps(rect.width(), x, false),
                  steps(rect.height(), y, false));
  fill.grid = QTransform(x.step, 0, 0, y.step, x.origin, y.origin);
}

}  // namespace

std::optional<SolidFills> SolidFills::of(const barcode::VectorPicture& picture) {
  FillGatherer gatherer;
  gatherer.gather(picture, QTransform());
  if (!gatherer.plain) return std::nullopt;
  SolidFills fills = std::move(gatherer.gathered);
  for (Fill& fill : fills.fills) {
    fill.rects = mergedDown(std::move(fill.rects));
    onGrid(fill);
  }
  std::erase_if(fills.fills, [](const Fill& f) { return f.rects.empty() && f.outlines.empty(); });
  return fills;
}

void SolidFills::paint(QPainter& painter, const QPointF& origin) const {
  painter.save();
  painter.translate(origin);
  const QTransform picture = painter.transform();
  // Texts go into a PDF as texts; other painters fill their outlines.
  const bool texts = painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Pdf;
  painter.setPen(Qt::NoPen);
  for (const Fill& fill : fills) {
    painter.setBrush(fill.colour);
    if (!fill.rects.empty()) {
      painter.setTransform(fill.grid * picture);
      painter.drawRects(fill.rects.data(), static_cast<int>(fill.rects.size()));
      painter.setTransform(picture);
    }
    for (const Outline& outline : fill.outlines)
      if (!(texts && outline.glyphs && drawGlyphs(painter, *outline.glyphs, fill.colour)))
        painter.drawPath(outline.path);
  }
  painter.restore();
}

}  // namespace production
