#include "barcode/twod/QREncoder.h"

#include <algorithm>
#include <memory>
#include <new>

#include "barcode/twod/QrEncode.h"

namespace barcode::twod {

DataMatrix::DataMatrix(int dimension)
    : dimension_(std::max(dimension, 0)), data_(static_cast<size_t>(dimension_) * dimension_, 0) {}

void DataMatrix::set(int value, int x, int y) {
  if (x < 0 || y < 0 || x >= dimension_ || y >= dimension_) return;
  data_[static_cast<size_t>(y) * dimension_ + x] = static_cast<int8_t>(value);
}

int DataMatrix::valueAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= dimension_ || y >= dimension_) return 0;
  return data_[static_cast<size_t>(y) * dimension_ + x];
}

QString DataMatrix::description() const {
  QString out;
  for (int y = 0; y < dimension_; ++y) {
    for (int x = 0; x < dimension_; ++x) out += QString::number(valueAt(x, y));
    out += QLatin1Char('\n');
  }
  return out;
}

ModuleGrid DataMatrix::toModuleGrid() const {
  ModuleGrid grid(dimension_, dimension_);
  for (int y = 0; y < dimension_; ++y)
    for (int x = 0; x < dimension_; ++x) grid.set(x, y, valueAt(x, y) != 0);
  return grid;
}

std::optional<DataMatrix> QREncoder::encodeWithECLevel(int level, int version, const QString& text) {
  // UTF-8 input is never taken for Shift JIS.
  return encodeCStringWithECLevel(level, version, text.toUtf8(), false);
}

std::optional<DataMatrix> QREncoder::encodeCStringWithECLevel(int level, int version, const QByteArray& bytes,
                                                              bool shiftJis) {
  if (level < 0 || level > 3 || version < 0 || version > 40) return std::nullopt;
  try {
    auto encoder = std::make_unique<CQR_Encode>(shiftJis);
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
    const int length = static_cast<int>(bytes.size());
    if (length < 1) return std::nullopt;
    // Capacity is judged on the segmented encoding: the automatic version takes
    // the smallest version that holds the segments, a chosen version must hold
    // them itself (it is never extended).
    if (!encoder->EncodeData(level, version, version == 0, -1, data, length)) return std::nullopt;
    DataMatrix grid(encoder->m_nSymbleSize);
    for (int x = 0; x < encoder->m_nSymbleSize; ++x)
      for (int y = 0; y < encoder->m_nSymbleSize; ++y) grid.set(encoder->module(x, y) == 1 ? 1 : 0, x, y);
    return grid;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

std::optional<SymbolPicture> QREncoder::renderDataMatrix(const DataMatrix& grid, int dimension, int dpi) {
  const int n = grid.dimension();
  if (n <= 0) return std::nullopt;
  const int maxDimension = static_cast<int>(kMaxPicturePoints);
  int d = std::clamp(dimension, n, std::max(n, maxDimension));
  const int m = d / n;
  const int leftover = d - m * n;
  const int a = leftover / 2;
  SymbolPicture::Layout layout;
  layout.page = QSizeF(d, d);
  layout.gridRect = QRectF(a, a, m * n, m * n);
  layout.opaquePage = false;
  layout.size = QSizeF(d, d);
  const int effective = effectiveDpi(dpi);
  layout.pixels = QSize(pixelsFor(d, effective), pixelsFor(d, effective));
  return SymbolPicture(grid.toModuleGrid(), layout);
}

}  // namespace barcode::twod
