// The start window and new-card wizard driven through its real widgets,
// and the card it lays out.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <algorithm>

#include "PersonalisationTestHost.h"
#include "core/SKTText.h"
#include "personalisation/Invitation_Wizard.h"
#include "personalisation/WizardLayout.h"
#include "personalisation/globals.h"
#include "platform/widgets/PictureBrowser.h"
#include "support/EventLoop.h"
#include "support/PictureSamples.h"
#include "support/PipeWatchdog.h"
#include "support/ScriptedHost.h"
#include "support/TabOrder.h"

namespace {

using testing_support::writeFile;

QString writePicture(const QString& path) {
  QImage image(30, 20, QImage::Format_RGB32);
  image.fill(Qt::darkCyan);
  image.save(path, "PNG");
  return path;
}

void press(Qt::Key key, const QString& text = QString()) {
  QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(QApplication::focusWidget(), &event);
}

// A mouse click, which takes the focus to the button as it does for a user.
void clickWithMouse(QWidget* button) {
  const QPointF at = QRectF(button->rect()).center();
  QMouseEvent down(QEvent::MouseButtonPress, at, button->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
  QMouseEvent up(QEvent::MouseButtonRelease, at, button->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, {});
  QApplication::sendEvent(button, &down);
  QApplication::sendEvent(button, &up);
}

// A mouse click on an item of a list.
void clickOn(QAbstractItemView& view, const QModelIndex& index) {
  const QPointF at = QRectF(view.visualRect(index)).center();
  const QPointF global = view.viewport()->mapToGlobal(at);
  QMouseEvent down(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, {});
  QMouseEvent up(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, {});
  QApplication::sendEvent(view.viewport(), &down);
  QApplication::sendEvent(view.viewport(), &up);
}

// As a person reads the window: a row above first, then left to right.
bool readsBefore(const QWidget* a, const QWidget* b) {
  const QRect ra(a->mapTo(a->window(), QPoint()), a->size()), rb(b->mapTo(b->window(), QPoint()), b->size());
  if (ra.bottom() < rb.top() || rb.bottom() < ra.top()) return ra.top() < rb.top();
  return ra.left() < rb.left();
}

// Once round with Tab from the focused control: every control a user can
// reach, in reading order (the turn back to the top aside).
void expectTabInReadingOrder(QDialog& window, const char* face) {
  QList<QWidget*> reading, chain;
  for (QWidget* w : window.findChildren<QWidget*>())
    if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) && w->focusProxy() == nullptr)
      reading << w;
  std::sort(reading.begin(), reading.end(), readsBefore);
  testing_support::tabStops(window, nullptr, reading.size() - 1, [&chain](QWidget& w) { chain << &w; });
  auto names = [first = reading.value(0)](QList<QWidget*> list) {
    std::rotate(list.begin(), list.begin() + std::max<qsizetype>(0, list.indexOf(first)), list.end());
    QStringList out;
    for (QWidget* w : list) out << w->accessibleName();
    return out.join(" > ").toStdString();
  };
  EXPECT_EQ(names(chain), names(reading)) << face;
}

}  // namespace

class Wizard : public ::testing::Test {
 protected:
  testing_support::ScriptedHost messages;
  PersonalisationTestHost host;
  Invitation_Wizard& wizard = Invitation_Wizard::defaultInstance();

  void SetUp() override {
    const QString folder = host.folder.path();
    writeFile(folder + "/Title.txt", "First title\r\nSecond title\r\nLast title\r\n");
    writeFile(folder + "/Message.txt", "  Only message  \n");
    writePicture(folder + "/Background/b-second.png");
    writePicture(folder + "/Background/a-first.jpg");
    writeFile(folder + "/Background/not-a-picture.txt", "x");
  }
};

