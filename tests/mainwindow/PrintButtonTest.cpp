// The Print button of the main window, through the real window offscreen:
// no printer refuses, the dialog prints the card as designed (both sides)
// into a PDF file, and the side the user is on stays as it was. A job that
// would fill objects from a data series that is gone asks first, even when
// no series is left to give it rows.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "barcode/designer/BarcodeSettings.h"
#include "core/SKTGraphic.h"
#include "core/globals.h"
#include "data/DataSeriesStore.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/WindowTestSupport.h"
#include "production/print/Print_Wnd.h"
#include "production/print/Printers.h"
#include "support/ScriptedHost.h"
#include "support/TestFiles.h"
#include "support/WindowWait.h"

class PrintButton : public ::testing::Test {
 protected:
  void SetUp() override {
    window_test::useSeededResources(dir);
    production::setPrinterNamesForTesting([this] { return printers; });
    window = std::make_unique<SKTWindowController>();
    window->show();
    ASSERT_TRUE(testing_support::waitUntilShown(window.get()));
  }
  void TearDown() override {
    window.reset();
    production::setPrinterNamesForTesting(nullptr);
    Card_Front_Or_Back = 0;
  }
  void print() { window->dialogAction("Print_Button")->trigger(); }

  QTemporaryDir dir;
  QStringList printers{production::kPdfFilePrinter};
  testing_support::ScriptedHost host;
  std::unique_ptr<SKTWindowController> window;
};

TEST_F(PrintButton, WithoutPrintersNothingOpens) {
  printers.clear();
  int opened = 0;
  host.queueModal([&opened](QDialog&) {
    ++opened;
    return 0;
  });
  EXPECT_TRUE(window->dialogAction("Print_Button")->isEnabled());
  print();
  EXPECT_EQ(host.messages(), QStringList{"\nNo printer found."});
  EXPECT_EQ(opened, 0);
}

TEST_F(PrintButton, PrintsBothSidesOfTheDesignToPdfFromTheBackSide) {
  // A rectangle on the front; the user is on the back.
  window->toolAction(DrawingTool::Rectangle)->trigger();
  window->Select_back_side();
  ASSERT_EQ(Card_Front_Or_Back.load(), 1);
  const QString pdf = dir.filePath("cards.pdf");
  host.queueModal([&](QDialog&) {
    Print_Wnd& dialog = Print_Wnd::defaultInstance();
    dialog.matrix_card_side->button(0)->click();  // both sides
    dialog.Row_Text->setValue(2);
    dialog.Col_Text->setValue(2);
    dialog.Total_Text->setValue(5);
    host.queueSavePanel(pdf);
    dialog.printButton->click();
    return 0;
  });
  print();
  EXPECT_TRUE(host.messages().isEmpty()) << host.messages().join('|').toStdString();
  // Two by two cells of both sides on A4 or letter paper: five cards, two sheets.
  EXPECT_EQ(Print_Wnd::defaultInstance().layout().cellsPerPage(), 4);
  const auto info = testing_support::runProgram("pdfinfo", {pdf});
  EXPECT_TRUE(QString::fromUtf8(info.out).contains(QRegularExpression("Pages:\\s+2\\n")))
      << info.out.toStdString();
  EXPECT_EQ(Card_Front_Or_Back.load(), 1);
}

