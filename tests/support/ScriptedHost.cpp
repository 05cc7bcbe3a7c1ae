#include "support/ScriptedHost.h"

#include <QMutexLocker>

namespace testing_support {

ScriptedHost::ScriptedHost() : install_(*this) {}
ScriptedHost::~ScriptedHost() = default;

void ScriptedHost::queueYesNo(bool answer) {
  QMutexLocker lock(&mutex_);
  yesNo_.push_back(answer);
}
void ScriptedHost::queueYesNoCancel(Answer answer) {
  QMutexLocker lock(&mutex_);
  yesNoCancel_.push_back(answer);
}
void ScriptedHost::queueOpenPanel(QStringList paths) {
  QMutexLocker lock(&mutex_);
  openPanels_.push_back(std::move(paths));
}
void ScriptedHost::queueSavePanel(QString path) {
  QMutexLocker lock(&mutex_);
  savePanels_.push_back(std::move(path));
}
void ScriptedHost::queueModal(std::function<int(QDialog&)> handler) {
  QMutexLocker lock(&mutex_);
  modals_.push_back(std::move(handler));
}

QStringList ScriptedHost::messages() const {
  QMutexLocker lock(&mutex_);
  return messages_;
}
QStringList ScriptedHost::questions() const {
  QMutexLocker lock(&mutex_);
  return questions_;
}
QStringList ScriptedHost::defaultNoQuestions() const {
  QMutexLocker lock(&mutex_);
  return defaultNoQuestions_;
}
QList<QUrl> ScriptedHost::openedUrls() const {
  QMutexLocker lock(&mutex_);
  return urls_;
}
QList<int> ScriptedHost::exitStatuses() const {
  QMutexLocker lock(&mutex_);
  return exits_;
}
int ScriptedHost::panelsShown() const {
  QMutexLocker lock(&mutex_);
  return panels_;
}
void ScriptedHost::clear() {
  QMutexLocker lock(&mutex_);
  messages_.clear();
  questions_.clear();
  defaultNoQuestions_.clear();
  urls_.clear();
  exits_.clear();
  panels_ = 0;
}

void ScriptedHost::showMessage(const QString& text) {
  QMutexLocker lock(&mutex_);
  messages_ << text;
}
bool ScriptedHost::askYesNo(const QString& question) {
  QMutexLocker lock(&mutex_);
  questions_ << question;
  if (yesNo_.empty()) return defaultYesNo;
  const bool answer = yesNo_.front();
  yesNo_.pop_front();
  return answer;
}
bool ScriptedHost::askYesNoDefaultNo(const QString& question) {
  QMutexLocker lock(&mutex_);
  questions_ << question;
  defaultNoQuestions_ << question;
  if (yesNo_.empty()) return false;
  const bool answer = yesNo_.front();
  yesNo_.pop_front();
  return answer;
}
platform::MessageHost::Answer ScriptedHost::askYesNoCancel(const QString& question) {
  QMutexLocker lock(&mutex_);
  questions_ << question;
  if (yesNoCancel_.empty()) {
    // A script of yes/no answers answers three-way questions too.
    bool yes = defaultYesNo;
    if (!yesNo_.empty()) {
      yes = yesNo_.front();
      yesNo_.pop_front();
    }
    return yes ? Answer::Yes : Answer::No;
  }
  const Answer answer = yesNoCancel_.front();
  yesNoCancel_.pop_front();
  return answer;
}
platform::FilePanelRequest ScriptedHost::lastPanelRequest() const {
  QMutexLocker lock(&mutex_);
  return lastPanel_;
}
QStringList ScriptedHost::openPanel(const platform::FilePanelRequest& request) {
  QMutexLocker lock(&mutex_);
  ++panels_;
  lastPanel_ = request;
  if (openPanels_.empty()) return {};
  QStringList paths = openPanels_.front();
  openPanels_.pop_front();
  return paths;
}
QString ScriptedHost::savePanel(const platform::FilePanelRequest& request) {
  QMutexLocker lock(&mutex_);
  ++panels_;
  lastPanel_ = request;
  if (savePanels_.empty()) return {};
  QString path = savePanels_.front();
  savePanels_.pop_front();
  return path;
}
bool ScriptedHost::openUrl(const QUrl& url) {
  QMutexLocker lock(&mutex_);
  urls_ << url;
  return openUrlResult;
}
int ScriptedHost::runModal(QDialog& dialog) {
  std::function<int(QDialog&)> handler;
  {
    QMutexLocker lock(&mutex_);
    if (!modals_.empty()) {
      handler = std::move(modals_.front());
      modals_.pop_front();
    }
  }
  return handler ? handler(dialog) : 0;
}
void ScriptedHost::exitProcess(int status) {
  QMutexLocker lock(&mutex_);
  exits_ << status;
}

}  // namespace testing_support
