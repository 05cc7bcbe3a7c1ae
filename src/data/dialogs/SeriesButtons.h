#pragma once
// What the main window's three series buttons do: the series manager, the
// list import wizard writing a new series, and the generator writing a new
// series. The main window's actions call these.

namespace series_buttons {

// Opens the data series manager.
void Batch_Series_Button();
// Opens the list import wizard to import into a new named series.
void Import_Wizard_Button();
// Opens the series generator to create a new named series.
void Create_Series_Button();

}  // namespace series_buttons
