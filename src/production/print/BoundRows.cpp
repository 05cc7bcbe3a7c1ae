#include "production/print/BoundRows.h"

#include "production/CardFill.h"

namespace production {

SheetRowFiller boundRowFiller(std::shared_ptr<const BindingRows> rows) {
  return [rows](const SKTGraphicList& graphics, std::int64_t row, BarcodeVectors& vectors, QString* reason) {
    const BarcodeRenderer barcodes = [&vectors](const SKTGraphic& object, const QString& value,
                                                QString* why) {
      return recordBarcodeVector(object, value, why, vectors);
    };
    const bool filled =
        Assign_Batch_Values_To_Control(graphics, *rows, static_cast<int>(row), barcodes, reason);
    // A barcode without a value is drawn blank, never from a vector picture
    // the design had.
    for (const SKTGraphicPtr& object : graphics)
      if (object && object->kind() == GraphicKind::Barcode &&
          rows->valueFor(*object, static_cast<int>(row)) == QString())
        vectors.erase(object.get());
    return filled;
  };
}

}  // namespace production