TEST_F(Wizard, StepsGuardsLimitsAndTheFinishedAnswers) {
  messages.queueModal([&](QDialog&) {
    EXPECT_EQ(wizard.faces->currentIndex(), 0);
    EXPECT_FALSE(wizard.button_box->isVisibleTo(&wizard));
    wizard.wizard_btn->click();
    EXPECT_EQ(wizard.next_counter, 1);
    EXPECT_DOUBLE_EQ(wizard.width_Stepper->value(), 120.0);

    // A card too narrow for the layout's margins is refused.
    wizard.width_Stepper->setValue(25);
    wizard.Next_btn->click();
    EXPECT_EQ(wizard.next_counter, 1);
    wizard.width_Stepper->setValue(100);
    wizard.height_Stepper->setValue(50);
    wizard.Next_btn->click();

    // Step 2 lists the pictures by name and preselects the first.
    EXPECT_EQ(wizard.next_counter, 2);
    EXPECT_EQ(wizard.imageBrowser->pictureModel()->rowCount(), 2);
    EXPECT_TRUE(wizard.selected_image.endsWith("a-first.jpg"));
    QFile::remove(wizard.selected_image);  // the picture went away meanwhile
    wizard.Next_btn->click();
    EXPECT_EQ(wizard.next_counter, 2);
    // A click on a picture accepts it at once.
    wizard.imageBrowser->setCurrentIndex(wizard.imageBrowser->pictureModel()->index(1));
    EXPECT_EQ(wizard.next_counter, 3);

    // Stock titles cycle both ways; a line end never stays in an entry.
    EXPECT_EQ(wizard.msg_title->text(), "First title");
    wizard.title_bk_btn->click();
    EXPECT_EQ(wizard.msg_title->text(), "Last title");
    wizard.title_nxt_btn->click();
    wizard.title_nxt_btn->click();
    EXPECT_EQ(wizard.msg_title->text(), "Second title");
    EXPECT_EQ(wizard.msg_value->toPlainText(), "Only message");
    wizard.msg_nxt_btn->click();
    EXPECT_EQ(wizard.msg_value->toPlainText(), "Only message");

    wizard.msg_title->clear();
    wizard.Next_btn->click();
    wizard.msg_title->setText("   ");
    wizard.msg_value->clear();
    wizard.Next_btn->click();
    EXPECT_EQ(wizard.next_counter, 3);
    // Limits: 300 characters pasted leave 250; a cut never splits a pair.
    wizard.msg_value->setPlainText(QString(300, 'm'));
    EXPECT_EQ(wizard.msg_value->toPlainText().size(), 250);
    wizard.msg_title->setText(QString(99, 't') + QString::fromUtf8("\xF0\x9F\x8E\x88"));
    EXPECT_EQ(wizard.msg_title->text().size(), 99);
    EXPECT_EQ(wizard.msg_title->text(), QString(99, QChar(u't')));
    wizard.msg_title->setText("   ");
    wizard.msg_value->setPlainText("  Come over!\n");
    wizard.Next_btn->click();
    EXPECT_EQ(wizard.next_counter, 4);

    wizard.from_value->setText(QString(41, 'f'));
    EXPECT_EQ(wizard.from_value->text().size(), 40);
    EXPECT_TRUE(wizard.clear_details_btn->isEnabled());
    messages.queueYesNo(false);
    wizard.clear_details_btn->click();
    EXPECT_EQ(wizard.from_value->text().size(), 40);
    messages.queueYesNo(true);
    wizard.clear_details_btn->click();
    EXPECT_TRUE(wizard.from_value->text().isEmpty());
    wizard.to_value->setText(" Sam ");
    // Back keeps what was chosen and typed.
    wizard.Back_Btn->click();
    wizard.Back_Btn->click();
    EXPECT_EQ(wizard.next_counter, 2);
    wizard.Next_btn->click();
    wizard.Next_btn->click();
    wizard.Next_btn->click();
    return wizard.result();
  });
  EXPECT_EQ(wizard.Open_Wnd(), 1);
  EXPECT_EQ(shown(messages),
            QStringList({"Please enter a card width of at least 30 mm.",
                         "The file \"" + host.folder.path() +
                             "/Background/a-first.jpg\" could not be read: no such file or directory.",
                         "Please select title.", "Please select message."}));
  EXPECT_EQ(wizard.Start_Card_Option, "W");
  EXPECT_EQ(Invite_Title, "");  // blanks only: nothing to place
  EXPECT_EQ(Invite_Message, "Come over!");
  EXPECT_EQ(Invite_To, "Sam");
  EXPECT_EQ(Invite_From, "");
  EXPECT_TRUE(Invite_BG_IMG.endsWith("b-second.png"));
  EXPECT_EQ(host.panelSizeMM, QSizeF(100, 50));
  EXPECT_FLOAT_EQ(host.frontSize.width(), 283.46457f);
  EXPECT_FLOAT_EQ(host.frontSize.height(), 141.73228f);
  EXPECT_EQ(host.shape, 0);
}

