#include "HostileDesigns.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include "core/GraphicArchive.h"
#include "mainwindow/designfile/DesignFileFormat.h"
#include "platform/KeyedArchive.h"
#include "platform/PropertyList.h"

namespace hostile {

using platform::PlistArray;
using platform::PlistDict;
using platform::PlistValue;

namespace {

constexpr int kRowsElement = designfile::kExcelBindingIndex + 3;  // 60

designfile::Design emptyDesign() {
  designfile::Design design;
  design.front.Card_Size = QSizeF(242.65, 153.07);
  design.back.Card_Size = design.front.Card_Size;
  return design;
}

SKTGraphicPtr shape() {
  SKTGraphicPtr g = SKTGraphic::makeGraphic(GraphicKind::Shape);
  g->_shape_type = QStringLiteral("R");
  g->setBounds(QRectF(10, 10, 80, 40));
  return g;
}

}  // namespace

PlistArray designElementsWithRows(PlistArray rows) {
  PlistArray elements = designfile::designElements(emptyDesign());
  elements[kRowsElement] = PlistValue(std::move(rows));
  return elements;
}

QByteArray binaryDesignWithRowItems(int items) {
  // The binary writer shares equal texts: every item refers to one object.
  return platform::toBinaryPropertyList(
      PlistValue(designElementsWithRows(PlistArray(static_cast<size_t>(items), PlistValue::string("x")))));
}

QByteArray clipboardWithItems(int items) {
  const QByteArray archive = archivedDataWithGraphic(*shape());
  return platform::toBinaryPropertyList(
      PlistValue(PlistArray(static_cast<size_t>(items), PlistValue::data(archive))));
}

QByteArray designWithPaddedArchive(int objects) {
  auto archive = platform::parsePropertyList(archivedDataWithGraphic(*shape()));
  PlistArray* entries = archive->dict()->value(QStringLiteral("$objects"))->array();
  for (int i = 0; i < objects; ++i) entries->push_back(PlistValue::string(QStringLiteral("pad %1").arg(i)));
  PlistArray elements = designElementsWithRows({});
  const QByteArray padded = platform::toBinaryPropertyList(*archive);
  elements[kRowsElement + 1] = PlistValue::string(QStringLiteral("1"));
  elements.insert(elements.begin() + kRowsElement + 2, PlistValue::data(padded));
  return platform::toBinaryPropertyList(PlistValue(std::move(elements)));
}

QByteArray xmlDesignWithRowElements(qint64 elements) {
  // Written by hand: building the value tree first would take what the reader must never take.
  const QByteArray whole = platform::toXmlPropertyList(PlistValue(designElementsWithRows({})));
  const QByteArray emptyRows = "<array/>";
  const qsizetype at = whole.indexOf(emptyRows);
  QByteArray out;
  out.reserve(whole.size() + elements * 7 + 16);
  out += whole.left(at);
  out += "<array>";
  for (qint64 i = 0; i < elements; ++i) out += "<dict/>";
  out += "</array>";
  out += whole.mid(at + emptyRows.size());
  return out;
}

QByteArray designWithSharedPicture(const QString& picturePath, int objects) {
  designfile::Design design = emptyDesign();
  for (int i = 0; i < objects; ++i) {
    SKTGraphicPtr g = SKTGraphic::makeGraphic(GraphicKind::Image);
    g->Set_Control_File_path(picturePath);
    g->setBounds(QRectF(5 * i, 5 * i, 100, 100));
    design.frontGraphics.push_back(std::move(g));
  }
  return designfile::designFileBytes(design);
}

QByteArray largeAlphaPicture(int side) {
  QImage image(side, side, QImage::Format_ARGB32);
  if (image.isNull()) return {};
  image.fill(qRgba(20, 90, 160, 200));
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  return image.save(&buffer, "PNG") ? png : QByteArray();
}

namespace {

// The archive of barcode object `i` carrying the picture, at a place of its own.
QByteArray barcodeArchiveWithPicture(const QByteArray& png, int i) {
  platform::KeyedArchiveWriter writer;
  auto& root =
      writer.root(QStringLiteral("SKTBarcode"),
                  {QStringLiteral("SKTBarcode"), QStringLiteral("SKTGraphic"), QStringLiteral("NSObject")});
  root.setRect(QStringLiteral("_bounds"), QRectF(10 + i, 10, 120, 120));
  root.setBool(QStringLiteral("ctrl_is_visible"), true);
  root.setImage(QStringLiteral("_barcode_image"), platform::KeyedImage{png, QSizeF(120, 120)});
  return writer.finish();
}

}  // namespace

QByteArray designWithEmbeddedPictures(const QByteArray& png, int objects) {
  PlistArray elements = designElementsWithRows({});
  elements[kRowsElement + 1] = PlistValue::string(QString::number(objects));
  for (int i = 0; i < objects; ++i)
    elements.insert(elements.begin() + kRowsElement + 2 + i,
                    PlistValue::data(barcodeArchiveWithPicture(png, i)));
  return platform::toXmlPropertyList(PlistValue(std::move(elements)));
}

QByteArray clipboardWithEmbeddedPictures(const QByteArray& png, int objects) {
  PlistArray items;
  for (int i = 0; i < objects; ++i) items.push_back(PlistValue::data(barcodeArchiveWithPicture(png, i)));
  return platform::toBinaryPropertyList(PlistValue(std::move(items)));
}

bool writeLargePicture(const QString& path, int side) {
  QImage image(side, side, QImage::Format_RGB32);
  if (image.isNull()) return false;
  QPainter painter(&image);
  const int half = side / 2;
  painter.fillRect(0, 0, half, half, QColor(200, 40, 40));
  painter.fillRect(half, 0, side - half, half, QColor(40, 200, 40));
  painter.fillRect(0, half, half, side - half, QColor(40, 40, 200));
  painter.fillRect(half, half, side - half, side - half, QColor(240, 240, 240));
  painter.end();
  return image.save(path, "PNG");
}

}  // namespace hostile
