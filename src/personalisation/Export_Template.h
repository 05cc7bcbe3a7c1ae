#pragma once
// The template name panel: the name under which a design is exported as a
// template, or the new name of a user template. OK cleans the typed name,
// refuses an unusable one and guards existing templates.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class Export_Template : public QDialog {
  Q_OBJECT
 public:
  static Export_Template& defaultInstance();

  // Runs the panel for a new template (old name "") or for renaming the
  // template `oldName`: 1 when a name was accepted (export_template_name).
  int Run_Name_Panel(const QString& name, const QString& oldName);

  void OKPressed();
  void CancelPressed();
  // Escape and the window's close button answer as Cancel does.
  void reject() override { CancelPressed(); }

  // The name accepted last.
  QString export_template_name;

  QLineEdit* template_name = nullptr;
  QLineEdit* template_passed = nullptr;
  QLabel* passed_label = nullptr;
  QPushButton *ok_btn = nullptr, *cancel_btn = nullptr;

 private:
  explicit Export_Template(QWidget* parent = nullptr);
};
