#pragma once
// A message host for tests: records every text it is shown and answers
// questions, panels and modal dialogs from a script queued by the test.

#include <QDialog>
#include <QMutex>
#include <QStringList>
#include <deque>
#include <functional>

#include "platform/MessageHost.h"

namespace testing_support {

class ScriptedHost : public platform::MessageHost {
 public:
  ScriptedHost();
  ~ScriptedHost() override;

  // Script: answers are consumed in order; when none is queued the default is used.
  void queueYesNo(bool answer);
  void queueYesNoCancel(Answer answer);
  void queueOpenPanel(QStringList paths);
  void queueSavePanel(QString path);
  // A modal dialog is handed to the function, which may set its controls;
  // its return value is the dialog's result code.
  void queueModal(std::function<int(QDialog&)> handler);

  bool defaultYesNo = false;
  bool openUrlResult = true;  // what openUrl answers: false as on a desktop without a handler

  // What happened.
  QStringList messages() const;   // texts of message boxes, in order
  QStringList questions() const;  // texts of yes/no(/cancel) questions, in order
  // Those of them asked with "No" as the default (unscripted, they get "No").
  QStringList defaultNoQuestions() const;
  QList<QUrl> openedUrls() const;
  QList<int> exitStatuses() const;
  int panelsShown() const;
  platform::FilePanelRequest lastPanelRequest() const;  // the last open or save panel asked for
  void clear();

  void showMessage(const QString& text) override;
  bool askYesNo(const QString& question) override;
  bool askYesNoDefaultNo(const QString& question) override;
  Answer askYesNoCancel(const QString& question) override;
  QStringList openPanel(const platform::FilePanelRequest& request) override;
  QString savePanel(const platform::FilePanelRequest& request) override;
  bool openUrl(const QUrl& url) override;
  int runModal(QDialog& dialog) override;
  void exitProcess(int status) override;

 private:
  mutable QMutex mutex_;
  std::deque<bool> yesNo_;
  std::deque<Answer> yesNoCancel_;
  std::deque<QStringList> openPanels_;
  std::deque<QString> savePanels_;
  std::deque<std::function<int(QDialog&)>> modals_;
  QStringList messages_;
  QStringList questions_;
  QStringList defaultNoQuestions_;
  QList<QUrl> urls_;
  QList<int> exits_;
  int panels_ = 0;
  platform::FilePanelRequest lastPanel_;
  platform::ScopedMessageHost install_;
};

}  // namespace testing_support
