#pragma once
// The text tab of a text object: its characters (wrapped between words; a
// run of more than a thousand characters without a blank, anywhere), the
// insertion of today's date or the time in a chosen format, and the stock
// title or message button of the wizard's title and message texts.
//
// The tab keeps the characters the editor showed before the edit being
// handled (those last shown from the object or taken from an edit), so that
// an edit can be measured against them and refused.
//
// A text longer than one part (10,000 characters: a pasted code, a data value
// gone wrong) is shown a part at a time, as laying out all of it would stop
// the window for minutes; the bar under the editor tells which characters it
// shows and moves to the part before or after. The parts not shown are kept
// as they are: an edit of the part shown changes only that part.

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>
#include <QWidget>

class TextEditingTab : public QWidget {
  Q_OBJECT
 public:
  explicit TextEditingTab(QWidget* parent = nullptr);

  // The characters of a part of a text, and of the parts before and after.
  static constexpr qsizetype kPartLength = 10000;
  // The characters a typed or pasted text keeps.
  static constexpr qsizetype kTypedLimit = 250;

  // Shows characters as the object holds them, which is no edit (the editor
  // tells no change). When they differ from those shown, the caret keeps its
  // place (the end when it was there), without a selection; a long text
  // stays at the part shown while the characters before it are the same.
  void showText(const QString& text);
  // The characters the tab holds: the editor's, between the parts it does
  // not show.
  QString text() const;
  // The characters shown before the edit being handled.
  const QString& keptText() const { return kept_; }
  // The edit is taken: its characters are kept.
  void keepText();
  // The edit is refused: the kept characters come back, the caret where the
  // edit was. The editor tells no change.
  void refuseEdit();
  // An edit went past kTypedLimit and was cut or refused: the tab says so
  // under the editor until its text is shorter than the limit again or
  // another text is shown.
  void showLimitReached();
  // Replaces every character by new ones, as an edit (the editor tells the change).
  void replaceText(const QString& text);
  // Shows the part before or after the one shown (no edit).
  void showPreviousPart();
  void showNextPart();

  QPlainTextEdit* Text_value_Edit = nullptr;
  QComboBox* Text_Date_style = nullptr;  // date patterns
  QComboBox* Text_Time_style = nullptr;  // time patterns
  QPushButton* Text_Insert_Date_btn = nullptr;
  QPushButton* Text_Insert_Time_btn = nullptr;
  QPushButton* insert_template_btn = nullptr;  // "Use Template Title" or "Use Template Message"
  QLabel* limitNote = nullptr;                 // "A typed text keeps at most 250 characters."
  QLabel* partShown = nullptr;                 // "Characters 1 to 10,000 of 2,000,000"
  QPushButton* previousPart = nullptr;
  QPushButton* nextPart = nullptr;

 private:
  // Puts the part from the position into the editor (no edit).
  void showPart(qsizetype from);
  // The end of the part that starts at the position (never inside a character).
  qsizetype partEnd(qsizetype from) const;
  void showPartBar();

  QString kept_;
  qsizetype shownFrom_ = 0;    // where the part in the editor starts in kept_
  qsizetype shownLength_ = 0;  // and how long it was when it was kept
};
