#include "barcode/linear/LinearSymbologies.h"

#include <functional>
#include <utility>
#include <vector>

#include "barcode/linear/QVBCodabarBarcode.h"
#include "barcode/linear/QVBCode128Barcode.h"
#include "barcode/linear/QVBCode39Barcode.h"
#include "barcode/linear/QVBModifiedPlesseyBarcode.h"
#include "barcode/linear/QVBPostalBarcodes.h"
#include "barcode/linear/QVBTwoOfFiveBarcode.h"
#include "barcode/linear/QVBUPCEANBarcode.h"

namespace barcode {

namespace {

using Maker = std::function<std::unique_ptr<QVBBarcode>()>;

template <class T>
Maker maker() {
  return [] { return std::make_unique<T>(); };
}

Maker code128(int set) {
  return [set] {
    auto object = std::make_unique<QVBCode128Barcode>();
    object->setCodeSet(set);
    return std::unique_ptr<QVBBarcode>(std::move(object));
  };
}

const std::vector<std::pair<QString, Maker>>& table() {
  static const std::vector<std::pair<QString, Maker>> entries = {
      {QStringLiteral("Code 39"), maker<QVBCode39Barcode>()},
      {QStringLiteral("Extended Code 39"), maker<QVBExtendedCode39Barcode>()},
      {QStringLiteral("Interleaved 2 of 5"), maker<QVBInterleavedTwoOfFiveBarcode>()},
      {QStringLiteral("UPCA"), maker<QVBUPCABarcode>()},
      {QStringLiteral("PostNet"), maker<QVBPostnetBarcode>()},
      {QStringLiteral("Modified Plessey"), maker<QVBModifiedPlesseyBarcode>()},
      {QStringLiteral("Modified Plessey (Hex)"), maker<QVBModifiedPlesseyHexBarcode>()},
      {QStringLiteral("Industrial 2 of 5"), maker<QVBIndustrialTwoOfFiveBarcode>()},
      {QStringLiteral("EAN-13"), maker<QVBEAN13Barcode>()},
      {QStringLiteral("Code 128"), code128(QVBCode128Barcode::Automatic)},
      {QStringLiteral("Code 128 SET A"), code128(QVBCode128Barcode::SetA)},
      {QStringLiteral("Code 128 SET B"), code128(QVBCode128Barcode::SetB)},
      {QStringLiteral("Code 128 SET C"), code128(QVBCode128Barcode::SetC)},
      {QStringLiteral("Codabar"), maker<QVBCodabarBarcode>()},
      {QStringLiteral("UPCE"), maker<QVBUPCEBarcode>()},
      {QStringLiteral("EAN-8"), maker<QVBEAN8Barcode>()},
      {QStringLiteral("Royal Mail Barcode (RM4SCC / CBC)"), maker<QVBRoyalMailBarcode>()},
      {QStringLiteral("Planet"), maker<QVBPlanetBarcode>()},
      {QStringLiteral("Japan Post Barcode"), maker<JapanPostBarcode>()},
  };
  return entries;
}

}  // namespace

QStringList linearSymbologyNames() {
  QStringList names;
  for (const auto& entry : table()) names << entry.first;
  return names;
}

std::unique_ptr<QVBBarcode> createLinearBarcode(const QString& symbology, const QString& value,
                                                bool printsCaption) {
  if (value.isNull()) return nullptr;
  for (const auto& [name, make] : table()) {
    if (name != symbology) continue;
    auto object = make();
    if (!object->initWithContent(value, printsCaption)) return nullptr;
    return object;
  }
  return nullptr;
}

}  // namespace barcode
