// The Print button of the main window, through the real window offscreen:
// no printer refuses, the dialog prints the card as designed (both sides)
// into a PDF file, and the side the user is on stays as it was.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "core/SKTGraphic.h"
#include "core/globals.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/WindowTestSupport.h"
#include "production/print/Print_Wnd.h"
#include "production/print/Printers.h"
#include "support/ScriptedHost.h"
#include "support/TestFiles.h"

class PrintButton : public ::testing::Test {
 protected:
  void SetUp() override {
    window_test::useSeededResources(dir);
    production::setPrinterNamesForTesting([this] { return printers; });
    window = std::make_unique<SKTWindowController>();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
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
