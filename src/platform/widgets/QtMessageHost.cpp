#include "platform/MessageHost.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <cstdlib>

#include "platform/Messages.h"

namespace platform {
namespace {

class QtMessageHost final : public MessageHost {
 public:
  // Windows may only be made on the GUI thread: a call from a worker waits
  // there for the answer.
  void showMessage(const QString& text) override {
    onGuiThread([&] {
      QMessageBox box;
      box.setWindowTitle(QApplication::applicationName());
      box.setText(text);
      box.setInformativeText(QString());
      box.addButton("OK", QMessageBox::AcceptRole);
      box.exec();
    });
  }

  bool askYesNo(const QString& question) override {
    return onGuiThread([&] {
      QMessageBox box;
      box.setWindowTitle(QApplication::applicationName());
      box.setText(question);
      box.setInformativeText(QString());
      QPushButton* yes = box.addButton("Yes", QMessageBox::YesRole);
      box.addButton("No", QMessageBox::NoRole);
      box.setDefaultButton(yes);
      box.exec();
      return box.clickedButton() == yes;
    });
  }

  QStringList openPanel(const FilePanelRequest& request) override {
    return onGuiThread([&]() -> QStringList {
      if (request.chooseFolders) {
        const QString dir = QFileDialog::getExistingDirectory(nullptr, request.title, request.directory);
        return dir.isEmpty() ? QStringList() : QStringList{dir};
      }
      const QString filter = request.nameFilters.join(";;");
      if (request.allowMultiple)
        return QFileDialog::getOpenFileNames(nullptr, request.title, request.directory, filter);
      const QString file = QFileDialog::getOpenFileName(nullptr, request.title, request.directory, filter);
      return file.isEmpty() ? QStringList() : QStringList{file};
    });
  }

  QString savePanel(const FilePanelRequest& request) override {
    return onGuiThread([&]() -> QString {
      QString start = request.directory;
      if (!request.suggestedName.isEmpty())
        start = start.isEmpty() ? request.suggestedName : start + "/" + request.suggestedName;
      return QFileDialog::getSaveFileName(nullptr, request.title, start, request.nameFilters.join(";;"));
    });
  }

  bool openUrl(const QUrl& url) override {
    return onGuiThread([&] { return QDesktopServices::openUrl(url); });
  }

  int runModal(QDialog& dialog) override { return dialog.exec() == QDialog::Accepted ? 1 : 0; }

  void exitProcess(int status) override {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr) std::exit(status);
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
};

QtMessageHost& qtHost() {
  static QtMessageHost host;
  return host;
}

std::atomic<MessageHost*> g_host{nullptr};

}  // namespace

MessageHost& messageHost() {
  MessageHost* host = g_host.load();
  return host != nullptr ? *host : qtHost();
}

void setMessageHost(MessageHost* host) {
  g_host.store(host);
}

ScopedMessageHost::ScopedMessageHost(MessageHost& host) : previous_(g_host.load()) {
  setMessageHost(&host);
}

ScopedMessageHost::~ScopedMessageHost() {
  setMessageHost(previous_);
}

}  // namespace platform
