#pragma once
// The window's design as the data dialogs see it: which card objects are
// bound to which series, for the check before a series is rewritten or
// deleted; and the values bound objects show, kept to card 1's values when a
// series or the spreadsheet table changes.

#include <QString>
#include <optional>

class SKTGraphic;
class SKTWindowController;

// Installs the window's design as the one the series dialogs check against,
// and has every change of a series (announced by the dialogs that write
// them) or of the spreadsheet table, and every undo and redo of the design,
// show card 1's values as the sources hold them then.
void installSeriesBindings(SKTWindowController& window);

// Every text, picture and barcode object of the front and the back that is
// bound to a series or a spreadsheet column shows the value card 1 of a run
// takes from it now, as binding it did: a text that value, a picture that
// file, a barcode that value drawn. An object whose source no longer exists
// (a series file gone, a column beyond the table, a table without rows)
// keeps what it shows. Not an edit of the design: no undo step. The
// canvases and the object tabs show the new values.
void showCardOneValues(SKTWindowController& window);

// The value card 1 of a run takes from the object's series or column now;
// nothing for an object that is not bound or whose source no longer exists.
std::optional<QString> cardOneValueOf(const SKTGraphic& object);
