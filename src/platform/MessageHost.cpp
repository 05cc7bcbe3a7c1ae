#include "platform/MessageHost.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QTimer>
#include <atomic>
#include <cstdlib>

#include "platform/DesktopOpener.h"
#include "platform/Messages.h"
#include "platform/globals.h"

namespace platform {
namespace {

QuietMessageHost& quietHost() {
  static QuietMessageHost host;
  return host;
}

std::atomic<MessageHost*> g_host{nullptr};
std::atomic<MessageHost*> g_defaultHost{nullptr};

}  // namespace

void QuietMessageHost::showMessage(const QString& text) {
  Show_NSLog_Message(text);
}

bool QuietMessageHost::askYesNo(const QString& question) {
  Show_NSLog_Message(question + QStringLiteral(" (answered No)"));
  return false;
}

QStringList QuietMessageHost::openPanel(const FilePanelRequest&) {
  return {};
}

QString QuietMessageHost::savePanel(const FilePanelRequest&) {
  return {};
}

bool QuietMessageHost::openUrl(const QUrl& url) {
  return onGuiThread([&] { return QDesktopServices::openUrl(url); });
}

void QuietMessageHost::openUrlThen(const QUrl& url, std::function<void(bool opened)> done) {
  const QString opener = url.isLocalFile() ? desktop_opener::program() : QString();
  if (opener.isEmpty()) {
    done(openUrl(url));
    return;
  }
  runOnGuiThread([&] { desktop_opener::open(opener, url.toLocalFile(), std::move(done)); });
}

int QuietMessageHost::runModal(QDialog&) {
  return 0;
}

void QuietMessageHost::exitProcess(int status) {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr) std::exit(status);
  Program_Ending.store(true);
  onGuiThread([app, status] {
    // QCoreApplication::exit() only ends the loops running now; a request
    // made before the application's main loop has started (a start-up
    // window shown modally) would be forgotten. From now on every event
    // loop that runs ends at once with the status.
    auto* ending = new QTimer(app);
    ending->setObjectName(QStringLiteral("quvo-process-exit"));
    QObject::connect(ending, &QTimer::timeout, app, [status] { QCoreApplication::exit(status); });
    ending->start(0);
    QCoreApplication::exit(status);
  });
}

MessageHost& messageHost() {
  if (MessageHost* host = g_host.load()) return *host;
  if (MessageHost* host = g_defaultHost.load()) return *host;
  return quietHost();
}

void setMessageHost(MessageHost* host) {
  g_host.store(host);
}

void setDefaultMessageHost(MessageHost* host) {
  g_defaultHost.store(host);
}

ScopedMessageHost::ScopedMessageHost(MessageHost& host) : previous_(g_host.load()) {
  setMessageHost(&host);
}

ScopedMessageHost::~ScopedMessageHost() {
  setMessageHost(previous_);
}

}  // namespace platform
