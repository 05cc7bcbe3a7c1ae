#pragma once
// The canvas: one side of the card shown and edited. It owns no graphics; it
// is bound to one list of the document (front, back or temp), keeps the
// selection of that list, observes the list, every graphic in it and the grid
// so that it redraws exactly what changed, and draws the card background
// (through the card host), the grid, the graphics, the selection handles and
// the marquee. Card coordinates are points, y down; the widget shows them at
// the zoom factor its scroll view sets.

#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <exception>
#include <memory>
#include <optional>
#include <set>

#include "canvas/SKTZoomingScrollView.h"
#include "core/CardHost.h"
#include "core/SKTDocument.h"
#include "core/SKTGraphic.h"

class SKTGrid;
class QAction;
class QMimeData;

// A mouse event of the canvas, in card points.
struct SKTCanvasMouseEvent {
  enum class Type { Down, Dragged, Up };
  Type type = Type::Down;
  QPointF point;
  int clickCount = 1;
  bool shift = false;
};

// Thrown out of a drag whose canvas was destroyed while the drag waited for
// the mouse; the canvas's own event handlers end the drag quietly on it.
struct SKTCanvasGone : std::exception {
  const char* what() const noexcept override { return "the canvas was closed during a drag"; }
};

// Binding names.
inline constexpr const char* SKTGraphicViewGraphicsBindingName = "graphics";
inline constexpr const char* SKTGraphicViewGraphicsBindingName_back = "graphics_back";
inline constexpr const char* SKTGraphicViewGraphicsBindingName_temp = "graphics_temp";
inline constexpr const char* SKTGraphicViewSelectionIndexesBindingName = "selectionIndexes";
inline constexpr const char* SKTGraphicViewGridBindingName = "grid";

class SKTGraphicView : public QWidget, public ZoomableDocument, private SKTGraphicObserver {
  Q_OBJECT
 public:
  // The host is the window the canvas reports to (selection, refresh,
  // placement, buttons); it must outlive the canvas.
  explicit SKTGraphicView(CardHost& host, QWidget* parent = nullptr);
  ~SKTGraphicView() override;

  CardHost& host() const { return _host; }

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

  // ---- Mouse interaction and creation (SKTGraphicViewMouse.cpp) -------------------
  void mouseDown(const SKTCanvasMouseEvent& event);
  void selectAndTrackMouseWithEvent(const SKTCanvasMouseEvent& event);
  // The front-most graphic under the point; the out arguments (each may be
  // null) are written only when one is found.
  SKTGraphicPtr graphicUnderPoint(const QPointF& point, int* index = nullptr, bool* isSelected = nullptr,
                                  int* handle = nullptr) const;
  SKTIndexSet indexesOfGraphicsIntersectingRect(const QRectF& rect) const;
  void marqueeSelectWithEvent(const SKTCanvasMouseEvent& event);
  void moveSelectedGraphicsWithEvent(const SKTCanvasMouseEvent& event);
  void resizeGraphic(const SKTGraphicPtr& graphic, int handle, const SKTCanvasMouseEvent& event);
  // Makes a graphic of the class (or of the current tool), by the mouse when
  // an event is given, else at the rectangle or the next placement point.
  // Afterwards Selected_Graphic() is the new graphic, or none when the
  // creation was taken back.
  void createGraphicOfClass(std::optional<GraphicKind> graphicClass, const SKTCanvasMouseEvent* event,
                            bool use_rect, const QRectF& bound_rect, const QString& card_side,
                            const QString& ctrl_value, const QString& ctrl_ID);
  // Gives a new text object the characters the program places (not empty)
  // without fill or border and, for the start wizard's "PARTY_" IDs, their
  // alignment and font, as createGraphicOfClass makes it. An empty text is
  // left as it is.
  static void setUpPlacedText(SKTGraphic& text, const QString& ctrl_value, const QString& ctrl_ID);
  // Fills the text or picture that carries the control ID, or creates it.
  void ReplaceGraphicText(std::optional<GraphicKind> graphicClass, const SKTCanvasMouseEvent* event,
                          bool use_rect, const QRectF& bound_rect, const QString& card_side,
                          const QString& ctrl_value, const QString& ctrl_ID);
  SKTGraphicPtr Selcect_Ctrl_With_ID(const QString& ctrl_ID) const;
  void moveLeft();
  void moveRight();
  void moveUp();
  void moveDown();
  void moveSelectedGraphicsByX(double dx, double dy);
  // A picture pasted from another program becomes a picture object whose
  // top-left corner is at the point, showing a file of the picture library
  // that keeps the pasted pixels (a message when it cannot be written).
  bool makeNewImageFromPasteboard(const QMimeData* pasteboard, const QPointF& point);
  bool makeNewImageFromContentsOfFile(const QString& path, const QPointF& point);
  // The events a tracking loop consumes next, instead of the real mouse (tests
  // and scripted driving). When the queue runs dry during a tracking loop the
  // loop ends as with a mouse-up at the last point.
  void queueTrackingEvents(const std::vector<SKTCanvasMouseEvent>& events);

