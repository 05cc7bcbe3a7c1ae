// Natural Size of the alignment tab on a text, through the real window: the
// wizard's title keeps showing all of itself in the box it gets.
#include <gtest/gtest.h>

#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QUndoStack>

#include "WindowTestSupport.h"
#include "canvas/SKTGraphicView.h"
#include "core/SKTText.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/panels/AlignmentTab.h"
#include "personalisation/Invitation_Wizard.h"
#include "support/CanvasInput.h"
#include "support/ScriptedHost.h"

namespace {

class StartWindowShown {
 public:
  StartWindowShown() { SKTWindowController::setStartWindowShown(true); }
  ~StartWindowShown() { SKTWindowController::setStartWindowShown(false); }
};

// The text alone, drawn in the given box on white.
QImage drawnIn(SKTGraphic& text, const QRectF& box) {
  const QRectF kept = text._bounds;
  text._bounds = box;
  QImage img(600, 200, QImage::Format_ARGB32);
  img.fill(Qt::white);
  QPainter painter(&img);
  text.drawContentsInView(painter, false);
  painter.end();
  text._bounds = kept;
  return img;
}

}  // namespace

TEST(TextNaturalSizeWindow, TheWizardTitleShowsAllOfItselfAfterNaturalSize) {
  QTemporaryDir dir;
  window_test::useSeededResources(dir);
  testing_support::ScriptedHost host;
  StartWindowShown shown;
  Invitation_Wizard& wizard = Invitation_Wizard::defaultInstance();
  host.queueModal([&](QDialog&) {
    wizard.wizard_btn->click();
    wizard.Next_btn->click();  // card size
    wizard.Next_btn->click();  // background
    wizard.msg_title->setText("Happy Birthday, Jeff!");
    wizard.Next_btn->click();  // texts
    wizard.to_value->setText("Robin");
    wizard.from_value->setText("Kai");
    wizard.Next_btn->click();  // finish
    return wizard.result();
  });
  SKTWindowController window;
  SKTGraphicPtr title;
  for (const SKTGraphicPtr& g : window.document()->graphics())
    if (g->control_ID == QLatin1String("PARTY_TITLE")) title = g;
  ASSERT_TRUE(title);
  ASSERT_EQ(title->Text_contents()->string, "Happy Birthday, Jeff!");
  ASSERT_EQ(title->text_ctrl_font.size, 18.0);
  ASSERT_EQ(title->text_alignmnet, 2);  // centred
  const QRectF laidOut = title->bounds();
  const QImage blank = drawnIn(*title, QRectF());
  ASSERT_FALSE(drawnIn(*title, laidOut) == blank);

  // Select the title with a click and press Natural Size.
  SKTGraphicView* view = window.currentSideView();
  view->queueTrackingEvents({testing_support::up(laidOut.center())});
  view->mouseDown(testing_support::down(laidOut.center()));
  ASSERT_EQ(view->selectedGraphics().size(), 1u);
  ASSERT_EQ(view->selectedGraphics().front(), title);
  window.alignmentTab()->Make_Natural_btn->click();

  const QRectF natural = title->bounds();
  EXPECT_EQ(natural.topLeft(), laidOut.topLeft());
  EXPECT_LT(natural.width(), laidOut.width());
  EXPECT_GT(natural.height(), 18);
  const QImage inNatural = drawnIn(*title, natural);
  EXPECT_FALSE(inNatural == blank);  // the title did not vanish
  // A box wider on both sides and taller keeps the centred title in place
  // and shows exactly the same.
  EXPECT_TRUE(inNatural == drawnIn(*title, natural.adjusted(-40, 0, 40, 60)));

  // One undo step gives the wizard's box back.
  window.document()->undo();
  EXPECT_EQ(title->bounds(), laidOut);
}
