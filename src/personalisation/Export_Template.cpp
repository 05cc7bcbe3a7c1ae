#include "personalisation/Export_Template.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/dialogs/DialogParts.h"
#include "personalisation/TemplateStore.h"
#include "platform/MessageHost.h"
#include "platform/Messages.h"
#include "platform/StringHelpers.h"

Export_Template& Export_Template::defaultInstance() {
  return dialog_parts::singleton<Export_Template>([] { return new Export_Template; });
}

Export_Template::Export_Template(QWidget* parent) : QDialog(parent) {
  dialog_parts::setUpDialog(*this, tr("Template Name"));
  setObjectName(QStringLiteral("Export_Template"));
  template_name = dialog_parts::lineEdit(this, tr("Template name"));
  template_name->setObjectName(QStringLiteral("template_name"));
  template_name->setMinimumWidth(280);
  template_passed = dialog_parts::lineEdit(this, tr("Current name"));
  template_passed->setObjectName(QStringLiteral("template_passed"));
  template_passed->setReadOnly(true);
  passed_label = dialog_parts::label(this, tr("Current name:"));
  auto* form = new QFormLayout;
  form->addRow(dialog_parts::label(this, tr("Template name:")), template_name);
  form->addRow(passed_label, template_passed);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(dialog_parts::okCancelRow(this, &ok_btn, &cancel_btn));
  connect(ok_btn, &QPushButton::clicked, this, &Export_Template::OKPressed);
  connect(cancel_btn, &QPushButton::clicked, this, &Export_Template::CancelPressed);
}

int Export_Template::Run_Name_Panel(const QString& name, const QString& oldName) {
  template_name->setText(name);
  template_passed->setText(oldName);
  const bool renaming = !oldName.isEmpty();
  passed_label->setVisible(renaming);
  template_passed->setVisible(renaming);
  template_name->setFocus();
  template_name->selectAll();
  setResult(0);
  return platform::messageHost().runModal(*this);
}

void Export_Template::OKPressed() {
  const QString name = templates::Clean_Template_Name(template_name->text());
  if (name.isEmpty()) {
    Show_MessageBox(QStringLiteral("Please enter template name."));
    return;
  }
  const QString oldName = Trim_Str(template_passed->text());
  if (oldName.isEmpty()) {
    if (templates::User_Template_Exists(name) &&
        !Show_YES_NO_MessageBox(QStringLiteral(
            "Template with this name already exists, Do you want to replace the existing template?")))
      return;
  } else if (oldName != name && templates::User_Template_Exists(name)) {
    Show_MessageBox(QStringLiteral("Template with this name already exists."));
    return;
  }
  export_template_name = name;
  done(1);
}

void Export_Template::CancelPressed() {
  template_name->clear();
  done(0);
}
