#pragma once
// Data rows for printed sheets: the filling of a production run, with the
// bound barcodes kept as vector pictures for the sheet.

#include <memory>

#include "production/DataBinding.h"
#include "production/print/SheetCards.h"

namespace production {

// Fills row r of `rows` into copies of a side's objects (texts, pictures,
// barcodes, as every production run does); callable on any thread.
SheetRowFiller boundRowFiller(std::shared_ptr<const BindingRows> rows);

}  // namespace production
