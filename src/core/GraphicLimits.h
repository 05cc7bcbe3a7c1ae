#pragma once
// How far a card object may reach, and how large its stroke and fonts may be.
//
// A design file holds only objects within these limits (its reader refuses
// anything else as damaged), so the model keeps every object within them:
// setBounds cuts a position or a size back to the limit, whatever command
// asked for it (a move, a nudge, a resize, Natural Size, an alignment, a
// paste, a script), and a move of several objects stops as a whole where the
// first of them meets the limit.

#include <QPointF>
#include <QRectF>
#include <QString>
#include <optional>

#include "core/SKTGraphic.h"

// Largest x or y of an object's origin, and largest width or height, in
// points (either sign): some 35 metres, far beyond any card.
inline constexpr double kMaxGraphicCoordinate = 100000.0;
// Widest stroke of an object, in points.
inline constexpr double kMaxGraphicStrokeWidth = 1000.0;
// Largest font size of a text or a barcode caption, in points.
inline constexpr double kMaxGraphicFontSize = 1000.0;

// True when x, y, width and height are finite and each within the limit.
bool boundsWithinLimits(const QRectF& bounds);
// The bounds with x, y, width and height each cut back to the limit (a value
// that is no number at all becomes 0).
QRectF limitedBounds(const QRectF& bounds);

// The offset (dx, dy) cut back so that moving every unlocked graphic of the
// list by it keeps each origin within the limit. An object already beyond
// the limit never moves further out.
QPointF limitedOffset(const SKTGraphicList& graphics, double dx, double dy);

// Brings the bounds of graphics made outside the model's commands (read from
// the clipboard) within the limits.
void limitBoundsOfGraphics(const SKTGraphicList& graphics);

// Why a graphic could not be kept in a design file ("its height, 128,000
// points, is beyond the 100,000 points an object can measure"): its
// bounds, stroke width, gradient angle or font sizes; nothing when it can.
std::optional<QString> graphicBeyondLimits(const SKTGraphic& graphic);
