#pragma once
// Editing barcode objects with the barcode designer: opening the designer on
// the current barcode object of a canvas, and writing the accepted settings
// and picture into every selected barcode object of that canvas.

#include <QImage>
#include <vector>

#include "barcode/designer/BarcodeSettings.h"
#include "core/SKTGraphic.h"

class SKTGraphicView;
class SKTUndoRecorder;

namespace barcode_editing {

// Opens the designer on the view's current object when it is a barcode. OK
// writes the settings, the picture and the print flag (print_object, the
// state of the window's "Screen only" box) into every selected barcode
// object of the view (the edited one included), as one undo entry when an
// undo recorder is given (the front side); their bounds take the picture's
// size. Cancel leaves the settings as they were, but a series, column or
// "Manual" chosen in the dialog stays on the edited object (choosing it
// binds at once): the object then shows the value card 1 takes with that
// source, as every output does (one undo step on the front with an undo
// recorder). Nothing happens without a current barcode. When the edited object leaves the canvas's list while
// the dialog runs, the dialog writes nothing into it, and OK says so and writes nothing.
void openDesigner(SKTGraphicView* view, int printObject, SKTUndoRecorder* undo);

// Writes the settings, picture and print flag into the graphics and, with a
// recorder, registers the undo that puts their previous values back (a
// picture that follows the spread choice is then drawn with the choice in
// force, which undo does not take back).
void writeBarcodes(const SKTGraphicList& graphics, const barcode::BarcodeSettings& settings,
                   const QImage& picture, int printObject, SKTUndoRecorder* undo);

// Gives a barcode object the value a data source puts on card 1, as the
// designer's OK with that value would: the value in its settings, the
// picture of it (a blank one for an empty value or one its symbology cannot
// draw, as that card shows) and a frame of the picture's size. Plain field
// writes, no undo step. False when the object already showed that value.
bool showBoundValue(SKTGraphic& barcode, const QString& value);

// A barcode object just made with the Barcode tool: the picture of its own
// settings (the designer's defaults) with a frame of that size, so that it
// looks on the canvas, exported and printed as the designer shows it. Part
// of making the object: drawn inside the undo group that places it, it adds
// no step of its own. Nothing for an object that holds a picture or whose
// settings cannot be drawn.
void drawNewBarcode(SKTGraphic& barcode);

}  // namespace barcode_editing
