// The tool strip, the edit strip and the Edit menu of the main window: the
// sixteen drawing tools (each places one object and falls back to the
// arrow), the edit commands on the current side's canvas, lock and unlock,
// and the enabled states of the edit buttons.
#include <QAbstractSpinBox>
#include <QApplication>
#include <QClipboard>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QUndoStack>
#include <algorithm>

#include "canvas/ZoomGeometry.h"
#include "core/PictureFile.h"
#include "core/SKTBarcode.h"
#include "core/SKTUndoRecorder.h"
#include "core/globals.h"
#include "mainwindow/BarcodeEditing.h"
#include "mainwindow/PictureLibrary.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/ToolStripButton.h"
#include "mainwindow/globals.h"
#include "platform/MessageHost.h"
#include "platform/Messages.h"

namespace {

struct ToolEntry {
  const char* action;  // the button's object name
  const char* label;
  const char* icon;
  std::optional<GraphicKind> kind;
  QSizeF size;
};

// Indexed by tool number.
const ToolEntry kTools[SKTWindowController::kToolCount] = {
    {"Arrow_Tool_Clicked", QT_TR_NOOP("Arrow"), "arrow", std::nullopt, {}},
    {"Line_Tool_Clicked", QT_TR_NOOP("Line"), "line", GraphicKind::Line, {50, 50}},
    {"Text_Tool_Clicked", QT_TR_NOOP("Text"), "text", GraphicKind::Text, {50, 50}},
    {"Rect_Tool_Clicked", QT_TR_NOOP("Rectangle"), "rectangle", GraphicKind::Shape, {50, 50}},
    {"Circle_Tool_Clicked", QT_TR_NOOP("Circle"), "circle", GraphicKind::Shape, {50, 50}},
    {"Round_Rect_Tool_Clicked", QT_TR_NOOP("Rounded Rectangle"), "rounded", GraphicKind::Shape, {50, 50}},
    {"Triangle_Tool_Clicked", QT_TR_NOOP("Triangle"), "triangle", GraphicKind::Shape, {50, 50}},
    {"Diamond_Tool_Clicked", QT_TR_NOOP("Diamond"), "diamond", GraphicKind::Shape, {50, 50}},
    {"Image_Tool_Clicked", QT_TR_NOOP("Picture from File"), "picture", GraphicKind::Image, {50, 50}},
    {"Image_Library_Tool_Clicked", QT_TR_NOOP("Library Picture"), "library", GraphicKind::Image, {50, 50}},
    {"Barcode_Tool_Clicked", QT_TR_NOOP("Barcode"), "barcode", GraphicKind::Barcode, SKTBarcode::kSampleSize},
    {"Signature_Tool_Clicked", QT_TR_NOOP("Signature"), "signature", GraphicKind::Signature, {100, 50}},
    // The fingerprint is a signature object of kind "F", upright.
    {"Fingure_Print_Tool_Clicked",
     QT_TR_NOOP("Fingerprint"),
     "fingerprint",
     GraphicKind::Signature,
     {60, 80}},
    {"Star_Tool_Clicked", QT_TR_NOOP("Star"), "star", GraphicKind::Shape, {50, 50}},
    {"Double_Star_Tool_Clicked", QT_TR_NOOP("Double Star"), "doublestar", GraphicKind::Shape, {50, 50}},
    {"Polygon_Tool_Clicked", QT_TR_NOOP("Polygon"), "polygon", GraphicKind::Shape, {50, 50}},
};

struct EditEntry {
  const char* name;
  const char* label;
  const char* icon;
  void (SKTWindowController::*action)();
};

const EditEntry kEditStrip[] = {
    {"Cut", QT_TR_NOOP("Cu&t"), "cut", &SKTWindowController::Cut_Clicked},
    {"Copy", QT_TR_NOOP("&Copy"), "copy", &SKTWindowController::Copy_Clicked},
    {"Paste", QT_TR_NOOP("&Paste"), "paste", &SKTWindowController::Paste_Clicked},
    {"Delete", QT_TR_NOOP("&Delete"), "delete", &SKTWindowController::Delete_Clicked},
    {"Front", QT_TR_NOOP("Bring to &Front"), "front", &SKTWindowController::Begin_Front_Clicked},
    {"Back", QT_TR_NOOP("Send to &Back"), "back", &SKTWindowController::Send_Back_Clicked},
    {"Lock", QT_TR_NOOP("&Lock"), "lock", &SKTWindowController::Lock_Clicked},
    {"Unlock", QT_TR_NOOP("U&nlock"), "unlock", &SKTWindowController::Unlock_Clicked},
    {"Undo", QT_TR_NOOP("&Undo"), "undo", &SKTWindowController::Undo_Clicked},
    {"Redo", QT_TR_NOOP("&Redo"), "redo", &SKTWindowController::Redo_Clicked},
    {"SelectAll", QT_TR_NOOP("Select &All"), nullptr, &SKTWindowController::Select_All_Clicked},
};

QIcon stripIcon(const char* name) {
  return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
}

QList<QKeySequence> withStandard(QKeySequence::StandardKey key, QList<QKeySequence> extra = {}) {
  QList<QKeySequence> keys = extra;
  for (const QKeySequence& k : QKeySequence::keyBindings(key))
    if (!keys.contains(k)) keys << k;
  return keys;
}

// A text field of the window keeps the keys that remove, even when it is
// read-only (a bound text, a file path): Delete, Backspace and Cut typed
// there never remove the selected object, which on the back side could not
// be taken back.
class TextFieldKeys : public QObject {
 public:
  explicit TextFieldKeys(QWidget* window) : QObject(window), window_(window) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::ShortcutOverride) return false;
    auto* field = qobject_cast<QWidget*>(watched);
    if (field == nullptr || field->window() != window_ || !isTextField(field)) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const bool removing = key->matches(QKeySequence::Delete) || key->matches(QKeySequence::Cut) ||
                          (key->key() == Qt::Key_Backspace && key->modifiers() == Qt::NoModifier);
    if (!removing) return false;
    event->accept();
    return true;
  }

 private:
  static bool isTextField(QWidget* widget) {
    return qobject_cast<QLineEdit*>(widget) || qobject_cast<QPlainTextEdit*>(widget) ||
           qobject_cast<QTextEdit*>(widget) || qobject_cast<QAbstractSpinBox*>(widget);
  }

  QWidget* window_;
};

}  // namespace

