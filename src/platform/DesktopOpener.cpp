#include "platform/DesktopOpener.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThreadPool>

#include "platform/BackgroundJobs.h"
#include "platform/GuiCalls.h"
#include "platform/Messages.h"

namespace platform::desktop_opener {
namespace {

bool runWatched(const QString& opener, const QString& path) {
  QProcess process;
  process.setProgram(opener);
  process.setArguments({path});
  // No pipes: an application the opener starts may outlive it and write to
  // its standard streams after the watch has ended.
  process.setStandardInputFile(QProcess::nullDevice());
  process.setStandardOutputFile(QProcess::nullDevice());
  process.setStandardErrorFile(QProcess::nullDevice());
  process.start();
  if (!process.waitForStarted(kWatchMs)) {
    Show_NSLog_Message(
        QStringLiteral("The opener %1 could not start: %2").arg(opener, process.errorString()));
    return false;
  }
  if (!process.waitForFinished(kWatchMs)) return true;
  if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0) return true;
  Show_NSLog_Message(QStringLiteral("The opener %1 could not open \"%2\" (status %3)")
                         .arg(opener, path)
                         .arg(process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1));
  return false;
}

}  // namespace

QString program() {
  return QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
}

void open(const QString& opener, const QString& path, std::function<void(bool opened)> done) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  if (QCoreApplication::instance() == nullptr) {
    done(runWatched(opener, absolute));
    return;
  }
  // Made here, on the GUI thread; it takes the answer back and then goes.
  auto* answer = new GuiCalls(QCoreApplication::instance());
  background_jobs::start(*QThreadPool::globalInstance(), [answer, opener, absolute, done = std::move(done)] {
    const bool opened = runWatched(opener, absolute);
    answer->post([answer, done, opened] {
      answer->deleteLater();
      done(opened);
    });
  });
}

}  // namespace platform::desktop_opener