TEST_F(PrintButton, BoundQrCodesTakeTheirRowsAcrossSheets) {
  // Ten tickets in a data series; a QR Code on the front bound to it.
  QStringList tickets;
  for (int i = 1; i <= 10; ++i) tickets << QStringLiteral("Ticket %1").arg(i);
  ASSERT_TRUE(DataSeriesStore().writeSeries("Tickets", tickets));
  auto code = SKTGraphic::makeGraphic(GraphicKind::Barcode);
  code->setBounds(QRectF(80, 30, 90, 90));
  code->linear_or_2d = 1;
  code->barcode_font_index = barcode::symbologyNames().indexOf("QR Code");
  code->qr_size_val = 80;
  code->data_source_type = 1;
  code->batch_list_name = "Tickets";
  window->document()->insertGraphic(CardSide::Front, code, 0);

  const QString pdf = dir.filePath("tickets.pdf");
  QList<QRectF> cells;
  host.queueModal([&](QDialog&) {
    Print_Wnd& dialog = Print_Wnd::defaultInstance();
    EXPECT_TRUE(dialog.print_with_batch_chk->isChecked());
    EXPECT_EQ(dialog.Total_Text->value(), 10);
    dialog.Row_Text->setValue(3);
    dialog.Col_Text->setValue(2);
    EXPECT_EQ(dialog.Total_Text->value(), 10);
    for (int cell = 0; cell < 6; ++cell) cells << dialog.layout().cellRect(cell / 2 + 1, cell % 2 + 1);
    host.queueSavePanel(pdf);
    dialog.printButton->click();
    return 0;
  });
  print();
  EXPECT_TRUE(host.messages().isEmpty()) << host.messages().join('|').toStdString();
  // Sheet 2 holds tickets 7 to 10 in its first four cells; zbarimg reads each.
  ASSERT_EQ(cells.size(), 6);
  const auto render = testing_support::runProgram(
      "pdftoppm", {"-png", "-r", "150", "-f", "2", "-l", "2", "-singlefile", pdf, dir.filePath("sheet2")});
  ASSERT_EQ(render.exitCode, 0);
  const QImage sheet(dir.filePath("sheet2.png"));
  for (int cell = 0; cell < 6; ++cell) {
    const QRectF points = cells[cell];
    const QString crop = dir.filePath(QStringLiteral("cell%1.png").arg(cell));
    sheet.copy(QRectF(points.topLeft() * 150 / 72, points.size() * 150 / 72).toAlignedRect()).save(crop);
    const auto read = testing_support::runProgram("zbarimg", {"-q", "--raw", crop});
    const QString expected = cell < 4 ? QStringLiteral("Ticket %1\n").arg(cell + 7) : QString();
    EXPECT_EQ(QString::fromUtf8(read.out), expected) << "cell " << cell;
  }
}

TEST_F(PrintButton, AJobAsksBeforeFillingObjectsWhoseSeriesIsGone) {
  ASSERT_TRUE(DataSeriesStore().writeSeries("Tickets", {"Ticket 1", "Ticket 2"}));
  for (const QString& series : {QStringLiteral("Tickets"), QStringLiteral("Guests")}) {
    auto text = SKTGraphic::makeGraphic(GraphicKind::Text);
    text->setBounds(QRectF(10, series == "Guests" ? 10 : 60, 120, 30));
    text->data_source_type = 1;
    text->batch_list_name = series;
    window->document()->insertGraphic(CardSide::Front, text, 0);
  }
  const QString pdf = dir.filePath("tickets.pdf");
  QStringList questions;
  host.queueModal([&](QDialog&) {
    Print_Wnd& dialog = Print_Wnd::defaultInstance();
    dialog.printButton->click();  // unanswered: No
    questions = host.defaultNoQuestions();
    EXPECT_FALSE(QFileInfo::exists(pdf));
    host.queueYesNo(true);
    host.queueSavePanel(pdf);
    dialog.printButton->click();
    return 0;
  });
  print();
  ASSERT_EQ(questions.size(), 1);
  EXPECT_TRUE(questions[0].contains("The data series \"Guests\" no longer exists."))
      << questions[0].toStdString();
  EXPECT_TRUE(QFileInfo::exists(pdf));
  EXPECT_EQ(
      host.messages(),
      QStringList{"\nThe cards have been printed.\n\nThe objects bound to data that no longer exists were "
                  "left empty (the data series \"Guests\")."});

  // With "Tickets" gone too no series has rows; the job asks all the same.
  ASSERT_TRUE(QFile::remove(DataSeriesStore().seriesFilePath("Tickets")));
  host.clear();
  host.queueModal([](QDialog&) {
    Print_Wnd::defaultInstance().printButton->click();  // unanswered: No
    return 0;
  });
  print();
  questions = host.defaultNoQuestions();
  ASSERT_EQ(questions.size(), 1);
  EXPECT_TRUE(questions[0].contains("The data series \"Tickets\" no longer exists."))
      << questions[0].toStdString();
  EXPECT_EQ(host.panelsShown(), 0);
}
