#include "mainwindow/SKTWindowController.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QToolBar>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <set>

#include "barcode/SpreadChoice.h"
#include "barcode/designer/CardBarcodePicture.h"
#include "barcode/globals.h"
#include "canvas/ZoomGeometry.h"
#include "core/globals.h"
#include "core/render/CardBackground.h"
#include "core/render/PaintStyle.h"
#include "data/DataSourceTable.h"
#include "mainwindow/AuxWindows.h"
#include "mainwindow/BarcodeEditing.h"
#include "mainwindow/CardSizes.h"
#include "mainwindow/PanelEdits.h"
#include "mainwindow/SeriesBindings.h"
#include "mainwindow/ShownObjectWatch.h"
#include "mainwindow/WindowDesignHost.h"
#include "mainwindow/globals.h"
#include "personalisation/ProfileHost.h"
#include "personalisation/UserProfiles.h"
#include "platform/FileHelpers.h"
#include "platform/MessageHost.h"
#include "platform/Messages.h"
#include "platform/StringHelpers.h"
#include "platform/globals.h"
#include "platform/widgets/Controls.h"
#include "platform/widgets/DialogLook.h"
#include "production/Preferences.h"
#include "production/globals.h"

SKTWindowController* Main_App_wnd = nullptr;

namespace {
SKTWindowController* app_DefaultInstance = nullptr;
// The last placement point of new objects.
float last_ctrl_X = 10.0f;
float last_ctrl_Y = 10.0f;
// Placement of new objects: each one steps right and down by the number of
// objects on the side (at least kPlacementMinStep) and starts again at
// kPlacementStart when it would come within kPlacementMargin of the far edge.
constexpr float kPlacementStart = 10.0f;
constexpr float kPlacementMinStep = 20.0f;
constexpr float kPlacementMargin = 50.0f;
// The window's first place and size on screen.
constexpr QPoint kWindowPosition(100, 0);
constexpr QSize kWindowSize(1000, 800);
// The window's first place and size, kept within the screen's free area:
// on a small screen (1366 x 768, 1280 x 720) the window is shrunk and moved
// so that its bottom (the zoom, the scroll bars, the print check box) and
// its title bar stay on screen.
QRect firstPlaceOnScreen(const QWidget& window) {
  QRect place(kWindowPosition, kWindowSize);
  const QRect room = platform::screenRoom(window);
  if (room.isEmpty()) return place;
  place.setSize(place.size()
                    .boundedTo(room.size() - platform::kWindowFrameAllowance)
                    .expandedTo(window.minimumSizeHint()));
  const QSize framed = place.size() + platform::kWindowFrameAllowance;
  place.moveLeft(
      std::clamp(place.left(), room.left(), std::max(room.left(), room.right() + 1 - framed.width())));
  place.moveTop(
      std::clamp(place.top(), room.top(), std::max(room.top(), room.bottom() + 1 - framed.height())));
  return place;
}

const QString kOpenQuestion = QStringLiteral("Do you want to save changes before opening document?");
const QString kCloseQuestion = QStringLiteral("Do you want to save changes before closing?");
}  // namespace

SKTWindowController* SKTWindowController::defaultInstance() {
  return app_DefaultInstance;
}

