// Radio choices of the window and its dialogs taken by an assistive tool's
// Toggle action, which checks a radio button without clicking it: each acts
// as the click does, and a choice already made stays made when toggled again.
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include "canvas/SKTGraphicView.h"
#include "core/globals.h"
#include "data/dialogs/Generate_List.h"
#include "data/dialogs/Import_Excel_DataSheet.h"
#include "data/dialogs/Import_Wizard.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/WindowTestSupport.h"
#include "mainwindow/panels/CardBackgroundTab.h"
#include "mainwindow/panels/CardSettingsTab.h"
#include "mainwindow/panels/ShapeTab.h"
#include "mainwindow/panels/TextPropertiesTab.h"
#include "personalisation/Card_Wizard.h"
#include "production/Email_Setting.h"
#include "production/ExportWindow.h"
#include "production/Send_Mail.h"
#include "production/print/Print_Wnd.h"
#include "production/print/Printers.h"
#include "support/AccessibleControls.h"
#include "support/CanvasInput.h"
#include "support/ScriptedHost.h"

namespace {

using testing_support::toggleByAssistiveTool;

// Toggled twice: checked, and still checked after the second toggle.
void chooseByAssistiveTool(QAbstractButton* button) {
  toggleByAssistiveTool(button);
  toggleByAssistiveTool(button);
  EXPECT_TRUE(button->isChecked()) << button->text().toStdString();
}

}  // namespace

class RadioChoice : public ::testing::Test {
 protected:
  void SetUp() override {
    window_test::useSeededResources(dir);
    window = std::make_unique<SKTWindowController>();
  }
  void TearDown() override {
    window.reset();
    Card_Front_Or_Back = 0;
    Card_Shape = 0;
  }
  void click(QPointF point) {
    SKTGraphicView* view = window->currentSideView();
    view->queueTrackingEvents({testing_support::up(point)});
    view->mouseDown(testing_support::down(point));
  }

  QTemporaryDir dir;
  testing_support::ScriptedHost host;
  std::unique_ptr<SKTWindowController> window;
};

TEST_F(RadioChoice, TheCardAndObjectTabsFollowAToggle) {
  CardSettingsTab* g = window->cardSettingsTab();
  chooseByAssistiveTool(g->matrix_card_shape->button(2));
  EXPECT_EQ(Card_Shape.load(), 2);
  EXPECT_EQ(window->Front_card_Prop.Card_Shape, "E");
  EXPECT_EQ(window->Back_card_Prop.Card_Shape, "E");

  CardBackgroundTab* b = window->cardBackgroundTab();
  if (!b->Card_fill_chk->isChecked()) b->Card_fill_chk->click();
  chooseByAssistiveTool(b->Card_gradient_fill_rd);
  EXPECT_EQ(window->Front_card_Prop.Card_fill_style, "G");
  EXPECT_TRUE(b->Card_fill_Grd_2_clr->isEnabled());
  EXPECT_FALSE(b->Card_solid_fill_rd->isChecked());

  // A rectangle and a text, each selected in turn: gradient fill.
  window->toolAction(DrawingTool::Rectangle)->trigger();
  window->toolAction(DrawingTool::Text)->trigger();
  const SKTGraphicPtr text = window->document()->graphics().at(0);
  const SKTGraphicPtr shape = window->document()->graphics().at(1);
  ASSERT_EQ(text->kind(), GraphicKind::Text);
  ASSERT_EQ(shape->kind(), GraphicKind::Shape);
  text->setBounds(QRectF(120, 20, 80, 30));  // apart, so that a click finds each
  click(shape->bounds().center());
  ShapeTab* s = window->shapeTab();
  if (!s->Shape_fill_chk->isChecked()) s->Shape_fill_chk->click();
  chooseByAssistiveTool(s->Shape_gradient_fill_rd);
  EXPECT_EQ(shape->_fill_type, "G");
  chooseByAssistiveTool(s->Shape_Style_fill_rd);
  EXPECT_EQ(shape->_fill_type, "H");
  click(text->bounds().center());
  TextPropertiesTab* t = window->textPropertiesTab();
  if (!t->Text_fill_chk->isChecked()) t->Text_fill_chk->click();
  chooseByAssistiveTool(t->Text_gradient_fill_rd);
  EXPECT_EQ(text->_fill_type, "G");
  EXPECT_EQ(shape->_fill_type, "H");

  // The card size dialog's outline.
  host.queueModal([](QDialog& d) {
    auto& sizes = static_cast<Card_Wizard&>(d);
    chooseByAssistiveTool(sizes.shape_rows[1]);
    EXPECT_EQ(Card_Shape.load(), 1);
    sizes.ok_btn->click();
    return sizes.result();
  });
  window->Card_Size_Clicked();
  EXPECT_EQ(window->Front_card_Prop.Card_Shape, "RR");
  EXPECT_EQ(g->matrix_card_shape->checkedId(), 1);
}

