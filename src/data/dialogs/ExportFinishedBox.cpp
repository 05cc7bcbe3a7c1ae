#include "data/dialogs/ExportFinishedBox.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "data/dialogs/DialogParts.h"
#include "platform/MessageHost.h"

ExportFinishedBox::ExportFinishedBox(QString path, const QString& message, QWidget* parent)
    : QDialog(parent), path_(std::move(path)) {
  dialog_parts::setUpDialog(*this, QStringLiteral("Export"));
  _open_log_message = dialog_parts::label(this, message);
  _open_log_path = dialog_parts::label(this, path_);
  _open_log_path->setTextInteractionFlags(Qt::TextSelectableByMouse);
  _open_log_chk =
      dialog_parts::checkBox(this, QFileInfo(path_).isDir() ? QStringLiteral("Open containing folder.")
                                                            : QStringLiteral("Open exported file."));
  _open_log_chk->setChecked(true);
  QPushButton *ok = nullptr, *cancel = nullptr;
  QHBoxLayout* buttons = dialog_parts::okCancelRow(this, &ok, &cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(_open_log_message);
  layout->addWidget(_open_log_path);
  layout->addWidget(_open_log_chk);
  layout->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, &ExportFinishedBox::OKPressed);
  connect(cancel, &QPushButton::clicked, this, &ExportFinishedBox::CancelPressed);
}

void ExportFinishedBox::OKPressed() {
  if (_open_log_chk->isChecked()) platform::messageHost().openUrl(QUrl::fromLocalFile(path_));
  done(1);
}
