// Document scripting on the session bus. End to end: the real program on a
// private session bus (dbus-run-session), offscreen, driven by gdbus, a client
// that shares no code with the program; and the window of the test on a bus of
// its own, driven by gdbus and then by the keyboard and the File commands.
// In-process: object paths stay with their graphics through undo and redo, and
// changes made over the bus undo.
#include <gtest/gtest.h>
#include <signal.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cmath>
#include <optional>

#include "canvas/SKTGraphicView.h"
#include "core/CardHost.h"
#include "core/SKTDocument.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/WindowTestSupport.h"
#include "mainwindow/scripting/DocumentBusObject.h"
#include "mainwindow/scripting/GraphicBusObject.h"
#include "platform/ChildProcess.h"
#include "support/CanvasInput.h"
#include "support/EventLoop.h"
#include "support/ScriptedHost.h"

namespace {

const QString kProgram = QStringLiteral(QUVO_BINARY_DIR "/src/app/quvo-gratulo");

using platform::ChildProcess;

platform::ChildOptions programOptions(const QString& dataHome) {
  return {.environment = {{"QT_QPA_PLATFORM", "offscreen"},
                          {"XDG_DATA_HOME", dataHome.toLocal8Bit()},
                          {"DISPLAY", std::nullopt}}};  // no bus may be started through an X server
}

// The folder of a private bus: its configuration and the socket its daemon
// listens on, removed with the folder however the daemon ends (the session
// configuration's socket in /tmp outlives a daemon that is killed).
class PrivateBusFolder {
 public:
  PrivateBusFolder() {
    QFile config(configFile());
    config.open(QIODevice::WriteOnly);
    config.write(QStringLiteral(R"(<busconfig>
  <type>session</type>
  <listen>unix:dir=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)")
                     .arg(dir_.path())
                     .toUtf8());
  }
  QString configFile() const { return dir_.filePath(QStringLiteral("bus.conf")); }
  // Whether the bus of this address listens inside the folder.
  bool holds(const QString& address) const { return address.startsWith("unix:path=" + dir_.path() + '/'); }

 private:
  QTemporaryDir dir_{QDir::tempPath() + QStringLiteral("/quvo-bus-XXXXXX")};  // a bus address holds no space
};

struct Reply {
  int exitCode = -1;
  QString out, err;
};

// The program started by dbus-run-session, which gives it a bus of its own;
// the shell in between tells the bus address and the program's process id.
class ProgramOnPrivateBus {
 public:
  ~ProgramOnPrivateBus() { stop(); }

  bool start(QString* why) {
    process_.emplace("dbus-run-session",
                     QStringList{"--config-file=" + bus_.configFile(), "--", "sh", "-c",
                                 "echo \"$DBUS_SESSION_BUS_ADDRESS\"; echo $$; exec \"$0\"", kProgram},
                     programOptions(dataHome_.path()));
    const QDeadlineTimer deadline(testing_support::kHangGuardMs);
    while (process_->out().count('\n') < 2 && !deadline.hasExpired() && process_->running())
      process_->readFor(200);
    const QStringList lines = QString::fromLocal8Bit(process_->out()).split('\n');
    if (lines.size() < 3) return *why = "the program did not start: " + process_->err(), false;
    address_ = lines[0].trimmed();
    pid_ = lines[1].trimmed().toLongLong();
    if (!bus_.holds(address_)) return *why = "the bus listens outside the test's folder: " + address_, false;
    // A bounded wait for the service to appear on the bus.
    while (!deadline.hasExpired() && process_->running()) {
      if (gdbus({"call", "--session", "--dest", "org.freedesktop.DBus", "--object-path",
                 "/org/freedesktop/DBus", "--method", "org.freedesktop.DBus.NameHasOwner",
                 "com.quvo.Gratulo"})
              .out.contains("true"))
        return true;
      process_->readFor(100);
    }
    return *why = "com.quvo.Gratulo did not appear: " + process_->err(), false;
  }

