#include "production/CardFill.h"

#include <exception>

#include "core/SKTImage.h"
#include "core/SKTText.h"

namespace production {

namespace {

// A value as a message quotes it: a long one is cut, so that the message
// (a box, the log) stays readable and its box fits on the screen.
QString quotedValue(const QString& value) {
  constexpr qsizetype kShown = 40;
  if (value.size() <= kShown) return value;
  return QStringLiteral("%1… (%2 characters)").arg(value.left(kShown)).arg(value.size());
}

// An empty value leaves a barcode object blank (its bounds transparent).
QImage blankPicture(const SKTGraphic& object) {
  const QSize size = object.bounds().size().toSize().expandedTo(QSize(1, 1));
  QImage blank(size, QImage::Format_ARGB32_Premultiplied);
  blank.fill(Qt::transparent);
  return blank;
}

bool fillOne(SKTGraphic& object, const QString& value, const BarcodeRenderer& barcodes, QString* reason) {
  switch (object.kind()) {
    case GraphicKind::Text:
      object.Text_contents()->string = value;
      return true;
    case GraphicKind::Image:
      static_cast<SKTImage&>(object).setFilePath(value);
      return true;
    case GraphicKind::Barcode: {
      if (value.isEmpty()) {
        object.Set_Barcode_image(blankPicture(object));
        return true;
      }
      QString why;
      const QImage picture = barcodes ? barcodes(object, value, &why) : QImage();
      if (picture.isNull()) {
        object.Set_Barcode_image(blankPicture(object));
        if (reason) *reason = QStringLiteral("the barcode value \"%1\": %2").arg(quotedValue(value), why);
        return false;
      }
      object.Set_Barcode_image(picture);
      return true;
    }
    default:
      return true;
  }
}

}  // namespace

bool Assign_Batch_Values_To_Control(const SKTGraphicList& graphics, const BindingRows& rows, int row,
                                    const BarcodeRenderer& barcodes, QString* reason) {
  bool ok = true;
  for (const SKTGraphicPtr& object : graphics) {
    if (!object) continue;
    try {
      const std::optional<QString> value = rows.valueFor(*object, row);
      if (!value) continue;
      QString why;
      if (!fillOne(*object, *value, barcodes, &why)) {
        if (ok && reason) *reason = why;
        ok = false;
      }
    } catch (const std::exception& e) {
      if (ok && reason) *reason = QString::fromUtf8(e.what());
      ok = false;
    }
  }
  return ok;
}

QImage Set_data_table_value_to_card(const RunSnapshot& snapshot, int row, CardSide side, QString* reason) {
  try {
    const SKTGraphicList own = SKTGraphic::cloneGraphics(snapshot.graphics(side));
    if (!Assign_Batch_Values_To_Control(own, *snapshot.rows, row, snapshot.barcodes, reason)) return {};
    const QImage picture = SKTRenderingView::image_From_Card_Graphics(own, snapshot.context(side));
    if (picture.isNull() && reason) *reason = QStringLiteral("the card could not be drawn");
    return picture;
  } catch (const std::exception& e) {
    if (reason) *reason = QString::fromUtf8(e.what());
  }
  return {};
}

QImage renderSide(const RunSnapshot& snapshot, CardSide side) {
  const SKTGraphicList own = SKTGraphic::cloneGraphics(snapshot.graphics(side));
  return SKTRenderingView::image_From_Card_Graphics(own, snapshot.context(side));
}

}  // namespace production