TEST_F(RadioChoice, BackChosenInTheExportWindowWritesTheBack) {
  window->Front_card_Prop.Card_fill_chk = true;
  window->Front_card_Prop.Card_fill_clr = QColor(0, 128, 0);
  window->Back_card_Prop.Card_fill_chk = true;
  window->Back_card_Prop.Card_fill_clr = QColor(200, 0, 0);
  host.queueModal([](QDialog& d) {
    auto& w = static_cast<ExportWindow&>(d);
    w.fileFormatPopup->setCurrentText("PNG");
    chooseByAssistiveTool(w.matrix_export_card_side->button(2));
    EXPECT_FALSE(w.export_combined_image_chk->isEnabled());
    for (QPushButton* ok : w.findChildren<QPushButton*>())
      if (ok->text() == "OK") ok->click();
    return w.result();
  });
  host.queueSavePanel(dir.filePath("card"));
  host.queueModal([](QDialog&) { return 0; });  // the export-finished box
  window->Export_Button();
  const QStringList written = QDir(dir.path()).entryList({"card*"}, QDir::Files);
  ASSERT_EQ(written.size(), 1) << written.join(' ').toStdString();
  const QImage card(dir.filePath(written[0]));
  ASSERT_FALSE(card.isNull());
  const QColor middle = card.pixelColor(card.width() / 2, card.height() / 2);
  EXPECT_EQ(middle.red(), 200);
  EXPECT_EQ(middle.green(), 0);
}

TEST_F(RadioChoice, EachDialogActsOnAToggle) {
  // Print: the back.
  production::setPrinterNamesForTesting([] { return QStringList{production::kPdfFilePrinter}; });
  host.queueModal([](QDialog&) {
    Print_Wnd& print = Print_Wnd::defaultInstance();
    chooseByAssistiveTool(print.matrix_card_side->button(2));
    EXPECT_EQ(print.card_side_str, "B");
    EXPECT_EQ(print.layout().Print_Card_Side, "B");
    return 0;
  });
  window->dialogAction("Print_Button")->trigger();
  production::setPrinterNamesForTesting(nullptr);

  // Mail: the back, then the mode without card and back to the card.
  Send_Mail& mail = Send_Mail::defaultInstance();
  host.queueModal([&mail](QDialog&) {
    chooseByAssistiveTool(mail.matrix_card_side->button(2));
    EXPECT_EQ(mail.card_side_str, "B");
    chooseByAssistiveTool(mail.rd_without_barcode);
    EXPECT_FALSE(mail.rd_mail_curr_barcode->isChecked());
    EXPECT_FALSE(mail.send_sett_box->isEnabled());
    chooseByAssistiveTool(mail.rd_mail_curr_barcode);
    EXPECT_FALSE(mail.rd_without_barcode->isChecked());
    EXPECT_TRUE(mail.send_sett_box->isEnabled());
    return 0;
  });
  window->Mail_Button();

  // Mail settings: exactly one of SSL and TLS.
  Email_Setting& settings = Email_Setting::defaultInstance();
  chooseByAssistiveTool(settings._send_mail_ssl);
  EXPECT_FALSE(settings._send_mail_tls->isChecked());
  chooseByAssistiveTool(settings._send_mail_tls);
  EXPECT_FALSE(settings._send_mail_ssl->isChecked());

  // Series generator: the random mode and its fields.
  Generate_List& generator = Generate_List::defaultInstance();
  chooseByAssistiveTool(generator.radioButton_Random);
  EXPECT_EQ(generator.input().mode, series_generator::Mode::Random);
  EXPECT_TRUE(generator.rand_prefix_txt->isEnabled());
  EXPECT_FALSE(generator.prefix_txt->isEnabled());
  EXPECT_FALSE(generator.radioButton_Sequntial->isChecked());

  // Import wizard: a text file.
  Import_Wizard& import = Import_Wizard::defaultInstance();
  chooseByAssistiveTool(import.Text_RD);
  EXPECT_EQ(import.import_option, 1);
  EXPECT_TRUE(import.Text_btn->isEnabled());
  EXPECT_FALSE(import.Excel_RD->isChecked());

  // Spreadsheet import: one series, appended.
  Import_Excel_DataSheet& sheet = Import_Excel_DataSheet::defaultInstance();
  chooseByAssistiveTool(sheet.Fill_col_RD);
  EXPECT_FALSE(sheet.Each_col_RD->isChecked());
  EXPECT_TRUE(sheet.fill_box->isEnabled());
  chooseByAssistiveTool(sheet.matrix_fill_type[2]);
  EXPECT_EQ(sheet.fill_col_option, 2);
  EXPECT_FALSE(sheet.matrix_fill_type[0]->isChecked());
}
