#pragma once
// The linear symbologies by the names the designer shows, and the object that
// renders a value in one of them.

#include <QString>
#include <QStringList>
#include <memory>

#include "barcode/linear/QVBBarcode.h"

namespace barcode {

// The nineteen names in the order the designer compares them.
QStringList linearSymbologyNames();

// A new, initialised object of the named symbology for the value (Code 128
// names also fix the code set); nullptr for an unknown name or a null value.
// The object may still refuse the value: ask isContentValid.
std::unique_ptr<QVBBarcode> createLinearBarcode(const QString& symbology, const QString& value,
                                                bool printsCaption = true);

}  // namespace barcode
