#include "barcode/twod/DataMatrixRoute.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <ostream>

namespace barcode::twod {

namespace {
constexpr int kMaxModuleSize = 100;
}

QByteArray escapeForText(const QByteArray& bytes) {
  QByteArray out;
  out.reserve(bytes.size());
  for (char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 32 || c >= 127 || c == '\\') {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\%03o", c);
      out.append(buffer);
    } else {
      out.append(ch);
    }
  }
  return out;
}

void parseDataMatrixFormat(const QString& title, int* rows, int* columns) {
  *rows = 0;
  *columns = 0;
  if (title == QLatin1String("Auto") || title.isEmpty()) return;
  const QString rest = title.mid(1);
  const int x = rest.indexOf(QLatin1Char('X'));
  if (x < 0) return;
  *rows = rest.left(x).trimmed().toInt();
  *columns = rest.mid(x + 1).trimmed().toInt();
}

QByteArray makeEPS_Data_Matrix(const QByteArray& value, int width, int height,
                               const std::vector<uint8_t>& grid) {
  // A grid that does not hold width x height modules describes no picture.
  if (width <= 0 || height <= 0 || grid.size() < static_cast<size_t>(width) * static_cast<size_t>(height))
    return {};
  QByteArray eps;
  eps += "%!PS-Adobe-3.0 EPSF-3.0\n";
  eps += "%%Creator: QUVO Gratulo Data Matrix generator\n";
  eps += "%%BarcodeData: " + escapeForText(value) + "\n";
  eps += "%%BarcodeSize: " + QByteArray::number(width) + "x" + QByteArray::number(height) + "\n";
  eps += "%%BarcodeFormat: ECC200\n";
  eps += "%%DocumentData: Clean7Bit\n";
  eps += "%%LanguageLevel: 1\n";
  eps += "%%Pages: 1\n";
  eps += "%%BoundingBox: 0 0 " + QByteArray::number(width + 2) + " " + QByteArray::number(height + 2) + "\n";
  eps += "%%EndComments\n";
  eps += "%%Page: 1 1\n";
  eps += QByteArray::number(width) + " " + QByteArray::number(height) + " 1[1 0 0 1 -1 -1]{<\n";
  static const char hex[] = "0123456789ABCDEF";
  int counter = 0;
  for (int y = 0; y < height; ++y) {
    int bits = 0, value8 = 0;
    for (int x = 0; x < width; ++x) {
      value8 = (value8 << 1) | (grid[static_cast<size_t>(y) * width + x] ? 1 : 0);
      if (++bits == 8) {
        const int b = value8 ^ 0xFF;
        eps += hex[b >> 4];
        eps += hex[b & 15];
        ++counter;
        bits = value8 = 0;
      }
    }
    if (bits) {
      const int b = (value8 << (8 - bits)) ^ 0xFF;
      eps += hex[b >> 4];
      eps += hex[b & 15];
      ++counter;
    }
    eps += ' ';
    ++counter;
    if (counter >= 80) {
      eps += '\n';
      counter = 0;
    }
  }
  if (counter) eps += '\n';
  eps += "\n>}image\n";
  return eps;
}

SymbolPicture dataMatrixPicture(const DataMatrixSymbol& symbol, int moduleSize, int dpi) {
  const int m = std::clamp(moduleSize, 1, kMaxModuleSize);
  const int effective = effectiveDpi(dpi);
  SymbolPicture::Layout layout;
  layout.page = QSizeF(symbol.width + 2, symbol.height + 2);
  layout.gridRect = QRectF(1, 1, symbol.width, symbol.height);
  layout.opaquePage = true;
  layout.size = QSizeF(static_cast<double>(symbol.width) * m, static_cast<double>(symbol.height) * m);
  layout.pixels = QSize(pixelsFor(symbol.width + 2, effective), pixelsFor(symbol.height + 2, effective));
  return SymbolPicture(symbol.toModuleGrid(), layout);
}

DataMatrixRender drawDataMatrixBarcode(const QString& value, const QString& formatTitle,
                                       const QString& encodingTitle, int moduleSize, int dpi,
                                       std::ostream& out, std::ostream& err) {
  DataMatrixRender result;
  const QByteArray data = value.toUtf8();
  int rows = 0, columns = 0;
  parseDataMatrixFormat(formatTitle, &rows, &columns);
  std::optional<std::string> encoding;
  const char letter = encodingTitle == QLatin1String("Ascii")     ? 'A'
                      : encodingTitle == QLatin1String("C40")     ? 'C'
                      : encodingTitle == QLatin1String("Text")    ? 'T'
                      : encodingTitle == QLatin1String("Base256") ? 'B'
                                                                  : 0;
  if (letter) encoding = std::string(static_cast<size_t>(data.size()), letter);
  // A size with a zero side means the encoder chooses.
  if (rows == 0 || columns == 0) rows = columns = 0;
  try {
    result.symbol = datamatrix_ecc200(columns, rows, encoding ? &*encoding : nullptr,
                                      reinterpret_cast<const uint8_t*>(data.constData()),
                                      static_cast<int>(data.size()), err);
    if (result.symbol && result.symbol->width != 0) {
      const DataMatrixSymbol& s = *result.symbol;
      result.eps = makeEPS_Data_Matrix(data, s.width, s.height, s.grid);
      result.picture = dataMatrixPicture(s, moduleSize, dpi);
      return result;
    }
  } catch (const std::bad_alloc&) {
    result = DataMatrixRender();
  }
  const int used = result.symbol ? result.symbol->used : 0;
  const int capacity = result.symbol ? result.symbol->capacity : 0;
  const int ecc = result.symbol ? result.symbol->ecc : 0;
  char line[160];
  err << "No barcode produced\n";
  std::snprintf(line, sizeof line, "Size    : %dx%d\n", columns, rows);
  out << line;
  std::snprintf(line, sizeof line, "Encoded : %d of %d bytes with %d bytes of ecc\n", used, capacity, ecc);
  out << line;
  out << "Barcode : " << escapeForText(data).constData() << "\n";
  out << "Encoding: " << (encoding ? encoding->c_str() : "") << "\n";
  result.symbol.reset();
  return result;
}

}  // namespace barcode::twod
