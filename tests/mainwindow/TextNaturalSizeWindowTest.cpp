// Natural Size of the alignment tab on a text, through the real window: the
// wizard's title keeps showing all of itself in the box it gets, and a text
// far too tall for any design gets the largest size a design keeps.
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
#include "mainwindow/scripting/DocumentBusObject.h"
#include "mainwindow/scripting/GraphicBusObject.h"
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

// A text of 8,000 one-character lines (a script may give a text up to
// 100,000 characters) is far taller than any design can keep: Natural Size
// makes it as tall as an object may be, and the design saves and opens again.
TEST(TextNaturalSizeWindow, AVeryLongTextGivenNaturalSizeIsSavedAndOpensAgain) {
  QTemporaryDir dir;
  window_test::useSeededResources(dir);
  testing_support::ScriptedHost host;
  SKTWindowController window;
  DocumentBusObject scripting(*window.document(), window, QDBusConnection(QStringLiteral("not connected")));
  scripting.Insert(QStringLiteral("textAreas"), 0, QRectF(20, 20, 120, 40));
  ASSERT_EQ(window.document()->graphics().size(), 1u);
  const SKTGraphicPtr text = window.document()->graphics().front();
  GraphicBusObject(text, window).SetContents(QStringLiteral("1\n").repeated(8000).chopped(1));
  ASSERT_EQ(text->Text_contents()->string.count(QLatin1Char('\n')), 7999);

  SKTGraphicView* view = window.currentSideView();
  view->queueTrackingEvents({testing_support::up({30, 30})});
  view->mouseDown(testing_support::down({30, 30}));
  ASSERT_EQ(view->selectedGraphics(), SKTGraphicList{text});
  window.alignmentTab()->Make_Natural_btn->click();
  const QRectF natural = text->bounds();
  EXPECT_EQ(natural.topLeft(), QPointF(20, 20));
  EXPECT_LT(natural.width(), 20);
  EXPECT_EQ(natural.height(), 100000);

  window_test::saveAndReopen(window, host, dir.filePath(QStringLiteral("lines.dcard")));
  ASSERT_EQ(window.document()->graphics().size(), 1u);
  EXPECT_EQ(window.document()->graphics().front()->bounds(), natural);
  EXPECT_EQ(window.document()->graphics().front()->Text_contents()->string, text->Text_contents()->string);
}
