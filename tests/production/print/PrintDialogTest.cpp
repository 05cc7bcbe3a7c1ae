// The print dialog end to end through its own controls (offscreen, with the
// scripted message host): the reset of every opening, the fitting as the
// fields change, the sample sheet, the print preview's 50-sheet cap against
// the full job printed to a PDF file, and the refusals before a job.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRadioButton>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTimer>
#include <csignal>
#include <utility>

#include "PrintTestSupport.h"
#include "platform/globals.h"
#include "production/print/Print_Wnd.h"
#include "production/print/Printers.h"
#include "production/print/Sample_Preview.h"
#include "support/ScriptedHost.h"
#include "support/TabOrder.h"

using namespace print_testing;

namespace {

class FakePrintHost : public production::PrintHost {
 public:
  std::shared_ptr<const CardSnapshot> takeCardSnapshot() override { return design; }
  DataUse dataUse() override { return use; }
  DataUse verifyDataUse(bool seriesTicked, bool excelTicked) override {
    ++verifications;
    DataUse now = bound;
    now.series = now.series && seriesTicked;
    now.excel = now.excel && excelTicked;
    if (!now.series && !now.excel) now.rows = 0;
    return now;
  }
  production::SheetRowFiller rowFiller() override {
    const production::SheetRowFiller rows = rowNumberFiller();
    const std::int64_t failing = failingRow;
    return [rows, failing](const SKTGraphicList& graphics, std::int64_t row,
                           production::BarcodeVectors& vectors, QString* reason) {
      if (row != failing) return rows(graphics, row, vectors, reason);
      if (reason) *reason = "the value cannot be encoded";
      return false;
    };
  }

  std::shared_ptr<const CardSnapshot> design = qrDesign();
  DataUse use;                   // what the last use check left
  DataUse bound;                 // what a fresh check finds
  std::int64_t failingRow = -1;  // a row whose filling fails
  int verifications = 0;
};

struct PrintDialogTest : ::testing::Test {
  void SetUp() override {
    production::setPrinterNamesForTesting([] { return QStringList{production::kPdfFilePrinter}; });
  }
  void TearDown() override { production::setPrinterNamesForTesting(nullptr); }

  // Letter paper in the dialog, as a page setup would leave it.
  static void chooseLetter(Print_Wnd& dialog) {
    dialog.printInfo().setPageLayout(
        QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(18, 18, 18, 18)));
    dialog.Set_values_From_Printer();
    dialog.Check_Max_Cell_Value();
  }

  testing_support::ScriptedHost host;
  QTemporaryDir dir;
};

}  // namespace