// Backgrounds that cannot be read are listed, each with the reason as its
// tooltip, and choosing one names it and keeps the step: a pipe, a folder, a
// link to a device, a file that is no picture, 2 GiB of nothing (sparse), and
// a JPEG and a PNG cut short (the JPEG in its scan data, which Qt's reader
// fills with grey).
TEST_F(Wizard, BackgroundsThatCannotBeReadAreNamedWhereListedAndWhenChosen) {
  const QString folder = host.folder.path() + "/Background/";
  ASSERT_TRUE(testing_support::makePipe(folder + "c-pipe.png"));
  ASSERT_TRUE(QDir().mkpath(folder + "d-folder.jpg"));
  ASSERT_TRUE(QFile::link("/dev/zero", folder + "e-zero.png"));
  writeFile(folder + "f-text.png", "Name;City\n");
  {
    QFile huge(folder + "g-huge.jpg");
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(qint64{2} << 30));
  }
  const QList<testing_support::PictureSample> samples = testing_support::wholePictureSamples();
  writeFile(folder + "h-cut.jpg", testing_support::cutPictureSamples(samples[0]).last());
  writeFile(folder + "i-cut.png", testing_support::cutPictureSamples(samples[1]).value(3));
  testing_support::PipeWatchdog watchdog({folder + "c-pipe.png"});
  const QString said = "The file \"" + folder + "%1\" could not be read: %2.";
  const QStringList problems = {said.arg("c-pipe.png", "it is a named pipe, not a file"),
                                said.arg("d-folder.jpg", "it is a folder"),
                                said.arg("e-zero.png", "it is a device, not a file (a link to /dev/zero)"),
                                said.arg("f-text.png", "it is not a picture"),
                                said.arg("g-huge.jpg", "it is not a picture"),
                                said.arg("h-cut.jpg", "it is a damaged or incomplete picture"),
                                said.arg("i-cut.png", "it is a damaged or incomplete picture")};
  QStringList tooltips;
  messages.queueModal([&](QDialog&) {
    wizard.wizard_btn->click();
    wizard.Next_btn->click();
    PictureItemModel* model = wizard.imageBrowser->pictureModel();
    EXPECT_EQ(model->rowCount(), 9);
    for (int row = 0; row < model->rowCount(); ++row)
      tooltips << model->index(row).data(Qt::ToolTipRole).toString();
    for (int row = 2; row < model->rowCount(); ++row) {
      wizard.imageBrowser->setCurrentIndex(model->index(row));
      EXPECT_EQ(wizard.next_counter, 2) << row;
    }
    // With the mouse: a click that chooses another is answered once, and a
    // click on the one chosen again.
    for (int click = 0; click < 2; ++click) clickOn(*wizard.imageBrowser, model->index(3));
    wizard.imageBrowser->setCurrentIndex(model->index(1));
    EXPECT_EQ(wizard.next_counter, 3);
    // The chosen background goes away before Finish: it is named and
    // another is chosen, instead of a white card.
    wizard.Next_btn->click();
    EXPECT_EQ(wizard.next_counter, 4);
    QFile::remove(folder + "b-second.png");
    wizard.Next_btn->click();
    EXPECT_EQ(wizard.next_counter, 2);
    // So is one cut short after it was chosen (and decoded).
    wizard.imageBrowser->setCurrentIndex(model->index(0));
    wizard.Next_btn->click();
    EXPECT_EQ(wizard.next_counter, 4);
    writeFile(folder + "a-first.jpg", testing_support::cutPictureSamples(samples[0]).value(1));
    wizard.Next_btn->click();
    EXPECT_EQ(wizard.next_counter, 2);
    EXPECT_EQ(wizard.result(), 0);
    wizard.ExitClick();
    return wizard.result();
  });
  wizard.Open_Wnd();
  EXPECT_EQ(tooltips.mid(0, 2), QStringList({folder + "a-first.jpg", folder + "b-second.png"}));
  EXPECT_EQ(tooltips.mid(2), problems);
  EXPECT_EQ(
      shown(messages),
      problems + QStringList({problems[1], problems[1], said.arg("b-second.png", "no such file or directory"),
                              said.arg("a-first.jpg", "it is a damaged or incomplete picture")}));
  EXPECT_TRUE(watchdog.freed().isEmpty());
}

