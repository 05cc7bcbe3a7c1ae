#include "personalisation/Insert_Template.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/dialogs/DialogParts.h"
#include "personalisation/globals.h"
#include "platform/MessageHost.h"
#include "platform/Messages.h"
#include "platform/StringHelpers.h"

Insert_Template& Insert_Template::defaultInstance() {
  return dialog_parts::singleton<Insert_Template>([] { return new Insert_Template; });
}

Insert_Template::Insert_Template(QWidget* parent) : QDialog(parent) {
  dialog_parts::setUpDialog(*this, tr("Stock Texts"));
  setObjectName(QStringLiteral("Insert_Template"));
  caption = dialog_parts::label(this, tr("Title"));
  msg_value = new QPlainTextEdit(this);
  msg_value->setObjectName(QStringLiteral("msg_value"));
  msg_value->setAccessibleName(tr("Stock text"));
  msg_value->setTabChangesFocus(true);
  msg_value->setMinimumSize(360, 90);
  back_btn = dialog_parts::button(this, tr("Back"));
  next_btn = dialog_parts::button(this, tr("Next"));
  auto* okRow = dialog_parts::okCancelRow(this, &ok_btn, &cancel_btn);
  okRow->insertWidget(0, back_btn);
  okRow->insertWidget(1, next_btn);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(caption);
  layout->addWidget(msg_value);
  layout->addLayout(okRow);
  connect(back_btn, &QPushButton::clicked, this, &Insert_Template::Msg_Back_Click);
  connect(next_btn, &QPushButton::clicked, this, &Insert_Template::Msg_Next_Click);
  connect(ok_btn, &QPushButton::clicked, this, &Insert_Template::OKPressed);
  connect(cancel_btn, &QPushButton::clicked, this, &Insert_Template::CancelPressed);
}

void Insert_Template::Load_Msg_And_Title() {
  titles_.load(Stock_Title_File());
  messages_.load(Stock_Message_File());
}

void Insert_Template::showEntry(const QString& text) {
  msg_value->setPlainText(text);
}

int Insert_Template::Open_Template_Dialog() {
  try {
    Template_Msg_Val = QString();
    Load_Msg_And_Title();
    if (!list().unreadable().isEmpty()) Show_MessageBox(list().unreadable());
    caption->setText(titleMode() ? tr("Title") : tr("Message"));
    caption->setAccessibleName(caption->text());
    showEntry(titleMode() ? Get_Title() : Get_Message());
    msg_value->setFocus();
    setResult(0);
    return platform::messageHost().runModal(*this);
  } catch (const std::exception& e) {
    qCWarning(lcPersonalisation).noquote() << QString::fromUtf8(e.what());
    return 0;
  }
}

void Insert_Template::Msg_Next_Click() {
  showEntry(list().next());
}

void Insert_Template::Msg_Back_Click() {
  showEntry(list().back());
}

void Insert_Template::OKPressed() {
  Template_Msg_Val = Trim_Str(msg_value->toPlainText());
  if (!Template_Msg_Val.isEmpty()) {
    done(1);
    return;
  }
  Show_MessageBox(QStringLiteral("Please select message."));
  msg_value->setFocus();
}

void Insert_Template::CancelPressed() {
  Template_Msg_Val = QString();
  done(0);
}

bool Pick_Stock_Text(const QString& title_or_msg, QString* picked) {
  Insert_Template& picker = Insert_Template::defaultInstance();
  picker.title_or_msg = title_or_msg;
  const bool ok = picker.Open_Template_Dialog() == 1 && !Template_Msg_Val.isEmpty();
  if (picked) *picked = ok ? Template_Msg_Val : QString();
  return ok;
}
