#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <atomic>

#include "platform/Messages.h"
#include "support/ScriptedHost.h"

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
