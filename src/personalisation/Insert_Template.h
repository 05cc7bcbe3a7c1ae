#pragma once
// The stock text picker: a small modal window that offers the stock titles
// or the stock messages one at a time (Back, Next); OK hands the text shown,
// possibly edited, to the caller.
//
// Entry point for any caller (the text panel's "Use Template Title" and
// "Use Template Message" button, the wizard):
//   QString text;
//   if (Pick_Stock_Text(QStringLiteral("T"), &text)) ...   // "T" titles, "M" messages

#include <QDialog>

#include "personalisation/StockTexts.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

class Insert_Template : public QDialog {
  Q_OBJECT
 public:
  // The one picker, made on first use (GUI thread).
  static Insert_Template& defaultInstance();

  // Reads both stock files again, shows entry 0 of the chosen list and runs
  // the picker modally: 1 after OK (Template_Msg_Val holds the text), 0 after Cancel.
  int Open_Template_Dialog();

  void OKPressed();
  void CancelPressed();
  // Escape and the window's close button answer as Cancel does.
  void reject() override { CancelPressed(); }
  void Msg_Next_Click();
  void Msg_Back_Click();
  void Load_Msg_And_Title();
  QString Get_Title() const { return titles_.current(); }
  QString Get_Message() const { return messages_.current(); }

  // "T": titles; anything else: messages. Set by the caller.
  QString title_or_msg = QStringLiteral("M");

  QLabel* caption = nullptr;
  QPlainTextEdit* msg_value = nullptr;
  QPushButton *back_btn = nullptr, *next_btn = nullptr, *ok_btn = nullptr, *cancel_btn = nullptr;

 private:
  explicit Insert_Template(QWidget* parent = nullptr);
  bool titleMode() const { return title_or_msg == QLatin1String("T"); }
  StockTextCycle& list() { return titleMode() ? titles_ : messages_; }
  void showEntry(const QString& text);

  StockTextCycle titles_, messages_;
};

// Runs the picker for titles ("T") or messages ("M"); true with the picked,
// trimmed text after OK, false after Cancel.
bool Pick_Stock_Text(const QString& title_or_msg, QString* picked);
