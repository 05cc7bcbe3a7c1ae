// The interactive half of the canvas: clicks, drags, double clicks, arrow
// keys, and the making of new card objects by the mouse or at a place.
//
// A drag is tracked modally: the handler that starts it pulls the following
// mouse events (dragged, then the first mouse-up) before it returns. The
// events come from the widget through a nested event loop, or from a queue
// filled by queueTrackingEvents().

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <cmath>

#include "canvas/SKTGraphicView.h"
#include "canvas/SKTGrid.h"
#include "core/CardHost.h"
#include "core/PictureFile.h"
#include "core/SKTBarcode.h"
#include "core/SKTImage.h"
#include "core/SKTSignature.h"
#include "core/globals.h"
#include "platform/Messages.h"
#include "platform/StringHelpers.h"

namespace {

// The wait cursor for as long as it lives.
struct BusyCursor {
  BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

// Shape code of the shape tools.
QString shapeCodeForTool(DrawingTool tool) {
  switch (tool) {
    case DrawingTool::Rectangle:
      return QStringLiteral("R");
    case DrawingTool::Oval:
      return QStringLiteral("C");
    case DrawingTool::RoundedRectangle:
      return QStringLiteral("RR");
    case DrawingTool::Triangle:
      return QStringLiteral("T");
    case DrawingTool::Diamond:
      return QStringLiteral("D");
    case DrawingTool::Star:
      return QStringLiteral("S");
    case DrawingTool::DoubleStar:
      return QStringLiteral("DS");
    case DrawingTool::Polygon:
      return QStringLiteral("P");
    default:
      return {};
  }
}

// Disables undo registration for its lifetime (the document may be closed
// while a drag runs; then there is nothing to switch back on).
class RegistrationOff {
 public:
  explicit RegistrationOff(SKTDocument* document) : document_(document) {
    if (document_) document_->undoRecorder().disableUndoRegistration();
  }
  ~RegistrationOff() {
    if (document_) document_->undoRecorder().enableUndoRegistration();
  }
  RegistrationOff(const RegistrationOff&) = delete;
  RegistrationOff& operator=(const RegistrationOff&) = delete;

