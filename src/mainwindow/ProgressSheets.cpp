// The please-wait and progress sheets over the main window, and the path
// helpers of the file panels. A worker never touches a window: it asks the
// GUI thread, which shows or hides the sheet.
#include <QFileInfo>
#include <QLabel>
#include <QVBoxLayout>

#include "mainwindow/SKTWindowController.h"
#include "mainwindow/globals.h"
#include "platform/Messages.h"
#include "platform/StringHelpers.h"
#include "platform/widgets/DialogLook.h"
#include "production/Send_Modeless.h"

QString SKTWindowController::Convert_Path_From_URL(const QUrl& url) {
  return url.isLocalFile() ? url.toLocalFile() : url.path();
}

int SKTWindowController::Check_And_Validate_File_Path(const QString& path) {
  const QString trimmed = Trim_Str(path);
  if (!trimmed.isEmpty() && QFileInfo::exists(trimmed)) return 0;
  Show_MessageBox(QStringLiteral("Please select valid file path."));
  return 1;
}

void SKTWindowController::Show_Create_Modeless() {
  platform::runOnGuiThread(
      [this] {
        try {
          if (plz_wait_Window == nullptr) {
            plz_wait_Window = new QDialog(this);
            plz_wait_Window->setWindowTitle(tr("Please Wait"));
            plz_wait_Window->setAccessibleName(tr("Please Wait"));
            platform::applyDialogLook(*plz_wait_Window);
            auto* layout = new QVBoxLayout(plz_wait_Window);
            modeless_msg_lbl = new QLabel(plz_wait_Window);
            layout->addWidget(modeless_msg_lbl);
          }
          modeless_msg_lbl->setText(QStringLiteral("It may take a while, Please wait.."));
          plz_wait_Window->setWindowModality(Qt::WindowModal);
          plz_wait_Window->show();
        } catch (const std::exception& e) {
          qCWarning(lcMainWindow).noquote() << QString::fromUtf8(e.what());
        }
      },
      QStringLiteral("please-wait sheet not shown"));
}

void SKTWindowController::Hide_Destroy_Modeless() {
  platform::runOnGuiThread(
      [this] {
        try {
          if (plz_wait_Window != nullptr) plz_wait_Window->hide();
        } catch (const std::exception& e) {
          qCWarning(lcMainWindow).noquote() << QString::fromUtf8(e.what());
        }
      },
      QStringLiteral("please-wait sheet not hidden"));
}

void SKTWindowController::Show_One_By_One_Modeless() {
  platform::runOnGuiThread([this] { Send_Modeless::defaultInstance().showOver(this); },
                           QStringLiteral("progress sheet not shown"));
}

void SKTWindowController::Hide_One_By_One_Modeless() {
  platform::runOnGuiThread([] { Send_Modeless::defaultInstance().endRun(); },
                           QStringLiteral("progress sheet not hidden"));
}
