#include "core/render/ShapeOutline.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace shape_outline {

namespace {
QPainterPath winding() {
  QPainterPath p;
  p.setFillRule(Qt::WindingFill);
  return p;
}
double finiteOr0(double v) {
  return std::isfinite(v) ? v : 0.0;
}
}  // namespace

QPainterPath Rectangle_path(const QRectF& r) {
  QPainterPath p = winding();
  p.addRect(r);
  return p;
}

QPainterPath Circle_path(const QRectF& r) {
  QPainterPath p = winding();
  p.addEllipse(r);
  return p;
}

QPainterPath Rounded_Rectangle_path(const QRectF& r, double radius) {
  QPainterPath p = winding();
  radius = std::max(0.0, finiteOr0(radius));
  p.addRoundedRect(r, radius, radius, Qt::AbsoluteSize);
  return p;
}

QPainterPath Triangle_path(const QRectF& r) {
  const double x = r.x(), y = r.y(), w = r.width(), h = r.height();
  QPainterPath p = winding();
  p.moveTo(x, y + h);
  p.lineTo(x + w / 2, y);
  p.lineTo(x + w, y + h);
  p.closeSubpath();
  return p;
}

QPainterPath Diamond_path(const QRectF& r) {
  const double x = r.x(), y = r.y(), w = r.width(), h = r.height();
  QPainterPath p = winding();
  p.moveTo(x, y + h / 2);
  p.lineTo(x + w / 2, y);
  p.lineTo(x + w, y + h / 2);
  p.lineTo(x + w / 2, y + h);
  p.closeSubpath();
  return p;
}

QPainterPath Polygon_With_Diffrent_Sides(const QRectF& r, int n) {
  QPainterPath p = winding();
  if (n <= 0) return p;
  n = std::min(n, kMaxStarPoints);
  const double cx = r.x() + r.width() / 2, cy = r.y() + r.height() / 2;
  const double rx = r.width() / 2, ry = r.height() / 2;
  double a = -std::numbers::pi / 2;
  const double step = 4 * std::numbers::pi / n;
  for (int i = 0; i < n; ++i) {
    const QPointF pt(static_cast<float>(cx + rx * std::cos(a)), static_cast<float>(cy + ry * std::sin(a)));
    if (i == 0)
      p.moveTo(pt);
    else
      p.lineTo(pt);
    a += step;
  }
  p.closeSubpath();
  return p;
}

QPainterPath Custom_Polygon(const QRectF& r) {
  const double x = r.x(), y = r.y(), w = r.width(), h = r.height();
  QPainterPath p = winding();
  p.moveTo(x, y);
  p.lineTo(x + w / 2, y + h / 4);
  p.lineTo(x + w, y);
  p.lineTo(x + 3 * w / 4, y + h / 2);
  p.lineTo(x + w, y + h);
  p.lineTo(x + w / 2, y + 3 * h / 4);
  p.lineTo(x, y + h);
  p.lineTo(x + w / 4, y + h / 2);
  p.closeSubpath();
  return p;
}

int doubleStarPointCount(int selector) {
  switch (selector) {
    case 1:
      return 7;
    case 2:
      return 9;
    case 3:
      return 11;
    case 4:
      return 13;
    case 5:
      return 15;
    default:
      return selector;
  }
}

int polygonPointCount(int selector) {
  switch (selector) {
    case 1:
      return 8;
    case 2:
      return 10;
    case 3:
      return 12;
    case 4:
      return 14;
    case 5:
      return 16;
    default:
      return selector;
  }
}

QPainterPath outlineForCode(const QString& code, const QRectF& bounds, double cornerRadius,
                            int doubleStarType, int polygonType) {
  if (code == QLatin1String("R")) return Rectangle_path(bounds);
  if (code == QLatin1String("C")) return Circle_path(bounds);
  if (code == QLatin1String("RR")) return Rounded_Rectangle_path(bounds, cornerRadius);
  if (code == QLatin1String("T")) return Triangle_path(bounds);
  if (code == QLatin1String("D")) return Diamond_path(bounds);
  if (code == QLatin1String("S")) return Polygon_With_Diffrent_Sides(bounds, 5);
  if (code == QLatin1String("DS"))
    return Polygon_With_Diffrent_Sides(bounds, doubleStarPointCount(doubleStarType));
  if (code == QLatin1String("P")) {
    const int n = polygonPointCount(polygonType);
    return n == 8 ? Custom_Polygon(bounds) : Polygon_With_Diffrent_Sides(bounds, n);
  }
  return winding();
}

}  // namespace shape_outline
