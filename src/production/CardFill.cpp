#include "production/CardFill.h"

#include <exception>
#include <functional>

#include "barcode/designer/CardBarcodePicture.h"
#include "core/SKTImage.h"
#include "core/SKTText.h"
#include "production/CutTexts.h"

namespace production {

namespace {

// A value as a message quotes it: a long one is cut, so that the message
// (a box, the log) stays readable and its box fits on the screen.
QString quotedValue(const QString& value) {
  constexpr qsizetype kShown = 40;
  if (value.size() <= kShown) return value;
  return QStringLiteral("%1… (%2 characters)").arg(value.left(kShown)).arg(value.size());
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
      // An empty value leaves a barcode object blank.
      if (value.isEmpty()) {
        object.Set_Barcode_image(barcode::blankCardPicture(object));
        return true;
      }
      QString why;
      const QImage picture = barcodes ? barcodes(object, value, &why) : QImage();
      if (picture.isNull()) {
        object.Set_Barcode_image(barcode::blankCardPicture(object));
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

namespace {

// Fills a copy of the side with the row and draws it. A negative row is the
// design as it stands, but for the objects the run leaves empty.
QImage filledSide(const RunSnapshot& snapshot, int row, CardSide side, const BarcodeRenderer& barcodes,
                  const std::function<QImage(const SKTGraphicList&)>& draw, QString* reason,
                  QStringList* cut) {
  try {
    const SKTGraphicList own = SKTGraphic::cloneGraphics(snapshot.graphics(side));
    if (!Assign_Batch_Values_To_Control(own, *snapshot.rows, row, barcodes, reason)) return {};
    const QImage picture = draw(own);
    if (cut) {
      // A bound barcode shows the row's value in the picture just filled in.
      const auto drawn = [&](const SKTGraphic& object) -> std::optional<DrawnBarcode> {
        const std::optional<QString> value = snapshot.rows->valueFor(object, row);
        if (!value) return std::nullopt;
        const QImage& shown = object._barcode_image;
        return DrawnBarcode{shown.deviceIndependentSize(), *value};
      };
      *cut = lostParts(own, side, snapshot.context(side), drawn);
    }
    if (picture.isNull() && reason) *reason = QStringLiteral("the card could not be drawn");
    return picture;
  } catch (const std::exception& e) {
    if (reason) *reason = QString::fromUtf8(e.what());
  }
  return {};
}

}  // namespace

QImage Set_data_table_value_to_card(const RunSnapshot& snapshot, int row, CardSide side, QString* reason,
                                    QStringList* cut) {
  return filledSide(
      snapshot, row, side, snapshot.barcodes ? snapshot.barcodes : renderBoundBarcodeForCard,
      [&](const SKTGraphicList& own) {
        return SKTRenderingView::image_From_Card_Graphics(own, snapshot.context(side));
      },
      reason, cut);
}

std::shared_ptr<const RunSnapshot> exportSnapshot(const RunSnapshot& snapshot, int dpi) {
  auto copy = std::make_shared<RunSnapshot>(snapshot);
  for (SKTGraphicList* side : {&copy->card.front, &copy->card.back}) {
    *side = SKTGraphic::cloneGraphics(*side);
    sharpenBarcodes(*side, dpi);
  }
  if (!copy->barcodes) copy->barcodes = sharpBarcodes(dpi);
  return copy;
}

QImage exportedSide(const RunSnapshot& snapshot, int row, CardSide side, int dpi, QString* reason,
                    QStringList* cut) {
  return filledSide(
      snapshot, row, side, snapshot.barcodes,
      [&](const SKTGraphicList& own) {
        return SKTRenderingView::image_From_Card_Graphics(own, snapshot.context(side), dpi / 72.0,
                                                          drawBarcodePixelForPixel);
      },
      reason, cut);
}

}  // namespace production