 private:
  QPointer<SKTDocument> document_;
};

// A text of the new-card wizard ("PARTY_TITLE" ...).
bool isWizardText(const QString& ctrl_ID) {
  return Find_Str(ctrl_ID, QStringLiteral("PARTY_"));
}

int indexOfGraphic(const SKTGraphicList& list, const SKTGraphicPtr& graphic) {
  for (int i = 0; i < static_cast<int>(list.size()); ++i)
    if (list[i] == graphic) return i;
  return -1;
}

}  // namespace

// ---------------------------------------------------------------- helpers

SKTGraphicView::ActionGroup::ActionGroup(SKTDocument* document) : document_(document) {
  if (document_) document_->undoRecorder().beginGroup();
}

SKTGraphicView::ActionGroup::~ActionGroup() {
  if (document_) document_->undoRecorder().endGroup();
}

std::unique_ptr<SKTGraphicView::ActionGroup> SKTGraphicView::userActionGroup() {
  if (!_document) return nullptr;
  return std::make_unique<ActionGroup>(_document);
}

void SKTGraphicView::insertGraphicsAt(const SKTGraphicList& list, const SKTIndexSet& indexes) {
  if (_document) _document->insertGraphics(_side, list, indexes);
}

void SKTGraphicView::removeGraphicsAt(const SKTIndexSet& indexes) {
  if (_document && !indexes.empty()) _document->removeGraphicsAtIndexes(_side, indexes);
}

// ---------------------------------------------------------------- tracking

void SKTGraphicView::queueTrackingEvents(const std::vector<SKTCanvasMouseEvent>& events) {
  _trackingQueue.insert(_trackingQueue.end(), events.begin(), events.end());
  _scriptedTracking = true;
}

SKTCanvasMouseEvent SKTGraphicView::nextTrackingEvent(const SKTCanvasMouseEvent& last) {
  SKTCanvasMouseEvent up = last;
  up.type = SKTCanvasMouseEvent::Type::Up;
  if (_scriptedTracking) {
    if (_trackingQueue.empty()) {
      _scriptedTracking = false;
      return up;
    }
    SKTCanvasMouseEvent event = _trackingQueue.front();
    _trackingQueue.pop_front();
    if (_trackingQueue.empty() && event.type == SKTCanvasMouseEvent::Type::Up) _scriptedTracking = false;
    autoscroll(event.point);
    return event;
  }
  if (!isVisible()) return up;
  _trackedEvent.reset();
  QEventLoop loop;
  _trackingLoop = &loop;
  _tracking = true;
  const QPointer<SKTGraphicView> self(this);
  // Moves without a button reach the canvas too, so a lost release is noticed.
  const bool wasTrackingMouse = hasMouseTracking();
  setMouseTracking(true);
  loop.exec();
  // The canvas may have been destroyed while the loop ran (its window closed):
  // the drag then ends without touching it again.
  if (!self) throw SKTCanvasGone();
  setMouseTracking(wasTrackingMouse);
  _tracking = false;
  _trackingLoop = nullptr;
  SKTCanvasMouseEvent event = _trackedEvent.value_or(up);
  _trackedEvent.reset();
  autoscroll(event.point);
  return event;
}

void SKTGraphicView::autoscroll(const QPointF& point) {
  SKTZoomingScrollView* scroll = enclosingScrollView();
  if (!scroll || !scroll->viewport()->isAncestorOf(this)) return;
  // Scroll just far enough to bring the point into the visible area.
  const QPoint inViewport = mapTo(scroll->viewport(), (point * _factor).toPoint());
  const QRect visible = scroll->viewport()->rect();
  int dx = 0, dy = 0;
  if (inViewport.x() < visible.left()) dx = inViewport.x() - visible.left();
  if (inViewport.x() > visible.right()) dx = inViewport.x() - visible.right();
  if (inViewport.y() < visible.top()) dy = inViewport.y() - visible.top();
  if (inViewport.y() > visible.bottom()) dy = inViewport.y() - visible.bottom();
  if (dx) scroll->horizontalScrollBar()->setValue(scroll->horizontalScrollBar()->value() + dx);
  if (dy) scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->value() + dy);
}

SKTCanvasMouseEvent SKTGraphicView::eventFromQt(QMouseEvent* event, SKTCanvasMouseEvent::Type type,
                                                int clickCount) const {
  SKTCanvasMouseEvent out;
  out.type = type;
  out.point = pointFromWidget(event->position());
  out.clickCount = clickCount;
  out.shift = event->modifiers().testFlag(Qt::ShiftModifier);
  return out;
}

namespace {
// A failure inside a user action ends that action; it goes to the log and
// never leaves the event handler.
template <typename Action>
void runUserAction(Action action) {
  try {
    action();
  } catch (const SKTCanvasGone&) {
    // The canvas is gone; nothing of it may be touched any more.
  } catch (const std::exception& e) {
    qCWarning(lcDrawing).noquote() << QString::fromUtf8(e.what());
  }
}
}  // namespace

void SKTGraphicView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || _tracking) return;
  setFocus(Qt::MouseFocusReason);
  const SKTCanvasMouseEvent down = eventFromQt(event, SKTCanvasMouseEvent::Type::Down, 1);
  runUserAction([&] { mouseDown(down); });
}

void SKTGraphicView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || _tracking) return;
  const SKTCanvasMouseEvent down = eventFromQt(event, SKTCanvasMouseEvent::Type::Down, 2);
  runUserAction([&] { mouseDown(down); });
}

void SKTGraphicView::mouseMoveEvent(QMouseEvent* event) {
  if (!_tracking || !_trackingLoop) return;
  if (_trackedEvent && _trackedEvent->type == SKTCanvasMouseEvent::Type::Up) return;
  // A move without the left button means its release went elsewhere (a
  // message box took the mouse meanwhile): the drag ends there.
  const bool held = event->buttons() & Qt::LeftButton;
  _trackedEvent =
      eventFromQt(event, held ? SKTCanvasMouseEvent::Type::Dragged : SKTCanvasMouseEvent::Type::Up, 1);
  _trackingLoop->quit();
}

