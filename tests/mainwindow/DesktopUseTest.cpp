// Everyday desktop use of the main window, offscreen: the window fits the
// screen it opens on; Ctrl+P opens the print dialog, Ctrl+= / Ctrl+- / Ctrl+0
// zoom; the menus open and act by their letters, the tools among them; a
// screen reader finds every entry of an open menu there, and uses it.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <functional>

#include "mainwindow/SKTWindowController.h"
#include "mainwindow/WindowTestSupport.h"
#include "mainwindow/panels/CardBorderTab.h"
#include "support/ScriptedHost.h"
#include "support/WindowWait.h"

class DesktopUse : public ::testing::Test {
 protected:
  void SetUp() override { window_test::useSeededResources(dir); }

  QTemporaryDir dir;
  testing_support::ScriptedHost host;
};

TEST_F(DesktopUse, TheWindowOpensWithinASmallScreenWithItsBottomControlsOnIt) {
  // The offscreen screen has no room for the window's usual place and size.
  const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
  ASSERT_FALSE(room.contains(QRect(100, 0, 1000, 800)));
  SKTWindowController window;
  window.show();
  ASSERT_TRUE(testing_support::waitUntilShown(&window));
  EXPECT_TRUE(room.contains(window.frameGeometry()))
      << "window " << window.frameGeometry().height() << " high";
  // The zoom field and the canvas's scroll bars at the bottom, and every
  // tool, can be reached.
  for (QWidget* bottom : {static_cast<QWidget*>(window.findChild<QToolBar*>("Tool_Strip")),
                          static_cast<QWidget*>(window.scrollView(CardSide::Front))}) {
    ASSERT_NE(bottom, nullptr);
    const QRect onScreen(bottom->mapToGlobal(QPoint(0, 0)), bottom->size());
    EXPECT_TRUE(room.contains(onScreen)) << bottom->accessibleName().toStdString();
  }
}

TEST_F(DesktopUse, TheUsualKeysWork) {
  SKTWindowController window;
  window.show();
  window.activateWindow();
  ASSERT_TRUE(testing_support::waitUntilActive(&window));
  QString opened;
  host.queueModal([&](QDialog& dialog) {
    opened = dialog.windowTitle();
    return 0;
  });
  // A border width still being typed reaches the card before the dialog opens.
  QSpinBox* width = window.cardBorderTab()->Card_bor_Stepper;
  window.settingsTabs()->setCurrentIndex(2);
  width->setFocus();
  width->selectAll();
  QTest::keyClicks(width, QStringLiteral("7"));
  QTest::keyClick(&window, Qt::Key_P, Qt::ControlModifier);
  EXPECT_EQ(opened, "Print");
  EXPECT_EQ(window.Front_card_Prop.Card_bor_Stepper, 7);
  // The zoom keys: in, out, and back to the actual size.
  QTest::keyClick(&window, Qt::Key_Equal, Qt::ControlModifier);
  EXPECT_DOUBLE_EQ(window.zoomFactor(), 1.25);
  QTest::keyClick(&window, Qt::Key_0, Qt::ControlModifier);
  EXPECT_DOUBLE_EQ(window.zoomFactor(), 1.0);
  QTest::keyClick(&window, Qt::Key_Minus, Qt::ControlModifier);
  EXPECT_DOUBLE_EQ(window.zoomFactor(), 0.75);
  // Alt+E opens the Edit menu; A selects all, D deletes.
  for (int i = 0; i < 2; ++i) window.toolAction(DrawingTool::Rectangle)->trigger();
  for (Qt::Key letter : {Qt::Key_A, Qt::Key_D}) {
    QTest::keyClick(&window, Qt::Key_E, Qt::AltModifier);
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    QTest::keyClick(QApplication::activePopupWidget(), letter);
  }
  EXPECT_EQ(window.Get_Front_Control_Count(), 0);
  // Alt+I opens the tools as a menu; Enter places the first, a line.
  QTest::keyClick(&window, Qt::Key_I, Qt::AltModifier);
  ASSERT_NE(QApplication::activePopupWidget(), nullptr);
  QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Return);
  EXPECT_EQ(window.Get_Front_Control_Count(), 1);
  // The strip's buttons are named without the letter marks.
  EXPECT_EQ(
      window.findChild<QToolBar*>("Edit_Strip")->widgetForAction(window.editAction("Cut"))->accessibleName(),
      "Cut");
}

// A screen reader reads the whole window first, the File menu before the
// Card menu; the Card menu's Export, Print and E-mail (which the File menu
// has too) are then still its own entries: showing, where the open menu
// draws them, and pressed from there.
TEST_F(DesktopUse, AScreenReaderFindsAndUsesTheEntriesOfTheOpenCardMenu) {
  SKTWindowController window;
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  QTest::keyClick(&window, Qt::Key_C, Qt::AltModifier);
  auto* card = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(card, nullptr);
  ASSERT_EQ(card->title(), "&Card");
  const std::function<void(QAccessibleInterface*, int)> read = [&](QAccessibleInterface* node, int depth) {
    for (int i = 0; node && depth < 12 && i < node->childCount(); ++i) read(node->child(i), depth + 1);
  };
  read(QAccessible::queryAccessibleInterface(&window), 0);

  QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(card);
  ASSERT_NE(menu, nullptr);
  QStringList found;
  QAccessibleInterface* print = nullptr;
  for (int i = 0; i < menu->childCount(); ++i) {
    QAccessibleInterface* entry = menu->child(i);
    const QString name = entry->text(QAccessible::Name);
    if (name != "Export…" && name != "Print…" && name != "E-mail…") continue;
    found << name;
    EXPECT_FALSE(entry->state().invisible) << name.toStdString();
    EXPECT_TRUE(menu->rect().contains(entry->rect())) << name.toStdString();
    EXPECT_EQ(entry->parent(), menu) << name.toStdString();
    if (name == "Print…") print = entry;
  }
  EXPECT_EQ(found, (QStringList{"Export…", "Print…", "E-mail…"}));
  ASSERT_NE(print, nullptr);
  QString opened;
  host.queueModal([&](QDialog& dialog) {
    opened = dialog.windowTitle();
    return 0;
  });
  print->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(opened, "Print");
  if (QApplication::activePopupWidget()) QApplication::activePopupWidget()->close();
}