  // Ends the program as a logout would and answers its exit code.
  int stop() {
    if (!process_) return -1;
    if (!process_->running()) return process_->exitCode();
    if (pid_ > 0) ::kill(static_cast<pid_t>(pid_), SIGTERM);
    if (!process_->waitForExit(testing_support::kHangGuardMs)) {
      if (pid_ > 0) ::kill(static_cast<pid_t>(pid_), SIGKILL);
      return -1;  // the rest ends with process_
    }
    return process_->exitCode();
  }

  Reply gdbus(const QStringList& arguments) const {
    const platform::ChildResult client = platform::runChild(
        "gdbus", arguments, {.environment = {{"DBUS_SESSION_BUS_ADDRESS", address_.toLocal8Bit()}}},
        testing_support::kHangGuardMs);
    return {client.exitCode, QString::fromLocal8Bit(client.out).trimmed(),
            QString::fromLocal8Bit(client.err).trimmed()};
  }

  // gdbus call --session --dest com.quvo.Gratulo --object-path PATH --method METHOD ARGS...
  Reply call(const QString& path, const QString& method, const QStringList& arguments = {}) const {
    return gdbus(QStringList{"call", "--session", "--dest", "com.quvo.Gratulo", "--object-path", path,
                             "--method", method} +
                 arguments);
  }