TEST_F(Wizard, CancelGoesBackToTheStartScreenAndExitEndsTheRun) {
  messages.queueModal([&](QDialog&) {
    wizard.wizard_btn->click();
    wizard.width_Stepper->setValue(90);
    wizard.Next_btn->click();
    wizard.Next_btn->click();
    wizard.msg_title->setText("Changed");
    wizard.Cancel_btn->click();
    EXPECT_EQ(wizard.next_counter, 0);
    EXPECT_EQ(wizard.msg_title->text(), "First title");
    EXPECT_TRUE(wizard.selected_image.isEmpty());
    // A picture put into the folder meanwhile is listed when the pictures show again.
    writePicture(host.folder.path() + "/Background/c-added.png");
    wizard.wizard_btn->click();
    EXPECT_DOUBLE_EQ(wizard.width_Stepper->value(), 90.0);  // the size entered last
    wizard.Next_btn->click();
    EXPECT_EQ(wizard.imageBrowser->pictureModel()->rowCount(), 3);
    EXPECT_TRUE(wizard.imageBrowser->pictureModel()->images().back().path.endsWith("c-added.png"));
    wizard.Back_Btn->click();
    // Escape goes back to the start screen, and does nothing there.
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&wizard, &escape);
    EXPECT_EQ(wizard.next_counter, 0);
    QApplication::sendEvent(&wizard, &escape);
    EXPECT_EQ(wizard.Start_Card_Option, "W");
    // Open a saved design: a cancelled panel keeps the start screen.
    wizard.open_btn->click();
    EXPECT_EQ(wizard.faces->currentIndex(), 0);
    wizard.Exit_btn->click();
    return wizard.result();
  });
  EXPECT_EQ(wizard.Open_Wnd(), 0);

  // By keyboard: the start screen opens on its first choice and Enter takes
  // it; Escape comes back to it with the focus there again.
  messages.queueModal([&](QDialog&) {
    wizard.show();
    wizard.activateWindow();
    EXPECT_TRUE(testing_support::serveUntil([&] { return wizard.isActiveWindow(); }));
    EXPECT_EQ(QApplication::focusWidget(), wizard.wizard_btn);
    auto type = [](Qt::Key key) {
      QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
      QApplication::sendEvent(QApplication::focusWidget(), &press);
    };
    type(Qt::Key_Return);
    EXPECT_EQ(wizard.next_counter, 1);
    type(Qt::Key_Escape);
    EXPECT_EQ(wizard.next_counter, 0);
    EXPECT_EQ(QApplication::focusWidget(), wizard.wizard_btn);
    wizard.Exit_btn->click();
    wizard.hide();
    return wizard.result();
  });
  EXPECT_EQ(wizard.Open_Wnd(), 0);
  EXPECT_EQ(wizard.Start_Card_Option, "");
  EXPECT_TRUE(messages.questions().isEmpty());

  // A design opened from the start screen ends the run with 1.
  host.openLogResult = 1;
  messages.queueModal([&](QDialog&) {
    wizard.open_btn->click();
    return wizard.result();
  });
  EXPECT_EQ(wizard.Open_Wnd(), 1);
  EXPECT_EQ(wizard.Start_Card_Option, "L");
}

