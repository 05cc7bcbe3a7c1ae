// Check boxes of the window and its dialogs ticked or cleared by an
// assistive tool's Toggle action, which changes a box without clicking it:
// each acts as the click does.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include "canvas/SKTGrid.h"
#include "core/globals.h"
#include "data/DataSeriesStore.h"
#include "mainwindow/AuxWindows.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/WindowTestSupport.h"
#include "mainwindow/panels/CardBackgroundTab.h"
#include "mainwindow/panels/CardBorderTab.h"
#include "mainwindow/panels/PictureTab.h"
#include "mainwindow/panels/ShapeTab.h"
#include "mainwindow/panels/SignatureTab.h"
#include "mainwindow/panels/TextPropertiesTab.h"
#include "production/Send_Mail.h"
#include "production/print/Print_Wnd.h"
#include "production/print/Printers.h"
#include "support/AccessibleControls.h"
#include "support/ScriptedHost.h"

using testing_support::toggleByAssistiveTool;

class CheckBoxToggle : public ::testing::Test {
 protected:
  void SetUp() override {
    window_test::useSeededResources(dir);
    window = std::make_unique<SKTWindowController>();
  }
  void TearDown() override {
    window.reset();
    Card_Front_Or_Back = 0;
  }
  SKTGraphicPtr newest() const { return window->document()->graphics().at(0); }
  // Toggles the box twice: `flag` of the newest object follows it each time,
  // and so do the settings under it, usable while it is ticked.
  template <typename Flag>
  void expectFollows(QCheckBox* box, Flag SKTGraphic::*flag, QGroupBox* settings = nullptr) {
    const SKTGraphicPtr g = newest();
    for (int i = 0; i < 2; ++i) {
      toggleByAssistiveTool(box);
      EXPECT_EQ(static_cast<bool>((*g).*flag), box->isChecked()) << box->text().toStdString();
      if (settings) EXPECT_EQ(settings->isEnabled(), box->isChecked()) << box->text().toStdString();
    }
  }
  void expectBorderFollows(const panels::BorderControls& border) {
    expectFollows(border.check, &SKTGraphic::_isDrawingStroke, border.box);
  }

  QTemporaryDir dir;
  testing_support::ScriptedHost host;
  std::unique_ptr<SKTWindowController> window;
};

TEST_F(CheckBoxToggle, TheCardAndObjectTabsFollowAToggle) {
  // The card's border and fill, with the boxes of their settings.
  CardBorderTab* r = window->cardBorderTab();
  const bool border = window->Front_card_Prop.Card_border_chk;
  toggleByAssistiveTool(r->Card_border_chk);
  EXPECT_EQ(window->Front_card_Prop.Card_border_chk, !border);
  EXPECT_EQ(r->Card_Border_Box->isEnabled(), !border);
  CardBackgroundTab* b = window->cardBackgroundTab();
  const bool fill = window->Front_card_Prop.Card_fill_chk;
  toggleByAssistiveTool(b->Card_fill_chk);
  EXPECT_EQ(window->Front_card_Prop.Card_fill_chk, !fill);
  EXPECT_EQ(b->Card_Fill_Box->isEnabled(), !fill);

  // A shape's and a text's border and fill.
  window->toolAction(DrawingTool::Rectangle)->trigger();
  ShapeTab* s = window->shapeTab();
  expectBorderFollows(s->border);
  expectFollows(s->Shape_fill_chk, &SKTGraphic::_isDrawingFill, s->Shape_Fill_Box);
  window->toolAction(DrawingTool::Text)->trigger();
  TextPropertiesTab* t = window->textPropertiesTab();
  expectBorderFollows(t->border);
  expectFollows(t->Text_fill_chk, &SKTGraphic::_isDrawingFill, t->Text_Fill_Box);

  // A picture's filters, mirrors and border.
  const QString red = dir.filePath("red.png");
  QImage picture(40, 30, QImage::Format_RGB32);
  picture.fill(Qt::red);
  ASSERT_TRUE(picture.save(red));
  host.queueOpenPanel({red});
  window->toolAction(DrawingTool::PictureFile)->trigger();
  ASSERT_EQ(newest()->kind(), GraphicKind::Image);
  PictureTab* p = window->pictureTab();
  expectFollows(p->Image_Gray_Scale_chk, &SKTGraphic::gray_Scale);
  expectFollows(p->Image_Sepia_chk, &SKTGraphic::Sepia);
  expectFollows(p->Image_Invert_chk, &SKTGraphic::invert_clr);
  expectFollows(p->Image_FIV_chk, &SKTGraphic::_isFlippedVertically);
  expectFollows(p->Image_FIH_chk, &SKTGraphic::_isFlippedHorizontally);
  expectBorderFollows(p->border);

  // A signature's border, and the screen-only flag every object tab shows.
  window->toolAction(DrawingTool::Signature)->trigger();
  expectBorderFollows(window->signatureTab()->border);
  expectFollows(window->print_object_chk, &SKTGraphic::print_object);
}

