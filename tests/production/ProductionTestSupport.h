#pragma once
// Shared pieces of the production tests: a design standing in for the main
// window, bound objects, files, and barcode reading by an independent decoder.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>
#include <QStringList>

#include "production/CardExport.h"
#include "support/TestFiles.h"

namespace production_testing {

// Two sides of a card 200 x 100 points: front painted `frontColour`, back `backColour`.
class FakeDesign : public production::ExportHost {
 public:
  SKTGraphicList Get_Front_Controls_Array() override { return front; }
  SKTGraphicList Get_Back_Controls_Array() override { return back; }
  QString cardSides() override { return sides; }
  SidePaintContext sidePaintContext(CardSide side) override;
  void Open_Export_File_Box() override;
  void Refresh_Canvas() override { ++refreshes; }

  SKTGraphicList front, back;
  QString sides = "2";
  QSizeF size{200, 100};
  QColor frontColour = Qt::red, backColour = Qt::blue;
  QStringList finishedBoxes;  // "<message>|<path>" of each finished box
  int refreshes = 0;
};

// A text object bound to a source (1 series by name, 2 spreadsheet column).
SKTGraphicPtr boundText(int sourceType, const QString& series, int column, QRectF bounds = {10, 10, 100, 20});
// A barcode object (Code 128, or QR Code when `qr`) bound to a series,
// showing the picture of its own value as the designer leaves it.
SKTGraphicPtr boundBarcode(const QString& series, bool qr, QPointF origin);

using testing_support::readFile;
using testing_support::writeFile;
// The names of the files in a folder, sorted.
QStringList fileNames(const QString& folder);

// Every barcode zxing-cpp finds in the picture, as "<format>:<text>", sorted.
QStringList decodeBarcodes(const QImage& picture);

}  // namespace production_testing
