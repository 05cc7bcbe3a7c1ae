#pragma once
// The picture a barcode card object keeps and shows on the canvas, made from
// its own settings by the one renderer, and the redrawing of those pictures
// when the designer's "spread value text" choice (which every barcode drawn
// follows) changes or a design made under another choice comes in. Pure
// apart from the objects given: any thread, no widget.

#include <QImage>
#include <QString>

#include "core/SKTGraphic.h"

namespace barcode {

// The object's picture of `value` in its symbology with its header and
// footer, at `dpi` pixels per inch (0: the resolution its settings choose), as
// the designer's OK gives it; a null picture and a reason when the value
// cannot be encoded.
QImage cardPictureOf(const SKTGraphic& object, const QString& value, QString* reason = nullptr, int dpi = 0);

// The picture of a barcode object on a card without a value: nothing, in
// the object's frame (transparent).
QImage blankCardPicture(const SKTGraphic& object);

// Whether the picture of a barcode object depends on the spread choice: a
// linear symbol that prints its value text.
bool followsSpreadChoice(const SKTGraphic& object);

// Makes the picture of every barcode object of the list that follows the
// spread choice again, with the choice in force and the value its settings
// show, and gives it to the object where it differs from the one it holds
// (one that holds none shows the sample picture and keeps doing so).
// These are plain field writes: no undo, the bounds stay. An object whose
// value cannot be drawn keeps its picture. Answers how many pictures changed.
int redrawSpreadCaptions(const SKTGraphicList& graphics);

}  // namespace barcode
