// The worked example of the guide, done in the real window: a badge for every
// guest of the shipped guest list (Samples/Guests.xlsx), from the start
// screen to the template. Each step acts through the controls the chapter
// names and checks what the chapter says the person sees; a step that does
// not come out so stops the maker.
#include "ExamplePictures.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>

#include "GuideStage.h"
#include "barcode/dialog/Barcode_Gen.h"
#include "core/SKTGraphic.h"
#include "data/dialogs/Data_From_Excel.h"
#include "data/dialogs/Import_Excel.h"
#include "mainwindow/panels/DataSourceTab.h"
#include "mainwindow/panels/TextEditingTab.h"
#include "mainwindow/panels/TextPropertiesTab.h"
#include "mainwindow/tools/WalkSupport.h"
#include "personalisation/Export_Template.h"
#include "personalisation/Invitation_Wizard.h"
#include "personalisation/ProfileDialog.h"
#include "personalisation/Template_Wizard.h"
#include "platform/FileHelpers.h"
#include "platform/globals.h"
#include "platform/widgets/PictureBrowser.h"
#include "production/ExportWindow.h"
#include "production/print/Print_Wnd.h"

using namespace walk;

namespace {

// Records the messages the program shows; every question is answered No.
class ExampleHost : public WalkHost {
 public:
  QStringList messages;
  void showMessage(const QString& text) override {
    messages << text.trimmed();
    WalkHost::showMessage(text);
  }
};

void check(bool condition, const char* what) {
  if (!condition) qFatal("worked example: %s", what);
}

// The menu item at "Menu > Item", as the person picks it.
QAction* menuItem(SKTWindowController& window, const QString& menu, const QString& item) {
  for (QAction* top : window.menuBar()->actions()) {
    if (top->text().remove('&') != menu || top->menu() == nullptr) continue;
    for (QAction* action : top->menu()->actions())
      if (action->text().remove('&') == item) return action;
  }
  qFatal("no menu item %s > %s", qPrintable(menu), qPrintable(item));
}

void typeInto(QWidget* field, const QString& text) {
  field->setFocus();
  QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(field, text);
}

QPushButton* buttonNamed(QWidget* parent, const QString& text) {
  for (QPushButton* b : parent->findChildren<QPushButton*>())
    if (b->text() == text && b->isVisible()) return b;
  qFatal("no button %s", qPrintable(text));
}

void chooseItem(QComboBox* box, const QString& item) {
  const int at = box->findText(item);
  if (at < 0) qFatal("no item %s", qPrintable(item));
  box->setCurrentIndex(at);
  emit box->activated(at);
  settle();
}

void showTab(SKTWindowController& window, const QString& title) {
  QTabWidget* tabs = window.settingsTabs();
  for (int i = 0; i < tabs->count(); ++i)
    if (tabs->tabText(i) == title) tabs->setCurrentIndex(i);
  settle();
}

SKTGraphicPtr textWith(SKTWindowController& window, const QString& text) {
  for (const SKTGraphicPtr& g : window.document()->graphics())
    if (g->kind() == GraphicKind::Text && g->Text_contents()->string == text) return g;
  qFatal("no text %s on the card", qPrintable(text));
}

QString cardText(const SKTGraphicPtr& g) {
  return g->Text_contents()->string;
}

// Where a person's resource folder usually is, shown in the pictures instead
// of the temporary folder the example is done in.
const QString kUsualFolder = QStringLiteral("/home/you/.local/share/QUVO/QUVO Gratulo");

// The card beside the top of the tabs (down to `panelHeight`): what a step
// changes on both, without the empty backdrop and panel around them.
void shootCardAndTabs(SKTWindowController& window, int panelHeight, const QString& name) {
  settle();
  const QImage card = window.currentSideView()->grab().toImage();
  QWidget* tabs = window.settingsTabs();
  const QImage panel = tabs->grab(QRect(0, 0, tabs->width(), panelHeight)).toImage();
  const int gap = 16;
  QImage both(card.width() + panel.width() + 3 * gap, std::max(card.height(), panel.height()) + 2 * gap,
              QImage::Format_ARGB32);
  both.fill(window.palette().color(QPalette::Window));
  QPainter painter(&both);
  painter.drawImage(gap, gap, card);
  painter.drawImage(card.width() + 2 * gap, gap, panel);
  painter.end();
  both.save(g_shots + "/" + name + ".png");
  qInfo("screenshot %s", qPrintable(name));
}

// File > New, then the start screen's wizard: a 90 x 60 mm card with a
// background picture, the event as its title and a stand-in for the name.
void newBadge(SKTWindowController& window, ExampleHost& host) {
  host.onModal = [](QDialog& dialog) {
    auto& wizard = static_cast<Invitation_Wizard&>(dialog);
    QTest::mouseClick(wizard.wizard_btn, Qt::LeftButton);
    typeInto(wizard.width_Stepper, QStringLiteral("90"));
    typeInto(wizard.height_Stepper, QStringLiteral("60"));
    QTest::mouseClick(wizard.Next_btn, Qt::LeftButton);
    settle();
    // One click on a picture chooses it and goes on to the texts.
    PictureBrowser* pictures = wizard.imageBrowser;
    int chosen = -1;
    for (int i = 0; i < pictures->model()->rowCount(); ++i)
      if (pictures->model()->index(i, 0).data().toString().contains(QStringLiteral("Confetti"))) chosen = i;
    check(chosen >= 0, "the wizard offers the background Confetti");
    const QModelIndex at = pictures->model()->index(chosen, 0);
    pictures->scrollTo(at);
    QTest::mouseClick(pictures->viewport(), Qt::LeftButton, {}, pictures->visualRect(at).center());
    settle();
    check(wizard.next_counter == 3, "a click on a picture goes on to the title and message");
    typeInto(wizard.msg_title, QStringLiteral("Summer Meeting 2026"));
    typeInto(wizard.msg_value, QStringLiteral("Guest name"));
    QTest::mouseClick(wizard.Next_btn, Qt::LeftButton);
    settle();
    check(wizard.Next_btn->text() == QStringLiteral("Finish"), "the last step's button reads Finish");
    QTest::mouseClick(wizard.Next_btn, Qt::LeftButton);
  };
  menuItem(window, QStringLiteral("File"), QStringLiteral("New"))->trigger();
  settle(300);
  check(window.document()->graphics().size() == 2, "the wizard places the title and the message");
  // The card at its size beside the tabs: the picture is as wide as the
  // guide's text, at the size of a screen's.
  window.setZoomFactor(1.0);
  shootCardAndTabs(window, 570, QStringLiteral("example-new-card"));
}

// The texts and the QR Code in their places; the company is a new text typed
// in the Text tab.
void placeObjects(SKTWindowController& window) {
  SKTGraphicView* canvas = window.currentSideView();
  const SKTGraphicPtr title = textWith(window, QStringLiteral("Summer Meeting 2026"));
  dragObject(canvas, title, QPointF(127.5, 24));
  const SKTGraphicPtr name = textWith(window, QStringLiteral("Guest name"));
  name->setBounds(QRectF(12, 62, 160, 36));
  clickTool(window, DrawingTool::Text);
  const SKTGraphicPtr company = window.document()->graphics().front();
  company->setBounds(QRectF(12, 104, 160, 26));
  select(window, company);
  showTab(window, QStringLiteral("Text"));
  typeInto(window.textEditingTab()->Text_value_Edit, QStringLiteral("Company"));
  settle();
  check(cardText(company) == QStringLiteral("Company"), "a text typed in the Text tab is on the card");
  shootCardAndTabs(window, 200, QStringLiteral("example-new-text"));
  // A new text has a box and a border; the badge's texts have neither.
  showTab(window, QStringLiteral("Text Properties"));
  TextPropertiesTab* properties = window.textPropertiesTab();
  check(properties->Text_fill_chk->isChecked() && properties->Text_border_chk->isChecked(),
        "a new text has a filled box and a border");
  properties->Text_fill_chk->click();
  properties->Text_border_chk->click();
  settle();
  check(!company->_isDrawingFill && !company->_isDrawingStroke, "the company text has no box and no border");
  clickTool(window, DrawingTool::Barcode);
  const SKTGraphicPtr code = window.document()->graphics().front();
  check(code->kind() == GraphicKind::Barcode, "the Barcode tool places a barcode");
  dragObject(canvas, code, QPointF(205, 100));  // right of the name
}

// Card > User Profile…, Browse… beside Spreadsheet:, the workbook's sheet and
// columns in Import from Excel, then OK in both windows.
void bindSpreadsheet(SKTWindowController& window, ExampleHost& host, const QString& workbook) {
  const int objects = int(window.document()->graphics().size());
  host.onModal = [&host, workbook](QDialog& dialog) {
    auto& profile = static_cast<ProfileDialog&>(dialog);
    host.openAnswers = {workbook};
    host.onModal = [](QDialog& picker) {
      auto& columns = static_cast<Import_Excel&>(picker);
      check(picker.windowTitle() == QStringLiteral("Import from Excel"), "the spreadsheet window's name");
      check(columns.Sheet_ComboBox->currentText() == QStringLiteral("Guests"), "the sheet Guests is chosen");
      check(columns.contains_header->isChecked(), "First row contains column titles starts ticked");
      QTest::mouseClick(buttonNamed(&picker, QStringLiteral("Select All")), Qt::LeftButton);
      const QString path = columns.file_path->text();
      columns.file_path->setText(kUsualFolder + "/Samples/Guests.xlsx");
      picker.resize(520, 300);
      shoot(&picker, QStringLiteral("example-import-excel"));
      columns.file_path->setText(path);
      QTest::mouseClick(buttonNamed(&picker, QStringLiteral("OK")), Qt::LeftButton);
    };
    QTest::mouseClick(profile.excel_browse_btn, Qt::LeftButton);
    settle();
    check(profile.rows[0].ds_combo->findText(QStringLiteral("Excel")) >= 0, "the profile offers Excel");
    profile.rows[0].ds_combo->setCurrentIndex(2);
    settle();
    check(!profile.rows[0].view_btn->isEnabled(), "View is grey for a spreadsheet column");
    profile.rows[0].ds_combo->setCurrentIndex(0);
    const QString path = profile.excel_path_field->text();
    profile.excel_path_field->setText(kUsualFolder + "/Samples/Guests.xlsx");
    shootProfileFields(dialog, QStringLiteral("example-profile"));
    profile.excel_path_field->setText(path);
    QTest::mouseClick(profile.ok_btn, Qt::LeftButton);
  };
  menuItem(window, QStringLiteral("Card"), QStringLiteral("User Profile…"))->trigger();
  settle(300);
  check(int(window.document()->graphics().size()) == objects, "the profile with no details places nothing");
}

// A text's Text Source tab: Source Excel and its column.
void bindText(SKTWindowController& window, const SKTGraphicPtr& text, const QString& column,
              const QString& first) {
  select(window, text);
  showTab(window, QStringLiteral("Text Source"));
  DataSourceTab* d = window.dataSourceTab();
  chooseItem(d->Data_source_type, QStringLiteral("Excel"));
  check(d->Batch_Series->itemText(0) == QStringLiteral("No."), "the column list starts with No.");
  chooseItem(d->Batch_Series, column);
  check(cardText(text) == first, "the card shows the first row's value");
}

void bindBarcode(SKTWindowController& window, ExampleHost& host) {
  SKTGraphicPtr code;
  for (const SKTGraphicPtr& g : window.document()->graphics())
    if (g->kind() == GraphicKind::Barcode) code = g;
  select(window, code);
  showTab(window, QStringLiteral("Barcode Properties"));
  host.onModal = [](QDialog& dialog) {
    auto& designer = static_cast<Barcode_Gen&>(dialog);
    dialog.resize(840, 420);
    chooseItem(designer.barcodeTypePopup, QStringLiteral("QR Code"));
    designer.hideHeaderCheckbox->setChecked(true);
    designer.hideFooterCheckbox->setChecked(true);
    chooseItem(designer.Data_source_type, QStringLiteral("Excel"));
    chooseItem(designer.Batch_Series, QStringLiteral("Ticket"));
    check(designer.dataText_2D->toPlainText() == QStringLiteral("SM26-0101"),
          "the designer shows the first ticket");
    shootDesignerSettings(dialog, QStringLiteral("example-barcode-designer"));
    QTest::mouseClick(designer.ok_button, Qt::LeftButton);
  };
  QTest::mouseClick(buttonNamed(window.settingsTabs(), QStringLiteral("Edit Barcode…")), Qt::LeftButton);
  settle(300);
  check(code->data_source_type == 2, "the barcode is bound to the spreadsheet");
  // The QR Code has its own size now; it is dragged inside the card, right of the name.
  const QSizeF card(90 * 72 / 25.4, 60 * 72 / 25.4);  // the badge, in points
  const QRectF frame = code->bounds();
  dragObject(window.currentSideView(), code,
             QPointF(card.width() - 8 - frame.width() / 2, card.height() / 2 + 12));
  check(QRectF(QPointF(), card).contains(code->bounds()), "the QR Code lies inside the card");
}

// View… of the Text Source tab: the rows, one cell corrected in place.
void checkValues(SKTWindowController& window, ExampleHost& host, const SKTGraphicPtr& name) {
  select(window, name);
  showTab(window, QStringLiteral("Text Source"));
  host.onModal = [](QDialog& dialog) {
    QTableView* rows = static_cast<Data_From_Excel&>(dialog).ColList;
    QAbstractItemModel* model = rows->model();
    check(model->headerData(0, Qt::Horizontal).toString() == QStringLiteral("No."),
          "the table numbers its rows");
    const QModelIndex cell = model->index(2, 2);  // Alan Turing's company
    rows->scrollTo(cell);
    const QPoint at = rows->visualRect(cell).center();
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(rows->viewport(), Qt::LeftButton, {}, at);
    settle();
    QWidget* editor = QApplication::focusWidget();
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, QStringLiteral("Bletchley Park Systems"));
    QTest::keyClick(editor, Qt::Key_Return);
    settle();
    check(cell.data().toString() == QStringLiteral("Bletchley Park Systems"),
          "a cell is corrected in the table");
    // Columns widened as a person does, by dragging the borders of their titles.
    rows->horizontalHeader()->resizeSection(1, 130);
    rows->horizontalHeader()->resizeSection(2, 190);
    dialog.resize(520, 330);
    shoot(&dialog, QStringLiteral("example-table"));
    QTest::mouseClick(buttonNamed(&dialog, QStringLiteral("OK")), Qt::LeftButton);
  };
  QTest::mouseClick(window.dataSourceTab()->view_series_btn, Qt::LeftButton);
  settle(300);
}