TEST_F(PrintDialogTest, FitsPreviewsAndPrintsToPdfAndStartsAfreshEachTime) {
  FakePrintHost design;
  Print_Wnd& dialog = Print_Wnd::defaultInstance();
  host.queueModal([&](QDialog&) {
    // A fresh opening: front side, one card, no gaps, the card's own size.
    EXPECT_TRUE(dialog.matrix_card_side->button(1)->isChecked());
    EXPECT_FALSE(dialog.print_alignment->isEnabled());
    EXPECT_EQ(dialog.Row_Text->value(), 1);
    EXPECT_EQ(dialog.Col_Text->value(), 1);
    EXPECT_EQ(dialog.Total_Text->value(), 1);
    EXPECT_NEAR(dialog.width_Text->value(), 70.56, 0.01);  // 200 points
    EXPECT_FALSE(dialog.print_with_batch_chk->isEnabled());
    EXPECT_EQ(dialog.Printer_ComboBox->currentText(), production::kPdfFilePrinter);
    chooseLetter(dialog);
    EXPECT_TRUE(dialog.Paper_id->text().startsWith("Letter")) << dialog.Paper_id->text().toStdString();
    EXPECT_EQ(dialog.Size_id->text(), "215.90 x 279.40");
    EXPECT_EQ(dialog.l_mar_id->text(), "6.35");

    // Three columns of 200 points do not fit 576: the field drops to two.
    dialog.Col_Text->setValue(3);
    EXPECT_EQ(dialog.Col_Text->value(), 2);
    dialog.Row_Text->setValue(3);
    EXPECT_EQ(dialog.Total_Text->value(), 6);
    // The sample sheet numbers the six cells.
    EXPECT_EQ(dialog.PrintView->size(), QSize(612, 792));
    EXPECT_FALSE(dialog.test_image_view->pixmap().isNull());

    // 301 cards: the preview shows 50 sheets and says so; the job prints 51.
    dialog.Total_Text->setValue(301);
    int previewPages = -1;
    host.queueModal([&](QDialog& preview) {
      auto* pages = preview.findChild<QPrintPreviewWidget*>();
      pages->updatePreview();
      previewPages = pages->pageCount();
      return 0;
    });
    dialog.previewButton->click();
    EXPECT_EQ(previewPages, 50);
    EXPECT_EQ(host.messages().count("\n" + production::kPreviewLimitMessage), 1);
    const QString full = dir.filePath("full.pdf");
    host.queueSavePanel(full);
    dialog.printButton->click();
    EXPECT_EQ(pdfPageCount(full), 51);
    EXPECT_EQ(pdfPageSize(full), "612 x 792 pts (letter)");

    // Landscape: paper and margins read again, the layout fitted again.
    dialog.Orient_ComboBox->setCurrentIndex(1);
    dialog.orientationChosen(1);
    EXPECT_EQ(dialog.layout().paperWidth, 792.0f);
    EXPECT_EQ(dialog.Col_Text->value(), 2);
    EXPECT_EQ(dialog.Row_Text->value(), 3);
    dialog.Total_Text->setValue(4);
    const QString wide = dir.filePath("wide.pdf");
    host.queueSavePanel(wide);
    dialog.printButton->click();
    EXPECT_EQ(pdfPageSize(wide), "792 x 612 pts (letter)");

    // Both sides one above the other: the cell is twice as tall, the rows refit.
    dialog.matrix_card_side->button(0)->click();
    EXPECT_TRUE(dialog.print_alignment->isEnabled());
    EXPECT_FLOAT_EQ(dialog.layout().label_hight, 240.0f);
    EXPECT_EQ(dialog.Row_Text->value(), 2);
    // Back to the front alone: the rows lowered for both sides stay lowered.
    dialog.matrix_card_side->button(1)->click();
    EXPECT_FLOAT_EQ(dialog.layout().label_hight, 120.0f);
    EXPECT_EQ(dialog.Row_Text->value(), 2);

    // No cards: refused. A card larger than the paper: asked, and No prints nothing.
    dialog.Total_Text->setValue(0);
    dialog.printButton->click();
    EXPECT_EQ(host.messages().last(), "\nThere is no barcode to print.");
    dialog.Total_Text->setValue(1);
    dialog.width_Text->setValue(400);
    host.queueYesNo(false);
    const int panels = host.panelsShown();
    dialog.printButton->click();
    EXPECT_EQ(host.questions().size(), 1);
    EXPECT_EQ(host.panelsShown(), panels);
    return 0;
  });
  EXPECT_TRUE(dialog.Open_Print_Wnd(design));

  // The next opening starts afresh; the paper chosen stays.
  host.queueModal([&](QDialog&) {
    EXPECT_TRUE(dialog.matrix_card_side->button(1)->isChecked());
    EXPECT_EQ(dialog.Row_Text->value(), 1);
    EXPECT_EQ(dialog.Col_Text->value(), 1);
    EXPECT_NEAR(dialog.width_Text->value(), 70.56, 0.01);
    EXPECT_EQ(dialog.layout().horz_mar, 0.0f);
    EXPECT_EQ(dialog.Orient_ComboBox->currentIndex(), 1);
    // Another printer starts from its own colour and margins, not from those
    // the printer before was left with; paper and orientation stay.
    dialog.printInfo().setColorMode(QPrinter::GrayScale);
    dialog.printInfo().setPageMargins(QMarginsF(40, 40, 40, 40), QPageLayout::Point);
    EXPECT_EQ(dialog.Printer_ComboBox->currentText(), "Office printer");
    const int pdf = dialog.Printer_ComboBox->findText(production::kPdfFilePrinter);
    dialog.Printer_ComboBox->setCurrentIndex(pdf);
    emit dialog.Printer_ComboBox->activated(pdf);
    EXPECT_EQ(dialog.printInfo().colorMode(), QPrinter::Color);
    EXPECT_NE(dialog.printInfo().pageLayout().margins(QPageLayout::Point).left(), 40);
    EXPECT_EQ(dialog.printInfo().pageLayout().pageSize().id(), QPageSize::Letter);
    EXPECT_EQ(dialog.printInfo().pageLayout().orientation(), QPageLayout::Landscape);

    // A pre-cut A4 sheet of 2 x 7 labels of 99.1 x 38.1 mm, the first 4.65 mm
    // from the left and 15.15 mm from the top edge, 2.5 mm between the columns:
    // a right margin of 4 mm keeps both columns, 5 mm leaves room for one.
    const auto labelSheet = [&](double rightMm) {
      dialog.printInfo().setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                                   QMarginsF(4.65, 15.15, rightMm, 5),
                                                   QPageLayout::Millimeter));
      dialog.Set_values_From_Printer();
      dialog.width_Text->setValue(99.1);
      dialog.height_Text->setValue(38.1);
      dialog.horz_mar_Text->setValue(2.5);
      dialog.vert_mar_Text->setValue(0);
      dialog.Col_Text->setValue(2);
      dialog.Row_Text->setValue(7);
      dialog.Check_Max_Cell_Value();
      return std::pair(dialog.Col_Text->value(), dialog.Row_Text->value());
    };
    EXPECT_EQ(labelSheet(4), std::pair(2, 7));
    EXPECT_EQ(labelSheet(5), std::pair(1, 7));
    return 0;
  });
  production::setPrinterNamesForTesting([] {
    return QStringList{"Office printer", production::kPdfFilePrinter};
  });
  EXPECT_TRUE(dialog.Open_Print_Wnd(design));
}

