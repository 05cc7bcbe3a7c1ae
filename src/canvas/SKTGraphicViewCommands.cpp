// The edit commands of the canvas: clipboard, delete, selection, undo and
// redo with reselection, alignment, sizes, stacking order, the print flag and
// the bulk operations by control ID.

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <atomic>
#include <set>

#include "canvas/SKTGraphicView.h"
#include "canvas/SKTGrid.h"
#include "core/CardHost.h"
#include "core/GraphicArchive.h"
#include "core/GraphicLimits.h"
#include "core/globals.h"
#include "core/render/DocumentData.h"
#include "core/render/SKTRenderingView.h"
#include "platform/Messages.h"

namespace {

const QString kLockedMessage = QStringLiteral("Selected control is locked.");

QString ownType() {
  return QString::fromLatin1(SKTGraphicViewPasteboardType);
}

// Counts the clipboard's changes in this process (its change count).
std::atomic<qint64> clipboardChanges{0};

QClipboard* generalPasteboard() {
  static bool connected = false;
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard && !connected) {
    connected = true;
    QObject::connect(clipboard, &QClipboard::dataChanged, [] { ++clipboardChanges; });
  }
  return clipboard;
}

bool isExactlyTextOrImage(const SKTGraphicPtr& g) {
  return g && (g->kind() == GraphicKind::Text || g->kind() == GraphicKind::Image);
}

}  // namespace

qint64 SKTGraphicView::generalPasteboardChangeCount() {
  generalPasteboard();
  return clipboardChanges.load();
}

bool SKTGraphicView::There_Is_Any_Lock_Contrl() const {
  for (const SKTGraphicPtr& g : selectedGraphics())
    if (g && g->ctrl_is_locked) return true;
  return false;
}

bool SKTGraphicView::refuseWhenLocked() const {
  if (!There_Is_Any_Lock_Contrl()) return false;
  Show_MessageBox(kLockedMessage);
  return true;
}

// ---------------------------------------------------------------- clipboard

void SKTGraphicView::copy() {
  if (refuseWhenLocked()) return;
  QClipboard* clipboard = generalPasteboard();
  if (!clipboard) return;
  const SKTGraphicList selected = selectedGraphics();
  auto data = std::make_unique<QMimeData>();
  data->setData(ownType(), pasteboardDataWithGraphics(selected));
  data->setData(document_data::kPdfType, SKTRenderingView::pdfDataWithGraphics_data(selected));
  const QByteArray tiff = SKTRenderingView::tiffDataWithGraphics(selected);
  if (!tiff.isEmpty()) data->setData(document_data::kTiffType, tiff);
  clipboard->setMimeData(data.release());  // the clipboard owns it
  _pasteboardChangeCount = generalPasteboardChangeCount();
  _pasteCascadeNumber = 1;
  _host.Set_Paste_Button_Status();
}

void SKTGraphicView::cut() {
  if (refuseWhenLocked()) return;
  copy();
  delete_();
  _host.Undo_Redo_Button_state();
}

void SKTGraphicView::paste() {
  QClipboard* clipboard = generalPasteboard();
  const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
  if (!data) return;
  if (data->hasFormat(ownType())) {
    SKTError error;
    const std::optional<SKTGraphicList> pasted = graphicsWithPasteboardData(data->data(ownType()), &error);
    if (!pasted) {
      Show_MessageBox(error.localizedDescription);
      return;
    }
    const qint64 changeCount = generalPasteboardChangeCount();
    if (changeCount != _pasteboardChangeCount) {
      _pasteboardChangeCount = changeCount;
      _pasteCascadeNumber = 0;
    }
    if (pasted->empty() || !_document) return;
    // Data from elsewhere may place objects where no design can keep them.
    limitBoundsOfGraphics(*pasted);
    const auto group = userActionGroup();
    if (_pasteCascadeNumber > 0) {
      const QString side = currentCardSideCode();
      const QPointF point = _host.Control_New_Point(side);
      SKTGraphic::Paste_Location_Of_Graphics(*pasted, point.x(), point.y(), side);
    }
    ++_pasteCascadeNumber;
    const SKTIndexSet indexes = indexRange(0, static_cast<int>(pasted->size()));
    insertGraphicsAt(*pasted, indexes);
    changeSelectionIndexes(indexes);
    _host.Undo_Redo_Button_state();
    return;
  }
  if (data->hasUrls()) return;  // file names are not pasted
  makeNewImageFromPasteboard(data, QPointF(50, 50));
}

// ---------------------------------------------------------------- list edits

void SKTGraphicView::delete_() {
  if (refuseWhenLocked()) return;
  {
    const auto group = userActionGroup();
    removeGraphicsAt(_selection);
  }
  _host.Undo_Redo_Button_state();
  _host.Show_RHS_Properties(nullptr);
}