void SKTWindowController::buildToolStrips() {
  _toolStrip = new QToolBar(tr("Tools"), this);
  _toolStrip->setObjectName(QStringLiteral("Tool_Strip"));
  _toolStrip->setAccessibleName(tr("Tools"));
  _toolStrip->setIconSize(QSize(24, 24));
  _toolGroup = new QActionGroup(this);
  _toolGroup->setExclusive(true);
  for (int tool = 0; tool < kToolCount; ++tool) {
    const ToolEntry& entry = kTools[tool];
    auto* action = new ToolStripAction(stripIcon(entry.icon), tr(entry.label), _toolStrip);
    _toolStrip->addAction(action);
    action->setObjectName(QLatin1String(entry.action));
    action->setToolTip(tr(entry.label));
    action->setCheckable(true);
    _toolGroup->addAction(action);
    connect(action, &QAction::triggered, this, [this, tool] { selectTool(static_cast<DrawingTool>(tool)); });
    _toolActions.insert(tool, action);
  }
  _toolActions.value(0)->setChecked(true);
  addToolBar(Qt::LeftToolBarArea, _toolStrip);
  for (QAction* action : _toolStrip->actions())
    if (QWidget* button = _toolStrip->widgetForAction(action)) button->setAccessibleName(action->text());

  _editStrip = new QToolBar(tr("Edit"), this);
  _editStrip->setObjectName(QStringLiteral("Edit_Strip"));
  _editStrip->setAccessibleName(tr("Edit"));
  _editStrip->setIconSize(QSize(22, 22));
  for (const EditEntry& entry : kEditStrip) {
    auto* action = new QAction(tr(entry.label), this);
    if (entry.icon) action->setIcon(stripIcon(entry.icon));
    action->setObjectName(QStringLiteral("%1_btn").arg(QLatin1String(entry.name)));
    const auto method = entry.action;
    connect(action, &QAction::triggered, this, [this, method] { (this->*method)(); });
    _editActions.insert(QLatin1String(entry.name), action);
    if (entry.icon) {
      _editStrip->addAction(action);
      if (QWidget* button = _editStrip->widgetForAction(action))
        button->setAccessibleName(action->iconText());
    }
  }
  _editStrip->insertSeparator(_editActions.value(QStringLiteral("Lock")));
  _editStrip->insertSeparator(_editActions.value(QStringLiteral("Undo")));
  addToolBar(Qt::TopToolBarArea, _editStrip);

  _editActions.value(QStringLiteral("Undo"))->setShortcuts(withStandard(QKeySequence::Undo));
  _editActions.value(QStringLiteral("Redo"))
      ->setShortcuts(withStandard(QKeySequence::Redo, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}));
  _editActions.value(QStringLiteral("Cut"))->setShortcuts(QKeySequence::Cut);
  _editActions.value(QStringLiteral("Copy"))->setShortcuts(QKeySequence::Copy);
  _editActions.value(QStringLiteral("Paste"))->setShortcuts(QKeySequence::Paste);
  // The menu shows the first key: Delete, then Backspace.
  QList<QKeySequence> deleteKeys = QKeySequence::keyBindings(QKeySequence::Delete);
  if (!deleteKeys.contains(QKeySequence(Qt::Key_Backspace))) deleteKeys << QKeySequence(Qt::Key_Backspace);
  _editActions.value(QStringLiteral("Delete"))->setShortcuts(deleteKeys);
  _editActions.value(QStringLiteral("SelectAll"))->setShortcuts(QKeySequence::SelectAll);
  _editActions.value(QStringLiteral("Front"))->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Up));
  _editActions.value(QStringLiteral("Back"))->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Down));
  _editActions.value(QStringLiteral("Lock"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
  _editActions.value(QStringLiteral("Unlock"))->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L));
  qApp->installEventFilter(new TextFieldKeys(this));
  for (QAction* action : _editActions) {
    // The canvas keeps its own keys while it has the focus; the panels' text
    // fields keep theirs (a text field's copy and paste come first).
    action->setShortcutContext(Qt::WindowShortcut);
    const QString keys = action->shortcut().toString(QKeySequence::NativeText);
    if (!keys.isEmpty()) action->setToolTip(QStringLiteral("%1 (%2)").arg(action->iconText(), keys));
  }
}

