#pragma once
// The canvas: one side of the card shown and edited. It owns no graphics; it
// is bound to one list of the document (front, back or temp), keeps the
// selection of that list, observes the list, every graphic in it and the grid
// so that it redraws exactly what changed, and draws the card background
// (through the card host), the grid, the graphics, the selection handles and
// the marquee. Card coordinates are points, y down; the widget shows them at
// the zoom factor its scroll view sets.

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>
#include <set>

#include "core/SKTDocument.h"
#include "core/SKTGraphic.h"
#include "core/canvas/SKTZoomingScrollView.h"

class SKTGrid;

// Binding names.
inline constexpr const char* SKTGraphicViewGraphicsBindingName = "graphics";
inline constexpr const char* SKTGraphicViewGraphicsBindingName_back = "graphics_back";
inline constexpr const char* SKTGraphicViewGraphicsBindingName_temp = "graphics_temp";
inline constexpr const char* SKTGraphicViewSelectionIndexesBindingName = "selectionIndexes";
inline constexpr const char* SKTGraphicViewGridBindingName = "grid";

class SKTGraphicView : public QWidget, public ZoomableDocument, private SKTGraphicObserver {
  Q_OBJECT
 public:
  explicit SKTGraphicView(QWidget* parent = nullptr);
  ~SKTGraphicView() override;

  // ---- Frame (points) and zoom --------------------------------------------------
  QSizeF documentSize() const override { return _frameSize; }
  QRectF bounds() const { return QRectF(QPointF(0, 0), _frameSize); }
  void setFrameSizePoints(const QSizeF& size);
  void setDisplayFactor(double factor) override;
  double displayFactor() const { return _factor; }
  bool isFlipped() const { return true; }
  bool isOpaque() const { return true; }
  bool acceptsFirstMouse() const { return _selection.empty(); }

  // ---- Bindings -------------------------------------------------------------------
  // Binds a graphics name ("graphics", "graphics_back" or "graphics_temp") to
  // one list of the document; a canvas holds one graphics binding, whichever
  // name made it. Rebinding replaces it.
  void bindGraphics(const QString& name, SKTDocument* document, CardSide side);
  void unbindGraphics();
  bool hasGraphicsBinding() const { return _document != nullptr; }
  SKTDocument* document() const { return _document; }
  CardSide side() const { return _side; }
  void setGrid(SKTGrid* grid);
  SKTGrid* grid() const { return _grid; }

  // ---- Graphics and selection -----------------------------------------------------
  // The bound list, or an empty list when unbound.
  const SKTGraphicList& graphics() const;
  const SKTIndexSet& selectionIndexes() const { return _selection; }
  // Every selection change made by the canvas goes through here.
  void changeSelectionIndexes(const SKTIndexSet& indexes);
  SKTGraphicList selectedGraphics() const;

  // The current graphic the main window's panels act on; none once it left the list.
  SKTGraphicPtr Selected_Graphic() const { return _Selected_Graphic.lock(); }
  void setSelectedGraphic(const SKTGraphicPtr& graphic) { _Selected_Graphic = graphic; }

  // The graphic being created by mouse (drawn as being created, no handles).
  void setCreatingGraphic(const SKTGraphicPtr& graphic);
  SKTGraphicPtr creatingGraphic() const { return _creatingGraphic; }
  // The marquee while a marquee selection runs; a null rectangle otherwise.
  void setMarqueeSelectionBounds(const QRectF& rect);
  QRectF marqueeSelectionBounds() const { return _marqueeSelectionBounds; }

  // ---- Selection after undo and redo ---------------------------------------------
  // While an undo or redo runs, the canvas collects the indexes of the graphics
  // it touched: every index of a replaced list, the indexes of inserted
  // graphics, the index of a changed graphic; removals add nothing.
  void beginCollectingUndoSelection() { _undoSelectionIndexes = std::set<int>(); }
  SKTIndexSet endCollectingUndoSelection();
  bool isCollectingUndoSelection() const { return _undoSelectionIndexes.has_value(); }

  // ---- Redisplay --------------------------------------------------------------------
  // Marks a rectangle of card points for redisplay.
  virtual void setNeedsDisplayInRect(const QRectF& rect);
  void setNeedsDisplay() { update(); }
  void invalidateHandlesOfGraphics(const SKTGraphicList& graphics);
  void hideHandlesMomentarily();
  void unhideHandlesForTimer();
  bool isHidingHandles() const { return _isHidingHandles; }
  // True while this canvas paints (a refresh asked then must not schedule another paint).
  bool isPainting() const { return _painting; }

  // Point of the widget (pixels) in card points, and back.
  QPointF pointFromWidget(const QPointF& p) const { return p / _factor; }
  QRectF widgetRectFromPoints(const QRectF& r) const;

  // Marks the enclosing scroll view for redisplay (after a card size change).
  void Refresh_ScrollView();
  // Shows or hides the rulers of the enclosing scroll view.
  void showOrHideRulers();
  // Ruler lines at the minimum, middle and maximum x and y of a moved or
  // resized rectangle (card points) while the rulers are shown.
  void beginEchoingMoveToRulers(const QRectF& rect);
  void continueEchoingMoveToRulers(const QRectF& rect);
  void stopEchoingMoveToRulers();
  SKTZoomingScrollView* enclosingScrollView() const;

  // The in-place editing hook: no kind supplies an editing view, so nothing starts.
  void startEditingGraphic(const SKTGraphicPtr&) {}
  void stopEditing() {}

 signals:
  void selectionIndexesChanged();
  // Two or more graphics selected (the main window's same-size buttons follow).
  void multipleSelectionChanged(bool twoOrMore);
  // A paint of an empty list ends: the main window shows no object properties.
  void paintedEmptyList();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void observeValueForKey(SKTGraphic& graphic, const QString& key, const QVariant& oldValue,
                          const QVariant& newValue, int context) override;
  void listChanged(CardSide side);
  void startObservingGraphics(const SKTGraphicList& graphics);
  void stopObservingGraphics(const SKTGraphicList& graphics);

  QSizeF _frameSize;
  double _factor = 1.0;
  QPointer<SKTDocument> _document;
  CardSide _side = CardSide::Front;
  QMetaObject::Connection _listConnection;
  SKTGraphicList _observed;  // the list as last seen, observed graphic by graphic
  QPointer<SKTGrid> _grid;
  QMetaObject::Connection _gridConnection;
  SKTIndexSet _selection;
  std::weak_ptr<SKTGraphic> _Selected_Graphic;
  SKTGraphicPtr _creatingGraphic;
  QRectF _marqueeSelectionBounds;
  QRectF _rulerEchoedBounds;
  bool _isHidingHandles = false;
  QTimer _handleShowingTimer;
  bool _painting = false;
  std::optional<std::set<int>> _undoSelectionIndexes;
};