TEST_F(PrintDialogTest, DataRowsSetTheTotalAndTheBoxesSwitchThemOff) {
  FakePrintHost design;
  design.use = {true, false, 10};
  design.bound = design.use;
  Print_Wnd& dialog = Print_Wnd::defaultInstance();
  host.queueModal([&](QDialog&) {
    chooseLetter(dialog);
    EXPECT_TRUE(dialog.print_with_batch_chk->isEnabled());
    EXPECT_TRUE(dialog.print_with_batch_chk->isChecked());
    EXPECT_FALSE(dialog.print_with_excel_chk->isEnabled());
    EXPECT_EQ(dialog.Total_Text->value(), 10);
    // Fitting leaves a data total alone.
    dialog.Col_Text->setValue(2);
    dialog.Row_Text->setValue(3);
    EXPECT_EQ(dialog.Total_Text->value(), 10);
    const QString rows = dir.filePath("rows.pdf");
    host.queueSavePanel(rows);
    dialog.printButton->click();
    EXPECT_EQ(pdfPageCount(rows), 2);
    EXPECT_EQ(decodeArea(pdfPage(rows, 2, 150), dialog.layout().cellRect(2, 2), 150), QStringList{"Row 10"});
    EXPECT_TRUE(host.messages().isEmpty());
    // A row that cannot be filled is reported once the job is done; the others print.
    design.failingRow = 2;
    const QString failing = dir.filePath("failing.pdf");
    host.queueSavePanel(failing);
    dialog.printButton->click();
    EXPECT_EQ(pdfPageCount(failing), 2);
    EXPECT_EQ(
        host.messages(),
        QStringList{"\nCards whose data row could not be filled completely: 1.\n\nCard 3: the value cannot "
                    "be encoded"});
    EXPECT_EQ(decodeArea(pdfPage(failing, 1, 150), dialog.layout().cellRect(1, 2), 150),
              QStringList{"Row 2"});
    design.failingRow = -1;

    // Unticking the series box: one card, the design as it is (its own value).
    dialog.print_with_batch_chk->click();
    EXPECT_EQ(design.verifications, 1);
    EXPECT_EQ(dialog.Total_Text->value(), 1);
    const QString one = dir.filePath("one.pdf");
    host.queueSavePanel(one);
    dialog.printButton->click();
    EXPECT_EQ(pdfPageCount(one), 1);
    EXPECT_EQ(decodeArea(pdfPage(one, 1, 150), dialog.layout().cellRect(1, 1), 150), QStringList{"0123"});
    // Ticking it again brings the rows back.
    dialog.print_with_batch_chk->click();
    EXPECT_EQ(dialog.Total_Text->value(), 10);
    return 0;
  });
  EXPECT_TRUE(dialog.Open_Print_Wnd(design));
}

