#pragma once
// Text helpers of the drawing: case transforms, fonts at card size, and laying
// out a text in a box the way a card shows it.

#include <QFont>
#include <QGlyphRun>
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

// The look of a card text besides its characters: font, platform alignment
// code and kerning (extra space after each character, in points).
struct TextStyle {
  CardFont font;
  int alignment = 0;
  double kerning = 0;
};

// Drawing and measuring share one layout rule: the text is laid out on one
// device for all (one unit is one point, whatever the painter draws on),
// wrapped at the box width (between words, inside a word only when it is
// wider than the box), lines from the top; a line whose bottom lies below the
// box does not fit and is not shown, nor is any line after it. The text
// starts at the box's top left corner (no inset), and its ink is clipped to
// the box; a border is painted beneath it. Characters of a script that the
// font's style has no installed face for are drawn in the upright face of
// the same weight (UprightFallback).

// Draws the text in the rectangle by that rule.
void drawTextInRect(QPainter& painter, const QString& text, const QRectF& rect, const TextStyle& style,
                    const QColor& color);

// The glyphs drawTextInRect draws, run by run in the face each comes from,
// placed from the rectangle's top left corner as 0, 0 (no clip).
QList<QGlyphRun> glyphRunsInRect(const QString& text, const QRectF& rect, const TextStyle& style);

// Whether drawTextInRect shows every line of the text in the rectangle (an
// empty text always fits; a rectangle without width or height shows nothing).
bool fitsInRect(const QString& text, const QRectF& rect, const TextStyle& style);

// The smallest box, in whole points, in which drawTextInRect shows the whole
// text laid out at the width (a width of 0 or less does not wrap) as a box of
// any larger size shows it: every line fits, and the ink that a larger box
// shows (glyphs reaching past their advance, as italics do, on the sides the
// alignment keeps free) is not clipped. A text is measured down to the
// largest height a card object may have (100,000 points): the size of a
// taller one is measured over the lines down to there and is taller than that.
QSizeF naturalSize(const QString& text, const TextStyle& style, double width);

// The work the text layouts of the calling thread have done since it
// started: lines laid out and characters handed to layouts. Drawing and
// measuring lay out only the lines they need, so the work follows the box,
// not the length of the text.
struct LayoutWork {
  qint64 lines = 0;
  qint64 characters = 0;
};
LayoutWork layoutWorkOnThisThread();

}  // namespace text_look