// Card > Export…: the front of every row at 300 DPI into a folder.
void exportBadges(SKTWindowController& window, ExampleHost& host, const QString& folder) {
  host.onModal = [&host](QDialog& dialog) {
    auto& exportWindow = static_cast<ExportWindow&>(dialog);
    exportWindow.matrix_export_card_side->button(1)->click();
    chooseItem(exportWindow.saveDPIText, QStringLiteral("300"));
    check(exportWindow.Export_with_excel_chk->isChecked(), "Use spreadsheet starts ticked");
    shoot(&dialog, QStringLiteral("example-export"));
    host.onModal = [](QDialog& finished) {
      // The message, the folder and the box to open it.
      const QStringList texts = {QStringLiteral("Card has been exported successfully."),
                                 QStringLiteral("Open containing folder.")};
      int found = 0;
      for (QLabel* label : finished.findChildren<QLabel*>()) {
        if (label->text() == texts[0]) ++found;
        if (label->text().endsWith(QStringLiteral("/QUVO Gratulo")))
          label->setText(QStringLiteral("/home/you/Badges/QUVO Gratulo"));
      }
      for (QCheckBox* box : finished.findChildren<QCheckBox*>())
        if (box->text() == texts[1] && box->isChecked()) ++found;
      check(found == 2, "the export ends with its message and Open containing folder.");
      shoot(&finished, QStringLiteral("example-export-finished"));
      finished.done(0);
    };
    QTest::mouseClick(buttonNamed(&dialog, QStringLiteral("OK")), Qt::LeftButton);
  };
  host.openAnswers = {folder};
  menuItem(window, QStringLiteral("Card"), QStringLiteral("Export…"))->trigger();
  const QString last = folder + "/QUVO Gratulo/Card_10.PNG";
  const bool written = QTest::qWaitFor([&] { return QFileInfo::exists(last); }, 20000);
  if (!written) qInfo("folder: %s", qPrintable(QDir(folder + "/QUVO Gratulo").entryList().join(" ")));
  check(written, "ten badges are written");
  settle(800);
  // Four of them side by side, two by two.
  QImage sheet;
  for (int i = 0; i < 4; ++i) {
    const QImage card = QImage(QStringLiteral("%1/QUVO Gratulo/Card_%2.PNG").arg(folder).arg(i + 1))
                            .scaledToWidth(400, Qt::SmoothTransformation);
    if (sheet.isNull()) {
      sheet = QImage(card.width() * 2 + 20, card.height() * 2 + 20, QImage::Format_ARGB32);
      sheet.fill(Qt::white);
    }
    QPainter(&sheet).drawImage((card.width() + 20) * (i % 2), (card.height() + 20) * (i / 2), card);
  }
  sheet.save(g_shots + "/example-badges.png");
}

