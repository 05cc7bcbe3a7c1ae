#pragma once
// The one seam through which the program talks to the person in front of it:
// message boxes, yes/no questions, file panels, opening files and links,
// modal dialogs and process exit. The default host shows Qt dialogs; tests
// install a scripted host so that nothing ever blocks on a real modal window.

#include <QString>
#include <QStringList>
#include <QUrl>

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
  // Open panel: the chosen paths, empty when cancelled.
  virtual QStringList openPanel(const FilePanelRequest& request) = 0;
  // Save panel: the chosen path, empty when cancelled.
  virtual QString savePanel(const FilePanelRequest& request) = 0;
  // Opens a file with its default application, or a web or mail link.
  virtual bool openUrl(const QUrl& url) = 0;
  // Runs a dialog modally and gives its result code (1 OK, 0 Cancel).
  virtual int runModal(QDialog& dialog) = 0;
  // Ends the program with the given status: the application's event loop
  // ends, also when it has not started yet (every loop run later ends at once).
  virtual void exitProcess(int status) = 0;
};

// The host in force. Never null: the Qt host is used until another is installed.
MessageHost& messageHost();
// Installs a host (not owned); nullptr restores the Qt host. GUI thread only.
void setMessageHost(MessageHost* host);

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
