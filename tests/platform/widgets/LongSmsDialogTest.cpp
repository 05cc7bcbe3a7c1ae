#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <future>
#include <stdexcept>
#include <thread>

#include "platform/Messages.h"
#include "platform/globals.h"
#include "platform/widgets/LongSmsDialog.h"
#include "support/EventLoop.h"
#include "support/ScriptedHost.h"

using namespace testing_support;

namespace {

struct Seen {
  QString title, text, yesText;
  bool noShown = false, checkShown = false;
};

// Notes what the dialog shows, ticks the box as asked and presses a button.
std::function<int(QDialog&)> press(Seen* seen, bool yes, bool tick) {
  return [=](QDialog& d) {
    auto& dlg = static_cast<Long_SMS_Dlg&>(d);
    seen->title = dlg._Msg_Title->text();
    seen->text = dlg._Msg_Val->toPlainText();
    seen->yesText = dlg.yes_button->text();
    seen->noShown = !dlg.no_button->isHidden();
    seen->checkShown = !dlg.apply_chk->isHidden();
    dlg.apply_chk->setChecked(tick);
    (yes ? dlg.yes_button : dlg.no_button)->click();
    return dlg.result();
  };
}

}  // namespace

TEST(LongSmsDialog, QuestionThenInformationBox) {
  testing_support::ScriptedHost host;
  Long_SMS_Dlg& dlg = Long_SMS_Dlg::defaultInstance();
  EXPECT_EQ(&dlg, &Long_SMS_Dlg::defaultInstance());
  EXPECT_EQ(dlg.palette().color(QPalette::Window), QColor(241, 244, 250));
  Set_Cutom_Msg_Title("About");
  Set_Cutom_Msg_Val("A long help text.");

  Seen q;
  dlg.title_val = "Series exists";
  dlg.msg_val_str = "Replace \"Guests\"?";
  dlg.apply_chk_show = true;
  Msg_Apply_All_Chk = false;
  host.queueModal(press(&q, true, true));
  EXPECT_EQ(dlg.Open_Long_sms_Dialog(), 1);
  EXPECT_EQ(q.title, "Series exists");
  EXPECT_EQ(q.text, "Replace \"Guests\"?");
  EXPECT_EQ(q.yesText, "OK");  // the one OK button answers yes
  EXPECT_TRUE(q.noShown);
  EXPECT_TRUE(q.checkShown);
  EXPECT_TRUE(Msg_Apply_All_Chk);

  // The next opening without a new question set-up is an information box.
  Seen info;
  host.queueModal(press(&info, true, false));
  EXPECT_EQ(dlg.Open_Long_sms_Dialog(), 1);
  EXPECT_EQ(info.title, "About");
  EXPECT_EQ(info.text, "A long help text.");
  EXPECT_EQ(info.yesText, "OK");
  EXPECT_FALSE(info.noShown);
  EXPECT_FALSE(info.checkShown);
  // OK with the box hidden still takes its (unseen) state.
  EXPECT_FALSE(Msg_Apply_All_Chk);
}

TEST(LongSmsDialog, NoLeavesTheApplyToAllFlag) {
  testing_support::ScriptedHost host;
  Long_SMS_Dlg& dlg = Long_SMS_Dlg::defaultInstance();
  Msg_Apply_All_Chk = true;
  Seen q;
  dlg.title_val = "Question";
  dlg.msg_val_str = "Go on?";
  dlg.apply_chk_show = true;
  host.queueModal(press(&q, false, false));
  EXPECT_EQ(dlg.Open_Long_sms_Dialog(), 0);
  EXPECT_TRUE(Msg_Apply_All_Chk);
  Msg_Apply_All_Chk = false;
  dlg.title_val = "Question";
  host.queueModal(press(&q, false, true));
  EXPECT_EQ(dlg.Open_Long_sms_Dialog(), 0);
  EXPECT_FALSE(Msg_Apply_All_Chk);
  EXPECT_FALSE(q.checkShown);  // apply_chk_show was used up by the first opening
}

TEST(LongSmsDialog, LongSmsDialogAskedFromAWorkerRunsOnTheGuiThread) {
  testing_support::ScriptedHost host;
  Long_SMS_Dlg& dlg = Long_SMS_Dlg::defaultInstance();
  std::atomic<bool> onGui{false};
  QString shownTitle;
  bool noShown = false;
  host.queueModal([&](QDialog& d) {
    auto& box = static_cast<Long_SMS_Dlg&>(d);
    onGui = QThread::currentThread() == qApp->thread();
    shownTitle = box._Msg_Title->text();
    noShown = !box.no_button->isHidden();
    box.apply_chk->setChecked(true);
    box.yes_button->click();
    return box.result();
  });
  Msg_Apply_All_Chk = false;
  auto answer = std::async(std::launch::async, [&dlg] {
    dlg.title_val = "Series exists";
    dlg.msg_val_str = "Replace it?";
    dlg.apply_chk_show = true;
    return dlg.Open_Long_sms_Dialog();
  });
  ASSERT_TRUE(
      serveUntil([&] { return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
  EXPECT_EQ(answer.get(), 1);
  EXPECT_TRUE(onGui);
  EXPECT_EQ(shownTitle, "Series exists");
  EXPECT_TRUE(noShown);
  EXPECT_TRUE(Msg_Apply_All_Chk);
}

TEST(LongSmsDialog, LongSmsQuestionAfterTheEventLoopEndedIsAnsweredNoAndUsedUp) {
  testing_support::ScriptedHost host;
  Long_SMS_Dlg& dlg = Long_SMS_Dlg::defaultInstance();
  int modals = 0;
  host.queueModal([&](QDialog&) { return ++modals; });
  runAndEndTheEventLoop();
  auto answer = std::async(std::launch::async, [&dlg] {
    dlg.title_val = "Replace?";
    dlg.msg_val_str = "The series exists.";
    dlg.apply_chk_show = true;
    return dlg.Open_Long_sms_Dialog();
  });
  const bool finished =
      answer.wait_for(std::chrono::milliseconds(testing_support::kHangGuardMs)) == std::future_status::ready;
  if (!finished)
    serveUntil([&] { return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
  ASSERT_TRUE(finished);
  EXPECT_EQ(answer.get(), 0);
  EXPECT_EQ(modals, 0);
  EXPECT_TRUE(dlg.title_val.isNull());
  EXPECT_FALSE(dlg.apply_chk_show);
  QCoreApplication::processEvents();
}