TEST_F(CheckBoxToggle, EachDialogActsOnAToggle) {
  // Grid settings: shown, and snapping.
  SKTGrid* grid = window->grid();
  host.queueModal([grid](QDialog&) {
    Grid_Wizard& settings = Grid_Wizard::defaultInstance();
    toggleByAssistiveTool(settings.Show_hide_grid_chk);
    EXPECT_TRUE(grid->isAlwaysShown());
    EXPECT_TRUE(settings.Grid_Opt_box->isEnabled());
    toggleByAssistiveTool(settings.Snap_to_grid_chk);
    EXPECT_TRUE(grid->isConstraining());
    return 1;
  });
  window->toggleGridShowing();
  EXPECT_TRUE(grid->isAlwaysShown());
  EXPECT_TRUE(grid->isConstraining());

  // A text bound to a series of three guests.
  ASSERT_TRUE(DataSeriesStore().writeSeries("Guests", {"Ann", "Bo", "Cy"}));
  auto text = SKTGraphic::makeGraphic(GraphicKind::Text);
  text->setBounds(QRectF(10, 10, 120, 30));
  text->data_source_type = 1;
  text->batch_list_name = "Guests";
  window->document()->insertGraphic(CardSide::Front, text, 0);

  // Print: without the rows one card, with them three.
  production::setPrinterNamesForTesting([] { return QStringList{production::kPdfFilePrinter}; });
  host.queueModal([](QDialog&) {
    Print_Wnd& print = Print_Wnd::defaultInstance();
    EXPECT_EQ(print.Total_Text->value(), 3);
    toggleByAssistiveTool(print.print_with_batch_chk);
    EXPECT_EQ(print.Total_Text->value(), 1);
    EXPECT_EQ(print.layout().Total_Label, 1);
    toggleByAssistiveTool(print.print_with_batch_chk);
    EXPECT_EQ(print.Total_Text->value(), 3);
    return 0;
  });
  window->dialogAction("Print_Button")->trigger();
  production::setPrinterNamesForTesting(nullptr);

  // Mail: the rows offer the two ways of sending them; the pause its settings.
  host.queueModal([](QDialog&) {
    Send_Mail& mail = Send_Mail::defaultInstance();
    EXPECT_FALSE(mail.rd_all_to_every->isEnabled());
    toggleByAssistiveTool(mail.send_with_batch_chk);
    EXPECT_TRUE(mail.rd_all_to_every->isEnabled());
    EXPECT_TRUE(mail.rd_one_per_recp->isEnabled());
    toggleByAssistiveTool(mail.send_with_batch_chk);
    EXPECT_FALSE(mail.rd_one_per_recp->isEnabled());
    toggleByAssistiveTool(mail.delayed_delv_chk);
    EXPECT_TRUE(mail.delayed_box->isEnabled());
    EXPECT_TRUE(mail.hour_stepper->isEnabled());
    return 0;
  });
  window->Mail_Button();
  EXPECT_TRUE(host.messages().isEmpty()) << host.messages().join('|').toStdString();
}