TEST_F(Wizard, EachStepOpensOnItsFirstFieldAndTabsInReadingOrder) {
  messages.queueModal([&](QDialog&) {
    wizard.show();
    wizard.activateWindow();
    EXPECT_TRUE(testing_support::serveUntil([&] { return wizard.isActiveWindow(); }));
    EXPECT_EQ(QApplication::focusWidget(), wizard.wizard_btn);
    expectTabInReadingOrder(wizard, "start screen");
    clickWithMouse(wizard.wizard_btn);
    EXPECT_EQ(QApplication::focusWidget(), wizard.width_Stepper);
    expectTabInReadingOrder(wizard, "card size");
    clickWithMouse(wizard.Next_btn);
    EXPECT_EQ(QApplication::focusWidget(), wizard.imageBrowser);
    expectTabInReadingOrder(wizard, "background");
    clickWithMouse(wizard.Next_btn);
    EXPECT_EQ(QApplication::focusWidget(), wizard.msg_title);
    expectTabInReadingOrder(wizard, "title and message");
    wizard.msg_value->setFocus();
    clickWithMouse(wizard.Next_btn);
    EXPECT_EQ(QApplication::focusWidget(), wizard.from_value);
    expectTabInReadingOrder(wizard, "from and to");
    // Back opens the step on its first field again, not where the user left.
    clickWithMouse(wizard.Back_Btn);
    EXPECT_EQ(QApplication::focusWidget(), wizard.msg_title);
    clickWithMouse(wizard.Next_btn);
    // Names typed in reading order land in the fields they were typed for.
    EXPECT_EQ(QApplication::focusWidget(), wizard.from_value);
    press(Qt::Key_A, "Ann");
    press(Qt::Key_Tab);
    press(Qt::Key_B, "Ben");
    clickWithMouse(wizard.Next_btn);
    wizard.hide();
    return wizard.result();
  });
  EXPECT_EQ(wizard.Open_Wnd(), 1);
  EXPECT_EQ(Invite_From, "Ann");
  EXPECT_EQ(Invite_To, "Ben");
}

