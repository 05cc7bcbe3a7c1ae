#pragma once
// The designer's Data Matrix route: value and combo-box choices in, module
// grid, EPS text and picture out, with the diagnostic lines of a failure.

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <iosfwd>
#include <optional>

#include "barcode/twod/DataMatrixEcc200.h"
#include "barcode/twod/SymbolPicture.h"

namespace barcode::twod {

using std::size_t;

struct DataMatrixRender {
  std::optional<DataMatrixSymbol> symbol;
  std::optional<SymbolPicture> picture;  // none when nothing could be encoded
  QByteArray eps;                        // empty when nothing could be encoded
};

// "Auto" gives 0 x 0; "C8X18" gives 8 rows and 18 columns (first character dropped,
// split at the first "X"); anything without an "X" gives 0 x 0.
void parseDataMatrixFormat(const QString& title, int* rows, int* columns);

// The EPS text of a symbol of width x height modules; grid row 0 is the bottom row.
// Empty when the grid does not hold width x height modules.
QByteArray makeEPS_Data_Matrix(const QByteArray& value, int width, int height,
                               const std::vector<uint8_t>& grid);

// The picture of a symbol: a (W+2) x (H+2) module page, white, with the
// symbol one module in, shown at W x m by H x m points; raster at dpi.
SymbolPicture dataMatrixPicture(const DataMatrixSymbol& symbol, int moduleSize, int dpi);

// The whole route. encodingTitle: "Auto", "Ascii", "C40", "Text" or "Base256".
// A failure writes "No barcode produced" to err and the report lines to out.
DataMatrixRender drawDataMatrixBarcode(const QString& value, const QString& formatTitle,
                                       const QString& encodingTitle, int moduleSize, int dpi,
                                       std::ostream& out, std::ostream& err);

// Bytes as printable ASCII: control, non-ASCII and backslash bytes become \ooo.
QByteArray escapeForText(const QByteArray& bytes);

}  // namespace barcode::twod