void SKTWindowController::buildEditMenu(QMenu* edit) {
  auto add = [&](const char* name) { edit->addAction(_editActions.value(QLatin1String(name))); };
  add("Undo");
  add("Redo");
  edit->addSeparator();
  add("Cut");
  add("Copy");
  add("Paste");
  add("Delete");
  add("SelectAll");
  edit->addSeparator();
  add("Front");
  add("Back");
  edit->addSeparator();
  add("Lock");
  add("Unlock");
}

// ---------------------------------------------------------------- tools

std::optional<GraphicKind> SKTWindowController::currentGraphicClass() {
  const int tool = static_cast<int>(_selectedControlTool);
  if (tool < 0 || tool >= kToolCount) return std::nullopt;
  return kTools[tool].kind;
}

void SKTWindowController::selectTool(DrawingTool tool) {
  if (static_cast<int>(tool) < 0 || static_cast<int>(tool) >= kToolCount) return;
  _selectedControlTool = tool;
  if (QAction* action = toolAction(tool)) action->setChecked(true);
  Select_tool_action();
}

void SKTWindowController::Select_tool_action() {
  selectedToolDidChange();
  Refresh_Canvas();
  const SKTGraphicPtr selected = currentSideView()->Selected_Graphic();
  Show_RHS_Properties(selected.get());
  // Without a property load to run it (a load is under way), the strip still
  // falls back to the arrow: a tool acts once.
  if (Not_Draw_Only_Prop_Change()) selectArrowTool();
}

void SKTWindowController::selectArrowTool() {
  _selectedControlTool = DrawingTool::Arrow;
  if (QAction* arrow = toolAction(DrawingTool::Arrow)) arrow->setChecked(true);
}

void SKTWindowController::selectedToolDidChange() {
  const DrawingTool tool = _selectedControlTool;
  std::optional<GraphicKind> graphicClass = currentGraphicClass();
  if (!graphicClass) return;
  if (tool == DrawingTool::PictureFile && !Browse_User_Image_Manually()) return;
  if (tool == DrawingTool::LibraryPicture) {
    if (Open_Image_Library_Window(QStringLiteral("C")) != 1) return;
    Library_Selected_Image.set(lib_window_sel_file);
    qCDebug(lcMainWindow).noquote() << "library picture" << lib_window_sel_file;
  }
  const QSizeF size = kTools[static_cast<int>(tool)].size;
  const QString side = currentCardSideCode();
  SKTGraphicView* view = currentSideView();
  // Placing the object is one undo step, whatever making it takes: a new
  // barcode's picture and frame are part of it.
  const SKTUndoGroup placing(_document->undoRecorder());
  view->createGraphicOfClass(graphicClass, nullptr, true, QRectF(QPointF(0, 0), size), side, QString(),
                             QString());
  _chosenPicture = QImage();  // the object holds it now
  // A new barcode shows what the designer shows for it, not the sample.
  if (tool == DrawingTool::Barcode)
    if (const SKTGraphicPtr made = view->Selected_Graphic()) barcode_editing::drawNewBarcode(*made);
}

