#include "platform/Messages.h"

#include <QDebug>
#include <exception>

#include "platform/MessageHost.h"

namespace {

// Shows an "OK" box on the GUI thread; any exception is logged there.
void showOnGuiThread(const QString& text) {
  platform::onGuiThread([&text] {
    try {
      platform::messageHost().showMessage(text);
    } catch (const std::exception& e) {
      Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
    }
  });
}

}  // namespace

void Show_NSLog_Message(const QString& message) {
  if (message.isEmpty()) return;
  qInfo().noquote() << message;
}

void Show_MessageBox(const QString& message) {
  if (message.isNull()) {
    Show_NSLog_Message("Show_MessageBox: no message to show");
    return;
  }
  showOnGuiThread("\n" + message);
}

bool Show_YES_NO_MessageBox(const QString& question) {
  return platform::onGuiThread([&question] {
    bool answer = false;
    try {
      answer = platform::messageHost().askYesNo(question);
    } catch (const std::exception& e) {
      Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
    }
    return answer;
  });
}

void Show_MessageBox_No_Thread(const QString& message) {
  if (message.isNull()) {
    Show_NSLog_Message("Show_MessageBox_No_Thread: no message to show");
    return;
  }
  // Meant for the GUI thread; a worker that calls it still gets its box
  // shown there rather than a window made on the wrong thread.
  showOnGuiThread("\n" + message);
}