SKTWindowController::SKTWindowController(QWidget* parent)
    : QMainWindow(parent),
      _document(std::make_unique<SKTDocument>(this)),
      _designHost(std::make_unique<WindowDesignHost>(*this)),
      _shownObjectWatch(std::make_unique<ShownObjectWatch>([this] { followShownObject(); })) {
  _grid = new SKTGrid(this);
  Back_card_Prop.Card_Side_Name = QStringLiteral("B");
  // The spreadsheet data-source table lives as long as the program; it is
  // made here, on the GUI thread, before anything reads it.
  Data_From_Excel_Table();
  app_DefaultInstance = this;
  Main_App_wnd = this;
  setCardHost(this);
  installSeriesBindings(*this);
  installPersonalisation();
  // The saved mail account is in force before any mail can be sent (without
  // a saved one the account stays empty and no file is made yet).
  if (QFileInfo::exists(Resource_Path() + QLatin1Char('/') + QLatin1String(kMailSettingsFileName)))
    Get_Email_Details();
  // The barcode designer's spread choice the user last accepted, before anything is drawn.
  barcode::loadSpreadChoice();
  setWindowTitle(QStringLiteral("QUVO Gratulo"));
  setAccessibleName(QStringLiteral("QUVO Gratulo"));
  _allTextFont = CardFont{Text_Ctrl_Font.get(), 14.0};
  loadSamplePictures();
  buildWindow();
  buildToolStrips();
  buildMenus();
  buildDialogButtons();
  followEditState();
  connectCardControls();
  connectObjectControls();
  const QRect place = firstPlaceOnScreen(*this);
  resize(place.size());
  move(place.topLeft());
  snapshotPageSettings();
  SetDocumentCanvasSize(SKTDocument::canvasSize(true, {}));
  setZoomFactor(1.0);
  Load_and_fill_backgrounds();
  for (auto signal : {&QUndoStack::canUndoChanged, &QUndoStack::canRedoChanged})
    connect(_document->undoStack(), signal, this, [this] { Undo_Redo_Button_state(); });
  New_Project();
}

SKTWindowController::~SKTWindowController() {
  // The document outlives the window's own members: it must no longer call back.
  disconnect(_document->undoStack(), nullptr, this, nullptr);
  // The canvases and the tabs stop observing before the document and its graphics go.
  _shownObjectWatch->watch(nullptr);
  for (SKTGraphicView* view : {_graphicView.data(), _graphicView_BACK.data(), _graphicView_TEMP.data()})
    if (view) view->unbindGraphics();
  setCardHost(nullptr);
  uninstallPersonalisation();
  if (Main_App_wnd == this) Main_App_wnd = nullptr;
  if (app_DefaultInstance == this) app_DefaultInstance = nullptr;
}

void SKTWindowController::buildWindow() {
  setStyleSheet(QStringLiteral("QMainWindow { background: rgb(241, 244, 250); }"));
  auto* central = new QWidget;
  auto* outer = new QHBoxLayout(central);
  outer->setContentsMargins(6, 6, 6, 6);
  auto* layout = new QVBoxLayout;
  outer->addLayout(layout, 1);

  auto* sideBar = new QHBoxLayout;
  auto* front = new QPushButton(tr("Front"));
  auto* back = new QPushButton(tr("Back"));
  auto* temp = new QPushButton(tr("TEMP"));
  front->setObjectName(QStringLiteral("Front_Card_Btn"));
  back->setObjectName(QStringLiteral("Back_Card_Btn"));
  temp->setObjectName(QStringLiteral("Temp_Card_Btn"));
  front->setAccessibleName(tr("Front side"));
  back->setAccessibleName(tr("Back side"));
  temp->setAccessibleName(tr("Scratch side"));
  _backSideButton = back;
  connect(front, &QPushButton::clicked, this, &SKTWindowController::Select_front_side);
  connect(back, &QPushButton::clicked, this, &SKTWindowController::Select_back_side);
  connect(temp, &QPushButton::clicked, this, [this] {
    Select_temp_design_side();
    Temp_Design_Control_Assign();
  });
  _frontBackLabel = new QLabel;
  _frontBackLabel->setObjectName(QStringLiteral("Front_back_label"));
  _frontBackLabel->setAccessibleName(tr("Side shown"));
  QFont bold = _frontBackLabel->font();
  bold.setBold(true);
  _frontBackLabel->setFont(bold);
  sideBar->addWidget(front);
  sideBar->addWidget(back);
  sideBar->addWidget(temp);
  sideBar->addSpacing(12);
  sideBar->addWidget(_frontBackLabel);
  sideBar->addStretch(1);
  layout->addLayout(sideBar);

  _sideStack = new QStackedWidget;
  struct Side {
    QPointer<SKTGraphicView>* view;
    QPointer<SKTZoomingScrollView>* scroll;
    const char* binding;
    CardSide side;
  };
  const Side sides[] = {
      {&_graphicView, &_scrollFront, SKTGraphicViewGraphicsBindingName, CardSide::Front},
      {&_graphicView_BACK, &_scrollBack, SKTGraphicViewGraphicsBindingName_back, CardSide::Back},
      {&_graphicView_TEMP, &_scrollTemp, SKTGraphicViewGraphicsBindingName_temp, CardSide::Temp}};
  for (const Side& s : sides) {
    auto* scroll = new SKTZoomingScrollView;
    auto* view = new SKTGraphicView(*this);
    static const char* const names[] = {"Front canvas", "Back canvas", "Scratch canvas"};
    static const char* const areas[] = {"Front side", "Back side", "Scratch side"};
    view->setAccessibleName(tr(names[static_cast<int>(s.side)]));
    scroll->setAccessibleName(tr(areas[static_cast<int>(s.side)]));
    scroll->clipView()->setCardShapeProvider([] { return Card_Shape.load(); });
    scroll->setDocumentView(view, view);
    view->bindGraphics(QString::fromLatin1(s.binding), _document.get(), s.side);
    view->setGrid(_grid);
    connect(scroll, &SKTZoomingScrollView::factorChosen, this, &SKTWindowController::setZoomFactor);
    *s.view = view;
    *s.scroll = scroll;
    _sideStack->addWidget(scroll);
  }
  layout->addWidget(_sideStack, 1);
  buildSettingsTabs();
  auto* sideColumn = new QVBoxLayout;
  sideColumn->addWidget(sett_tab, 1);
  sideColumn->addWidget(print_object_chk);
  outer->addLayout(sideColumn);
  setCentralWidget(central);
}

