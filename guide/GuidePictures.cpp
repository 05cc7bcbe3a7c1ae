// The guide's pictures: drives the real main window and its dialogs under
// the offscreen platform and saves their pictures beside the guide's text.
#include "GuidePictures.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include "barcode/dialog/Barcode_Gen.h"
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

void showTab(SKTWindowController& window, const QString& title) {
  QTabWidget* tabs = window.settingsTabs();
  for (int i = 0; i < tabs->count(); ++i)
    if (tabs->tabText(i) == title) tabs->setCurrentIndex(i);
  settle();
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
    wizard.imageBrowser->setCurrentIndex(wizard.imageBrowser->model()->index(2, 0));
    if (wizard.next_counter == 2) wizard.OK_Click();
    shoot(&dialog, "wizard-title");
    dialog.done(0);
  };
  wizard.Open_Wnd();
}

// The shipped birthday card: the window with its card tabs, a text's tabs,
// and both sides as one picture.
void birthdayCard(SKTWindowController& window, WalkHost& host) {
  window.Read_and_load_design_Log(Resource_Path() + "/Samples/Birthday.dcard", QStringLiteral("L"));
  window.setZoomFactor(1.5);
  window.Card_Prop_Clicked();
  shoot(&window, "window");
  shoot(window.settingsTabs(), "tab-card");
  window.settingsTabs()->setCurrentWidget(window.card_bkgd_tab);
  shoot(window.settingsTabs(), "tab-background");
  for (const SKTGraphicPtr& g : window.document()->graphics())
    if (g->kind() == GraphicKind::Text) {
      select(window, g);
      break;
    }
  showTab(window, QStringLiteral("Text"));
  shoot(window.settingsTabs(), "tab-text");
  showTab(window, QStringLiteral("Text Properties"));
  shoot(window.settingsTabs(), "tab-text-properties");
  window.Card_Prop_Clicked();
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
    dialog.resize(980, 640);
    designer.barcodeTypePopup->setCurrentIndex(
        designer.barcodeTypePopup->findText(QStringLiteral("QR Code")));
    designer.hideHeaderCheckbox->setChecked(true);
    designer.hideFooterCheckbox->setChecked(true);
    designer.Data_source_type->setCurrentIndex(1);
    emit designer.Data_source_type->activated(1);
    const int guests = designer.Batch_Series->findText(QStringLiteral("Guests"));
    designer.Batch_Series->setCurrentIndex(guests);
    emit designer.Batch_Series->activated(guests);
    shoot(&dialog, "barcode-designer");
    designer.ok_button->click();
  };
  window.Open_Barcode_Window();
  settle();
  select(window, name);
  showTab(window, QStringLiteral("Text Source"));
  shoot(&window, "window-data-source");
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
  shootModal(QStringLiteral("series-manager"));
  window.dialogAction("Batch_Series_Button")->trigger();
  shootModal(QStringLiteral("import-list"));
  window.dialogAction("Import_Wizard_Button")->trigger();
  shootModal(QStringLiteral("create-series"));
  window.dialogAction("Create_Series_Button")->trigger();
  // Print: two columns of five badges on the sheet.
  host.onModal = [](QDialog& dialog) {
    auto& print = static_cast<Print_Wnd&>(dialog);
    dialog.resize(1250, 760);
    print.Col_Text->setValue(2);
    print.Row_Text->setValue(5);
    print.horz_mar_Text->setValue(5);
    print.vert_mar_Text->setValue(5);
    print.Auto_Center_chk_bx->click();
    shoot(&dialog, "print-window");
    dialog.done(0);
  };
  window.dialogAction("Print_Button")->trigger();
  shootModal(QStringLiteral("mail-window"));
  window.dialogAction("Mail_Button")->trigger();
  shootModal(QStringLiteral("user-profile"));
  window.dialogAction("User_Profile_Button_Clicked")->trigger();
  shootModal(QStringLiteral("templates"), QSize(900, 600));
  window.dialogAction("Template_Browser_Clicked")->trigger();
  shootModal(QStringLiteral("help-window"));
  window.dialogAction("Help_Button")->trigger();
  settle(300);
}

}  // namespace

void makePictures(const QString& pictures) {
  QTemporaryDir home;
  const QString resources = home.filePath(QStringLiteral("resources"));
  if (!platform::seedFolder(QStringLiteral(QUVO_SOURCE_DIR "/resources"), resources)) qFatal("no resources");
  Set_Resource_Path(resources);
  Check_Path_And_Create_Files();
  DataSeriesStore().writeSeries(QStringLiteral("Guests"),
                                {QStringLiteral("Ada Lovelace"), QStringLiteral("Grace Hopper"),
                                 QStringLiteral("Alan Turing"), QStringLiteral("Edsger Dijkstra")});
  g_shots = pictures;
  QDir().mkpath(pictures);
  WalkHost host;
  platform::ScopedMessageHost scoped(host);
  SKTWindowController window;
  window.resize(1280, 860);
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) qFatal("the window was not shown");
  settle(300);
  startScreen(host);
  birthdayCard(window, host);
  badge(window, host);
  dialogs(window, host);
}