 private:
  QTemporaryDir dataHome_;
  PrivateBusFolder bus_;
  std::optional<ChildProcess> process_;
  QString address_;
  qint64 pid_ = 0;
};

QStringList objectPaths(const QString& gdbusOutput) {
  QStringList paths;
  auto it = QRegularExpression("/Document/graphics/\\d+").globalMatch(gdbusOutput);
  while (it.hasNext()) paths << it.next().captured(0);
  return paths;
}

bool clientToolsMissing() {
  return QStandardPaths::findExecutable("dbus-run-session").isEmpty() ||
         QStandardPaths::findExecutable("gdbus").isEmpty();
}

TEST(ScriptingBus, GdbusDrivesTheRunningProgram) {
  if (clientToolsMissing())
    GTEST_SKIP() << "dbus-run-session or gdbus is not installed (dbus-bin, libglib2.0-bin)";
  ASSERT_TRUE(QFileInfo(kProgram).isExecutable()) << kProgram.toStdString();
  ProgramOnPrivateBus program;
  QString why;
  ASSERT_TRUE(program.start(&why)) << why.toStdString();
  const QString document = "/Document", doc = "com.quvo.Gratulo.Document.",
                graphic = "com.quvo.Gratulo.Graphic.";

  Reply r = program.call(document, doc + "Elements", {"graphics"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(objectPaths(r.out).size(), 0);

  r = program.call(document, doc + "Insert", {"rectangles", "0", "(20.0, 20.0, 100.0, 60.0)"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  ASSERT_EQ(objectPaths(r.out).size(), 1) << r.out.toStdString();
  const QString rectangle = objectPaths(r.out).first();
  EXPECT_EQ(objectPaths(program.call(document, doc + "Elements", {"graphics"}).out), QStringList{rectangle});

  // The fill colour, written and read back as 6 big-endian bytes.
  r = program.call(rectangle, graphic + "SetFillColor", {"[0xff, 0x00, 0x80, 0x00, 0x00, 0x40]"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(program.call(rectangle, graphic + "FillColor").out,
            "([byte 0xff, 0x00, 0x80, 0x00, 0x00, 0x40],)");
  r = program.call(rectangle, graphic + "SetFillColor", {"[1, 2, 3, 4, 5, 6, 7, 8]"});
  EXPECT_NE(r.exitCode, 0);
  EXPECT_TRUE(r.err.contains("org.freedesktop.DBus.Error.InvalidArgs")) << r.err.toStdString();
  EXPECT_EQ(program.call(rectangle, graphic + "FillColor").out,
            "([byte 0xff, 0x00, 0x80, 0x00, 0x00, 0x40],)");

  // A line has no fill: the refusal comes back to the client.
  r = program.call(document, doc + "Insert", {"lines", "0", "(10.0, 10.0, 50.0, 50.0)"});
  ASSERT_EQ(objectPaths(r.out).size(), 1) << r.err.toStdString();
  const QString line = objectPaths(r.out).first();
  r = program.call(line, graphic + "SetFillColor", {"[0, 0, 255, 255, 0, 0]"});
  EXPECT_NE(r.exitCode, 0);
  EXPECT_TRUE(
      r.err.contains("GDBus.Error:com.quvo.Gratulo.Error.Refused: -10000: You can't set the fill "
                     "color of this kind of graphic."))
      << r.err.toStdString();
  EXPECT_EQ(program.call(line, graphic + "FillColor").out, "(@ay [],)");

  // A text is read and replaced; a line has no text.
  r = program.call(document, doc + "Insert", {"textAreas", "0", "(10.0, 70.0, 120.0, 30.0)"});
  ASSERT_EQ(objectPaths(r.out).size(), 1) << r.err.toStdString();
  const QString text = objectPaths(r.out).first();
  EXPECT_EQ(program.call(text, graphic + "Contents").out, "('Text here',)");
  r = program.call(text, graphic + "SetContents", {"Grüße an Anna"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(program.call(text, graphic + "Contents").out, "('Grüße an Anna',)");
  r = program.call(line, graphic + "SetContents", {"no"});
  EXPECT_TRUE(
      r.err.contains("com.quvo.Gratulo.Error.Refused: -10000: You can't set the text of this kind "
                     "of graphic."))
      << r.err.toStdString();
  r = program.call(document, doc + "Remove", {"textAreas", "0"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();

  // An index beyond the collection is the range error, and the program lives on.
  r = program.call(document, doc + "Remove", {"rectangles", "5"});
  EXPECT_TRUE(
      r.err.contains("GDBus.Error:com.quvo.Gratulo.Error.Range: Could not find the given rectangle in "
                     "the graphics."))
      << r.err.toStdString();
  EXPECT_EQ(program.call(document, doc + "EvaluateRelative", {"graphics", "after", "rectangles", "0"}).out,
            "([1],)");
  EXPECT_EQ(objectPaths(program.call(document, doc + "Elements", {"graphics"}).out),
            (QStringList{rectangle, line}));

  EXPECT_EQ(program.stop(), 0);
}

// A bus of the test's own for the window made in the test: a dbus-daemon
// started for it and ended with it.
class PrivateBusDaemon {
 public:
  bool start(QString* why) {
    process_.emplace("dbus-daemon",
                     QStringList{"--config-file=" + bus_.configFile(), "--nofork", "--print-address=1"});
    const QDeadlineTimer deadline(testing_support::kHangGuardMs);
    while (!process_->out().contains('\n') && !deadline.hasExpired() && process_->running())
      process_->readFor(200);
    address_ = QString::fromLocal8Bit(process_->out()).section('\n', 0, 0).trimmed();
    if (address_.isEmpty())
      *why = "dbus-daemon gave no address: " + QString::fromLocal8Bit(process_->err());
    else if (!bus_.holds(address_))
      *why = "the bus listens outside the test's folder: " + address_;
    return !address_.isEmpty() && bus_.holds(address_);
  }
  const QString& address() const { return address_; }

 private:
  PrivateBusFolder bus_;
  std::optional<ChildProcess> process_;  // ended with the test
  QString address_;
};

// Ends the test's connection to its bus once the window is gone.
struct BusConnectionName {
  QString name;
  ~BusConnectionName() { QDBusConnection::disconnectFromBus(name); }
};

// A script places a rectangle at the farthest x an object may have; a nudge
// to the right leaves it there, and the design saves and opens again.
TEST(ScriptingBus, AnObjectAtTheLimitStaysThereWhenNudgedAndTheDesignOpensAgain) {
  if (clientToolsMissing() || QStandardPaths::findExecutable("dbus-daemon").isEmpty())
    GTEST_SKIP() << "dbus-daemon or gdbus is not installed (dbus-bin, libglib2.0-bin)";
  PrivateBusDaemon daemon;
  QString why;
  ASSERT_TRUE(daemon.start(&why)) << why.toStdString();
  const BusConnectionName connection{QStringLiteral("quvo-limit-test")};
  QDBusConnection bus = QDBusConnection::connectToBus(daemon.address(), connection.name);
  ASSERT_TRUE(bus.isConnected()) << bus.lastError().message().toStdString();
  QTemporaryDir dir;
  window_test::useSeededResources(dir);
  testing_support::ScriptedHost host;
  SKTWindowController window;
  auto* scripting = new DocumentBusObject(*window.document(), window, bus, &window);
  ASSERT_TRUE(scripting->publish(&why)) << why.toStdString();

  // gdbus asks while the window serves its events.
  ChildProcess client(
      "gdbus",
      {"call", "--session", "--dest", "com.quvo.Gratulo", "--object-path", "/Document", "--method",
       "com.quvo.Gratulo.Document.Insert", "rectangles", "0", "(100000.0, 20.0, 80.0, 40.0)"},
      {.environment = {{"DBUS_SESSION_BUS_ADDRESS", daemon.address().toLocal8Bit()}}});
  ASSERT_TRUE(testing_support::serveUntil(
      [&] {
        client.readFor(0);
        return !client.running();
      },
      testing_support::kHangGuardMs));
  ASSERT_EQ(client.exitCode(), 0) << client.err().toStdString();
  ASSERT_EQ(window.document()->graphics().size(), 1u);
  const SKTGraphicPtr rectangle = window.document()->graphics().front();
  ASSERT_EQ(rectangle->bounds(), QRectF(100000, 20, 80, 40));

  SKTGraphicView* view = window.currentSideView();
  view->changeSelectionIndexes({0});
  testing_support::keyClick(view, Qt::Key_Right);
  EXPECT_EQ(rectangle->bounds(), QRectF(100000, 20, 80, 40));

  window_test::saveAndReopen(window, host, dir.filePath(QStringLiteral("far.dcard")));
  ASSERT_EQ(window.document()->graphics().size(), 1u);
  EXPECT_EQ(window.document()->graphics().front()->bounds(), QRectF(100000, 20, 80, 40));
}

TEST(ScriptingBus, WithoutASessionBusTheProgramStartsAndSaysSoOnce) {
  ASSERT_TRUE(QFileInfo(kProgram).isExecutable()) << kProgram.toStdString();
  QTemporaryDir dataHome;
  platform::ChildOptions options = programOptions(dataHome.path());
  options.environment.emplace_back("DBUS_SESSION_BUS_ADDRESS",
                                   ("unix:path=" + dataHome.filePath("no-bus-here")).toLocal8Bit());
  ChildProcess program(kProgram, {}, options);
  const QDeadlineTimer deadline(testing_support::kHangGuardMs);
  while (!program.err().contains("Document scripting") && !deadline.hasExpired() && program.running())
    program.readFor(200);
  QString log = QString::fromLocal8Bit(program.err());
  ASSERT_TRUE(log.contains("Document scripting")) << log.toStdString();
  // Still running: a termination request ends it normally.
  ASSERT_TRUE(program.running()) << log.toStdString();
  program.signal(SIGTERM);
  ASSERT_TRUE(program.waitForExit(testing_support::kHangGuardMs));
  log = QString::fromLocal8Bit(program.err());
  EXPECT_EQ(program.exitCode(), 0) << log.toStdString();
  EXPECT_EQ(log.count("Document scripting"), 1) << log.toStdString();
}

TEST(ScriptingBus, PathsStayWithTheirGraphicsAndBusChangesUndo) {
  SKTDocument doc;
  DocumentBusObject bus(doc, cardHost(), QDBusConnection(QStringLiteral("not connected")));
  const QString rectangle = bus.Insert("rectangles", 0, QRectF(0, 0, 30, 20)).path();
  const QString circle = bus.Insert("circles", 0, QRectF(40, 0, 30, 20)).path();
  ASSERT_NE(rectangle, circle);
  const SKTGraphicPtr shape = doc.graphics().at(0);
  EXPECT_EQ(shape->Get_shape_type(), "C");

  // Removed over the bus and brought back by undo: the same path.
  bus.Remove("graphics", 0);
  EXPECT_EQ(bus.Elements("circles").size(), 1);
  doc.undo();
  auto paths = [&] {
    QStringList out;
    for (const QDBusObjectPath& p : bus.Elements("graphics")) out << p.path();
    return out;
  };
  EXPECT_EQ(paths(), (QStringList{circle, rectangle}));

  // A fill set over the bus is one undo entry; bad values change nothing.
  GraphicBusObject object(shape, cardHost());
  object.SetFillColor(QByteArray::fromHex("000000000000"));
  EXPECT_EQ(object.FillColor(), QByteArray::fromHex("000000000000"));
  object.SetFillColor(QByteArray::fromHex("0102"));
  EXPECT_EQ(object.lastErrorName(), "org.freedesktop.DBus.Error.InvalidArgs");
  object.SetStrokeWidth({std::nan("")});
  EXPECT_EQ(object.lastErrorName(), "org.freedesktop.DBus.Error.InvalidArgs");
  doc.undo();
  EXPECT_EQ(object.FillColor(), QByteArray::fromHex("ffffffffffff"));
  object.SetFillColor({});
  EXPECT_EQ(object.FillColor(), QByteArray());
  EXPECT_EQ(object.StrokeWidth(), QList<double>{1.0});

  // A text's characters over the bus: replaced as one undo step; a shape has none.
  const QString textPath = bus.Insert("textAreas", 0, QRectF(0, 40, 80, 20)).path();
  ASSERT_FALSE(textPath.isEmpty());
  const SKTGraphicPtr textGraphic = doc.graphics().back();  // appended: the first text
  ASSERT_EQ(textGraphic->kind(), GraphicKind::Text);
  GraphicBusObject text(textGraphic, cardHost());
  const int steps = doc.undoStack()->count();
  text.SetContents("Happy Birthday");
  EXPECT_EQ(text.lastErrorName(), QString());
  EXPECT_EQ(textGraphic->Text_contents()->string, "Happy Birthday");
  EXPECT_EQ(doc.undoStack()->count(), steps + 1);
  doc.undo();
  EXPECT_EQ(text.Contents(), "Text here");
  text.SetContents(QString(100001, QLatin1Char('x')));
  EXPECT_EQ(text.lastErrorName(), "org.freedesktop.DBus.Error.InvalidArgs");
  EXPECT_EQ(text.Contents(), "Text here");
  EXPECT_EQ(object.Contents(), QString());
  EXPECT_EQ(object.lastErrorName(), "com.quvo.Gratulo.Error.Refused");
  EXPECT_EQ(object.lastErrorMessage(), "-10000: You can't get the text of this kind of graphic.");
  bus.Remove("textAreas", 0);

  // Off the front list the object answers an error, not a crash.
  doc.Clear_All_Undo_Redo();
  EXPECT_EQ(object.Kind(), QString());
  EXPECT_EQ(object.lastErrorName(), "org.freedesktop.DBus.Error.UnknownObject");
  EXPECT_TRUE(bus.Elements("graphics").isEmpty());
  bus.Insert("rectangles_round", 0, QRectF(0, 0, 1, 1));
  EXPECT_EQ(bus.lastErrorName(), "org.freedesktop.DBus.Error.InvalidArgs");
}

}  // namespace
