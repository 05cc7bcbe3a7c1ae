#pragma once
// Tells the data dialogs which card objects of the window's design are bound
// to which series, for the check before a series is rewritten or deleted.

class SKTWindowController;

// Installs the window's design as the one the series dialogs check against.
void installSeriesBindings(SKTWindowController& window);
