#pragma once
// The render path: the only route from a side's graphics to a picture, a PDF
// or a TIFF. It never touches a widget. Every function here is a pure function
// of its inputs and may run on any thread, provided the graphics (and the page
// settings inside the context) are not changed meanwhile: workers pass
// snapshots (SKTGraphic::clone() and copied page settings) taken on the GUI
// thread. Drawing a graphic may store colours into it (the colour getters do),
// which is why a worker must never be handed the live objects.

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <functional>

#include "core/SKTGraphic.h"

class QPainter;

// What a side's picture depends on besides its graphics.
struct SidePaintContext {
  // The picture's size in points: the front canvas's bounds.
  QSizeF size;
  // Paints the card itself (base, outline, background, border) into the
  // rectangle; empty for none.
  std::function<void(QPainter&, const QRectF&)> cardBase;
  // The resource folder the graphics' pictures come from (hatches, samples).
  QString resourcePath;
  // The path of the background picture the side's settings name and could
  // not load (the card shows no background); "" when none is missing.
  QString missingBackground;

  // The context of the running program, read on the GUI thread from the card
  // host: the front canvas's size, the resource folder and the host's card
  // base painter (which paints the side the user is on).
  static SidePaintContext fromHost();
};

class SKTRenderingView {
 public:
  SKTRenderingView(const QRectF& frame, SKTGraphicList graphics, QString printJobTitle = {});

  QRectF frame() const { return _frame; }
  QString printJobTitle() const { return _printJobTitle; }
  const SKTGraphicList& graphics() const { return _graphics; }
  bool isFlipped() const { return true; }
  bool isOpaque() const { return true; }

  // Paints the card base into the rectangle, then every graphic whose
  // print_object is 0, from the last to the first (index 0 on top).
  // `drawInstead`, when given, may draw a graphic its own way (answering
  // true); printing puts vector barcodes in place of their pictures so.
  using GraphicPainter = std::function<bool(QPainter& painter, SKTGraphic& graphic)>;
  void drawRect(QPainter& painter, const QRectF& rect, const SidePaintContext& context,
                const GraphicPainter& drawInstead = {}) const;

  // ---- Class operations ---------------------------------------------------------
  // The picture of a side at the context's size (scale pixels per point),
  // recording its resolution; drawInstead as for drawRect.
  static QImage image_From_Card_Graphics(const SKTGraphicList& graphics, const SidePaintContext& context,
                                         double scale = 1.0, const GraphicPainter& drawInstead = {});
  // The same with the running program's context (GUI thread). print_box asks
  // for the bitmap route on old platforms; both routes give the same picture here.
  static QImage image_From_Card_Graphics(const SKTGraphicList& graphics, bool print_box);

  // A one-page PDF of the side. PDF pages measure whole points: the page is
  // the context's size with each side rounded up, the card at its top-left.
  static QByteArray pdfDataWithGraphics_data(const SKTGraphicList& graphics, const SidePaintContext& context);
  static QByteArray pdfDataWithGraphics_data(const SKTGraphicList& graphics);

  // A TIFF of the union of the graphics' drawing bounds, without card
  // background and with every graphic whatever its print_object. An empty
  // union gives an empty result and error code 3 (when asked for).
  // emptyListBounds is what the union of an empty list is (the front canvas).
  static QByteArray tiffDataWithGraphics(const SKTGraphicList& graphics, const QRectF& emptyListBounds,
                                         int* errorCode = nullptr, const QString& resourcePath = {});
  static QByteArray tiffDataWithGraphics(const SKTGraphicList& graphics, int* errorCode = nullptr);

  // The picture laid on white, without an alpha channel, at the same
  // resolution: what a side looks like on paper or in an opaque file.
  static QImage opaqueOverWhite(const QImage& picture);

  // Pictures larger than this many pixels on a side are not made.
  static constexpr int kMaxPixelsPerSide = 20000;

 private:
  QRectF _frame;
  SKTGraphicList _graphics;
  QString _printJobTitle;
};

// Paints one graphic clipped to its drawing bounds, as canvases and the TIFF do.
void drawGraphicClipped(QPainter& painter, SKTGraphic& graphic, bool isBeingCreateOrEdited);
