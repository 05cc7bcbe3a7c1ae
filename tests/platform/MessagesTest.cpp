#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
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

// Answers "Yes" to questions that start with "yes", "No" to the others, and
// notes any call that arrives off the GUI thread.
class ThreadCheckingHost : public testing_support::ScriptedHost {
 public:
  std::atomic<int> offGuiThread{0};
  bool askYesNo(const QString& question) override {
    if (QThread::currentThread() != qApp->thread()) ++offGuiThread;
    ScriptedHost::askYesNo(question);
    QThread::msleep(1);  // give the other worker a chance to cut in
    return question.startsWith("yes");
  }
  void showMessage(const QString& text) override {
    if (QThread::currentThread() != qApp->thread()) ++offGuiThread;
    ScriptedHost::showMessage(text);
  }
};

// Runs the workers while the GUI thread serves their boxes.
void runWorkers(const std::vector<QThread*>& threads) {
  for (QThread* t : threads) t->start();
  for (;;) {
    bool running = false;
    for (QThread* t : threads) running = running || !t->isFinished();
    if (!running) break;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  for (QThread* t : threads) {
    t->wait();
    delete t;
  }
}

}  // namespace

TEST(Messages, BoxTextsAndButtons) {
  testing_support::ScriptedHost host;
  Show_MessageBox("Saved.");
  Show_MessageBox_No_Thread("Done.");
  Show_MessageBox(QString());  // nothing to show: logged only
  EXPECT_EQ(host.messages(), (QStringList{"\nSaved.", "\nDone."}));
  host.queueYesNo(false);
  host.queueYesNo(true);
  EXPECT_FALSE(Show_YES_NO_MessageBox("Replace the series?"));
  EXPECT_TRUE(Show_YES_NO_MessageBox("Replace the series?"));
  EXPECT_EQ(host.questions(), (QStringList{"Replace the series?", "Replace the series?"}));
}

TEST(Messages, WorkersGetTheirOwnAnswersOnTheGuiThread) {
  ThreadCheckingHost host;
  std::atomic<int> wrong{0};
  const int rounds = 40;
  auto worker = [&](const QString& prefix, bool expected) {
    return QThread::create([&, prefix, expected] {
      for (int i = 0; i < rounds; ++i)
        if (Show_YES_NO_MessageBox(prefix + QString::number(i)) != expected) ++wrong;
      Show_MessageBox(prefix + "done");
    });
  };
  runWorkers({worker("yes ", true), worker("no ", false)});
  EXPECT_EQ(wrong.load(), 0);
  EXPECT_EQ(host.offGuiThread.load(), 0);
  EXPECT_EQ(host.questions().size(), 2 * rounds);
  EXPECT_TRUE(host.messages().contains("\nyes done"));
  EXPECT_TRUE(host.messages().contains("\nno done"));
}

TEST(Messages, LogLine) {
  static QStringList lines;
  lines.clear();
  auto previous = qInstallMessageHandler(
      [](QtMsgType, const QMessageLogContext&, const QString& text) { lines << text; });
  Show_NSLog_Message("caught: disk full");
  Show_NSLog_Message("");
  Show_NSLog_Message(QString());
  qInstallMessageHandler(previous);
  EXPECT_EQ(lines, QStringList{"caught: disk full"});
}

TEST(Messages, WorkerAskingAfterTheEventLoopEndedDoesNotHang) {
  testing_support::ScriptedHost host;
  host.queueYesNo(true);
  LogCapture log;
  runAndEndTheEventLoop();

  // The GUI thread no longer serves events (it would be joining its workers).
  auto asked = std::async(std::launch::async, [] {
    const bool answer = Show_YES_NO_MessageBox("Replace the series \"Guests\"?");
    Show_MessageBox("Export finished.");
    return answer;
  });
  const bool finished = asked.wait_for(std::chrono::milliseconds(kHangGuardMs)) == std::future_status::ready;
  if (!finished)
    serveUntil([&] { return asked.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
  ASSERT_TRUE(finished) << "a worker's question after the end of the event loop hung";
  EXPECT_FALSE(asked.get());
  EXPECT_TRUE(host.questions().isEmpty());
  EXPECT_TRUE(host.messages().isEmpty());
  EXPECT_TRUE(log.contains("Replace the series \"Guests\"?"));
  EXPECT_TRUE(log.contains("Export finished."));

  // Once the GUI thread serves events again, boxes are shown again.
  QCoreApplication::processEvents();
  auto again = std::async(std::launch::async, [] { return Show_YES_NO_MessageBox("Go on?"); });
  ASSERT_TRUE(
      serveUntil([&] { return again.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
  EXPECT_TRUE(again.get());
  EXPECT_EQ(host.questions(), QStringList{"Go on?"});
}

TEST(Messages, WorkerWaitingWhileTheEventLoopEndsIsReleased) {
  testing_support::ScriptedHost host;
  std::future<bool> asked;
  // The worker asks while the loop is about to end; whether its box is still
  // served or dropped depends on timing, but it must not wait for ever.
  QTimer::singleShot(0, qApp, [&] {
    asked = std::async(std::launch::async, [] { return Show_YES_NO_MessageBox("Stop sending?"); });
    QThread::msleep(100);
    QCoreApplication::quit();
  });
  QApplication::exec();
  const bool finished = asked.wait_for(std::chrono::milliseconds(kHangGuardMs)) == std::future_status::ready;
  if (!finished)
    serveUntil([&] { return asked.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
  EXPECT_TRUE(finished) << "a worker waiting for a box hung when the event loop ended";
  EXPECT_FALSE(asked.get());
  QCoreApplication::processEvents();
}

TEST(Messages, WorkerAskingWhileTheGuiThreadIsInsideAModal) {
  testing_support::ScriptedHost host;
  host.queueYesNo(true);
  std::future<bool> inner;
  host.queueModal([&](QDialog&) {
    // Inside the modal the GUI thread serves events in its own loop.
    inner = std::async(std::launch::async, [] { return Show_YES_NO_MessageBox("Overwrite?"); });
    QEventLoop loop;
    QElapsedTimer clock;
    clock.start();
    while (inner.wait_for(std::chrono::seconds(0)) != std::future_status::ready &&
           clock.elapsed() < testing_support::kHangGuardMs)
      loop.processEvents(QEventLoop::AllEvents, 10);
    return 1;
  });
  Set_Cutom_Msg_Title("Help");
  Set_Cutom_Msg_Val("Text");
  EXPECT_EQ(Long_SMS_Dlg::defaultInstance().Open_Long_sms_Dialog(), 1);
  ASSERT_EQ(inner.wait_for(std::chrono::seconds(0)), std::future_status::ready);
  EXPECT_TRUE(inner.get());
  EXPECT_EQ(host.questions(), QStringList{"Overwrite?"});
}

TEST(Messages, ExceptionOnTheGuiThreadReachesTheWorkerThatAsked) {
  auto result = std::async(std::launch::async, [] {
    try {
      platform::onGuiThread([]() -> int { throw std::runtime_error("disk full"); });
    } catch (const std::runtime_error& e) {
      return QString::fromLatin1(e.what());
    }
    return QString("no exception");
  });
  ASSERT_TRUE(
      serveUntil([&] { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
  EXPECT_EQ(result.get(), "disk full");
}
