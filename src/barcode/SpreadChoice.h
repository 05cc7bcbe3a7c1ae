#pragma once
// The designer's "spread value text" choice (Spread_Barcode_Value_Text) is
// one of the user's settings of the program: kept with the program's other
// settings in the user's configuration folder (QSettings of the application,
// $XDG_CONFIG_HOME/QUVO/QUVO Gratulo.conf), never in a design file, so the
// next run starts with the choice the user last accepted.

namespace barcode {

// Puts the stored choice in force; with none stored the choice stays as it is.
void loadSpreadChoice();

// Puts the choice in force and stores it for the next runs (a store that
// fails is logged; the choice holds for this run all the same).
void keepSpreadChoice(bool spread);

}  // namespace barcode
