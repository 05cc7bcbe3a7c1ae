// Message hop, Long_SMS_Dlg from workers, and the other fixes of the
// platform layer's review.
#include <gtest/gtest.h>

#include <QApplication>
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

#include "platform/FileHelpers.h"
#include "platform/KeyedArchive.h"
#include "platform/widgets/LongSmsDialog.h"
#include "platform/Messages.h"
#include "platform/ResourceFolder.h"
#include "platform/globals.h"
#include "support/ScriptedHost.h"

namespace {

// Collects log lines while alive.
class LogCapture {
 public:
  LogCapture() {
    lines().clear();
    previous_ = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { lines() << text; });
  }
  ~LogCapture() { qInstallMessageHandler(previous_); }
  static QStringList& lines() {
    static QStringList l;
    return l;
  }
  bool contains(const QString& part) const {
    for (const QString& l : lines())
      if (l.contains(part)) return true;
    return false;
  }

 private:
  QtMessageHandler previous_;
};

// Runs the application's event loop once until it quits, as the program
// does on its way out.
void runAndEndTheEventLoop() {
  QTimer::singleShot(0, qApp, &QCoreApplication::quit);
  QApplication::exec();
}

// Serves the GUI thread's events until `done` holds or the time is up.
bool serveUntil(const std::function<bool()>& done, int ms = 10000) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  return done();
}

}  // namespace