// Card > Print…: two columns of five badges on A4, one per row, into a PDF.
void printBadges(SKTWindowController& window, ExampleHost& host, const QString& pdf) {
  host.onModal = [&host, pdf](QDialog& dialog) {
    auto& print = static_cast<Print_Wnd&>(dialog);
    dialog.resize(kPrintWindowSize);
    chooseItem(print.Printer_ComboBox, QStringLiteral("PDF file"));
    print.matrix_card_side->button(1)->click();
    print.Col_Text->setValue(2);
    print.Row_Text->setValue(4);
    print.horz_mar_Text->setValue(5);
    print.vert_mar_Text->setValue(5);
    check(print.Total_Text->value() == 10, "Cards to print counts the guests");
    check(print.print_with_excel_chk->isChecked(), "One card per spreadsheet row starts ticked");
    settle();
    shootPrintSettings(dialog, QStringLiteral("example-print"));
    host.onModal = [](QDialog& preview) {
      preview.resize(560, 640);
      shoot(&preview, QStringLiteral("example-print-preview"));
      preview.done(0);
    };
    QTest::mouseClick(print.previewButton, Qt::LeftButton);
    settle();
    host.saveAnswer = pdf;
    QTest::mouseClick(print.printButton, Qt::LeftButton);
    settle();
    // The window stays open after printing; Cancel closes it.
    check(dialog.isVisible(), "the Print window stays open after printing");
    QTest::mouseClick(print.cancelButton, Qt::LeftButton);
  };
  const qsizetype told = host.messages.size();
  menuItem(window, QStringLiteral("Card"), QStringLiteral("Print…"))->trigger();
  settle(300);
  check(host.messages.size() == told, "a print that went well shows no message");
  check(QFileInfo::exists(pdf), "the sheets are printed into the PDF file");
}

