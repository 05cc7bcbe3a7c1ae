#include "canvas/SKTGraphicView.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>
#include <set>

#include "canvas/SKTGrid.h"
#include "canvas/SKTRulerView.h"
#include "core/CardHost.h"
#include "core/render/PaintStyle.h"
#include "core/render/SKTRenderingView.h"

namespace {

// How long the selection handles stay hidden after a key moved the selection.
constexpr int kHandleHidingMs = 500;
enum ObservationContext { kGraphicContext = 0x5C47 };
const SKTGraphicList& emptyList() {
  static const SKTGraphicList empty;
  return empty;
}
}  // namespace

SKTGraphicView::SKTGraphicView(CardHost& host, QWidget* parent) : QWidget(parent), _host(host) {
  // Outside a rounded or elliptic card outline the clip view's silhouette shows through.
  setAutoFillBackground(false);
  setFocusPolicy(Qt::StrongFocus);
  _handleShowingTimer.setSingleShot(true);
  _handleShowingTimer.setInterval(kHandleHidingMs);
  connect(&_handleShowingTimer, &QTimer::timeout, this, &SKTGraphicView::unhideHandlesForTimer);
}

SKTGraphicView::~SKTGraphicView() {
  // A drag waiting for the mouse in its own event loop ends with the canvas.
  if (_trackingLoop) _trackingLoop->quit();
  _handleShowingTimer.stop();
  unbindGraphics();
  setGrid(nullptr);
}

void SKTGraphicView::setFrameSizePoints(const QSizeF& size) {
  const QSizeF clean(std::isfinite(size.width()) ? std::max(0.0, size.width()) : 0.0,
                     std::isfinite(size.height()) ? std::max(0.0, size.height()) : 0.0);
  if (clean == _frameSize) return;
  _frameSize = clean;
  if (onFrameChanged)
    onFrameChanged();
  else
    resize(static_cast<int>(std::lround(clean.width() * _factor)),
           static_cast<int>(std::lround(clean.height() * _factor)));
  update();
}

void SKTGraphicView::setDisplayFactor(double factor) {
  if (!(factor > 0) || !std::isfinite(factor)) return;
  _factor = factor;
  update();
}

// ---------------------------------------------------------------- bindings

void SKTGraphicView::bindGraphics(const QString& name, SKTDocument* document, CardSide side) {
  if (name != QLatin1String(SKTGraphicViewGraphicsBindingName) &&
      name != QLatin1String(SKTGraphicViewGraphicsBindingName_back) &&
      name != QLatin1String(SKTGraphicViewGraphicsBindingName_temp))
    throw std::invalid_argument("SKTGraphicView has no graphics binding named " + name.toStdString());
  if (_document) unbindGraphics();
  _document = document;
  _side = side;
  if (document) {
    _listConnection = connect(document, &SKTDocument::graphicsChanged, this, &SKTGraphicView::listChanged);
    _listEndConnection =
        connect(document, &SKTDocument::graphicsChangesEnded, this, &SKTGraphicView::listChangesEnded);
    _undoStartConnection =
        connect(document, &SKTDocument::undoOrRedoStarting, this, &SKTGraphicView::redrawGraphicsForUndoStep);
    _undoEndConnection =
        connect(document, &SKTDocument::undoneOrRedone, this, &SKTGraphicView::redrawGraphicsForUndoStep);
    _observed = document->graphicsOfSide(side);
    startObservingGraphics(_observed);
  }
  update();
}

void SKTGraphicView::unbindGraphics() {
  stopObservingGraphics(_observed);
  _observed.clear();
  disconnect(_listConnection);
  disconnect(_listEndConnection);
  disconnect(_undoStartConnection);
  disconnect(_undoEndConnection);
  _listChangeUnended = false;
  _document = nullptr;
  _selection.clear();
  _Selected_Graphic.reset();
  update();
}

void SKTGraphicView::setGrid(SKTGrid* grid) {
  if (grid == _grid) return;
  disconnect(_gridConnection);
  _grid = grid;
  if (grid) _gridConnection = connect(grid, &SKTGrid::anyChanged, this, [this] { update(); });
  update();
}

