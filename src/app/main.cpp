// The program: sets up the resource folder and opens the main window.
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <csignal>

#include "mainwindow/SKTWindowController.h"
#include "mainwindow/scripting/DocumentBusObject.h"
#include "platform/MessageHost.h"
#include "platform/Messages.h"
#include "platform/ResourceFolder.h"
#include "platform/globals.h"
#include "platform/widgets/QtMessageHost.h"
#include "production/CardImageFileRun.h"

namespace {

// A termination request (logout, kill, Ctrl+C in a terminal) ends the event
// loop, so the window and the document are torn down in order. It ends the
// loop directly (not through closing the window), so no save question holds
// a terminating program open. The signal handler only writes one byte into a pipe.
int gQuitPipe[2] = {-1, -1};

void requestQuit(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(gQuitPipe[1], &byte, 1);
}

void quitOnTerminationSignals(QApplication& app) {
  if (::pipe2(gQuitPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* notifier = new QSocketNotifier(gQuitPipe[0], QSocketNotifier::Read, &app);
  QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
    char buffer[16];
    while (::read(gQuitPipe[0], buffer, sizeof buffer) > 0) {
    }
    Program_Ending.store(true);
    QCoreApplication::exit(0);
  });
  struct sigaction action = {};
  action.sa_handler = requestQuit;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("QUVO Gratulo");
  QApplication::setOrganizationName("QUVO");
  platform::useQtMessageHost();
  QString error;
  if (!platform::initResourceFolder(&error)) {
    platform::messageHost().showMessage(QStringLiteral("Can not access Vexmo Data file."));
    return 1;
  }
  // Cards that an export ended halfway left half replaced are put right
  // while the window opens; what was put right, or could not be, is said.
  production::settleUnfinishedExportsInTheBackground([](const QString& message) {
    if (!message.isEmpty()) Show_MessageBox(message);
  });
  quitOnTerminationSignals(app);
  SKTWindowController window;
  // Scripts reach the document before any other window opens, and are
  // served while the start window is open.
  registerDocumentScripting(window);
  SKTWindowController::setStartWindowShown(true);
  window.Open_Start_Window();
  // Exit on the start screen ends the program before its window shows.
  if (window.exitRequested()) return 0;
  window.show();
  return app.exec();
}
