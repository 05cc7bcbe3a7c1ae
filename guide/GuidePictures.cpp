// The guide's pictures: drives the real main window and its dialogs under
// the offscreen platform and saves their pictures beside the guide's text.
#include "GuidePictures.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPageLayout>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTabBar>
#include <QTemporaryDir>

#include "GuideStage.h"
#include "barcode/dialog/Barcode_Gen.h"
#include "canvas/SKTZoomingScrollView.h"
#include "core/SKTGraphic.h"
#include "core/SKTText.h"
#include "data/DataSeriesStore.h"
#include "data/dialogs/BatchWizard.h"
#include "data/dialogs/Import_Wizard.h"
#include "mainwindow/globals.h"
#include "mainwindow/panels/CardBackgroundTab.h"
#include "mainwindow/panels/CardSettingsTab.h"
#include "mainwindow/panels/DataSourceTab.h"
#include "mainwindow/panels/TextEditingTab.h"
#include "mainwindow/panels/TextPropertiesTab.h"
#include "mainwindow/tools/WalkSupport.h"
#include "personalisation/Invitation_Wizard.h"
#include "platform/FileHelpers.h"
#include "platform/globals.h"
#include "production/ExportWindow.h"
#include "production/print/Print_Wnd.h"

using namespace walk;

namespace {

// Where a person's resource folder usually is, shown instead of the
// temporary folder the pictures are made with.
const QString kUsualFolder = QStringLiteral("/home/you/.local/share/QUVO/QUVO Gratulo");

// The guide shows its pictures at their size on a screen, as wide as its
// text at most (about 640 pixels): windows and dialogs are pictured at about
// that width, or cut to the part that matters.
const QSize kNarrowWindow(740, 680);

void showTab(SKTWindowController& window, const QString& title) {
  QTabWidget* tabs = window.settingsTabs();
  for (int i = 0; i < tabs->count(); ++i)
    if (tabs->tabText(i) == title) tabs->setCurrentIndex(i);
  settle();
}

// How far the lists and text boxes of a page reach below what they hold
// (a list that scrolls is full).
int emptyRoom(QWidget* page) {
  int room = 0;
  for (const QAbstractItemView* view : page->findChildren<QAbstractItemView*>()) {
    const QAbstractItemModel* model = view->model();
    if (!view->isVisibleTo(page) || model == nullptr || view->verticalScrollBar()->maximum() > 0) continue;
    const int rows = model->rowCount(view->rootIndex());
    const int used = rows == 0 ? 0 : view->visualRect(model->index(rows - 1, 0, view->rootIndex())).bottom();
    room += std::max(0, view->viewport()->height() - used - kCropMargin);
  }
  for (const QPlainTextEdit* edit : page->findChildren<QPlainTextEdit*>()) {
    if (!edit->isVisibleTo(page) || edit->verticalScrollBar()->maximum() > 0) continue;
    QTextCursor end(edit->document());
    end.movePosition(QTextCursor::End);
    // A few lines stay, to show it is a box to write in.
    const int used = std::max(edit->cursorRect(end).bottom(), 0) + 3 * edit->fontMetrics().lineSpacing();
    room += std::max(0, edit->viewport()->height() - used);
  }
  return room;
}

// The settings tabs as tall as their current page asks, its lists and text
// boxes no taller than what they hold, cut just below its last control: a
// long window leaves most of a panel empty.
void shootPanel(QTabWidget* tabs, const QString& name) {
  const int tallest = tabs->maximumHeight();
  QWidget* page = tabs->currentWidget();
  const int snug = tabs->tabBar()->sizeHint().height() + page->sizeHint().height() + 2 * kCropMargin;
  if (snug < tabs->height()) tabs->setMaximumHeight(snug);
  settle();
  tabs->setMaximumHeight(tabs->height() - emptyRoom(page));
  settle();
  shootPart(tabs, QRect(0, 0, tabs->width(), lastControlBottom(tabs) + kCropMargin), name);
  tabs->setMaximumHeight(tallest);
  settle();
}

// A numbered mark on a picture: a dark disc with a white number at
// `badge`, joined by a thin line to `target` unless it lies beside it.
struct Callout {
  int number;
  QPoint badge;
  QPoint target;
};

void drawCallouts(QImage& picture, const QList<Callout>& callouts) {
  constexpr int kRadius = 13;
  const QColor dark(28, 38, 52);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  QFont font = p.font();
  font.setBold(true);
  font.setPixelSize(15);
  p.setFont(font);
  for (Callout c : callouts) {
    // A mark at the picture's edge stays whole.
    c.badge.setY(std::max(c.badge.y(), kRadius + 1));
    if (c.badge != c.target) {
      p.setPen(QPen(dark, 2));
      p.drawLine(c.badge, c.target);
      p.setBrush(dark);
      p.drawEllipse(QPointF(c.target), 3.5, 3.5);
    }
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(dark);
    p.drawEllipse(QPointF(c.badge), kRadius, kRadius);
    p.drawText(QRect(c.badge - QPoint(kRadius, kRadius), QSize(2 * kRadius, 2 * kRadius)), Qt::AlignCenter,
               QString::number(c.number));
  }
}

// A mark just right of a widget's middle.
QPoint rightOf(const QRect& r) {
  return QPoint(r.right() + 24, r.center().y());
}

// The last item of a strip of actions that the window shows: in a window
// too narrow for the whole strip, the button that shows the rest.
QRect lastItemOf(QToolBar* strip, const QWidget* window) {
  const bool down = strip->orientation() == Qt::Vertical;
  QRect last;
  for (const QWidget* item : strip->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    const QRect shown = rectIn(item, window);
    if (item->isVisible() && (down ? shown.bottom() > last.bottom() : shown.right() > last.right()))
      last = shown;
  }
  return last;
}

SKTZoomingScrollView* shownScrollView(SKTWindowController& window) {
  for (SKTZoomingScrollView* view : window.findChildren<SKTZoomingScrollView*>())
    if (view->isVisible()) return view;
  qFatal("no side is shown");
}

// The main window with its parts numbered: the menus, the edit strip, the
// strip of the Card menu's windows, the tools, the side buttons, the card,
// the settings tabs and the zoom box.
void shootWindowWithCallouts(SKTWindowController& window, const QString& name) {
  settle();
  QImage picture = window.grab().toImage();
  QMenuBar* menus = window.menuBar();
  const QRect lastMenu =
      menus->actionGeometry(menus->actions().last()).translated(menus->mapTo(&window, QPoint()));
  const QRect editItem = lastItemOf(window.findChild<QToolBar*>("Edit_Strip"), &window);
  const QRect dialogItem = lastItemOf(window.findChild<QToolBar*>("Dialog_Strip"), &window);
  const QRect toolItem = lastItemOf(window.findChild<QToolBar*>("Tool_Strip"), &window);
  const QLabel* sideLabel = window.findChild<QLabel*>("Front_back_label");
  const QRect sideText = rectIn(sideLabel, &window);
  const QPoint sideMark(sideText.left() + sideLabel->fontMetrics().horizontalAdvance(sideLabel->text()) + 24,
                        sideText.center().y());
  const QRect card = rectIn(window.currentSideView(), &window);
  const QPoint cardEdge(card.right(), card.top() + card.height() / 3);
  const QTabBar* tabBar = window.settingsTabs()->tabBar();
  const QRect lastTab = tabBar->tabRect(tabBar->count() - 1).translated(tabBar->mapTo(&window, QPoint()));
  const QRect zoom = rectIn(shownScrollView(window)->factorPopUpButton(), &window);
  const QPoint zoomTop(zoom.center().x(), zoom.top());
  const QPoint toolMark(toolItem.center().x(), toolItem.bottom() + 28);
  drawCallouts(picture, {{1, rightOf(lastMenu), rightOf(lastMenu)},
                         {2, rightOf(editItem), rightOf(editItem)},
                         {3, rightOf(dialogItem), rightOf(dialogItem)},
                         {4, toolMark, toolMark},
                         {5, sideMark, sideMark},
                         {6, cardEdge + QPoint(48, 0), cardEdge},
                         {7, rightOf(lastTab), rightOf(lastTab)},
                         {8, zoomTop - QPoint(0, 40), zoomTop}});
  const QString path = g_shots + "/" + name + ".png";
  picture.save(path);
  qInfo("screenshot %s", qPrintable(path));
}

SKTGraphicPtr placeText(SKTWindowController& window, const QString& text, const QRectF& bounds, int size) {
  clickTool(window, DrawingTool::Text);
  const SKTGraphicPtr made = window.document()->graphics().front();
  select(window, made);
  TextEditingTab* e = window.textEditingTab();
  e->Text_value_Edit->selectAll();
  QTest::keyClicks(e->Text_value_Edit, text);
  TextPropertiesTab* t = window.textPropertiesTab();
  if (t->Text_fill_chk->isChecked()) t->Text_fill_chk->click();
  if (t->Text_border_chk->isChecked()) t->Text_border_chk->click();
  t->Text_align_combo->setCurrentIndex(t->Text_align_combo->findText(QStringLiteral("Centre")));
  made->setBounds(bounds);
  made->text_ctrl_font.size = size;
  window.graphicView()->update();
  return made;
}

// The start screen and the wizard's step of the title and the message.
void startScreen(WalkHost& host) {
  Invitation_Wizard& wizard = Invitation_Wizard::defaultInstance();
  host.onModal = [&wizard](QDialog& dialog) {
    wizard.APP_path_label->setText(QStringLiteral("Your designs and pictures: %1").arg(kUsualFolder));
    shoot(&dialog, "start-screen");
    wizard.Using_Wizard_Click();
    wizard.OK_Click();
    shoot(&dialog, "wizard-background");
    wizard.imageBrowser->setCurrentIndex(wizard.imageBrowser->model()->index(2, 0));
    if (wizard.next_counter == 2) wizard.OK_Click();
    // The message box takes what height the window has: the step is
    // pictured at the height its fields need.
    const QSize size = dialog.size();
    dialog.resize(size.width(), dialog.minimumSizeHint().height());
    shoot(&dialog, "wizard-title");
    dialog.resize(size);
    dialog.done(0);
  };
  wizard.Open_Wnd();
}

QPushButton* sideButton(SKTWindowController& window, const char* name) {
  return window.findChild<QPushButton*>(QLatin1String(name));
}

// A window made smaller for a closer picture; its size comes back after.
class SmallerWindow {
 public:
  SmallerWindow(QWidget& window, QSize size) : window_(window), size_(window.size()) {
    window.resize(size);
    settle(300);
  }
  ~SmallerWindow() {
    window_.resize(size_);
    settle(300);
  }
  SmallerWindow(const SmallerWindow&) = delete;
  SmallerWindow& operator=(const SmallerWindow&) = delete;

