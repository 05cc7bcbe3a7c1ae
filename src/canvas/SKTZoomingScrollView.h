#pragma once
// The scroll view around a canvas: a zoom pop-up at the left end of the
// horizontal scroll bar, and a clip view (SWCenteringClipView) that keeps the
// card centred when it is smaller than the visible area and paints the grey
// backdrop with the card's drop-shadowed silhouette around it.

#include <QAbstractScrollArea>
#include <QImage>
#include <QPointer>
#include <QSizeF>
#include <functional>

class QComboBox;
class SKTRulerView;

// What a zoomed document view offers its scroll view.
class ZoomableDocument {
 public:
  virtual ~ZoomableDocument() = default;
  // The document's frame size in points (y down, origin at its top left).
  virtual QSizeF documentSize() const = 0;
  // How many screen pixels one point covers.
  virtual void setDisplayFactor(double factor) = 0;
  // Set by the scroll view; the document calls it when its frame size changed.
  std::function<void()> onFrameChanged;
};

class SWCenteringClipView : public QWidget {
  Q_OBJECT
 public:
  explicit SWCenteringClipView(QWidget* parent = nullptr);

  bool isFlipped() const { return true; }
  // Bounds in document points: origin is the scroll position, size the visible area.
  QPointF boundsOrigin() const { return _origin; }
  QSizeF boundsSize() const;
  double factor() const { return _factor; }
  void setFactor(double factor);

  void setDocument(QWidget* view, ZoomableDocument* document);
  QWidget* documentView() const { return _view; }
  QSizeF documentSize() const;

  QPointF constrainScrollPoint(QPointF proposed) const;
  void scrollToPoint(QPointF point);
  void centerDocument();

  // The card outline of the silhouette: 1 rounded rectangle, 2 ellipse, else rectangle.
  void setCardShapeProvider(std::function<int()> provider) { _cardShape = std::move(provider); }
  int cardShape() const { return _cardShape ? _cardShape() : 0; }

 signals:
  void boundsChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void placeDocument();
  const QImage& shadowImage(const QRect& silhouette, int shape);

  QPointer<QWidget> _view;
  ZoomableDocument* _document = nullptr;
  QPointF _origin;
  double _factor = 1.0;
  std::function<int()> _cardShape;
  // The blurred shadow is cached by the silhouette's size and outline.
  QImage _shadow;
  QSize _shadowFor;
  int _shadowShape = -1;
};

class SKTZoomingScrollView : public QAbstractScrollArea {
  Q_OBJECT
 public:
  explicit SKTZoomingScrollView(QWidget* parent = nullptr);

  void setDocumentView(QWidget* view, ZoomableDocument* document);
  SWCenteringClipView* clipView() const { return _clip; }

  double factor() const { return _factor; }
  // Stores the factor and shows the document at factor times its size.
  void setFactor(double factor);

  QComboBox* factorPopUpButton() const { return _factorPopUpButton; }
  void validateFactorPopUpButton();

  // Rulers along the top and the left edge, made once and shown or hidden.
  void setRulersVisible(bool visible);
  bool rulersVisible() const { return _rulersVisible; }
  SKTRulerView* horizontalRulerView() const { return _hRuler; }
  SKTRulerView* verticalRulerView() const { return _vRuler; }

 signals:
  // The user chose a zoom in the pop-up (the main window's zoomFactor follows).
  void factorChosen(double factor);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  bool viewportEvent(QEvent* event) override;

 private:
  void updateScrollBars();
  void placeRulers();

  SWCenteringClipView* _clip;
  SKTRulerView* _hRuler = nullptr;
  SKTRulerView* _vRuler = nullptr;
  bool _rulersVisible = false;
  QComboBox* _factorPopUpButton = nullptr;
  double _factor = 1.0;
  bool _syncing = false;
};