bool SKTWindowController::Browse_User_Image_Manually() {
  platform::FilePanelRequest request;
  request.title = tr("Choose a Picture");
  request.nameFilters = {tr("Pictures (*.jpg *.jpeg *.jpe *.jfif *.gif *.bmp *.png *.tif *.tiff)")};
  const QStringList chosen = platform::messageHost().openPanel(request);
  if (chosen.isEmpty() || chosen.front().isEmpty()) {
    Library_Selected_Image.set(QString());
    return false;
  }
  // A file that cannot be used (no picture, damaged, too large) is refused by
  // name, rather than giving an empty picture object.
  CheckedPicture picture = loadCheckedPictureFile(chosen.front());
  if (!picture.problem.isEmpty()) {
    Show_MessageBox(picture.problem);
    Library_Selected_Image.set(QString());
    return false;
  }
  _chosenPicture = std::move(picture.image);
  Library_Selected_Image.set(chosen.front());
  return true;
}

int SKTWindowController::Open_Image_Library_Window(const QString& mode) {
  Image_Library& library = Image_Library::defaultInstance();
  library.control_or_BG = mode;
  const int code = library.Open_Library_Window(this);
  if (code == 1) lib_window_sel_file = library.selected_image;
  return code;
}

// ---------------------------------------------------------------- edit strip

// Undo, redo and paste can bring back a barcode whose picture was made under
// the other spread choice: it is drawn again with the choice in force.
// The undo history holds the front's changes: they are taken back or made
// again only while the front is shown.
void SKTWindowController::Undo_Clicked() {
  if (shownView() != _graphicView) return;
  _graphicView->undo();
  Redraw_Barcode_Captions();
  Undo_Redo_Button_state();
}

void SKTWindowController::Redo_Clicked() {
  if (shownView() != _graphicView) return;
  _graphicView->redo();
  Redraw_Barcode_Captions();
  Undo_Redo_Button_state();
}

void SKTWindowController::Cut_Clicked() {
  currentSideView()->cut();
}

void SKTWindowController::Copy_Clicked() {
  currentSideView()->copy();
  Set_Paste_Button_Status();
}

void SKTWindowController::Paste_Clicked() {
  currentSideView()->paste();
  Redraw_Barcode_Captions();
}

void SKTWindowController::followSelection(SKTGraphicView* view, bool reload) {
  // Another side's canvas, the scratch side on screen or values being loaded:
  // whoever shows the tabs next loads them.
  if (view != currentSideView() || view != shownView() || Not_Draw_Only_Prop_Change()) return;
  const SKTGraphicList selected = view->selectedGraphics();
  SKTGraphicPtr shown = view->Selected_Graphic();
  if (std::find(selected.begin(), selected.end(), shown) == selected.end())
    shown = selected.empty() ? nullptr : selected.back();
  view->setSelectedGraphic(shown);
  if (tabsShow(shown.get())) {
    if (reload && shown) followShownObject();
    return;
  }
  Last_Selected_Graphic.reset();
  Show_RHS_Properties(shown.get());
}

void SKTWindowController::Delete_Clicked() {
  currentSideView()->delete_();
}

void SKTWindowController::Begin_Front_Clicked() {
  currentSideView()->bringToFront();
}

void SKTWindowController::Send_Back_Clicked() {
  currentSideView()->sendToBack();
}

void SKTWindowController::Select_All_Clicked() {
  currentSideView()->selectAll();
}

void SKTWindowController::Lock_Clicked() {
  Disable_Standard_Button_For_Lock();
  setLockOfSelection(true);
}

void SKTWindowController::Unlock_Clicked() {
  Enable_Standard_Button_For_Unlock();
  setLockOfSelection(false);
}

void SKTWindowController::setLockOfSelection(bool locked) {
  SKTGraphicView* view = currentSideView();
  const SKTGraphicList selected = view->selectedGraphics();
  if (selected.empty()) {
    Show_MessageBox(locked ? QStringLiteral("Please select a control to Lock.")
                           : QStringLiteral("Please select a control to Unlock."));
    Show_RHS_Properties(view->Selected_Graphic().get());
    return;
  }
  for (const SKTGraphicPtr& graphic : selected) graphic->ctrl_is_locked = locked;
  // The panels are rebuilt for the last object of the selection.
  const SKTIndexSet selection = view->selectionIndexes();
  Show_RHS_Properties(nullptr);
  view->changeSelectionIndexes(selection);
  Refresh_Canvas();
  Show_RHS_Properties(selected.back().get());
}