  // ---- Edit commands and clipboard (SKTGraphicViewCommands.cpp) --------------------
  void copy();
  void cut();
  void paste();
  void delete_();
  void deleteBackward() { delete_(); }
  void deleteForward() { delete_(); }
  void bringToFront();
  void sendToBack();
  void alignLeftEdges();
  void alignRightEdges();
  void alignTopEdges();
  void alignBottomEdges();
  void alignHorizontalCenters();
  void alignVerticalCenters();
  void alignformCenter();
  void alignWithGrid();
  void makeSameWidth();
  void makeSameHeight();
  void makeNaturalSize();
  void print_contol_or_not(int value);
  void selectAll();
  void deselectAll();
  void undo();
  void redo();
  bool There_Is_Any_Lock_Contrl() const;
  // Validation of a menu item by its action name ("copy:", "alignWithGrid:",
  // "showOrHideRulers:" ...); the item (may be null) gets the ruler title.
  bool validateMenuItem(const QString& action, QAction* item = nullptr);
  bool Get_Menu_Status(const QString& action, QAction* item = nullptr);
  void Clear_Control_Selection();
  void delete_all_control();
  void Hide_all_Text_control_FUP_Control();
  void delete_all_Text_control();
  qint64 pasteboardChangeCount() const { return _pasteboardChangeCount; }
  qint64 pasteCascadeNumber() const { return _pasteCascadeNumber; }
  // The process's count of clipboard changes (the clipboard's change count).
  static qint64 generalPasteboardChangeCount();

 signals:
  void selectionIndexesChanged();
  // Two or more graphics selected (the main window's same-size buttons follow).
  void multipleSelectionChanged(bool twoOrMore);
  // A paint of an empty list ends: the main window shows no object properties.
  void paintedEmptyList();
  // A change of the bound list ended (a whole command, a script's call, an
  // undo or redo, whoever made it) and the selection follows it: removed
  // graphics left it, and after an undo or redo it holds what that brought
  // back. `undoOrRedo` is set after an undo or redo through this canvas,
  // which may also have put back values of the selected graphics.
  void listChangeEnded(bool undoOrRedo);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  CardHost& _host;
  void makeSameSize(Qt::Orientation orientation);
  void observeValueForKey(SKTGraphic& graphic, const QString& key, const QVariant& oldValue,
                          const QVariant& newValue, int context) override;
  void listChanged(CardSide side);
  void listChangesEnded();
  // Around an undo or redo step of the document: the step may put back what
  // the canvas does not observe (a barcode's picture, the object tabs'
  // fields), so every graphic is redrawn where it was before the step and
  // where it is after it.
  void redrawGraphicsForUndoStep();
  // Undo or redo on the document; the graphics it touched become the selection.
  void runUndoOrRedo(void (SKTDocument::*step)());
  void startObservingGraphics(const SKTGraphicList& graphics);
  void stopObservingGraphics(const SKTGraphicList& graphics);

  QSizeF _frameSize;
  double _factor = 1.0;
  QPointer<SKTDocument> _document;
  CardSide _side = CardSide::Front;
  QMetaObject::Connection _listConnection, _listEndConnection, _undoStartConnection, _undoEndConnection;
  bool _listChangeUnended = false;  // the bound list changed since the last listChangeEnded
  SKTGraphicList _observed;         // the list as last seen, observed graphic by graphic
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

  // Mouse tracking and editing helpers.
  SKTCanvasMouseEvent nextTrackingEvent(const SKTCanvasMouseEvent& last);
  void autoscroll(const QPointF& point);
  SKTCanvasMouseEvent eventFromQt(QMouseEvent* event, SKTCanvasMouseEvent::Type type, int clickCount) const;
  SKTGraphicPtr makeGraphicForTool(std::optional<GraphicKind> graphicClass, const QPointF& origin,
                                   const QString& ctrl_value, const QString& ctrl_ID) const;
  void insertGraphicsAt(const SKTGraphicList& list, const SKTIndexSet& indexes);
  void removeGraphicsAt(const SKTIndexSet& indexes);
  // An undo group on the document for one user action; it closes safely also
  // when the document went away meanwhile.
  class ActionGroup {
   public:
    explicit ActionGroup(SKTDocument* document);
    ~ActionGroup();
    ActionGroup(const ActionGroup&) = delete;
    ActionGroup& operator=(const ActionGroup&) = delete;

   private:
    QPointer<SKTDocument> document_;
  };
  // Opens an undo group on the document for one user action (none when unbound).
  std::unique_ptr<ActionGroup> userActionGroup();
  bool refuseWhenLocked() const;
  template <typename Rule>
  void alignSelection(Rule rule);
  std::deque<SKTCanvasMouseEvent> _trackingQueue;
  bool _scriptedTracking = false;
  bool _tracking = false;
  std::optional<SKTCanvasMouseEvent> _trackedEvent;
  QEventLoop* _trackingLoop = nullptr;
  qint64 _pasteboardChangeCount = -1;
  qint64 _pasteCascadeNumber = 0;
};
