#include "platform/DesktopOpener.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThreadPool>

#include "platform/BackgroundJobs.h"
#include "platform/ChildProcess.h"
#include "platform/GuiCalls.h"
#include "platform/Messages.h"

namespace platform::desktop_opener {
namespace {

bool runWatched(const QString& opener, const QString& path) {
  // Its output goes where ours goes: an application the opener starts may
  // outlive it and write there after the watch has ended.
  ChildProcess process(opener, {path}, {.output = ChildOutput::Forwarded});
  if (!process.started()) {
    Show_NSLog_Message(QStringLiteral("The opener %1 could not start: %2").arg(opener, process.startError()));
    return false;
  }
  if (!process.waitForExit(kWatchMs)) return true;  // ended with `process`
  if (process.exitCode() == 0) return true;
  Show_NSLog_Message(QStringLiteral("The opener %1 could not open \"%2\" (status %3)")
                         .arg(opener, path)
                         .arg(process.exitCode()));
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
