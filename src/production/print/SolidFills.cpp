#include "production/print/SolidFills.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <algorithm>
#include <climits>
#include <cmath>

namespace production {

namespace {

// The rectangle a path outlines, when it is one (as a recorded rectangle
// replays: a move and four lines round an axis-parallel box).
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

// A paint engine that keeps what a picture fills, and notes anything else.
class FillGatherer final : public QPaintEngine {
 public:
  FillGatherer() : QPaintEngine(QPaintEngine::AllFeatures) {}

  bool begin(QPaintDevice*) override { return true; }
  bool end() override { return true; }
  Type type() const override { return QPaintEngine::User; }

  void updateState(const QPaintEngineState& state) override {
    const DirtyFlags dirty = state.state();
    if (dirty & DirtyTransform) transform_ = state.transform();
    if (dirty & DirtyBrush) brush_ = state.brush();
    if (dirty & DirtyPen) pen_ = state.pen();
    if ((dirty & DirtyOpacity) && state.opacity() < 1.0) plain = false;
    if ((dirty & DirtyCompositionMode) && state.compositionMode() != QPainter::CompositionMode_SourceOver)
      plain = false;
    if ((dirty & (DirtyClipEnabled | DirtyClipRegion | DirtyClipPath)) && state.isClipEnabled() &&
        state.clipOperation() != Qt::NoClip)
      plain = false;
  }

  void drawRects(const QRectF* rects, int count) override {
    if (!solidFill()) return;
    for (int i = 0; i < count; ++i) {
      if (transform_.type() <= QTransform::TxScale) {
        fillFor(brush_.color()).rects.push_back(transform_.mapRect(rects[i]).normalized());
      } else {
        QPainterPath path;
        path.addRect(rects[i]);
        addOutline(transform_.map(path));
      }
    }
  }
  void drawRects(const QRect* rects, int count) override {
    for (int i = 0; i < count; ++i) {
      const QRectF rect(rects[i]);
      drawRects(&rect, 1);
    }
  }
  void drawPath(const QPainterPath& path) override {
    if (!solidFill()) return;
    const std::optional<QRectF> rect = rectangleOf(path);
    if (rect && transform_.type() <= QTransform::TxScale)
      fillFor(brush_.color()).rects.push_back(transform_.mapRect(*rect).normalized());
    else
      addOutline(transform_.map(path));
  }
  void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
    if (mode == PolylineMode || !solidFill()) {
      plain = false;
      return;
    }
    QPolygonF polygon;
    polygon.reserve(count);
    for (int i = 0; i < count; ++i) polygon.append(points[i]);
    QPainterPath path;
    path.addPolygon(polygon);
    path.closeSubpath();
    path.setFillRule(mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
    addOutline(transform_.map(path));
  }
  void drawPolygon(const QPoint* points, int count, PolygonDrawMode mode) override {
    QList<QPointF> floating;
    for (int i = 0; i < count; ++i) floating.append(QPointF(points[i]));
    drawPolygon(floating.constData(), count, mode);
  }
  void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override { plain = false; }
  void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {
    plain = false;
  }
  void drawTextItem(const QPointF&, const QTextItem&) override { plain = false; }
  void drawTiledPixmap(const QRectF&, const QPixmap&, const QPointF&) override { plain = false; }

  bool plain = true;
  SolidFills gathered;

 private:
  bool solidFill() {
    if (pen_.style() != Qt::NoPen || brush_.style() != Qt::SolidPattern || !brush_.isOpaque()) plain = false;
    return plain;
  }
  SolidFills::Fill& fillFor(const QColor& colour) {
    if (gathered.fills.empty() || gathered.fills.back().colour != colour) {
      gathered.fills.emplace_back();
      gathered.fills.back().colour = colour;
    }
    return gathered.fills.back();
  }
  void addOutline(const QPainterPath& path) { fillFor(brush_.color()).outlines.push_back(path); }

  QTransform transform_;
  QBrush brush_;
  QPen pen_;
};

class GatheringDevice final : public QPaintDevice {
 public:
  QPaintEngine* paintEngine() const override { return &engine; }
  mutable FillGatherer engine;

 protected:
  int metric(PaintDeviceMetric metric) const override {
    switch (metric) {
      case PdmWidth:
      case PdmHeight:
        return 1 << 20;
      case PdmWidthMM:
      case PdmHeightMM:
        return static_cast<int>((1 << 20) * 25.4 / 72.0);
      case PdmDpiX:
      case PdmDpiY:
      case PdmPhysicalDpiX:
      case PdmPhysicalDpiY:
        return 72;
      case PdmDepth:
        return 32;
      case PdmNumColors:
        return INT_MAX;
      case PdmDevicePixelRatio:
        return 1;
      case PdmDevicePixelRatioScaled:
        return static_cast<int>(devicePixelRatioFScale());
      default:
        return 0;
    }
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

}  // namespace

std::optional<SolidFills> SolidFills::of(const QPicture& picture) {
  GatheringDevice device;
  {
    QPainter painter(&device);
    if (!painter.isActive()) return std::nullopt;
    // The picture replays scaled by the ratio of its resolution to the device's.
    painter.scale(static_cast<double>(picture.logicalDpiX()) / device.logicalDpiX(),
                  static_cast<double>(picture.logicalDpiY()) / device.logicalDpiY());
    painter.drawPicture(QPointF(0, 0), picture);
  }
  if (!device.engine.plain) return std::nullopt;
  SolidFills fills = std::move(device.engine.gathered);
  for (Fill& fill : fills.fills) fill.rects = mergedDown(std::move(fill.rects));
  std::erase_if(fills.fills, [](const Fill& f) { return f.rects.empty() && f.outlines.empty(); });
  return fills;
}

void SolidFills::paint(QPainter& painter, const QPointF& origin) const {
  painter.save();
  painter.translate(origin);
  painter.setPen(Qt::NoPen);
  for (const Fill& fill : fills) {
    painter.setBrush(fill.colour);
    if (!fill.rects.empty()) painter.drawRects(fill.rects.data(), static_cast<int>(fill.rects.size()));
    for (const QPainterPath& outline : fill.outlines) painter.drawPath(outline);
  }
  painter.restore();
}

}  // namespace production