void SKTWindowController::buildMenus() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  QAction* newDesign = file->addAction(tr("&New"), this, &SKTWindowController::New_Btn_Clicked);
  newDesign->setShortcut(QKeySequence::New);
  QAction* open = file->addAction(tr("&Open…"), this, &SKTWindowController::Open_Btn_Clicked);
  open->setShortcut(QKeySequence::Open);
  QAction* save = file->addAction(tr("&Save"), this, &SKTWindowController::Save_Btn_Clicked);
  save->setShortcut(QKeySequence::Save);
  QAction* saveAs = file->addAction(tr("Save &As…"), this, &SKTWindowController::SaveAs_Btn_Clicked);
  saveAs->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)});
  // Export, Print and E-mail join the File menu here once they are made.
  file->addSeparator()->setObjectName(QStringLiteral("File_Production_Place"));
  QAction* quit = file->addAction(tr("&Quit"), this, &QWidget::close);
  // Ctrl+Q on every desktop, also where the platform names no quit keys.
  QList<QKeySequence> quitKeys = QKeySequence::keyBindings(QKeySequence::Quit);
  if (!quitKeys.contains(QKeySequence(Qt::CTRL | Qt::Key_Q)))
    quitKeys.prepend(QKeySequence(Qt::CTRL | Qt::Key_Q));
  quit->setShortcuts(quitKeys);
  quit->setMenuRole(QAction::QuitRole);

  buildEditMenu(menuBar()->addMenu(tr("&Edit")));

  // The drawing tools once more, for those who work from the keyboard: each
  // item is the tool strip's own action.
  QMenu* insert = menuBar()->addMenu(tr("&Insert"));
  for (int tool = 1; tool < kToolCount; ++tool) insert->addAction(_toolActions.value(tool));

  QMenu* view = menuBar()->addMenu(tr("&View"));
  QAction* zoomInAction = view->addAction(tr("Zoom &In"), this, &SKTWindowController::zoomIn);
  zoomInAction->setShortcuts(QKeySequence::keyBindings(QKeySequence::ZoomIn)
                             << QKeySequence(Qt::CTRL | Qt::Key_Equal));
  QAction* zoomOutAction = view->addAction(tr("Zoom &Out"), this, &SKTWindowController::zoomOut);
  zoomOutAction->setShortcuts(QKeySequence::ZoomOut);
  QMenu* zoom = view->addMenu(tr("&Zoom"));
  auto* group = new QActionGroup(this);
  for (const auto& entry : zoom::kZoomTable) {
    QAction* action = zoom->addAction(QCoreApplication::translate("SKTZoomingScrollView", entry.label));
    action->setCheckable(true);
    action->setData(entry.factor);
    if (entry.factor == 1.0) action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));  // actual size
    group->addAction(action);
    const double factor = entry.factor;
    connect(action, &QAction::triggered, this, [this, factor] { setZoomFactor(factor); });
    _zoomActions << action;
  }
  view->addSeparator();
  QAction* showGrid = _showGridAction = view->addAction(tr("Show &Grid"));
  showGrid->setCheckable(true);
  connect(showGrid, &QAction::toggled, _grid, &SKTGrid::setAlwaysShown);
  connect(_grid, &SKTGrid::alwaysShownChanged, showGrid, &QAction::setChecked);
  QAction* snap = _snapAction = view->addAction(tr("S&nap to Grid"));
  snap->setCheckable(true);
  connect(snap, &QAction::toggled, _grid, &SKTGrid::setConstraining);
  view->addAction(tr("Grid &Settings…"), this, &SKTWindowController::toggleGridShowing);
  QAction* rulers = view->addAction(tr("Show &Rulers"));
  rulers->setCheckable(true);
  connect(rulers, &QAction::toggled, this, &SKTWindowController::Show_Hide_Ruler_ChkBox);
  QMenu* side = menuBar()->addMenu(tr("&Side"));
  connect(side->addAction(tr("&Front")), &QAction::triggered, this, &SKTWindowController::Select_front_side);
  QAction* backSide = side->addAction(tr("&Back"));
  backSide->setObjectName(QStringLiteral("Back_Side_Action"));  // off with the Back button
  connect(backSide, &QAction::triggered, this, &SKTWindowController::Select_back_side);
  connect(side->addAction(tr("&TEMP")), &QAction::triggered, this, [this] {
    Select_temp_design_side();
    Temp_Design_Control_Assign();
  });
}