const SKTGraphicList& SKTGraphicView::graphics() const {
  return _document ? _document->graphicsOfSide(_side) : emptyList();
}

// ---------------------------------------------------------------- selection

void SKTGraphicView::changeSelectionIndexes(const SKTIndexSet& indexes) {
  SKTIndexSet sorted = makeIndexSet(indexes);
  if (sorted == _selection) return;
  const SKTGraphicList& list = graphics();
  // Redraw the graphics that left or joined the selection.
  std::vector<int> changed;
  std::set_symmetric_difference(_selection.begin(), _selection.end(), sorted.begin(), sorted.end(),
                                std::back_inserter(changed));
  for (int i : changed)
    if (i >= 0 && i < static_cast<int>(list.size()) && list[i])
      setNeedsDisplayInRect(list[i]->drawingBounds());
  _selection = std::move(sorted);
  emit selectionIndexesChanged();
  emit multipleSelectionChanged(_selection.size() >= 2);
}

SKTGraphicList SKTGraphicView::selectedGraphics() const {
  SKTGraphicList out;
  const SKTGraphicList& list = graphics();
  for (int i : _selection)
    if (i >= 0 && i < static_cast<int>(list.size())) out.push_back(list[i]);
  return out;
}

void SKTGraphicView::setCreatingGraphic(const SKTGraphicPtr& graphic) {
  if (_creatingGraphic) setNeedsDisplayInRect(_creatingGraphic->drawingBounds());
  _creatingGraphic = graphic;
  if (graphic) setNeedsDisplayInRect(graphic->drawingBounds());
}

void SKTGraphicView::setMarqueeSelectionBounds(const QRectF& rect) {
  setNeedsDisplayInRect(_marqueeSelectionBounds.adjusted(-1, -1, 1, 1));
  _marqueeSelectionBounds = rect;
  setNeedsDisplayInRect(rect.adjusted(-1, -1, 1, 1));
}

// ---------------------------------------------------------------- observation

void SKTGraphicView::startObservingGraphics(const SKTGraphicList& list) {
  for (const auto& g : list) {
    if (!g) continue;
    g->addObserver(this, SKTKeys::drawingBounds, kGraphicContext);
    g->addObserver(this, SKTKeys::drawingContents, kGraphicContext);
  }
}

void SKTGraphicView::stopObservingGraphics(const SKTGraphicList& list) {
  for (const auto& g : list) {
    if (!g) continue;
    g->removeObserver(this, SKTKeys::drawingBounds, kGraphicContext);
    g->removeObserver(this, SKTKeys::drawingContents, kGraphicContext);
  }
}

void SKTGraphicView::listChanged(CardSide side) {
  if (side != _side || !_document) return;
  const SKTGraphicList& now = _document->graphicsOfSide(_side);
  std::set<const SKTGraphic*> before, after;
  for (const auto& g : _observed) before.insert(g.get());
  for (const auto& g : now) after.insert(g.get());
  SKTGraphicList removed, added;
  for (const auto& g : _observed)
    if (g && !after.count(g.get())) removed.push_back(g);
  for (const auto& g : now)
    if (g && !before.count(g.get())) added.push_back(g);
  stopObservingGraphics(removed);
  const SKTGraphicPtr current = _Selected_Graphic.lock();
  for (const auto& g : removed) {
    setNeedsDisplayInRect(g->drawingBounds());
    if (g == current) _Selected_Graphic.reset();  // never outlives its place in the list
    if (g == _creatingGraphic) _creatingGraphic.reset();
  }
  startObservingGraphics(added);
  for (const auto& g : added) setNeedsDisplayInRect(g->drawingBounds());
  if (_undoSelectionIndexes) {
    const bool replaced = !now.empty() && added.size() == now.size() && !_observed.empty();
    for (int i = 0; i < static_cast<int>(now.size()); ++i)
      if (replaced || !before.count(now[i].get())) _undoSelectionIndexes->insert(i);
  }
  // The selection follows its graphics: a removed graphic leaves it, and one
  // whose index moved stays selected at its new index (so a deletion never
  // leaves other graphics selected in its place).
  std::set<const SKTGraphic*> selectedBefore;
  for (int i : _selection)
    if (i >= 0 && i < static_cast<int>(_observed.size()) && _observed[i])
      selectedBefore.insert(_observed[i].get());
  _observed = now;
  SKTIndexSet kept;
  for (int i = 0; i < static_cast<int>(now.size()); ++i)
    if (now[i] && selectedBefore.count(now[i].get())) kept.push_back(i);
  if (kept != _selection) changeSelectionIndexes(kept);
  _listChangeUnended = true;
}

