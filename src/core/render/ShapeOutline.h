#pragma once
// The eight outlines of a shape, fitted to its bounds (card coordinates, y down).

#include <QPainterPath>
#include <QRectF>
#include <QString>

namespace shape_outline {

// Point counts beyond this are drawn with this many points: a stored count is
// untrusted input and each point costs time on every paint.
inline constexpr int kMaxStarPoints = 720;

QPainterPath Rectangle_path(const QRectF& r);
QPainterPath Circle_path(const QRectF& r);
QPainterPath Rounded_Rectangle_path(const QRectF& r, double radius);
QPainterPath Triangle_path(const QRectF& r);
QPainterPath Diamond_path(const QRectF& r);
// Star polygon with n points: the angle advances by two n-th parts of a turn
// from the top centre; n <= 0 gives an empty path; n is capped at kMaxStarPoints.
QPainterPath Polygon_With_Diffrent_Sides(const QRectF& r, int n);
// Four-pointed star with its tips at the corners of the bounds.
QPainterPath Custom_Polygon(const QRectF& r);

// Point count of the double star's selector: 1 → 7, 2 → 9, 3 → 11, 4 → 13, 5 → 15, else the value.
int doubleStarPointCount(int selector);
// Point count of the polygon's selector: 1 → 8, 2 → 10, 3 → 12, 4 → 14, 5 → 16, else the value.
int polygonPointCount(int selector);

// The outline for a shape code ("R", "C", "RR", "T", "D", "S", "DS", "P");
// any other code gives an empty path. The path uses the winding fill rule.
QPainterPath outlineForCode(const QString& code, const QRectF& bounds, double cornerRadius,
                            int doubleStarType, int polygonType);

}  // namespace shape_outline
