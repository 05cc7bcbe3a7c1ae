#pragma once
// Text helpers of the drawing: case transforms, fonts at card size, and laying
// out a text in a box the way a card shows it.

#include <QFont>
#include <QRectF>
#include <QString>

#include "core/CardTypes.h"

class QPainter;
class QPaintDevice;

namespace text_look {

// 1 upper case, 2 lower case, 3 capitalised (each word starts with a capital,
// the rest lower case), anything else unchanged.
QString applyCaseTransform(const QString& text, int transform);

// The font a stored font stands for, sized so that one point of the card is
// one point of the device (card units are points).
QFont fontForDevice(const CardFont& font, const QPaintDevice* device);

// The platform alignment code (0 left, 1 right, 2 centre, 3 justified, 4 natural).
Qt::Alignment alignmentForCode(int code);

// Draws the text wrapped at the rectangle's width; lines that do not fit in
// the rectangle are not shown. Kerning is extra space between characters in points.
void drawTextInRect(QPainter& painter, const QString& text, const QRectF& rect, const CardFont& font,
                    const QColor& color, int alignment, double kerning);

// The size of the rectangle the text uses when wrapped at the width (a width
// of 0 or less does not wrap): the widest line and the sum of line heights.
QSizeF naturalSize(const QString& text, const CardFont& font, double width);

}  // namespace text_look