 private:
  QWidget& window_;
  QSize size_;
};

// The window from the side buttons down to the card, and across to the
// card's right edge or, `withTabs`, to the settings tabs at the right.
void shootSideAndCard(SKTWindowController& window, const QString& name, bool withTabs) {
  const QRect buttons = rectIn(sideButton(window, "Front_Card_Btn"), &window) |
                        rectIn(window.findChild<QLabel*>("Front_back_label"), &window);
  const QRect card = rectIn(window.currentSideView(), &window);
  const int right = withTabs ? window.width() - 1 : std::max(buttons.right(), card.right() + 3 * kCropMargin);
  shootPart(&window,
            QRect(QPoint(buttons.left() - kCropMargin, buttons.top() - kCropMargin),
                  QPoint(right, card.bottom() + 3 * kCropMargin)),
            name);
}

// The card's back in a smaller window, cut to the side buttons and the card.
void backSide(SKTWindowController& window) {
  const SmallerWindow smaller(window, QSize(880, 600));
  QTest::mouseClick(sideButton(window, "Back_Card_Btn"), Qt::LeftButton);
  settle(300);
  shootSideAndCard(window, QStringLiteral("window-back"), false);
  QTest::mouseClick(sideButton(window, "Front_Card_Btn"), Qt::LeftButton);
}

// Print: a pre-cut A4 sheet of ten 85 x 54 mm cards, two across and five
// down with 10 mm between the columns, whose first card starts 15 mm from
// the left and 13.5 mm from the top edge. Page Setup's left and top margins
// place the first card; the right and bottom ones only leave room, so they
// are kept small (the printer keeps margins in whole points, and 15 mm on
// the right as well would leave room for one column only).
void printSheet(SKTWindowController& window, WalkHost& host) {
  host.onModal = [](QDialog& dialog) {
    auto& print = static_cast<Print_Wnd&>(dialog);
    dialog.resize(kPrintWindowSize);
    const QPageLayout before = print.printInfo().pageLayout();
    print.printInfo().setPageMargins(QMarginsF(15, 13.5, 5, 5), QPageLayout::Millimeter);
    print.Set_values_From_Printer();
    print.width_Text->setValue(85);
    print.height_Text->setValue(54);
    print.horz_mar_Text->setValue(10);
    print.vert_mar_Text->setValue(0);
    print.Col_Text->setValue(2);
    print.Row_Text->setValue(5);
    print.alignButtons[0]->click();
    if (!print.Show_Margins->isChecked()) print.Show_Margins->click();
    shootPrintSettings(dialog, "print-sheet");
    print.printInfo().setPageLayout(before);
    dialog.done(0);
  };
  window.dialogAction("Print_Button")->trigger();
}

// The shipped birthday card: the window with its parts numbered, its card
// tabs, its back, a text's tabs, a sheet of it to print, and both sides as
// one picture. The window is pictured as narrow as its parts allow, so that
// the picture is read at the size of a screen's (the strip of the Card
// menu's windows then ends in the button that shows the rest).
void birthdayCard(SKTWindowController& window, WalkHost& host) {
  window.Read_and_load_design_Log(Resource_Path() + "/Samples/Birthday.dcard", QStringLiteral("L"));
  window.Card_Prop_Clicked();
  {
    const SmallerWindow smaller(window, kNarrowWindow);
    window.setZoomFactor(1.0);
    shootWindowWithCallouts(window, "window");
  }
  window.setZoomFactor(1.5);
  shootPanel(window.settingsTabs(), "tab-card");
  window.settingsTabs()->setCurrentWidget(window.card_bkgd_tab);
  shootPanel(window.settingsTabs(), "tab-background");
  backSide(window);
  for (const SKTGraphicPtr& g : window.document()->graphics())
    if (g->kind() == GraphicKind::Text) {
      select(window, g);
      break;
    }
  showTab(window, QStringLiteral("Text"));
  shootPanel(window.settingsTabs(), "tab-text");
  showTab(window, QStringLiteral("Text Properties"));
  shootPanel(window.settingsTabs(), "tab-text-properties");
  window.Card_Prop_Clicked();
  printSheet(window, host);
  // Card > Export…: both sides in one picture.
  host.onModal = [](QDialog& dialog) {
    auto& exportWindow = static_cast<ExportWindow&>(dialog);
    exportWindow.matrix_export_card_side->button(0)->click();
    exportWindow.export_combined_image_chk->setChecked(true);
    exportWindow.saveDPIText->setCurrentIndex(1);  // 150
    dialog.done(1);
  };
  host.saveAnswer = g_shots + "/card-birthday.png";
  window.dialogAction("Export_Button")->trigger();
  settle(300);
}

// A badge for a guest list: a name and a QR Code from the series "Guests".
void badge(SKTWindowController& window, WalkHost& host) {
  window.New_Btn_Clicked();
  CardSettingsTab* g = window.cardSettingsTab();
  g->card_name->setText(QStringLiteral("Guest badge"));
  QTest::keyClick(g->card_name, Qt::Key_Return);
  g->width_Text->setText(QStringLiteral("90"));
  g->height_Text->setText(QStringLiteral("60"));
  QTest::mouseClick(g->Apply_Size_btn, Qt::LeftButton);
  CardBackgroundTab* b = window.cardBackgroundTab();
  b->Card_fill_chk->click();
  b->Card_gradient_fill_rd->click();
  b->Card_fill_Grd_1_clr->chooseColor(QColor(225, 240, 255));
  b->Card_fill_Grd_2_clr->chooseColor(QColor(160, 200, 240));
  window.setZoomFactor(2.0);

  placeText(window, QStringLiteral("Summer Meeting 2026"), QRectF(10, 10, 235, 28), 16);
  const SKTGraphicPtr name = placeText(window, QStringLiteral("Guest name"), QRectF(10, 70, 150, 30), 18);
  // The name takes its value from the series through the Text Source tab.
  select(window, name);
  showTab(window, QStringLiteral("Text Source"));
  DataSourceTab* d = window.dataSourceTab();
  d->Data_source_type->setCurrentIndex(1);
  d->Batch_Series->setCurrentIndex(d->Batch_Series->findText(QStringLiteral("Guests")));
  settle();

  // A QR Code of the guest's name, made in the barcode designer.
  clickTool(window, DrawingTool::Barcode);
  const SKTGraphicPtr code = window.document()->graphics().front();
  code->setBounds(QRectF(165, 50, 80, 80));
  select(window, code);
  host.onModal = [](QDialog& dialog) {
    auto& designer = static_cast<Barcode_Gen&>(dialog);
    dialog.resize(820, 440);
    designer.barcodeTypePopup->setCurrentIndex(
        designer.barcodeTypePopup->findText(QStringLiteral("QR Code")));
    designer.hideHeaderCheckbox->setChecked(true);
    designer.hideFooterCheckbox->setChecked(true);
    designer.Data_source_type->setCurrentIndex(1);
    emit designer.Data_source_type->activated(1);
    const int guests = designer.Batch_Series->findText(QStringLiteral("Guests"));
    designer.Batch_Series->setCurrentIndex(guests);
    emit designer.Batch_Series->activated(guests);
    shootDesignerSettings(dialog, "barcode-designer");
    designer.sett_tab->setCurrentWidget(designer.dpi_tab_item);
    shootDesignerSettings(dialog, "barcode-resolution");
    designer.sett_tab->setCurrentIndex(0);
    designer.ok_button->click();
  };
  window.Open_Barcode_Window();
  settle();
  select(window, name);
  showTab(window, QStringLiteral("Text Source"));
  {
    // The card and the tab beside it.
    const SmallerWindow smaller(window, QSize(kNarrowWindow.width(), 540));
    window.setZoomFactor(1.0);
    shootSideAndCard(window, QStringLiteral("window-data-source"), true);
    window.setZoomFactor(2.0);
  }
  select(window, name);
  window.Card_Prop_Clicked();

  // Card > Export…: one card per guest, into a folder.
  const QTemporaryDir out;
  const QString folder = out.path();
  host.onModal = [](QDialog& dialog) {
    auto& exportWindow = static_cast<ExportWindow&>(dialog);
    exportWindow.saveDPIText->setCurrentIndex(1);  // 150
    shoot(&dialog, "export-window");
    dialog.done(1);
  };
  host.openAnswers = {folder};
  window.dialogAction("Export_Button")->trigger();
  const QString last = folder + "/QUVO Gratulo/Card_3.PNG";
  if (!QTest::qWaitFor([&] { return QFileInfo::exists(last); }, 60000)) qFatal("the badges were not written");
  settle(500);
  QImage row;
  for (int i = 1; i <= 3; ++i) {
    const QImage card(QStringLiteral("%1/QUVO Gratulo/Card_%2.PNG").arg(folder).arg(i));
    if (row.isNull()) {
      row = QImage(card.width() * 3 + 40, card.height(), QImage::Format_ARGB32);
      row.fill(Qt::white);
    }
    QPainter(&row).drawImage((card.width() + 20) * (i - 1), 0, card);
  }
  row.save(g_shots + "/cards-badges.png");
}

// The dialogs of the Card menu, each pictured as it opens.
void dialogs(SKTWindowController& window, WalkHost& host) {
  auto shootModal = [&host](const QString& name, QSize size = {}) {
    host.onModal = [name, size](QDialog& dialog) {
      if (size.isValid()) dialog.resize(size);
      shoot(&dialog, name);
      dialog.done(0);
    };
  };
  shootModal(QStringLiteral("series-manager"), QSize(600, 250));
  window.dialogAction("Batch_Series_Button")->trigger();
  shootModal(QStringLiteral("import-list"));
  window.dialogAction("Import_Wizard_Button")->trigger();
  shootModal(QStringLiteral("create-series"));
  window.dialogAction("Create_Series_Button")->trigger();
  // Print: two columns of five badges on the sheet.
  host.onModal = [](QDialog& dialog) {
    auto& print = static_cast<Print_Wnd&>(dialog);
    dialog.resize(kPrintWindowSize);
    print.Col_Text->setValue(2);
    print.Row_Text->setValue(5);
    print.horz_mar_Text->setValue(5);
    print.vert_mar_Text->setValue(5);
    print.Auto_Center_chk_bx->click();
    shootPrintSettings(dialog, "print-window");
    dialog.done(0);
  };
  window.dialogAction("Print_Button")->trigger();
  shootModal(QStringLiteral("mail-window"));
  window.dialogAction("Mail_Button")->trigger();
  host.onModal = [](QDialog& dialog) {
    shootProfileFields(dialog, QStringLiteral("user-profile"));
    dialog.done(0);
  };
  window.dialogAction("User_Profile_Button_Clicked")->trigger();
  shootModal(QStringLiteral("templates"), QSize(640, 340));
  window.dialogAction("Template_Browser_Clicked")->trigger();
  shootModal(QStringLiteral("help-window"));
  window.dialogAction("Help_Button")->trigger();
  settle(300);
}

}  // namespace

void makePictures(const QString& pictures) {
  const QTemporaryDir home;
  seedGuideResources(home);
  DataSeriesStore().writeSeries(QStringLiteral("Guests"),
                                {QStringLiteral("Ada Lovelace"), QStringLiteral("Grace Hopper"),
                                 QStringLiteral("Alan Turing"), QStringLiteral("Edsger Dijkstra")});
  g_shots = pictures;
  QDir().mkpath(pictures);
  WalkHost host;
  platform::ScopedMessageHost scoped(host);
  SKTWindowController window;
  showGuideWindow(window);
  startScreen(host);
  birthdayCard(window, host);
  badge(window, host);
  dialogs(window, host);
}