void SKTWindowController::Show_Hide_Ruler_ChkBox(bool show) {
  for (SKTZoomingScrollView* scroll : {_scrollFront.data(), _scrollBack.data(), _scrollTemp.data()})
    scroll->setRulersVisible(show);
}

SKTZoomingScrollView* SKTWindowController::scrollView(CardSide side) const {
  switch (side) {
    case CardSide::Back:
      return _scrollBack;
    case CardSide::Temp:
      return _scrollTemp;
    default:
      return _scrollFront;
  }
}

SKTGraphicView* SKTWindowController::currentSideView() const {
  return Card_Front_Or_Back.load() == 1 ? _graphicView_BACK : _graphicView;
}

SKTGraphicView* SKTWindowController::shownView() const {
  switch (_sideStack ? _sideStack->currentIndex() : 0) {
    case 1:
      return _graphicView_BACK;
    case 2:
      return _graphicView_TEMP;
    default:
      return _graphicView;
  }
}

Card_Property& SKTWindowController::currentCardProp() {
  return Card_Front_Or_Back.load() == 0 ? Front_card_Prop : Back_card_Prop;
}

// ---------------------------------------------------------------- card host

void SKTWindowController::Refresh_Canvas() {
  // Only the GUI thread marks views; a refresh asked while a graphic is being
  // drawn (every kind asks after drawing itself) must not schedule another
  // paint, or the canvas would repaint without end.
  if (QThread::currentThread() != thread()) return;
  snapshotPageSettings();
  if (render::isDrawing()) return;
  SKTGraphicView* view = currentSideView();
  if (view) view->update();
}

void SKTWindowController::Card_Base_Drawing(QPainter& painter, const QRectF& rect) {
  if (QThread::currentThread() != thread()) {
    // A worker paints from the copy of the current side's settings taken on
    // the GUI thread; the window's records belong to the GUI thread.
    Card_Property page;
    {
      std::lock_guard lock(_pageSnapshotMutex);
      page = Card_Front_Or_Back.load() == 0 ? _frontSnapshot : _backSnapshot;
    }
    card_background::Card_Base_Drawing(painter, rect,
                                       {&page, Card_Shape.load(), frontCanvasBounds(), Resource_Path()});
    return;
  }
  snapshotPageSettings();
  card_background::Card_Base_Drawing(
      painter, rect, {&currentCardProp(), Card_Shape.load(), frontCanvasBounds(), Resource_Path()});
}

