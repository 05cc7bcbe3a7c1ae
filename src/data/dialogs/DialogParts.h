#pragma once
// Small pieces every data dialog builds itself from: the single instance of
// a dialog, and controls that carry their accessible name.

#include <QCoreApplication>
#include <QString>

class QAbstractItemModel;
class QCheckBox;
class QDialog;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;
class QWidget;

namespace dialog_parts {

// The one instance of a dialog class: made by `make` on first use (GUI
// thread) and deleted when the application goes.
template <typename Dialog, typename Make>
Dialog& singleton(Make make) {
  static Dialog* instance = nullptr;
  if (instance == nullptr) {
    instance = make();
    qAddPostRoutine([] {
      delete instance;
      instance = nullptr;
    });
  }
  return *instance;
}

// Makes the dialog modal, titles it (its accessible name too) and gives it the shared look.
void setUpDialog(QDialog& dialog, const QString& title);
// A row with Cancel and OK (the default button) on the right.
QHBoxLayout* okCancelRow(QWidget* parent, QPushButton** ok, QPushButton** cancel);

QLabel* label(QWidget* parent, const QString& text);
QLineEdit* lineEdit(QWidget* parent, const QString& accessibleName);
QPushButton* button(QWidget* parent, const QString& text);
QRadioButton* radioButton(QWidget* parent, const QString& text);
QCheckBox* checkBox(QWidget* parent, const QString& text);
// A table of whole rows, no grid editing, columns stretched to the width.
QTableView* tableView(QWidget* parent, QAbstractItemModel* model, const QString& accessibleName);

// Chains the Tab key through the dialog's controls as a person reads them:
// row by row from the top, left to right along a row. For dialogs laid out
// in one column without tab pages; call at the end of the constructor, once
// the layout is built.
void tabInReadingOrder(QDialog& dialog);

// The check of a path typed or chosen in a dialog: true (after "Please
// select valid file path.") when the trimmed path is empty or names nothing
// that exists, false when it can be used.
bool Check_And_Validate_File_Path(const QString& path);

}  // namespace dialog_parts