// File > Save As…, Card > Save as Template…, and the template in Card > Templates….
void saveBadge(SKTWindowController& window, ExampleHost& host, const QString& design) {
  host.saveAnswer = design;
  menuItem(window, QStringLiteral("File"), QStringLiteral("Save As…"))->trigger();
  settle(300);
  check(QFileInfo::exists(design), "the design is saved");
  check(host.messages.last() == QStringLiteral("Greeting Card Design Log has been saved successfully."),
        "the save is told");
  host.onModal = [](QDialog& dialog) {
    auto& name = static_cast<Export_Template&>(dialog);
    typeInto(name.template_name, QStringLiteral("Guest badge"));
    QTest::mouseClick(name.ok_btn, Qt::LeftButton);
  };
  menuItem(window, QStringLiteral("Card"), QStringLiteral("Save as Template…"))->trigger();
  settle(300);
  check(host.messages.last() == QStringLiteral("Template exported successfully."), "the template is told");
  host.onModal = [](QDialog& dialog) {
    auto& templates = static_cast<Template_Wizard&>(dialog);
    dialog.resize(560, 330);
    chooseItem(templates.cat_cmbo_bx, QStringLiteral("My Templates"));
    check(templates.imageBrowser->model()->rowCount() == 1, "My Templates holds the badge");
    shoot(&dialog, QStringLiteral("example-templates"));
    dialog.done(0);
  };
  menuItem(window, QStringLiteral("Card"), QStringLiteral("Templates…"))->trigger();
  settle(300);
}

}  // namespace