void SKTWindowController::Open_Barcode_Window() {
  const bool spreadBefore = Spread_Barcode_Value_Text.load();
  // The front side's changes are undoable; the back side's are not.
  barcode_editing::openDesigner(currentSideView(), print_object_chk->isChecked() ? 1 : 0,
                                Card_Front_Or_Back.load() == 1 ? nullptr : &_document->undoRecorder());
  if (Spread_Barcode_Value_Text.load() != spreadBefore) Redraw_Barcode_Captions();
}

void SKTWindowController::Redraw_Barcode_Captions() {
  // The temp side shows objects of the other sides: each object is drawn once.
  SKTGraphicList objects;
  std::set<const SKTGraphic*> seen;
  for (CardSide side : {CardSide::Front, CardSide::Back, CardSide::Temp})
    for (const SKTGraphicPtr& g : _document->graphicsOfSide(side))
      if (g && seen.insert(g.get()).second) objects.push_back(g);
  if (barcode::redrawSpreadCaptions(objects) == 0) return;
  for (SKTGraphicView* view : {_graphicView.data(), _graphicView_BACK.data(), _graphicView_TEMP.data()})
    if (view) view->update();
}

QPointF SKTWindowController::Control_New_Point(const QString& side) {
  QPointF result(10.0, 10.0);
  const SKTGraphicList& list =
      side == QLatin1String("F") ? _document->graphics() : _document->graphics_back();
  float step = static_cast<float>(list.size());
  if (step < kPlacementMinStep) step = kPlacementMinStep;
  float x = last_ctrl_X + step, y = last_ctrl_Y + step;
  const QRectF limits = frontCanvasBounds();
  if (x + kPlacementMargin >= limits.width()) x = last_ctrl_X = kPlacementStart;
  if (y + kPlacementMargin >= limits.height()) y = last_ctrl_Y = kPlacementStart;
  last_ctrl_X = x;
  last_ctrl_Y = y;
  result = QPointF(x, y);
  return result;
}

QString SKTWindowController::Resource_Path() {
  return ::Resource_Path();
}

QRectF SKTWindowController::frontCanvasBounds() {
  std::lock_guard lock(_canvasBoundsMutex);
  return _canvasBounds;
}

int SKTWindowController::Get_OS_Version() {
  return QT_VERSION_MAJOR * 1000 + QT_VERSION_MINOR;
}

void SKTWindowController::snapshotPageSettings() {
  std::lock_guard lock(_pageSnapshotMutex);
  _frontSnapshot = Front_card_Prop;  // pictures are shared, not copied, until one side changes them
  _backSnapshot = Back_card_Prop;
}

SidePaintContext SKTWindowController::sidePaintContext(CardSide side) const {
  const Card_Property& page = side == CardSide::Back ? Back_card_Prop : Front_card_Prop;
  QSizeF size;
  {
    std::lock_guard lock(_canvasBoundsMutex);
    size = _canvasBounds.size();
  }
  return sidePaintContextForPage(page, Card_Shape.load(), size, ::Resource_Path());
}

CardSnapshot SKTWindowController::cardSnapshot() const {
  return CardSnapshot::take(_document->graphics(), _document->graphics_back(),
                            sidePaintContext(CardSide::Front), sidePaintContext(CardSide::Back));
}

// ---------------------------------------------------------------- size, zoom, sides

