#pragma once
// The text tab of a text object: its characters (wrapped between words; a
// run of more than a thousand characters without a blank, anywhere), the
// insertion of today's date or the time in a chosen format, and the stock
// title or message button of the wizard's title and message texts.

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

class TextEditingTab : public QWidget {
  Q_OBJECT
 public:
  explicit TextEditingTab(QWidget* parent = nullptr);

  QPlainTextEdit* Text_value_Edit = nullptr;
  QComboBox* Text_Date_style = nullptr;  // date patterns
  QComboBox* Text_Time_style = nullptr;  // time patterns
  QPushButton* Text_Insert_Date_btn = nullptr;
  QPushButton* Text_Insert_Time_btn = nullptr;
  QPushButton* insert_template_btn = nullptr;  // "Use Template Title" or "Use Template Message"
};