// ---------------------------------------------------------------- button states

void SKTWindowController::setEditButtons(std::initializer_list<std::pair<const char*, bool>> states) {
  for (const auto& [name, on] : states)
    if (QAction* action = _editActions.value(QLatin1String(name))) action->setEnabled(on);
}

bool SKTWindowController::pasteboardHoldsGraphics() const {
  const QClipboard* clipboard = QGuiApplication::clipboard();
  const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
  if (data == nullptr) return false;
  if (data->hasFormat(QLatin1String(SKTGraphicViewPasteboardType))) return true;
  // A picture copied in another program pastes as a picture object; file
  // names are not pasted.
  if (data->hasUrls()) return false;
  if (data->hasImage()) return true;
  const QStringList formats = data->formats();
  return std::any_of(formats.begin(), formats.end(),
                     [](const QString& f) { return f.startsWith(QLatin1String("image/")); });
}

void SKTWindowController::followEditState() {
  // What another program copies changes what Paste can do; a locked object
  // keeps Paste off.
  if (QClipboard* clipboard = QGuiApplication::clipboard())
    connect(clipboard, &QClipboard::dataChanged, this, [this] {
      if (QAction* unlock = editAction(QStringLiteral("Unlock")); unlock && !unlock->isEnabled())
        Set_Paste_Button_Status();
    });
  // The edit commands follow the selection of the side being edited, however
  // it was made (a click, the marquee, Select All): selected objects can be
  // cut, copied and deleted at once, locked ones only unlocked.
  for (SKTGraphicView* view : {_graphicView.data(), _graphicView_BACK.data()}) {
    // The tabs follow the objects however they were removed or brought back.
    connect(view, &SKTGraphicView::listChangeEnded, this,
            [this, view](bool undoOrRedo) { followSelection(view, undoOrRedo); });
    connect(view, &SKTGraphicView::selectionIndexesChanged, this, [this, view] {
      if (view != currentSideView()) return;
      const SKTGraphicList selected = view->selectedGraphics();
      if (selected.empty())
        Disable_Standard_Button_For_Card();
      else if (view->There_Is_Any_Lock_Contrl())
        Disable_Standard_Button_For_Lock();
      else
        Enable_Standard_Button_For_Control();
    });
  }
}

// Menu, tool strip and keys alike: greyed while the back or the scratch side is shown.
void SKTWindowController::Undo_Redo_Button_state() {
  QUndoStack* stack = _document->undoStack();
  const bool front = shownView() == _graphicView;
  setEditButtons({{"Undo", front && stack->canUndo()}, {"Redo", front && stack->canRedo()}});
}

void SKTWindowController::Set_Paste_Button_Status() {
  setEditButtons({{"Paste", pasteboardHoldsGraphics()}});
}

void SKTWindowController::Enable_Standard_Button_For_Control() {
  Undo_Redo_Button_state();
  setEditButtons({{"Cut", true},
                  {"Copy", true},
                  {"Paste", pasteboardHoldsGraphics()},
                  {"Delete", true},
                  {"Front", true},
                  {"Back", true},
                  {"Lock", true},
                  {"Unlock", false}});
}

void SKTWindowController::Enable_Standard_Button_For_Unlock() {
  Enable_Standard_Button_For_Control();
}

void SKTWindowController::Disable_Standard_Button_For_Lock() {
  setEditButtons({{"Cut", false},
                  {"Copy", false},
                  {"Paste", false},
                  {"Delete", false},
                  {"Front", false},
                  {"Back", false},
                  {"Lock", false},
                  {"Unlock", true}});
}

void SKTWindowController::Disable_Standard_Button_For_Card() {
  setEditButtons({{"Cut", false},
                  {"Copy", false},
                  {"Paste", pasteboardHoldsGraphics()},
                  {"Delete", false},
                  {"Front", false},
                  {"Back", false},
                  {"Lock", false},
                  {"Unlock", false}});
}

// ---------------------------------------------------------------- zoom steps

void SKTWindowController::zoomIn() {
  for (const auto& entry : zoom::kZoomTable)
    if (entry.factor > _zoomFactor + 1e-9) return setZoomFactor(entry.factor);
}

void SKTWindowController::zoomOut() {
  for (auto it = zoom::kZoomTable.rbegin(); it != zoom::kZoomTable.rend(); ++it)
    if (it->factor < _zoomFactor - 1e-9) return setZoomFactor(it->factor);
}