TEST_F(PrintDialogTest, OnA1280x720ScreenWithAPanelTabReachesEveryControlInReadingOrder) {
  FakePrintHost design;
  design.use = {true, false, 4};
  design.bound = design.use;
  Print_Wnd& dialog = Print_Wnd::defaultInstance();
  // The room a 1280 x 720 screen leaves under a 32-pixel panel, without the
  // window's title bar and borders.
  const QSize room(1280 - 16, 720 - 32 - 40);
  QStringList stops;
  QStringList hidden;
  host.queueModal([&](QDialog&) {
    EXPECT_LE(dialog.minimumSizeHint().height(), room.height());
    EXPECT_LE(dialog.minimumSizeHint().width(), room.width());
    dialog.resize(room);
    // Each control the focus comes to is wholly in sight: no scroll area or
    // window around it cuts it off.
    stops = testing_support::tabStops(dialog, dialog.Printer_ComboBox, 27, [&](QWidget& control) {
      QRect seen = control.rect();
      for (QWidget* w = &control; !w->isWindow(); w = w->parentWidget())
        seen = seen.translated(w->pos()).intersected(w->parentWidget()->rect());
      if (seen.size() != control.size()) hidden << control.accessibleName();
    });
    // The settings scroll up and down only: none is cut off at the side.
    for (QScrollArea* area : dialog.findChildren<QScrollArea*>())
      if (area->accessibleName() == "Print settings")
        EXPECT_LE(area->widget()->width(), area->viewport()->width());
    dialog.hide();
    return 0;
  });
  EXPECT_TRUE(dialog.Open_Print_Wnd(design));
  // Down the columns as they are read; the side group is one stop (the
  // arrow keys choose within it), switched-off controls are passed over.
  EXPECT_EQ(stops.join(" > ").toStdString(),
            "Printer > Orientation > Page Setup > Card width > Card height > Rows > Columns > Horizontal "
            "gap > Vertical gap > Cards to print > Both sides > Top left > Top centre > Top right > Middle "
            "left > Centre > Middle right > Bottom left > Bottom centre > Bottom right > Centre "
            "automatically > Show card outlines > One card per data series row > Sheet > Preview > Cancel > "
            "Print > Printer");
  EXPECT_EQ(hidden.join(", ").toStdString(), "");
}

TEST_F(PrintDialogTest, APdfCutShortOrStoppedNeverReplacesTheEarlierFile) {
  FakePrintHost design;
  Print_Wnd& dialog = Print_Wnd::defaultInstance();
  const QString file = dir.filePath("cards.pdf");
  auto bytesOf = [](const QString& path) {
    QFile in(path);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
  };
  auto filesLeft = [this] { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); };
  host.queueModal([&](QDialog&) {
    host.queueSavePanel(file);
    dialog.printButton->click();
    EXPECT_EQ(pdfPageCount(file), 1);
    const QByteArray before = bytesOf(file);

    // A longer job on a disk that fills up (a file size limit stands in):
    // the failure is reported, the earlier PDF is untouched, nothing is left over.
    dialog.Total_Text->setValue(40);
    rlimit saved{};
    EXPECT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = static_cast<rlim_t>(before.size() * 3);
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    host.queueSavePanel(file);
    dialog.printButton->click();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(host.messages().size(), 1);
    EXPECT_TRUE(host.messages().first().startsWith("\nThe PDF file \"" + file + "\" could not be written"))
        << host.messages().first().toStdString();
    EXPECT_EQ(bytesOf(file), before);
    EXPECT_EQ(filesLeft(), QStringList{"cards.pdf"});

    // With room again the same job replaces the file whole.
    host.queueSavePanel(file);
    dialog.printButton->click();
    EXPECT_EQ(pdfPageCount(file), 40);
    EXPECT_EQ(filesLeft(), QStringList{"cards.pdf"});
    EXPECT_EQ(host.messages().size(), 1) << host.messages().join('|').toStdString();

    // The program asked to end during a long job: the job stops at the next
    // sheet without a message, and the earlier file stays.
    const QByteArray whole = bytesOf(file);
    dialog.Total_Text->setValue(5000);
    QTimer::singleShot(0, [] { Program_Ending.store(true); });
    host.queueSavePanel(file);
    dialog.printButton->click();
    Program_Ending.store(false);
    EXPECT_LT(dialog.lastJobPages(), 100);
    EXPECT_EQ(bytesOf(file), whole);
    EXPECT_EQ(filesLeft(), QStringList{"cards.pdf"});
    EXPECT_EQ(host.messages().size(), 1);
    return 0;
  });
  EXPECT_TRUE(dialog.Open_Print_Wnd(design));
}