void SKTWindowController::SetDocumentCanvasSize(const QSizeF& size) {
  for (SKTGraphicView* view : {_graphicView.data(), _graphicView_BACK.data(), _graphicView_TEMP.data()})
    view->setFrameSizePoints({0, 0});
  Refresh_Canvas();
  for (SKTGraphicView* view : {_graphicView.data(), _graphicView_BACK.data(), _graphicView_TEMP.data()})
    view->setFrameSizePoints(size);
  {
    std::lock_guard lock(_canvasBoundsMutex);
    _canvasBounds = _graphicView->bounds();
  }
  if (_cardSettings)
    Set_Card_Size_In_Control(Points_to_MM_Convert(static_cast<float>(size.width())),
                             Points_to_MM_Convert(static_cast<float>(size.height())));
  Refresh_Canvas();
}

void SKTWindowController::setZoomFactor(double factor) {
  if (!(factor > 0) || !std::isfinite(factor)) return;
  _zoomFactor = factor;
  for (SKTZoomingScrollView* scroll : {_scrollFront.data(), _scrollBack.data(), _scrollTemp.data()})
    scroll->setFactor(factor);
  for (QAction* action : _zoomActions) action->setChecked(action->data().toDouble() == factor);
}

void SKTWindowController::changeViewController(int index) {
  _sideStack->setCurrentIndex(index);
  shownView()->update();
  Undo_Redo_Button_state();
}

void SKTWindowController::Select_front_side() {
  _frontBackLabel->setText(QStringLiteral("Front"));
  Card_Front_Or_Back = 0;
  changeViewController(0);
  Show_RHS_Properties(nullptr);
}

void SKTWindowController::Select_back_side() {
  _frontBackLabel->setText(QStringLiteral("Back"));
  Card_Front_Or_Back = 1;
  changeViewController(1);
  Show_RHS_Properties(nullptr);
}

void SKTWindowController::Select_temp_design_side() {
  _frontBackLabel->setText(QStringLiteral("TEMP"));
  changeViewController(2);
  Show_RHS_Properties(nullptr);
}

void SKTWindowController::Temp_Design_Control_Assign() {
  const CardSide from = Card_Front_Or_Back.load() == 1 ? CardSide::Back : CardSide::Front;
  _graphicView_TEMP->changeSelectionIndexes({});
  _document->setGraphicsOfSide(CardSide::Temp, _document->graphicsOfSide(from));
  _graphicView_TEMP->update();
}

// ---------------------------------------------------------------- new project and design file

void SKTWindowController::New_Project_Setting_Reset() {
  ScopedNotDrawOnlyPropChange resetting;
  // Card objects copied from the previous design are forgotten; what another
  // program put on the clipboard stays the user's.
  if (QClipboard* clipboard = QGuiApplication::clipboard()) {
    const QMimeData* data = clipboard->mimeData();
    if (data != nullptr && data->hasFormat(QLatin1String(SKTGraphicViewPasteboardType))) clipboard->clear();
  }
  Check_Path_And_Create_Files();
  _grid->setAlwaysShown(false);
  if (_showGridAction) _showGridAction->setChecked(false);
  for (SKTGraphicView* view : {_graphicView.data(), _graphicView_BACK.data()})
    view->changeSelectionIndexes({});
  _document->Clear_All_Undo_Redo();
  last_ctrl_X = kPlacementStart;
  last_ctrl_Y = kPlacementStart;
  User_Profiles().New_Project_Setting_Reset();
  Project_File_Name.clear();
  {
    std::lock_guard lock(_contentMutex);
    _allTextFont = CardFont{Text_Ctrl_Font.get(), 14.0};
    _allTextColor = Qt::black;
  }
  rememberContentSnapshot();
  // Both sides start alike: a thin black border, no fill, the card texts'
  // colour and font.
  for (Card_Property* page : {&Front_card_Prop, &Back_card_Prop}) {
    *page = Card_Property();
    page->Card_border_chk = true;
    page->Card_Content_clr = All_Text_clr();
    page->Card_Content_font = All_Text_font();
  }
  Back_card_Prop.Card_Side_Name = QStringLiteral("B");
  Select_front_side();
  card_prop_set(QStringLiteral("S"));
  Set_Log_Name_In_Title();
  _graphicView->delete_all_control();
  _graphicView_BACK->delete_all_control();
  snapshotPageSettings();
  Undo_Redo_Button_state();
}

