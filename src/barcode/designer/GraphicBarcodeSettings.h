#pragma once
// The barcode settings record of a card object: read from its 38 fields and
// written back into them (each field from the field of the same name). The
// object's data binding, unit and picture are not part of the record.

#include "barcode/designer/BarcodeSettings.h"

class SKTGraphic;

namespace barcode {

BarcodeSettings barcodeSettingsOf(const SKTGraphic& graphic);
void setBarcodeSettings(SKTGraphic& graphic, const BarcodeSettings& settings);

}  // namespace barcode