TEST(PlatformReview, WorkerAskingAfterTheEventLoopEndedDoesNotHang) {
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
  const bool finished = asked.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
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

TEST(PlatformReview, WorkerWaitingWhileTheEventLoopEndsIsReleased) {
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
  const bool finished = asked.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
  if (!finished)
    serveUntil([&] { return asked.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
  EXPECT_TRUE(finished) << "a worker waiting for a box hung when the event loop ended";
  EXPECT_FALSE(asked.get());
  QCoreApplication::processEvents();
}

TEST(PlatformReview, WorkerAskingWhileTheGuiThreadIsInsideAModal) {
  testing_support::ScriptedHost host;
  host.queueYesNo(true);
  std::future<bool> inner;
  host.queueModal([&](QDialog&) {
    // Inside the modal the GUI thread serves events in its own loop.
    inner = std::async(std::launch::async, [] { return Show_YES_NO_MessageBox("Overwrite?"); });
    QEventLoop loop;
    QElapsedTimer clock;
    clock.start();
    while (inner.wait_for(std::chrono::seconds(0)) != std::future_status::ready && clock.elapsed() < 10000)
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

TEST(PlatformReview, ExceptionOnTheGuiThreadReachesTheWorkerThatAsked) {
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

TEST(PlatformReview, LongSmsDialogAskedFromAWorkerRunsOnTheGuiThread) {
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

TEST(PlatformReview, ClassDescriptionPosingAsAnObjectIsRefused) {
  using namespace platform;
  // An archived object whose key refers to a class description that carries
  // a "$class" of its own (here pointing at "$null", a plain string).
  auto archive = [](PlistValue evilClass) {
    PlistDict cls;
    cls.insert("$classes", PlistValue(PlistArray{PlistValue::string("X"), PlistValue::string("NSObject")}));
    cls.insert("$classname", PlistValue::string("X"));
    PlistDict obj;
    obj.insert("$class", PlistValue::uid(2));
    obj.insert("k", PlistValue::uid(3));
    PlistDict evil;
    evil.insert("$classname", PlistValue::string("NSString"));
    evil.insert("$classes", PlistValue(PlistArray{PlistValue::string("NSString")}));
    evil.insert("$class", std::move(evilClass));
    PlistDict top;
    top.insert("root", PlistValue::uid(1));
    PlistDict d;
    d.insert("$archiver", PlistValue::string("NSKeyedArchiver"));
    d.insert("$version", PlistValue::integer(100000));
    d.insert("$top", PlistValue(std::move(top)));
    d.insert("$objects", PlistValue(PlistArray{PlistValue::string("$null"), PlistValue(std::move(obj)),
                                               PlistValue(std::move(cls)), PlistValue(std::move(evil))}));
    return toBinaryPropertyList(PlistValue(std::move(d)));
  };
  for (PlistValue evilClass : {PlistValue::uid(0), PlistValue::uid(3), PlistValue::string("x")}) {
    KeyedArchiveReader r;
    if (r.load(archive(evilClass))) {
      // Should it load, reading the key must still be safe.
      EXPECT_FALSE(r.root().getString("k"));
      EXPECT_FALSE(r.root().getColor("k"));
      ADD_FAILURE() << "an archive with a class description that has a class was accepted";
    } else {
      EXPECT_EQ(r.errorString(), "keyed archive has a bad class description");
    }
  }
}

TEST(PlatformReview, SeedingStaysInsideTheShippedTreeAndKeepsWhatTheUserHas) {
  QTemporaryDir outside, shipped, user;
  ASSERT_TRUE(QDir(outside.path()).mkpath("secrets"));
  QFile secret(outside.filePath("secrets/key.txt"));
  ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
  secret.write("private");
  secret.close();
  ASSERT_TRUE(QDir(shipped.path()).mkpath("LibraryImage"));
  QFile pic(shipped.filePath("LibraryImage/rose.png"));
  ASSERT_TRUE(pic.open(QIODevice::WriteOnly));
  pic.write("png");
  pic.close();
  // Links in the shipped tree that lead out of it.
  ASSERT_TRUE(QFile::link(outside.filePath("secrets"), shipped.filePath("Background")));
  ASSERT_TRUE(QFile::link(outside.filePath("secrets/key.txt"), shipped.filePath("LibraryImage/key.png")));
  // The user's own entries under shipped names: a link and a file.
  ASSERT_TRUE(QDir(user.path()).mkpath("LibraryImage"));
  ASSERT_TRUE(QFile::link(outside.filePath("gone.png"), user.filePath("LibraryImage/rose.png")));

  QString error;
  ASSERT_TRUE(platform::seedFolder(shipped.path(), user.path(), &error)) << error.toStdString();
  EXPECT_FALSE(QFileInfo::exists(user.filePath("Background/key.txt")));
  EXPECT_FALSE(QFileInfo::exists(user.filePath("LibraryImage/key.png")));
  EXPECT_FALSE(QFileInfo(user.filePath("LibraryImage/key.png")).isSymLink());
  // The user's dangling link is left as it is, and nothing was written through it.
  EXPECT_TRUE(QFileInfo(user.filePath("LibraryImage/rose.png")).isSymLink());
  EXPECT_FALSE(QFileInfo::exists(outside.filePath("gone.png")));
}

TEST(PlatformReview, LongSmsQuestionAfterTheEventLoopEndedIsAnsweredNoAndUsedUp) {
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
  const bool finished = answer.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
  if (!finished)
    serveUntil([&] { return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
  ASSERT_TRUE(finished);
  EXPECT_EQ(answer.get(), 0);
  EXPECT_EQ(modals, 0);
  EXPECT_TRUE(dlg.title_val.isNull());
  EXPECT_FALSE(dlg.apply_chk_show);
  QCoreApplication::processEvents();
}

TEST(PlatformReview, ExitRequestedBeforeTheMainLoopRunsStillEndsIt) {
  ASSERT_EQ(dynamic_cast<testing_support::ScriptedHost*>(&platform::messageHost()), nullptr);
  // The program's own host: nothing runs an event loop yet (as while the
  // start window's set-up runs before the main loop).
  platform::messageHost().exitProcess(7);
  QEventLoop modal;  // a window shown modally afterwards
  QTimer::singleShot(3000, &modal, [&modal] { modal.exit(99); });
  EXPECT_NE(modal.exec(), 99);  // ends at once
  QTimer::singleShot(3000, qApp, [] { QCoreApplication::exit(99); });
  EXPECT_EQ(QApplication::exec(), 7);
  for (QTimer* t : qApp->findChildren<QTimer*>("quvo-process-exit")) delete t;
  QCoreApplication::processEvents();
}

TEST(PlatformReview, BinaryPropertyListLeavesOutOnlyTheNulOfAText) {
  using namespace platform;
  const QString text = QString("Dear ") + QChar(0) + "Anna";
  PlistDict d;
  d.insert(QString("key") + QChar(0) + "tail", PlistValue::string(text));
  const auto back = parsePropertyList(toBinaryPropertyList(PlistValue(d)));
  ASSERT_TRUE(back && back->dict());
  EXPECT_EQ(back->dict()->string("keytail"), "Dear Anna");
  // Through a keyed archive, as texts of card objects travel.
  KeyedArchiveWriter w;
  w.root("SKTText").setString("Text_Value", text);
  KeyedArchiveReader r;
  ASSERT_TRUE(r.load(w.finish())) << r.errorString().toStdString();
  EXPECT_EQ(r.root().getString("Text_Value"), "Dear Anna");
}

TEST(PlatformReview, KeyedArchiveInTheXmlFormReadsBack) {
  using namespace platform;
  KeyedArchiveWriter w;
  KeyedObjectWriter& root = w.root("SKTText", {"SKTText", "SKTGraphic", "NSObject"});
  root.setString("Text_Value", "Happy birthday");
  root.setColor("txt_clr", KeyedColor{1, 0, 0, 1});
  root.setInt("text_alignmnet", 2);
  KeyedArchiveReader r;
  ASSERT_TRUE(r.load(w.finishXml())) << r.errorString().toStdString();
  EXPECT_EQ(r.rootClassName(), "SKTText");
  EXPECT_EQ(r.root().getString("Text_Value"), "Happy birthday");
  EXPECT_EQ(r.root().getColor("txt_clr"), (KeyedColor{1, 0, 0, 1}));
  EXPECT_EQ(r.root().getInt("text_alignmnet"), 2);
  // A dictionary that only looks like a reference stays a dictionary.
  const auto plain = parsePropertyList(
      "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><dict><key>CF$UID</key><string>1</string></dict>"
      "<dict><key>CF$UID</key><integer>3</integer><key>more</key><true/></dict>"
      "<dict><key>CF$UID</key><integer>5</integer></dict></array></plist>");
  ASSERT_TRUE(plain && plain->array());
  EXPECT_TRUE((*plain->array())[0].dict());
  EXPECT_TRUE((*plain->array())[1].dict());
  EXPECT_EQ((*plain->array())[2].toUid(), 5u);
}
