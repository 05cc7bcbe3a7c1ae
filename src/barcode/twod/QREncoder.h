#pragma once
// The QR Code entry of the barcode designer: encodes a value with a level and
// a version into a square module grid, and draws the grid into a square
// picture of a given size in points.

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <optional>
#include <vector>

#include "barcode/twod/SymbolPicture.h"

namespace barcode::twod {

using std::size_t;

// The square grid that carries a QR symbol from the encoder to the renderer
// (no relation to the Data Matrix symbology).
class DataMatrix {
 public:
  explicit DataMatrix(int dimension);
  void set(int value, int x, int y);
  int valueAt(int x, int y) const;
  int dimension() const { return dimension_; }
  // dimension() lines, top row first, values written with %d, each line ended by "\n".
  QString description() const;
  ModuleGrid toModuleGrid() const;

 private:
  int dimension_;
  std::vector<int8_t> data_;
};

class QREncoder {
 public:
  // level 0-3 (L, M, Q, H), version 0 (automatic) to 40. The text is encoded as UTF-8 bytes.
  static std::optional<DataMatrix> encodeWithECLevel(int level, int version, const QString& text);
  // Raw bytes; shiftJis says whether two-byte Shift JIS characters may form Kanji segments.
  static std::optional<DataMatrix> encodeCStringWithECLevel(int level, int version, const QByteArray& bytes,
                                                            bool shiftJis = false);
  // A square picture of dimension points holding the grid, its raster at dpi.
  // A dimension below the module count is raised to it; sizes are capped.
  static std::optional<SymbolPicture> renderDataMatrix(const DataMatrix& grid, int dimension, int dpi);
};

}  // namespace barcode::twod