void SKTGraphicView::redrawGraphicsForUndoStep() {
  invalidateHandlesOfGraphics(graphics());
}

void SKTGraphicView::listChangesEnded() {
  // An undo or redo through this canvas tells once it has selected what it brought back.
  if (!_listChangeUnended || isCollectingUndoSelection()) return;
  _listChangeUnended = false;
  emit listChangeEnded(false);
}

void SKTGraphicView::observeValueForKey(SKTGraphic& graphic, const QString& key, const QVariant& oldValue,
                                        const QVariant& newValue, int context) {
  if (context != kGraphicContext) return;
  if (key == SKTKeys::drawingBounds) {
    if (oldValue.canConvert<QRectF>()) setNeedsDisplayInRect(oldValue.toRectF());
    if (newValue.canConvert<QRectF>())
      setNeedsDisplayInRect(newValue.toRectF());
    else
      setNeedsDisplayInRect(graphic.drawingBounds());
  } else if (key == SKTKeys::drawingContents) {
    setNeedsDisplayInRect(graphic.drawingBounds());
  }
  if (_undoSelectionIndexes) {
    const SKTGraphicList& list = graphics();
    for (int i = 0; i < static_cast<int>(list.size()); ++i)
      if (list[i].get() == &graphic) _undoSelectionIndexes->insert(i);
  }
}

SKTIndexSet SKTGraphicView::endCollectingUndoSelection() {
  SKTIndexSet out;
  if (_undoSelectionIndexes) out.assign(_undoSelectionIndexes->begin(), _undoSelectionIndexes->end());
  _undoSelectionIndexes.reset();
  return out;
}

// ---------------------------------------------------------------- redisplay

QRectF SKTGraphicView::widgetRectFromPoints(const QRectF& r) const {
  return QRectF(r.topLeft() * _factor, r.size() * _factor);
}

void SKTGraphicView::setNeedsDisplayInRect(const QRectF& rect) {
  if (rect.isNull() || _painting) return;
  update(widgetRectFromPoints(rect).toAlignedRect().adjusted(-1, -1, 1, 1));
}

void SKTGraphicView::invalidateHandlesOfGraphics(const SKTGraphicList& list) {
  for (const auto& g : list)
    if (g) setNeedsDisplayInRect(g->drawingBounds());
}

void SKTGraphicView::hideHandlesMomentarily() {
  _handleShowingTimer.start();  // restarts a pending one
  _isHidingHandles = true;
  setNeedsDisplayInRect(SKTGraphic::drawingBoundsOfGraphics(selectedGraphics()));
}

void SKTGraphicView::unhideHandlesForTimer() {
  _isHidingHandles = false;
  _handleShowingTimer.stop();
  setNeedsDisplayInRect(SKTGraphic::drawingBoundsOfGraphics(selectedGraphics()));
}

// ---------------------------------------------------------------- drawing

