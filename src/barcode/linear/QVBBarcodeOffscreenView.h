#pragma once
// Drawing of a linear barcode object with the designer's drawing state:
// background, bars (adjacent bar modules merged into one filled rectangle),
// caption, header and footer; and the framing of a finished 2D picture with
// header and footer. The results are vector pictures in points.
//
// Layout from the bottom, caption below the bars: top/bottom margin, footer,
// footer margin, caption, value margin, bars, header margin, header, top/bottom
// margin; with the caption above, caption and value margin move above the bars.

#include <QByteArray>
#include <QSizeF>

#include "barcode/BarcodeDrawingState.h"
#include "barcode/BarcodePicture.h"
#include "barcode/linear/QVBBarcode.h"

class QPainter;

namespace barcode {

class QVBBarcodeOffscreenView {
 public:
  // Neither argument is copied; both must outlive the view.
  QVBBarcodeOffscreenView(const QVBBarcode& barcode, const BarcodeDrawingState& state);

  // Width: the largest of the printed header's and footer's widths and the
  // barcode's width; height: the barcode's height. Points.
  QSizeF frameSize() const { return frame_; }
  // The one page the view prints as: (0, 0, barcode width, barcode height).
  QSizeF rectForPage() const;
  // Records the whole view, in points, y down, origin at the view's top-left corner.
  void record(VectorRecorder& recorder) const;
  // Draws the whole view into the painter, whose units are points.
  void drawRect(QPainter& painter) const;

 private:
  void drawBars(VectorRecorder& recorder, double& lastRunHeight) const;
  void drawCaption(VectorRecorder& recorder, double lastRunHeight) const;
  void drawHeaderAndFooter(VectorRecorder& recorder) const;

  const QVBBarcode& barcode_;
  const BarcodeDrawingState& state_;
  QSizeF frame_;
};

// The barcode drawn as a picture of the view's frame; a null picture for a value
// the symbology refuses, and when the
// frame is empty or not finite.
BarcodePicture imageFromBarcode(const QVBBarcode& barcode, const BarcodeDrawingState& state);
// The same as one PDF page; empty data for an empty frame.
QByteArray pdfFromBarcode(const QVBBarcode& barcode, const BarcodeDrawingState& state);

// A finished 2D picture (image2d, its size in points) framed in the state's 2D
// caption model: a white frame of the model's width x height points, the
// model's header below the top margin, the picture centred the header margin
// below the header, the footer on the bottom margin. No value text is drawn. A
// null picture for a null image2d or an empty or unbounded frame.
BarcodePicture imageFromBarcodeImage(const BarcodePicture& image2d, const BarcodeDrawingState& state);

}  // namespace barcode