TEST(WizardLayout, PlacesEachAnswerAsTheCardLayoutSays) {
  auto tops = [](const QList<PartyTextPlacement>& list) {
    QList<double> out;
    for (const PartyTextPlacement& p : list) out << p.rect.y();
    return out;
  };
  const double W = 120 * 2.834645669291;  // 120 mm
  const float w = static_cast<float>(W - 80);
  const InviteAnswers all{"Title", "Kim", "Message", "Friday", "6 PM", "Hall", "Jo", ""};
  const QList<PartyTextPlacement> full = Party_Invitation_Layout(all, {W, W});
  ASSERT_EQ(full.size(), 6);
  EXPECT_EQ(tops(full), QList<double>({40, 90, 120, 200, 230, 300}));
  const QStringList ids = {"PARTY_TITLE", "PARTY_TO", "PARTY_MSG", "PARTY_DATE", "PARTY_VENUE", "PARTY_FROM"};
  const QStringList texts = {"Title", "Dear Kim,", "Message", "Friday at 6 PM", "Venue:\nHall", "From:\nJo"};
  const QList<double> xs = {40, 30, 50, 30, 30, 40};
  const QList<double> heights = {30, 20, 80, 20, 60, 40};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(full[i].ctrl_ID, ids[i]);
    EXPECT_EQ(full[i].text, texts[i]);
    EXPECT_NEAR(full[i].rect.x(), xs[i], 1e-4) << i;
    EXPECT_FLOAT_EQ(full[i].rect.width(), w);
    EXPECT_EQ(full[i].rect.height(), heights[i]);
  }
  const QList<PartyTextPlacement> few = Party_Invitation_Layout({"T", "", "M", "", "", "", "F", ""}, {W, W});
  EXPECT_EQ(tops(few), QList<double>({40, 90, 220}));
  const QList<PartyTextPlacement> timeOnly =
      Party_Invitation_Layout({"T", "", "M", "", "6", "V", "F", ""}, {W, W});
  EXPECT_EQ(tops(timeOnly), QList<double>({40, 90, 170, 230, 300}));
  EXPECT_EQ(timeOnly[2].text, "AT 6");
  EXPECT_TRUE(Party_Invitation_Layout({}, {W, W}).isEmpty());
  // A recipient whose line needs more than its place gets the lines it
  // needs, and the texts below move down as far.
  const InviteAnswers longTo{"T", QString("Alexandra Whitfield-Baker ").repeated(3), "M", "", "", "", "F",
                             ""};
  const QList<PartyTextPlacement> grown = Party_Invitation_Layout(longTo, {W, W});
  const double extra = grown[1].rect.height() - 20;
  EXPECT_GT(extra, 0);
  EXPECT_EQ(tops(grown), QList<double>({40, 90, 120 + extra, 250 + extra}));
  EXPECT_TRUE(Party_Text_Without_Room(longTo, {W, W}).isEmpty());
  EXPECT_EQ(Party_Text_Without_Room(longTo, {W, 45}), "PARTY_TO");
  // A card too short or narrow for those places still gets every text on
  // it, in the same order and without overlaps; a narrow card's boxes keep
  // the least width.
  for (const QSizeF card : {QSizeF(255.1181, 170.07874), QSizeF(85.03937, 340.1575)}) {
    const QList<PartyTextPlacement> placed = Party_Invitation_Layout(all, card);
    ASSERT_EQ(placed.size(), 6);
    for (int i = 0; i < 6; ++i) {
      EXPECT_TRUE(QRectF(QPointF(), card).contains(placed[i].rect)) << i << " on " << card.width();
      EXPECT_GE(placed[i].rect.width(), kMinPartyTextWidth);
      if (i > 0) {
        EXPECT_GE(placed[i].rect.top(), placed[i - 1].rect.bottom());
      }
    }
  }
}

TEST_F(Wizard, FillMakesStyledFrontTextsAndSetsTheBackground) {
  host.setFrontSize({340.1575, 340.1575});
  host.tool = DrawingTool::Arrow;
  Fill_Party_Invidation_Details(host.front, {"Title", "", "Message", "", "", "", "Jo", "/tmp/bg.png"});
  const SKTGraphicList& list = host.doc.graphics();
  ASSERT_EQ(list.size(), 3u);  // front-most first: made in order, each inserted at 0
  EXPECT_EQ(list[2]->control_ID, "PARTY_TITLE");
  EXPECT_EQ(list[2]->text_alignmnet, 2);
  EXPECT_EQ(list[2]->Text_Font_value().name, "TimesNewRomanPS-BoldItalicMT");
  EXPECT_EQ(list[2]->bounds(), QRectF(40, 40, 260.1575f, 30));
  EXPECT_EQ(list[1]->Text_Value, "Message");
  EXPECT_EQ(list[0]->control_ID, "PARTY_FROM");
  EXPECT_EQ(list[0]->text_alignmnet, 1);
  EXPECT_EQ(list[0]->Text_Value, "From:\nJo");
  EXPECT_TRUE(host.doc.graphics_back().empty());
  EXPECT_EQ(host.frontBackground, "/tmp/bg.png");
}
