#include "platform/widgets/Open_Export_Log.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <exception>

#include "platform/FileHelpers.h"
#include "platform/MessageHost.h"
#include "platform/Messages.h"
#include "platform/widgets/DialogLook.h"

Open_Export_Log::Open_Export_Log(QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("Export Finished"));
  setAccessibleName(windowTitle());
  platform::applyDialogLook(*this);
  auto* layout = new QVBoxLayout(this);
  _open_log_message = new QLabel(this);
  _open_log_message->setWordWrap(true);
  _open_log_path = new QLabel(this);
  _open_log_path->setWordWrap(true);
  _open_log_path->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // A long path or message wraps, or is cut, within this width: the box and
  // its buttons stay on the screen.
  for (QLabel* label : {_open_log_message, _open_log_path}) label->setMaximumWidth(kMaximumTextWidth);
  _open_log_path->setAccessibleName(tr("Exported path"));
  _open_log_chk = new QCheckBox(tr("Open exported file."), this);
  _open_log_chk->setChecked(true);
  // Cancel left of OK, as in the other dialogs; made in that order for Tab.
  auto* cancel = new QPushButton(tr("Cancel"), this);
  auto* ok = new QPushButton(tr("OK"), this);
  ok->setDefault(true);
  for (QPushButton* b : {cancel, ok}) b->setAccessibleName(b->text());
  connect(ok, &QPushButton::clicked, this, &Open_Export_Log::OKPressed);
  connect(cancel, &QPushButton::clicked, this, &Open_Export_Log::CancelPressed);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cancel);
  buttons->addWidget(ok);
  layout->addWidget(_open_log_message);
  layout->addWidget(_open_log_path);
  layout->addWidget(_open_log_chk);
  layout->addLayout(buttons);
}

int Open_Export_Log::openFor(const QString& path, const QString& message) {
  path_ = path;
  _open_log_chk->setText(QFileInfo(path).isDir() ? tr("Open containing folder.") : tr("Open exported file."));
  _open_log_chk->setAccessibleName(_open_log_chk->text());
  _open_log_path->setText(path);
  _open_log_message->setText(message);
  _open_log_message->setAccessibleName(message);
  setWindowModality(parentWidget() != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
  const int code = platform::messageHost().runModal(*this) == 1 ? 1 : 0;
  hide();
  return code;
}

void Open_Export_Log::OKPressed() {
  try {
    if (_open_log_chk->isChecked() && !path_.isEmpty()) platform::openOrTell(QUrl::fromLocalFile(path_));
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromUtf8(e.what()));
  }
  _open_log_chk->setChecked(true);
  done(1);
}

void Open_Export_Log::CancelPressed() {
  _open_log_chk->setChecked(true);
  done(0);
}
