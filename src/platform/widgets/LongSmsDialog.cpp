#include "platform/widgets/LongSmsDialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "platform/MessageHost.h"
#include "platform/Messages.h"
#include "platform/globals.h"
#include "platform/widgets/AccessibleNames.h"
#include "platform/widgets/DialogLook.h"
#include "platform/widgets/DialogSingleton.h"

namespace {
// The smallest size of the text field.
constexpr QSize kTextMinimumSize(420, 200);
}  // namespace

Long_SMS_Dlg& Long_SMS_Dlg::defaultInstance() {
  return platform::dialogSingleton<Long_SMS_Dlg>([] { return new Long_SMS_Dlg(); });
}

Long_SMS_Dlg::Long_SMS_Dlg(QWidget* parent) : QDialog(parent) {
  setModal(true);
  setWindowTitle(QApplication::applicationName());
  platform::applyDialogLook(*this);

  _Msg_Title = new QLabel(this);
  QFont bold = _Msg_Title->font();
  bold.setBold(true);
  _Msg_Title->setFont(bold);
  _Msg_Title->setWordWrap(true);
  _Msg_Val = new QPlainTextEdit(this);
  _Msg_Val->setReadOnly(true);
  _Msg_Val->setMinimumSize(kTextMinimumSize);
  apply_chk = new QCheckBox("Apply to all", this);
  yes_button = new QPushButton("OK", this);
  yes_button->setDefault(true);
  no_button = new QPushButton("No", this);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(apply_chk);
  buttons->addStretch(1);
  buttons->addWidget(no_button);
  buttons->addWidget(yes_button);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(_Msg_Title);
  layout->addWidget(_Msg_Val, 1);
  layout->addLayout(buttons);

  connect(yes_button, &QPushButton::clicked, this, &Long_SMS_Dlg::OKPressed);
  connect(no_button, &QPushButton::clicked, this, &Long_SMS_Dlg::CancelPressed);
  _Msg_Val->setAccessibleName(QStringLiteral("Message"));
  platform::nameControlsFromLabels(*this);
}

int Long_SMS_Dlg::Open_Long_sms_Dialog() {
  // Workers ask too: the window is shown on the GUI thread while they wait.
  const QString what = title_val.isNull() ? Cutom_Msg_Title() : title_val + " (answered No)";
  int code = 0;
  const bool shown = platform::runOnGuiThread(
      [this, &code] {
        const bool question = !title_val.isNull();
        if (question) {
          _Msg_Title->setText(title_val);
          _Msg_Val->setPlainText(msg_val_str);
        } else {
          _Msg_Title->setText(Cutom_Msg_Title());
          _Msg_Val->setPlainText(Cutom_Msg_Val());
        }
        no_button->setVisible(question);
        apply_chk->setVisible(apply_chk_show);
        useUpQuestion();
        code = platform::messageHost().runModal(*this) == 1 ? 1 : 0;
        hide();
      },
      what);
  // A box that could no longer be shown still uses up its question.
  if (!shown) useUpQuestion();
  return code;
}

void Long_SMS_Dlg::useUpQuestion() {
  title_val = QString();
  msg_val_str = QString();
  apply_chk_show = false;
}

void Long_SMS_Dlg::OKPressed() {
  Msg_Apply_All_Chk = apply_chk->isChecked();
  done(1);
}

void Long_SMS_Dlg::CancelPressed() {
  done(0);
}