void SKTGraphicView::paintEvent(QPaintEvent* event) {
  struct PaintingFlag {
    bool& flag;
    explicit PaintingFlag(bool& f) : flag(f) { flag = true; }
    ~PaintingFlag() { flag = false; }
  } paintingFlag(_painting);
  render::ScopedDrawing drawing(_host.Resource_Path());
  render::ScopedScreenDrawing onScreen;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.scale(_factor, _factor);
  const QRectF dirty =
      QRectF(QPointF(event->rect().topLeft()) / _factor, QSizeF(event->rect().size()) / _factor)
          .intersected(bounds().adjusted(-1, -1, 1, 1));

  // The card base is built from the card's full rectangle and clipped to the
  // part being redrawn, so partial redraws join up.
  painter.save();
  painter.setClipRect(dirty);
  _host.Card_Base_Drawing(painter, bounds());
  painter.restore();
  if (_grid) _grid->drawRect(painter, dirty);

  const SKTGraphicList list = graphics();  // a copy: drawing must not see the list change under it
  std::set<int> selected(_selection.begin(), _selection.end());
  for (int i = static_cast<int>(list.size()) - 1; i >= 0; --i) {
    SKTGraphic* g = list[i].get();
    if (!g || !g->drawingBounds().intersects(dirty)) continue;
    const bool beingCreated = list[i] == _creatingGraphic;
    const bool withHandles = !_isHidingHandles && !beingCreated && selected.count(i);
    painter.save();
    painter.setClipRect(g->drawingBounds(), Qt::IntersectClip);
    g->drawContentsInView(painter, beingCreated);
    if (withHandles) {
      g->drawHandlesInView(painter, g->ctrl_is_locked);
      _Selected_Graphic = list[i];
    }
    painter.restore();
  }
  if (_creatingGraphic && std::find(list.begin(), list.end(), _creatingGraphic) == list.end()) {
    painter.save();
    _creatingGraphic->drawContentsInView(painter, true);
    painter.restore();
  }
  if (list.empty()) _host.Show_RHS_Properties(nullptr);

  if (!_marqueeSelectionBounds.isNull()) {
    QPen pen(paint::knobColor(), 1.0);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(_marqueeSelectionBounds);
  }
  painter.end();
  if (list.empty()) emit paintedEmptyList();
}

// ---------------------------------------------------------------- scroll view and rulers

SKTZoomingScrollView* SKTGraphicView::enclosingScrollView() const {
  for (QWidget* w = parentWidget(); w; w = w->parentWidget())
    if (auto* scroll = qobject_cast<SKTZoomingScrollView*>(w)) return scroll;
  return nullptr;
}

void SKTGraphicView::Refresh_ScrollView() {
  if (SKTZoomingScrollView* scroll = enclosingScrollView()) scroll->viewport()->update();
}

void SKTGraphicView::showOrHideRulers() {
  if (SKTZoomingScrollView* scroll = enclosingScrollView())
    scroll->setRulersVisible(!scroll->rulersVisible());
}

namespace {
void echo(SKTZoomingScrollView* scroll, const QRectF& from, const QRectF& to, bool fromNone, bool toNone) {
  if (!scroll || !scroll->rulersVisible()) return;
  auto xs = [](const QRectF& r) {
    return std::array<double, 3>{r.left(), r.left() + r.width() / 2, r.right()};
  };
  auto ys = [](const QRectF& r) {
    return std::array<double, 3>{r.top(), r.top() + r.height() / 2, r.bottom()};
  };
  const auto ox = xs(from), nx = xs(to), oy = ys(from), ny = ys(to);
  for (int i = 0; i < 3; ++i) {
    scroll->horizontalRulerView()->moveRulerlineFromLocation(fromNone ? -1.0 : ox[i], toNone ? -1.0 : nx[i]);
    scroll->verticalRulerView()->moveRulerlineFromLocation(fromNone ? -1.0 : oy[i], toNone ? -1.0 : ny[i]);
  }
}
}  // namespace

void SKTGraphicView::beginEchoingMoveToRulers(const QRectF& rect) {
  echo(enclosingScrollView(), QRectF(), rect, true, false);
  _rulerEchoedBounds = rect;
}

void SKTGraphicView::continueEchoingMoveToRulers(const QRectF& rect) {
  echo(enclosingScrollView(), _rulerEchoedBounds, rect, false, false);
  _rulerEchoedBounds = rect;
}

void SKTGraphicView::stopEchoingMoveToRulers() {
  echo(enclosingScrollView(), _rulerEchoedBounds, QRectF(), false, true);
  _rulerEchoedBounds = QRectF();
}