void makeExamplePictures(const QString& pictures) {
  const QTemporaryDir home;
  const QString resources = seedGuideResources(home);
  g_shots = pictures;
  QDir().mkpath(pictures);
  ExampleHost host;
  platform::ScopedMessageHost scoped(host);
  SKTWindowController window;
  showGuideWindow(window);
  SKTWindowController::setStartWindowShown(true);
  newBadge(window, host);
  SKTWindowController::setStartWindowShown(false);
  placeObjects(window);
  bindSpreadsheet(window, host, resources + "/Samples/Guests.xlsx");
  bindText(window, textWith(window, QStringLiteral("Guest name")), QStringLiteral("Name"),
           QStringLiteral("Ada Lovelace"));
  shootCardAndTabs(window, 140, QStringLiteral("example-text-source"));
  bindText(window, textWith(window, QStringLiteral("Company")), QStringLiteral("Company"),
           QStringLiteral("Analytical Engines Ltd"));
  bindBarcode(window, host);
  const SKTGraphicPtr name = textWith(window, QStringLiteral("Ada Lovelace"));
  checkValues(window, host, name);
  const QString out = home.filePath(QStringLiteral("out"));
  QDir().mkpath(out);
  exportBadges(window, host, out);
  printBadges(window, host, out + "/Badges.pdf");
  saveBadge(window, host, out + "/Guest badge.dcard");
}
