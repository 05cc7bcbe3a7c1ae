#pragma once
// The text tab of a text object: its characters (wrapped between words; a
// run of more than a thousand characters without a blank, anywhere), the
// insertion of today's date or the time in a chosen format, and the stock
// title or message button of the wizard's title and message texts.
//
// The tab keeps the characters the editor showed before the edit being
// handled (those last shown from the object or taken from an edit), so that
// an edit can be measured against them and refused.

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>
#include <QWidget>

class TextEditingTab : public QWidget {
  Q_OBJECT
 public:
  explicit TextEditingTab(QWidget* parent = nullptr);

  // Shows characters as the object holds them, which is no edit (the editor
  // tells no change). When they differ from those shown, the caret keeps its
  // place (the end when it was there), without a selection.
  void showText(const QString& text);
  // The characters shown before the edit being handled.
  const QString& keptText() const { return kept_; }
  // The edit is taken: its characters are kept.
  void keepText() { kept_ = Text_value_Edit->toPlainText(); }
  // The edit is refused: the kept characters come back, the caret where the
  // edit was. The editor tells no change.
  void refuseEdit();

  QPlainTextEdit* Text_value_Edit = nullptr;
  QComboBox* Text_Date_style = nullptr;  // date patterns
  QComboBox* Text_Time_style = nullptr;  // time patterns
  QPushButton* Text_Insert_Date_btn = nullptr;
  QPushButton* Text_Insert_Time_btn = nullptr;
  QPushButton* insert_template_btn = nullptr;  // "Use Template Title" or "Use Template Message"

 private:
  QString kept_;
};