void SKTGraphicView::bringToFront() {
  if (refuseWhenLocked()) return;
  if (!_selection.empty() && _document) {
    const auto group = userActionGroup();
    const SKTIndexSet old = _selection;
    const SKTGraphicList moved = selectedGraphics();
    removeGraphicsAt(old);
    const SKTIndexSet front = indexRange(0, static_cast<int>(moved.size()));
    insertGraphicsAt(moved, front);
    changeSelectionIndexes(front);
  }
  _host.Undo_Redo_Button_state();
}

void SKTGraphicView::sendToBack() {
  if (refuseWhenLocked()) return;
  if (!_selection.empty() && _document) {
    const auto group = userActionGroup();
    const SKTIndexSet old = _selection;
    const SKTGraphicList moved = selectedGraphics();
    removeGraphicsAt(old);
    const int rest = static_cast<int>(graphics().size());
    const SKTIndexSet back = indexRange(rest, static_cast<int>(moved.size()));
    insertGraphicsAt(moved, back);
    changeSelectionIndexes(back);
  }
  _host.Undo_Redo_Button_state();
}

void SKTGraphicView::selectAll() {
  changeSelectionIndexes(indexRange(0, static_cast<int>(graphics().size())));
}

void SKTGraphicView::deselectAll() {
  changeSelectionIndexes({});
}

void SKTGraphicView::Clear_Control_Selection() {
  changeSelectionIndexes({});
}

void SKTGraphicView::delete_all_control() {
  removeGraphicsAt(indexRange(0, static_cast<int>(graphics().size())));
}

void SKTGraphicView::delete_all_Text_control() {
  const SKTGraphicList& list = graphics();
  SKTIndexSet doomed;
  for (int i = static_cast<int>(list.size()) - 1; i >= 0; --i)
    if (isExactlyTextOrImage(list[i])) doomed.push_back(i);
  removeGraphicsAt(makeIndexSet(doomed));
}

void SKTGraphicView::Hide_all_Text_control_FUP_Control() {
  static const QStringList fields = {
      QStringLiteral("Fup_Name"),          QStringLiteral("Fup_Title"),   QStringLiteral("Fup_Company"),
      QStringLiteral("Fup_CompanySlogan"), QStringLiteral("Fup_Address"), QStringLiteral("Fup_PhoneNO"),
      QStringLiteral("Fup_FaxNo"),         QStringLiteral("Fup_EmailID"), QStringLiteral("Fup_Website"),
      QStringLiteral("Fup_UniqueNo"),      QStringLiteral("Fup_Photo")};
  const SKTGraphicList& list = graphics();
  for (int i = static_cast<int>(list.size()) - 1; i >= 0; --i) {
    if (isExactlyTextOrImage(list[i]) && fields.contains(list[i]->control_ID)) {
      list[i]->Set_Ctrl_Is_Visible(false);
      setNeedsDisplayInRect(list[i]->drawingBounds());
    }
  }
}

// ---------------------------------------------------------------- undo and redo

void SKTGraphicView::undo() {
  runUndoOrRedo(&SKTDocument::undo);
}

void SKTGraphicView::redo() {
  runUndoOrRedo(&SKTDocument::redo);
}

void SKTGraphicView::runUndoOrRedo(void (SKTDocument::*step)()) {
  beginCollectingUndoSelection();
  if (_document) (_document->*step)();
  const SKTIndexSet collected = endCollectingUndoSelection();
  if (!collected.empty()) changeSelectionIndexes(collected);
  _host.Undo_Redo_Button_state();
  _listChangeUnended = false;
  emit listChangeEnded(true);
}

// ---------------------------------------------------------------- alignment and sizes

template <typename Rule>
void SKTGraphicView::alignSelection(Rule rule) {
  // rule(reference rectangle, own bounds) -> new bounds; the reference is the
  // first selected graphic with two or more selected, the card with one.
  const SKTGraphicList selected = selectedGraphics();
  {
    const auto group = userActionGroup();
    if (selected.size() >= 2) {
      const QRectF reference = selected.front()->bounds();
      for (std::size_t i = 1; i < selected.size(); ++i) {
        const SKTGraphicPtr& g = selected[i];
        if (g->ctrl_is_locked) continue;
        const QRectF target = rule(reference, g->bounds());
        if (target != g->bounds()) g->setBounds(target);
      }
    } else if (selected.size() == 1 && !selected.front()->ctrl_is_locked) {
      const SKTGraphicPtr& g = selected.front();
      const QRectF target = rule(bounds(), g->bounds());
      if (target != g->bounds()) g->setBounds(target);
    }
  }
  _host.Undo_Redo_Button_state();
}

void SKTGraphicView::alignLeftEdges() {
  alignSelection([](const QRectF& ref, QRectF own) {
    own.moveLeft(ref.x());
    return own;
  });
}

void SKTGraphicView::alignRightEdges() {
  alignSelection([](const QRectF& ref, QRectF own) {
    own.moveLeft(ref.x() + ref.width() - own.width());
    return own;
  });
}

void SKTGraphicView::alignTopEdges() {
  alignSelection([](const QRectF& ref, QRectF own) {
    own.moveTop(ref.y());
    return own;
  });
}

void SKTGraphicView::alignBottomEdges() {
  alignSelection([](const QRectF& ref, QRectF own) {
    own.moveTop(ref.y() + ref.height() - own.height());
    return own;
  });
}