void SKTWindowController::New_Project() {
  try {
    New_Project_Setting_Reset();
    Show_RHS_Properties(nullptr);
    Refresh_Canvas();
    Open_Start_Window();
  } catch (const std::exception& e) {
    qCWarning(lcMainWindow).noquote() << QString::fromUtf8(e.what());
  }
}

void SKTWindowController::New_Btn_Clicked() {
  try {
    // A design the user wanted saved but that was not written (panel
    // cancelled, write failed) is kept, as Open keeps it.
    if (Show_YES_NO_MessageBox(QStringLiteral("Do you want to save changes before opening new document?")) &&
        !Save_project_file(false, true))
      return;
    New_Project();
    Undo_Redo_Button_state();
  } catch (const std::exception& e) {
    qCWarning(lcMainWindow).noquote() << QString::fromUtf8(e.what());
  }
}

designfile::DesignHost& SKTWindowController::designHost() {
  return *_designHost;
}

bool SKTWindowController::Save_project_file(bool save_as, bool show_msg) {
  // A name or number still being typed is part of the design the person saves.
  commitFocusedEdit(this);
  return designfile::Save_project_file(*_designHost, save_as, show_msg);
}

int SKTWindowController::Read_and_load_design_Log(const QString& path, const QString& log_or_template) {
  return designfile::Read_and_load_design_Log(*_designHost, path, log_or_template);
}

int SKTWindowController::Open_Log_File() {
  return designfile::Open_Log_File(*_designHost);
}

void SKTWindowController::Set_Log_Name_In_Title() {
  designfile::Set_Log_Name_In_Title(*_designHost);
}

void SKTWindowController::Save_Btn_Clicked() {
  try {
    Save_project_file(false, true);
  } catch (const std::exception& e) {
    qCWarning(lcMainWindow).noquote() << QString::fromUtf8(e.what());
  }
}

void SKTWindowController::SaveAs_Btn_Clicked() {
  try {
    Save_project_file(true, true);
  } catch (const std::exception& e) {
    qCWarning(lcMainWindow).noquote() << QString::fromUtf8(e.what());
  }
}

void SKTWindowController::Open_Btn_Clicked() {
  try {
    int loaded = 0;
    {
      ScopedNotDrawOnlyPropChange opening;
      // A design the user wanted saved but that was not written (panel
      // cancelled, write failed) is not thrown away by the reset below.
      if (Show_YES_NO_MessageBox(kOpenQuestion) && !Save_project_file(false, true)) return;
      // The design is reset by the reader, and only once a file was chosen and
      // read completely: a cancelled panel or a damaged file leaves it as it was.
      loaded = Open_Log_File();
    }
    // The tabs show the opened card, not what was selected before.
    if (loaded == 1) Show_RHS_Properties(nullptr);
    Undo_Redo_Button_state();
  } catch (const std::exception& e) {
    qCWarning(lcMainWindow).noquote() << QString::fromUtf8(e.what());
  }
}

bool SKTWindowController::Exit_App() {
  try {
    using Answer = platform::MessageHost::Answer;
    const Answer answer = platform::messageHost().askYesNoCancel(kCloseQuestion);
    if (answer == Answer::Cancel) return false;
    // The user asked for the design to be saved and it was not: the window
    // stays open. The save has said why, once.
    if (answer == Answer::Yes && !Save_project_file(false, false)) return false;
  } catch (const std::exception& e) {
    qCWarning(lcMainWindow).noquote() << QString::fromUtf8(e.what());
  }
  openReviewRequest(this);
  platform::messageHost().exitProcess(0);
  return true;
}

void SKTWindowController::closeEvent(QCloseEvent* event) {
  if (Exit_App())
    event->accept();
  else
    event->ignore();
}

void SKTWindowController::setCardBackgroundImage(CardSide side, const QImage& picture) {
  (side == CardSide::Back ? Back_card_Prop : Front_card_Prop).Card_BG_Image = picture;
  snapshotPageSettings();
  if (SKTGraphicView* view = side == CardSide::Back ? _graphicView_BACK.data() : _graphicView.data())
    view->update();
}
