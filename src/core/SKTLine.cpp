#include "core/SKTLine.h"

#include <cmath>

SKTGraphicPtr SKTLine::cloneShallow() const {
  return SKTGraphicPtr(new SKTLine(*this));
}

QPointF SKTLine::beginPoint() const {
  const QRectF& b = _bounds;
  return {_pointsRight ? b.left() : b.left() + b.width(), _pointsDown ? b.top() : b.top() + b.height()};
}

QPointF SKTLine::endPoint() const {
  const QRectF& b = _bounds;
  return {_pointsRight ? b.left() + b.width() : b.left(), _pointsDown ? b.top() + b.height() : b.top()};
}

QRectF SKTLine::boundsWithBeginPoint(const QPointF& begin, const QPointF& end, bool* pointsRight,
                                     bool* pointsDown) {
  if (pointsRight) *pointsRight = end.x() > begin.x();
  if (pointsDown) *pointsDown = end.y() > begin.y();
  return QRectF(std::min(begin.x(), end.x()), std::min(begin.y(), end.y()), std::abs(end.x() - begin.x()),
                std::abs(end.y() - begin.y()));
}

void SKTLine::setPoints(const QPointF& begin, const QPointF& end) {
  // The direction flags change together with the bounds, inside the
  // announcement of the two points, so observers see consistent values.
  willChangeValueForKey(SKTKeys::beginPoint);
  willChangeValueForKey(SKTKeys::endPoint);
  bool right = false, down = false;
  const QRectF b = boundsWithBeginPoint(begin, end, &right, &down);
  _pointsRight = right;
  _pointsDown = down;
  setBounds(b);
  didChangeValueForKey(SKTKeys::endPoint);
  didChangeValueForKey(SKTKeys::beginPoint);
}

void SKTLine::setBeginPoint(const QPointF& point) {
  setPoints(point, endPoint());
}
void SKTLine::setEndPoint(const QPointF& point) {
  setPoints(beginPoint(), point);
}

SKTGraphicPtr SKTLine::copyWithZone() const {
  SKTGraphicPtr copy = SKTGraphic::copyWithZone();
  auto& line = static_cast<SKTLine&>(*copy);
  line._pointsRight = _pointsRight;
  line._pointsDown = _pointsDown;
  return copy;
}

QPainterPath SKTLine::bezierPathForDrawing() const {
  QPainterPath path;
  path.moveTo(beginPoint());
  path.lineTo(endPoint());
  return path;
}

void SKTLine::drawHandlesInView(QPainter& painter, bool lock_hai) const {
  drawHandleInView(painter, beginPoint(), lock_hai);
  drawHandleInView(painter, endPoint(), lock_hai);
}

bool SKTLine::isContentsUnderPoint(const QPointF& p) const {
  const QRectF db = drawingBounds();
  if (!(p.x() >= db.left() && p.x() < db.left() + db.width() && p.y() >= db.top() &&
        p.y() < db.top() + db.height()))
    return false;
  const double d = _strokeWidth / 2.0 + 2.0;
  const QPointF b = beginPoint(), e = endPoint();
  if (e.x() - b.x() == 0.0) return std::abs(p.x() - b.x()) <= d;
  const double slope = (e.y() - b.y()) / (e.x() - b.x());
  return std::abs((p.x() - b.x()) * slope - (p.y() - b.y())) <= d;
}

int SKTLine::handleUnderPoint(const QPointF& point) const {
  if (isHandleAtPoint(beginPoint(), point)) return 1;
  if (isHandleAtPoint(endPoint(), point)) return 2;
  return SKTGraphicNoHandle;
}

int SKTLine::resizeByMovingHandle(int handle, const QPointF& point) {
  if (handle == 1)
    setBeginPoint(point);
  else if (handle == 2)
    setEndPoint(point);
  return handle;
}

void SKTLine::setColor(const QColor& color) {
  setValueForKey(SKTKeys::strokeColor, color);
}

QStringList SKTLine::keysForValuesToObserveForUndo() const {
  QStringList keys = SKTGraphic::keysForValuesToObserveForUndo();
  keys.removeAll(SKTKeys::bounds);
  keys << SKTKeys::beginPoint << SKTKeys::endPoint;
  return keys;
}

std::optional<QString> SKTLine::presentablePropertyNameForKey(const QString& key) const {
  if (key == SKTKeys::beginPoint) return QStringLiteral("Beginpoint");
  if (key == SKTKeys::endPoint) return QStringLiteral("Endpoint");
  return SKTGraphic::presentablePropertyNameForKey(key);
}

QVariant SKTLine::valueForKey(const QString& key) {
  if (key == SKTKeys::beginPoint) return beginPoint();
  if (key == SKTKeys::endPoint) return endPoint();
  return SKTGraphic::valueForKey(key);
}

void SKTLine::setValueForKey(const QString& key, const QVariant& value) {
  if (key == SKTKeys::beginPoint)
    setBeginPoint(value.toPointF());
  else if (key == SKTKeys::endPoint)
    setEndPoint(value.toPointF());
  else
    SKTGraphic::setValueForKey(key, value);
}

QStringList SKTLine::keysAffectedByKey(const QString& key) const {
  QStringList keys = SKTGraphic::keysAffectedByKey(key);
  if (key == SKTKeys::bounds) keys << SKTKeys::beginPoint << SKTKeys::endPoint;
  return keys;
}

namespace {
QString pointString(const QPointF& p) {
  return QStringLiteral("{%1, %2}").arg(p.x()).arg(p.y());
}
QPointF parsePoint(const QVariant& v) {
  if (v.typeId() != QMetaType::QString) return {};
  QString t = v.toString();
  t.remove(QLatin1Char('{')).remove(QLatin1Char('}'));
  const QStringList parts = t.split(QLatin1Char(','));
  if (parts.size() != 2) return {};
  bool okX = false, okY = false;
  const double x = parts[0].trimmed().toDouble(&okX), y = parts[1].trimmed().toDouble(&okY);
  if (!okX || !okY || !std::isfinite(x) || !std::isfinite(y)) return {};
  return {x, y};
}
}  // namespace

QVariantMap SKTLine::properties() const {
  QVariantMap p = SKTGraphic::properties();
  p.remove(QStringLiteral("bounds"));
  p.insert(SKTKeys::beginPoint, pointString(beginPoint()));
  p.insert(SKTKeys::endPoint, pointString(endPoint()));
  return p;
}

void SKTLine::initWithProperties(const QVariantMap& properties) {
  SKTGraphic::initWithProperties(properties);
  const QPointF begin = parsePoint(properties.value(SKTKeys::beginPoint));
  const QPointF end = parsePoint(properties.value(SKTKeys::endPoint));
  _bounds = boundsWithBeginPoint(begin, end, &_pointsRight, &_pointsDown);
}
