#pragma once
// SKTBarcode: shows the barcode picture rendered by the barcode designer
// (_barcode_image), at its own size from the bounds' origin, whatever the
// size of its bounds. One that holds no picture yet shows the sample picture
// "barcode_sample.png" of the resource folder instead, within kSampleSize:
// the canvas, an exported card and a printed sheet all show it so.

#include "core/SKTGraphic.h"

class SKTBarcode : public SKTGraphic {
 public:
  // The most the sample picture measures, in points, whatever the pixels of
  // its file (one of more pixels is shown finer): the frame the barcode tool
  // gives a new barcode, which the shipped sample fills exactly.
  static constexpr QSizeF kSampleSize{120.0, 60.0};

  SKTBarcode() = default;
  GraphicKind kind() const override { return GraphicKind::Barcode; }

  // A new barcode object with bounds of its picture's size centred on the point
  // (the given picture is not used).
  static std::shared_ptr<SKTBarcode> initWithPosition(const QPointF& point, const QImage& contents);

  bool isDrawingFill() const override { return false; }
  bool isDrawingStroke() const override { return false; }
  // The picture is drawn whole from the bounds' origin, also where a frame
  // made smaller leaves it reaching beyond the bounds: what the object
  // paints covers both (the canvas clips to it and redraws it on a move).
  QRectF drawingBounds() const override;
  void drawContentsInView(QPainter& painter, bool isBeingCreateOrEdited) override;  // draw/BarcodeDrawing.cpp

  // _contents becomes _barcode_image, or the sample picture (within kSampleSize).
  void barcode_image_var_assign();

  QImage _contents;

 protected:
  SKTBarcode(const SKTBarcode&) = default;
  SKTGraphicPtr cloneShallow() const override;
};
