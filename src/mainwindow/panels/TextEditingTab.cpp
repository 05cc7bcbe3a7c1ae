#include "mainwindow/panels/TextEditingTab.h"

#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include "mainwindow/panels/PanelControls.h"

namespace {

// The longest run of characters without a blank that the editor wraps
// between words. A longer run (a pasted code, a data value gone wrong) is
// wrapped anywhere: the editor wraps a word line by line from its start, in
// time that grows with the square of the word's length, and a run that long
// has no word to keep whole anyway.
constexpr qsizetype kLongestWord = 1000;

bool holdsLongerRun(const QString& text) {
  qsizetype run = 0;
  for (const QChar ch : text)
    if (ch.isSpace())
      run = 0;
    else if (++run > kLongestWord)
      return true;
  return false;
}

}  // namespace

TextEditingTab::TextEditingTab(QWidget* parent) : QWidget(parent) {
  setAccessibleName(tr("Text"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(tr("Text"), this));
  Text_value_Edit = new QPlainTextEdit(this);
  Text_value_Edit->setAccessibleName(tr("Text of the object"));
  Text_value_Edit->setTabChangesFocus(true);
  // Decided before the editor lays out the changed characters.
  connect(Text_value_Edit->document(), &QTextDocument::contentsChange, this, [this] {
    const QTextOption::WrapMode mode = holdsLongerRun(Text_value_Edit->toPlainText())
                                           ? QTextOption::WrapAnywhere
                                           : QTextOption::WrapAtWordBoundaryOrAnywhere;
    if (Text_value_Edit->wordWrapMode() != mode) Text_value_Edit->setWordWrapMode(mode);
  });
  layout->addWidget(Text_value_Edit, 1);

  auto* grid = new QGridLayout;
  Text_Date_style =
      panels::combo(tr("Date format"),
                    {QStringLiteral("M-d-yyyy"), QStringLiteral("M-d-yy"), QStringLiteral("MM-dd-yy"),
                     QStringLiteral("MM-dd-yyyy"), QStringLiteral("yy-MM-dd"), QStringLiteral("yyyy-MM-dd"),
                     QStringLiteral("dd-MMM-yy"), QStringLiteral("dd-MM-yyyy"), QStringLiteral("d-M-yy")},
                    this);
  Text_Time_style = panels::combo(tr("Time format"),
                                  {QStringLiteral("h:mm:ss a"), QStringLiteral("hh:mm:ss a"),
                                   QStringLiteral("H:mm:ss"), QStringLiteral("HH:mm:ss")},
                                  this);
  Text_Insert_Date_btn = panels::button(tr("Insert Date"), this);
  Text_Insert_Time_btn = panels::button(tr("Insert Time"), this);
  grid->addWidget(Text_Date_style, 0, 0);
  grid->addWidget(Text_Insert_Date_btn, 0, 1);
  grid->addWidget(Text_Time_style, 1, 0);
  grid->addWidget(Text_Insert_Time_btn, 1, 1);
  grid->setColumnStretch(0, 1);
  layout->addLayout(grid);
  insert_template_btn = panels::button(tr("Use Template Title"), this);
  insert_template_btn->setToolTip(tr("Choose one of the stock titles or messages"));
  layout->addWidget(insert_template_btn);
}

void TextEditingTab::showText(const QString& text) {
  if (Text_value_Edit->toPlainText() == text) {
    kept_ = text;
    return;
  }
  const QTextCursor before = Text_value_Edit->textCursor();
  const QSignalBlocker blocker(Text_value_Edit);
  Text_value_Edit->setPlainText(text);
  keepText();
  QTextCursor caret = Text_value_Edit->textCursor();
  if (before.atEnd())
    caret.movePosition(QTextCursor::End);
  else
    caret.setPosition(std::min(before.position(), Text_value_Edit->document()->characterCount() - 1));
  Text_value_Edit->setTextCursor(caret);
}

void TextEditingTab::refuseEdit() {
  // Only the edited stretch is put back: the characters before and after it
  // are the same in both.
  const QString now = Text_value_Edit->toPlainText();
  const qsizetype shorter = std::min(now.size(), kept_.size());
  qsizetype head = 0;
  while (head < shorter && now[head] == kept_[head]) ++head;
  qsizetype tail = 0;
  while (tail < shorter - head && now[now.size() - 1 - tail] == kept_[kept_.size() - 1 - tail]) ++tail;
  QTextCursor edit(Text_value_Edit->document());
  edit.setPosition(static_cast<int>(head));
  edit.setPosition(static_cast<int>(now.size() - tail), QTextCursor::KeepAnchor);
  const QSignalBlocker blocker(Text_value_Edit);
  edit.insertText(kept_.mid(head, kept_.size() - head - tail));
  Text_value_Edit->setTextCursor(edit);
}