void SKTGraphicView::alignHorizontalCenters() {
  alignSelection([](const QRectF& ref, QRectF own) {
    own.moveLeft(ref.x() + ref.width() / 2 - own.width() / 2);
    return own;
  });
}

void SKTGraphicView::alignVerticalCenters() {
  alignSelection([](const QRectF& ref, QRectF own) {
    own.moveTop(ref.y() + ref.height() / 2 - own.height() / 2);
    return own;
  });
}

void SKTGraphicView::alignformCenter() {
  {
    const auto group = userActionGroup();
    const QRectF card = bounds();
    for (const SKTGraphicPtr& g : selectedGraphics()) {
      if (g->ctrl_is_locked) continue;
      QRectF target = g->bounds();
      target.moveTo(card.width() / 2 - target.width() / 2, card.height() / 2 - target.height() / 2);
      if (target != g->bounds()) g->setBounds(target);
    }
  }
  _host.Undo_Redo_Button_state();
}

void SKTGraphicView::alignWithGrid() {
  if (_grid) {
    const auto group = userActionGroup();
    for (const SKTGraphicPtr& g : selectedGraphics()) {
      if (g->ctrl_is_locked) continue;
      const QRectF target = _grid->alignedRect(g->bounds());
      if (target != g->bounds()) g->setBounds(target);
    }
  }
  _host.Undo_Redo_Button_state();
}

// Gives every selected graphic after the first the first one's width or
// height, leaving locked graphics alone.
void SKTGraphicView::makeSameSize(Qt::Orientation orientation) {
  const SKTGraphicList selected = selectedGraphics();
  if (selected.size() > 1) {
    const auto group = userActionGroup();
    const bool horizontal = orientation == Qt::Horizontal;
    const auto extent = [horizontal](const SKTGraphic& g) { return horizontal ? g.width() : g.height(); };
    const double size = extent(*selected.front());
    for (std::size_t i = 1; i < selected.size(); ++i) {
      const SKTGraphicPtr& g = selected[i];
      if (g->ctrl_is_locked || extent(*g) == size) continue;
      QRectF b = g->bounds();
      if (horizontal)
        b.setWidth(size);
      else
        b.setHeight(size);
      g->setBounds(b);
    }
  }
  _host.Undo_Redo_Button_state();
}

void SKTGraphicView::makeSameWidth() {
  makeSameSize(Qt::Horizontal);
}

void SKTGraphicView::makeSameHeight() {
  makeSameSize(Qt::Vertical);
}

void SKTGraphicView::makeNaturalSize() {
  const SKTGraphicList selected = selectedGraphics();
  if (!selected.empty()) {
    const auto group = userActionGroup();
    for (const SKTGraphicPtr& g : selected) {
      SKTGraphic::ChangeScope scope(*g);
      g->makeNaturalSize();
    }
  }
  _host.Undo_Redo_Button_state();
}

void SKTGraphicView::print_contol_or_not(int value) {
  for (const SKTGraphicPtr& g : selectedGraphics())
    if (!g->ctrl_is_locked) g->print_object = value;
}

// ---------------------------------------------------------------- menu validation

bool SKTGraphicView::validateMenuItem(const QString& action, QAction* item) {
  const int count = static_cast<int>(_selection.size());
  if (action == QLatin1String("makeNaturalSize:")) {
    for (const SKTGraphicPtr& g : selectedGraphics())
      if (g->canMakeNaturalSize()) return true;
    return false;
  }
  if (action == QLatin1String("alignWithGrid:")) return _grid && _grid->canAlign() && count > 0;
  static const QStringList needsOne = {QStringLiteral("delete:"), QStringLiteral("bringToFront:"),
                                       QStringLiteral("sendToBack:"), QStringLiteral("cut:"),
                                       QStringLiteral("copy:")};
  if (needsOne.contains(action)) return count > 0;
  static const QStringList needsTwo = {
      QStringLiteral("alignLeftEdges:"),         QStringLiteral("alignRightEdges:"),
      QStringLiteral("alignTopEdges:"),          QStringLiteral("alignBottomEdges:"),
      QStringLiteral("alignHorizontalCenters:"), QStringLiteral("alignVerticalCenters:"),
      QStringLiteral("makeSameWidth:"),          QStringLiteral("makeSameHeight:")};
  if (needsTwo.contains(action)) return count > 1;
  if (action == QLatin1String("undo:")) return _document && _document->undoRecorder().canUndo();
  if (action == QLatin1String("redo:")) return _document && _document->undoRecorder().canRedo();
  if (action == QLatin1String("showOrHideRulers:")) {
    SKTZoomingScrollView* scroll = enclosingScrollView();
    const bool shown = scroll && scroll->rulersVisible();
    if (item) item->setText(shown ? tr("Hide Ruler") : tr("Show Ruler"));
    return true;
  }
  return true;
}

bool SKTGraphicView::Get_Menu_Status(const QString& action, QAction* item) {
  return validateMenuItem(action, item);
}