void SKTGraphicView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !_tracking || !_trackingLoop) return;
  _trackedEvent = eventFromQt(event, SKTCanvasMouseEvent::Type::Up, 1);
  _trackingLoop->quit();
}

void SKTGraphicView::hideEvent(QHideEvent* event) {
  // A hidden canvas gets no mouse-up: a running drag ends where it is.
  if (_tracking && _trackingLoop) {
    _trackedEvent.reset();
    _trackingLoop->quit();
  }
  QWidget::hideEvent(event);
}

void SKTGraphicView::keyPressEvent(QKeyEvent* event) {
  if (_tracking) {
    // Keys wait while a drag runs: a move or delete now would change the very
    // graphics the drag holds, inside the drag's undo entry.
    event->accept();
    return;
  }
  switch (event->key()) {
    case Qt::Key_Left:
      moveLeft();
      break;
    case Qt::Key_Right:
      moveRight();
      break;
    case Qt::Key_Up:
      moveUp();
      break;
    case Qt::Key_Down:
      moveDown();
      break;
    case Qt::Key_Backspace:
      deleteBackward();
      break;
    case Qt::Key_Delete:
      deleteForward();
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  event->accept();
}

// ---------------------------------------------------------------- clicks

void SKTGraphicView::mouseDown(const SKTCanvasMouseEvent& event) {
  stopEditing();
  // Events queued for a drag that did not happen (a hidden graphic, a double
  // click) are dropped at the end, as the real mouse-up of such a click is.
  struct DropQueue {
    QPointer<SKTGraphicView> view;
    ~DropQueue() {
      if (!view) return;  // the canvas went away during the drag
      view->_trackingQueue.clear();
      view->_scriptedTracking = false;
    }
  } dropQueue{this};
  const auto group = userActionGroup();  // the whole click or drag is one undo entry
  if (const std::optional<GraphicKind> graphicClass = _host.currentGraphicClass()) {
    createGraphicOfClass(graphicClass, &event, false, QRectF(), currentCardSideCode(), QString(), QString());
    setSelectedGraphic(nullptr);
  } else {
    setSelectedGraphic(nullptr);
    SKTGraphicPtr hit;
    if (event.clickCount >= 2) hit = graphicUnderPoint(event.point);
    if (hit) {
      setSelectedGraphic(hit);
      if (!hit->ctrl_is_visible) return;
      if (!hit->ctrl_is_locked) {
        startEditingGraphic(hit);
        if (hit->kind() == GraphicKind::Barcode) _host.Open_Barcode_Window();
      }
    } else {
      selectAndTrackMouseWithEvent(event);
    }
  }
  if (!Selected_Graphic()) _host.Show_RHS_Properties(nullptr);
}

void SKTGraphicView::selectAndTrackMouseWithEvent(const SKTCanvasMouseEvent& event) {
  const bool extending = event.shift;
  int index = -1;
  bool isSelected = false;
  int handle = SKTGraphicNoHandle;
  const SKTGraphicPtr hit = graphicUnderPoint(event.point, &index, &isSelected, &handle);
  if (!hit) {
    if (!extending) changeSelectionIndexes({});
    marqueeSelectWithEvent(event);
    return;
  }
  setSelectedGraphic(hit);
  if (!hit->ctrl_is_visible) return;
  if (hit->ctrl_is_locked) {
    if (!isSelected) changeSelectionIndexes({index});
    _host.Refresh_Canvas();
    // The drag of a locked graphic moves nothing.
    for (SKTCanvasMouseEvent e = event; e.type != SKTCanvasMouseEvent::Type::Up;) e = nextTrackingEvent(e);
  } else if (handle == SKTGraphicNoHandle) {
    SKTIndexSet selection = _selection;
    if (extending) {
      if (isSelected)
        selection.erase(std::remove(selection.begin(), selection.end(), index), selection.end());
      else
        selection.push_back(index);
      changeSelectionIndexes(selection);
    } else if (!isSelected) {
      changeSelectionIndexes({index});
    }
    const bool nowSelected = std::count(_selection.begin(), _selection.end(), index) > 0;
    if (nowSelected) {
      moveSelectedGraphicsWithEvent(event);
    } else {
      for (SKTCanvasMouseEvent e = event; e.type != SKTCanvasMouseEvent::Type::Up;) e = nextTrackingEvent(e);
    }
  } else {
    resizeGraphic(hit, handle, event);
  }
  _host.Show_RHS_Properties(Selected_Graphic().get());
}

SKTGraphicPtr SKTGraphicView::graphicUnderPoint(const QPointF& point, int* index, bool* isSelected,
                                                int* handle) const {
  const SKTGraphicList& list = graphics();
  for (int i = 0; i < static_cast<int>(list.size()); ++i) {
    const SKTGraphicPtr& g = list[i];
    if (!g || !g->drawingBounds().contains(point)) continue;
    const bool selected = std::count(_selection.begin(), _selection.end(), i) > 0;
    int found = SKTGraphicNoHandle;
    if (selected) found = g->handleUnderPoint(point);
    if (found == SKTGraphicNoHandle && !g->isContentsUnderPoint(point)) continue;
    if (index) *index = i;
    if (isSelected) *isSelected = selected;
    if (handle) *handle = found;
    return g;
  }
  return nullptr;
}

SKTIndexSet SKTGraphicView::indexesOfGraphicsIntersectingRect(const QRectF& rect) const {
  SKTIndexSet out;
  const SKTGraphicList& list = graphics();
  for (int i = 0; i < static_cast<int>(list.size()); ++i)
    if (list[i] && list[i]->drawingBounds().intersects(rect)) out.push_back(i);
  return out;
}

// ---------------------------------------------------------------- tracking loops

void SKTGraphicView::marqueeSelectWithEvent(const SKTCanvasMouseEvent& event) {
  const std::set<int> start(_selection.begin(), _selection.end());
  const QPointF origin = event.point;
  SKTCanvasMouseEvent e = event;
  do {
    e = nextTrackingEvent(e);
    const QPointF p = e.point;
    const QRectF marquee(std::min(origin.x(), p.x()), std::min(origin.y(), p.y()),
                         std::abs(p.x() - origin.x()), std::abs(p.y() - origin.y()));
    if (marquee != _marqueeSelectionBounds) {
      setMarqueeSelectionBounds(marquee);
      const SKTIndexSet touched = indexesOfGraphicsIntersectingRect(marquee);
      if (!touched.empty()) {
        std::set<int> selection = start;
        for (int i : touched)
          if (!selection.erase(i)) selection.insert(i);
        changeSelectionIndexes(SKTIndexSet(selection.begin(), selection.end()));
      }
    }
  } while (e.type != SKTCanvasMouseEvent::Type::Up);
  setMarqueeSelectionBounds(QRectF());
  _host.Refresh_Canvas();
}

void SKTGraphicView::moveSelectedGraphicsWithEvent(const SKTCanvasMouseEvent& event) {
  const SKTGraphicList selected = selectedGraphics();
  const QRectF union_ = SKTGraphic::boundsOfGraphics(selected);
  QPointF last = event.point;
  const QPointF offset = last - union_.topLeft();
  SKTZoomingScrollView* scroll = enclosingScrollView();
  const bool echo = scroll && scroll->rulersVisible();
  if (echo) beginEchoingMoveToRulers(union_);
  bool moving = false;
  SKTCanvasMouseEvent e = event;
  do {
    e = nextTrackingEvent(e);
    QPointF current = e.point;
    if (!moving && (std::abs(current.x() - last.x()) >= 2.0 || std::abs(current.y() - last.y()) >= 2.0)) {
      moving = true;
      _isHidingHandles = true;
    }
    if (!moving) continue;
    if (_grid) current = _grid->constrainedPoint(current - offset) + offset;
    if (current == last) continue;
    const QPointF wanted = current - last;
    const QPointF moved = SKTGraphic::translateGraphics(selected, wanted.x(), wanted.y());
    // At the limit of the card's space the objects stop; they follow again
    // once the mouse is back where they stopped.
    last = moved == wanted ? current : last + moved;
    if (echo) continueEchoingMoveToRulers(QRectF(last - offset, union_.size()));
  } while (e.type != SKTCanvasMouseEvent::Type::Up);
  if (echo) stopEchoingMoveToRulers();
  if (moving) {
    _isHidingHandles = false;
    setNeedsDisplayInRect(SKTGraphic::drawingBoundsOfGraphics(selected));
  }
  _host.Refresh_Canvas();
}

void SKTGraphicView::resizeGraphic(const SKTGraphicPtr& graphic, int handle,
                                   const SKTCanvasMouseEvent& event) {
  if (!graphic || graphic->ctrl_is_locked) return;
  SKTZoomingScrollView* scroll = enclosingScrollView();
  const bool echo = scroll && scroll->rulersVisible();
  if (echo) beginEchoingMoveToRulers(graphic->bounds());
  SKTCanvasMouseEvent e = event;
  do {
    e = nextTrackingEvent(e);
    const QPointF p = _grid ? _grid->constrainedPoint(e.point) : e.point;
    handle = graphic->resizeByMovingHandle(handle, p);
    if (echo) continueEchoingMoveToRulers(graphic->bounds());
  } while (e.type != SKTCanvasMouseEvent::Type::Up);
  if (echo) stopEchoingMoveToRulers();
}

// ---------------------------------------------------------------- creation

void SKTGraphicView::setUpPlacedText(SKTGraphic& text, const QString& ctrl_value, const QString& ctrl_ID) {
  if (ctrl_value.isEmpty()) return;
  text.Text_Value = ctrl_value;
  if (text._Text_contents) text._Text_contents->string = ctrl_value;
  text._isDrawingStroke = false;
  text._isDrawingFill = false;
  if (!isWizardText(ctrl_ID)) return;
  static const QStringList centred = {QStringLiteral("PARTY_TITLE"), QStringLiteral("PARTY_DATE"),
                                      QStringLiteral("PARTY_TIME"), QStringLiteral("PARTY_VENUE"),
                                      QStringLiteral("PARTY_MARRINGE_INFO")};
  if (centred.contains(ctrl_ID)) text.text_alignmnet = 2;
  if (ctrl_ID == QLatin1String("PARTY_FROM")) text.text_alignmnet = 1;
  if (ctrl_ID == QLatin1String("PARTY_TITLE") || ctrl_ID == QLatin1String("PARTY_MARRINGE_INFO"))
    text.text_ctrl_font = CardFont{QStringLiteral("TimesNewRomanPS-BoldItalicMT"), 18.0};
}

SKTGraphicPtr SKTGraphicView::makeGraphicForTool(std::optional<GraphicKind> graphicClass,
                                                 const QPointF& origin, const QString& ctrl_value,
                                                 const QString& ctrl_ID) const {
  CardHost& host = _host;
  const DrawingTool tool = host.Selected_Control_Tool();
  switch (tool) {
    case DrawingTool::PictureFile: {
      const QString path = Library_Selected_Image.get();
      if (!path.isEmpty() && QFileInfo(path).isFile()) return SKTImage::initWithPath(origin, path);
      return SKTImage::initWithPosition(origin, host.No_Image());
    }
    case DrawingTool::LibraryPicture:
      return SKTImage::initWithPath(origin, Library_Selected_Image.get());
    case DrawingTool::Barcode:
      return SKTBarcode::initWithPosition(origin, host.Barcode_Sample_Image());
    case DrawingTool::Signature:
      return SKTSignature::initWithPosition(origin, host.Signature_Sample_Image(), QStringLiteral("S"));
    case DrawingTool::Fingerprint:
      return SKTSignature::initWithPosition(origin, host.Fingerprint_Sample_Image(), QStringLiteral("F"));
    default:
      break;
  }
  if (!graphicClass || *graphicClass == GraphicKind::Graphic) return nullptr;
  SKTGraphicPtr graphic = SKTGraphic::makeGraphic(*graphicClass);
  if (*graphicClass == GraphicKind::Text) {
    setUpPlacedText(*graphic, ctrl_value, ctrl_ID);
  } else {
    const QString code = shapeCodeForTool(tool);
    if (!code.isEmpty()) graphic->Set_Shape_Type(code);
  }
  return graphic;
}

void SKTGraphicView::createGraphicOfClass(std::optional<GraphicKind> graphicClass,
                                          const SKTCanvasMouseEvent* event, bool use_rect,
                                          const QRectF& bound_rect, const QString& card_side,
                                          const QString& ctrl_value, const QString& ctrl_ID) {
  const auto group = userActionGroup();
  changeSelectionIndexes({});
  QPointF origin;
  QSizeF size;
  if (event) {
    origin = _grid ? _grid->constrainedPoint(event->point) : event->point;
  } else {
    if (use_rect) {
      origin = bound_rect.topLeft();
      size = bound_rect.size();
      if (ctrl_ID.isEmpty()) origin = _host.Control_New_Point(card_side);
    } else {
      origin = _host.Control_New_Point(card_side);
      size = QSizeF(50, 50);
    }
    // The wizard lays its texts out itself, on the grid where the card has
    // room for that: snapped again, a box could lose part of its lines.
    if (_grid && !isWizardText(ctrl_ID)) {
      origin = _grid->constrainedPoint(origin);
      const QPointF corner = _grid->constrainedPoint(origin + QPointF(size.width(), size.height()));
      size = QSizeF(corner.x() - origin.x(), corner.y() - origin.y());
    }
  }
  const SKTGraphicPtr graphic = makeGraphicForTool(graphicClass, origin, ctrl_value, ctrl_ID);
  if (!graphic || !_document) {
    setSelectedGraphic(nullptr);
    return;
  }
  graphic->control_ID = ctrl_ID;
  graphic->setBounds(QRectF(origin, size));
  setCreatingGraphic(graphic);
  {
    // The graphic is placed and sized without undo registration; once it is
    // kept, its insertion alone is recorded, so that one undo takes the whole
    // creation back and a creation that is taken back leaves no trace.
    RegistrationOff off(_document);
    insertGraphicsAt({graphic}, {0});
    if (event) {
      const QPointer<SKTDocument> document = _document;
      const CardSide side = _side;
      try {
        resizeGraphic(graphic, graphic->creationSizingHandle(), *event);
      } catch (const SKTCanvasGone&) {
        // The canvas closed during the drag: the half-made graphic leaves the list.
        if (document) {
          const int at = indexOfGraphic(document->graphicsOfSide(side), graphic);
          if (at >= 0) document->removeGraphicsAtIndexes(side, {at});
        }
        throw;
      }
    }
    const int index = indexOfGraphic(graphics(), graphic);
    if (index >= 0) removeGraphicsAt({index});
  }
  const QRectF b = graphic->bounds();
  const bool zeroSize = b.width() == 0 && b.height() == 0;
  if (!zeroSize) {
    insertGraphicsAt({graphic}, {0});
    changeSelectionIndexes({0});
    startEditingGraphic(graphic);
  }
  const bool inList = indexOfGraphic(graphics(), graphic) >= 0;
  setSelectedGraphic(inList ? graphic : nullptr);
  setCreatingGraphic(nullptr);
}

void SKTGraphicView::ReplaceGraphicText(std::optional<GraphicKind> graphicClass,
                                        const SKTCanvasMouseEvent* event, bool use_rect,
                                        const QRectF& bound_rect, const QString& card_side,
                                        const QString& ctrl_value, const QString& ctrl_ID) {
  const SKTGraphicPtr found = Selcect_Ctrl_With_ID(ctrl_ID);
  if (!found) {
    createGraphicOfClass(graphicClass, nullptr, use_rect, bound_rect, card_side, ctrl_value, ctrl_ID);
    return;
  }
  if (graphicClass == GraphicKind::Text) {
    if (!ctrl_value.isEmpty()) {
      found->Text_Value = ctrl_value;
      found->_isDrawingStroke = false;
      found->_isDrawingFill = false;
      found->Text_contents()->string = ctrl_value;
      found->Set_Ctrl_Is_Visible(true);
      setNeedsDisplayInRect(found->drawingBounds());
    }
  } else if (graphicClass == GraphicKind::Image) {
    if (!ctrl_value.isEmpty() && QFileInfo(ctrl_value).isFile()) {
      if (auto* image = dynamic_cast<SKTImage*>(found.get()))
        image->setFilePath(ctrl_value);
      else
        found->Set_Control_File_path(ctrl_value);
      setNeedsDisplayInRect(found->drawingBounds());
    } else {
      qCDebug(lcDrawing).noquote() << "no object takes the value" << ctrl_value;
    }
  }
  startEditingGraphic(found);
  setSelectedGraphic(found);
  (void)event;
}

SKTGraphicPtr SKTGraphicView::Selcect_Ctrl_With_ID(const QString& ctrl_ID) const {
  for (const SKTGraphicPtr& g : graphics()) {
    if (!g || (g->kind() != GraphicKind::Text && g->kind() != GraphicKind::Image)) continue;
    if (g->control_ID == ctrl_ID) return g;
  }
  return nullptr;
}

// ---------------------------------------------------------------- keyboard

void SKTGraphicView::moveLeft() {
  moveSelectedGraphicsByX(-1, 0);
}
void SKTGraphicView::moveRight() {
  moveSelectedGraphicsByX(1, 0);
}
void SKTGraphicView::moveUp() {
  moveSelectedGraphicsByX(0, -1);
}
void SKTGraphicView::moveDown() {
  moveSelectedGraphicsByX(0, 1);
}

void SKTGraphicView::moveSelectedGraphicsByX(double dx, double dy) {
  if (_selection.empty()) return;
  const auto group = userActionGroup();
  hideHandlesMomentarily();
  SKTGraphic::translateGraphics(selectedGraphics(), dx, dy);
}

// ---------------------------------------------------------------- pictures

bool SKTGraphicView::makeNewImageFromPasteboard(const QMimeData* pasteboard, const QPointF& point) {
  if (!pasteboard || !_document) return false;
  // Decoding and keeping a large photo takes a second or two: the busy
  // cursor shows the window is working, and is gone before any message.
  auto busy = std::make_unique<BusyCursor>();
  QImage picture;
  if (pasteboard->hasImage()) picture = qvariant_cast<QImage>(pasteboard->imageData());
  if (picture.isNull()) {
    for (const QString& format : pasteboard->formats()) {
      if (!format.startsWith(QLatin1String("image/"))) continue;
      picture = QImage::fromData(pasteboard->data(format));
      if (!picture.isNull()) break;
    }
  }
  if (picture.isNull()) return false;
  // A picture object draws and saves the file it names: the pasted pixels
  // are kept as a file first, or the object would show nothing (or, after
  // saving, another picture). It lies on the card, not above it.
  QString why;
  const QString path = keepPastedPicture(picture, _host.Resource_Path(), &why);
  busy.reset();
  if (path.isEmpty()) {
    Show_MessageBox(QStringLiteral("The pasted picture could not be saved: %1").arg(why));
    return false;
  }
  const auto group = userActionGroup();
  const std::shared_ptr<SKTImage> image = SKTImage::initWithPath(point, path);
  image->setBounds(QRectF(point, image->pictureSize()));
  insertGraphicsAt({image}, {0});
  changeSelectionIndexes({0});
  return true;
}

bool SKTGraphicView::makeNewImageFromContentsOfFile(const QString& path, const QPointF& point) {
  if (!_document) return false;
  const QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
  if (suffix.isEmpty() || !QImageReader::supportedImageFormats().contains(suffix)) return false;
  const QImage picture = loadPictureFile(path);  // plain files only, bounded decoding
  if (picture.isNull()) return false;
  const auto group = userActionGroup();
  const SKTGraphicPtr image = SKTImage::initWithPosition(point, picture);
  insertGraphicsAt({image}, {0});
  changeSelectionIndexes({0});
  return true;
}
