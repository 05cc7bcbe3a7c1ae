#pragma once
// The arithmetic of the zooming, centring scroll view, kept free of widgets.

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QStringList>
#include <array>

namespace zoom {

struct ZoomEntry {
  const char* label;
  double factor;
};

// The zoom pop-up's entries in menu order. 10 % is 0.1 rounded to single precision.
inline constexpr std::array<ZoomEntry, 11> kZoomTable{{{"10%", static_cast<double>(0.1f)},
                                                       {"25%", 0.25},
                                                       {"50%", 0.5},
                                                       {"75%", 0.75},
                                                       {"100%", 1.0},
                                                       {"125%", 1.25},
                                                       {"150%", 1.5},
                                                       {"200%", 2.0},
                                                       {"400%", 4.0},
                                                       {"800%", 8.0},
                                                       {"1600%", 16.0}}};

// Round to the nearest whole number, halves away from zero.
double roundHalfAway(double v);

// Clamps a proposed scroll origin: on an axis where the visible size v is at
// most the document size d the origin stays within 0 .. d - v; where v > d it is
// the centred position round((d - v) / 2), whatever was proposed.
QPointF constrainScrollPoint(QPointF proposed, QSizeF documentSize, QSizeF visibleSize);

// The clip view's new bounds origin after centring: on each axis where the
// visible size exceeds the document size the origin is the centred (negative)
// position; on the others the current origin is kept (then constrained).
QPointF centerDocument(QPointF currentOrigin, QSizeF documentSize, QSizeF visibleSize);

// The visible area in document points for a viewport of the given size at a zoom factor.
QSizeF visibleSizeForFactor(QSizeF viewportSize, double factor);

}  // namespace zoom
