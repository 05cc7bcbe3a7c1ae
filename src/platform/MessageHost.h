#pragma once
// The one seam through which the program talks to the person in front of it:
// message boxes, yes/no questions, file panels, opening files and links,
// modal dialogs and process exit. The program installs the host of the
// widgets part (platform/widgets/QtMessageHost.h), which shows Qt dialogs;
// tests install a scripted host so that nothing ever blocks on a real modal
// window. Until a host is installed a quiet host answers: it logs the texts,
// answers "No", cancels panels and dialogs, and still opens links and ends
// the program.

#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

class QDialog;

namespace platform {

struct FilePanelRequest {
  QString title;
  QString directory;        // folder to start in; empty for the last one used
  QString suggestedName;    // save panels only
  QStringList nameFilters;  // e.g. "Design (*.dcard)"
  bool chooseFolders = false;
  bool allowMultiple = false;
};

class MessageHost {
 public:
  virtual ~MessageHost() = default;

  // Alert with the single button "OK". Runs on the GUI thread.
  virtual void showMessage(const QString& text) = 0;
  // Alert with "Yes" (default) and "No"; true when "Yes" was pressed.
  virtual bool askYesNo(const QString& question) = 0;
  // The same alert with "No" as the default, for a question whose "Yes" goes
  // on with a result the person may not want. A host without default
  // buttons asks the plain question.
  virtual bool askYesNoDefaultNo(const QString& question) { return askYesNo(question); }
  // Alert with "Yes" (default), "No" and "Cancel"; Escape and closing the
  // box answer Cancel. A host without a third answer asks the yes/no question.
  enum class Answer { Yes, No, Cancel };
  virtual Answer askYesNoCancel(const QString& question) {
    return askYesNo(question) ? Answer::Yes : Answer::No;
  }
  // Open panel: the chosen paths, empty when cancelled.
  virtual QStringList openPanel(const FilePanelRequest& request) = 0;
  // Save panel: the chosen path, empty when cancelled.
  virtual QString savePanel(const FilePanelRequest& request) = 0;
  // Opens a file with its default application, or a web or mail link.
  virtual bool openUrl(const QUrl& url) = 0;
  // Opens as openUrl does, then gives `done`, on the GUI thread, whether the
  // file or link was opened. A host whose opening can fail after it has begun
  // (the desktop's opener finds no application for the file) answers once it
  // knows; this one answers at once with openUrl's answer.
  virtual void openUrlThen(const QUrl& url, std::function<void(bool opened)> done) { done(openUrl(url)); }
  // Runs a dialog modally and gives its result code as the dialog left it
  // (1 OK, 0 Cancel, or a code of the dialog's own, such as a third answer).
  virtual int runModal(QDialog& dialog) = 0;
  // Ends the program with the given status: the application's event loop
  // ends, also when it has not started yet (every loop run later ends at once).
  virtual void exitProcess(int status) = 0;
};

// The host in force. Never null: the program's default host (see
// setDefaultMessageHost) or, before one is set, the quiet host.
MessageHost& messageHost();
// Installs a host (not owned); nullptr restores the default host. GUI thread only.
void setMessageHost(MessageHost* host);
// The host used while none is installed (not owned); nullptr restores the
// quiet host. Set once at start-up.
void setDefaultMessageHost(MessageHost* host);

// The host of a program without windows: texts go to the log, questions are
// answered "No", panels and dialogs are cancelled; links are opened and the
// program is ended as by the windowed host.
class QuietMessageHost : public MessageHost {
 public:
  void showMessage(const QString& text) override;
  bool askYesNo(const QString& question) override;
  QStringList openPanel(const FilePanelRequest& request) override;
  QString savePanel(const FilePanelRequest& request) override;
  bool openUrl(const QUrl& url) override;
  // A local file goes to the desktop's opener where there is one, watched
  // until it is known whether an application took the file.
  void openUrlThen(const QUrl& url, std::function<void(bool opened)> done) override;
  int runModal(QDialog& dialog) override;
  void exitProcess(int status) override;
};

// Installs a host for the lifetime of the guard.
class ScopedMessageHost {
 public:
  explicit ScopedMessageHost(MessageHost& host);
  ~ScopedMessageHost();
  ScopedMessageHost(const ScopedMessageHost&) = delete;
  ScopedMessageHost& operator=(const ScopedMessageHost&) = delete;

 private:
  MessageHost* previous_;
};

}  // namespace platform
