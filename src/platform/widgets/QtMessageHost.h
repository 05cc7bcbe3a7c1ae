#pragma once
// The message host of the windowed program: the program's message boxes
// (MessageWindow), Qt file dialogs and modal dialogs, each shown on the GUI
// thread.

#include "platform/MessageHost.h"

namespace platform {

class QtMessageHost final : public QuietMessageHost {
 public:
  void showMessage(const QString& text) override;
  bool askYesNo(const QString& question) override;
  bool askYesNoDefaultNo(const QString& question) override;
  Answer askYesNoCancel(const QString& question) override;
  QStringList openPanel(const FilePanelRequest& request) override;
  QString savePanel(const FilePanelRequest& request) override;
  int runModal(QDialog& dialog) override;
};

// Makes the Qt host the default host of the program (start-up).
void useQtMessageHost();

}  // namespace platform
