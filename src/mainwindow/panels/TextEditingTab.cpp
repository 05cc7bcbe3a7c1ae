#include "mainwindow/panels/TextEditingTab.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMimeData>
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

// Sets how the editor wraps the characters it is about to lay out.
void wrapFor(QPlainTextEdit& editor, const QString& text) {
  const QTextOption::WrapMode mode =
      holdsLongerRun(text) ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere;
  if (editor.wordWrapMode() != mode) editor.setWordWrapMode(mode);
}

// The tab's editor. Characters pasted or dropped into it are taken up to one
// part's length: more would be laid out whole before the tab could cut them
// to what it keeps of a paste (kTypedLimit).
class PartEditor : public QPlainTextEdit {
 public:
  using QPlainTextEdit::QPlainTextEdit;

 protected:
  void insertFromMimeData(const QMimeData* source) override {
    QString text = source->text();
    if (text.size() <= TextEditingTab::kPartLength) return QPlainTextEdit::insertFromMimeData(source);
    qsizetype length = TextEditingTab::kPartLength;
    if (text[length - 1].isHighSurrogate()) --length;
    text.truncate(length);
    textCursor().insertText(text);
    ensureCursorVisible();
  }
};

}  // namespace

TextEditingTab::TextEditingTab(QWidget* parent) : QWidget(parent) {
  setAccessibleName(tr("Text"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(tr("Text"), this));
  Text_value_Edit = new PartEditor(this);
  Text_value_Edit->setAccessibleName(tr("Text of the object"));
  Text_value_Edit->setTabChangesFocus(true);
  // Decided before the editor lays out the changed characters.
  // (Characters the tab shows are wrapped so before they go in: a selection
  // in the editor lays them out as soon as they are there.)
  connect(Text_value_Edit->document(), &QTextDocument::contentsChange, this,
          [this] { wrapFor(*Text_value_Edit, Text_value_Edit->toPlainText()); });
  layout->addWidget(Text_value_Edit, 1);

  limitNote = new QLabel(tr("A typed text keeps at most %1 characters.").arg(kTypedLimit), this);
  limitNote->setAccessibleName(limitNote->text());
  limitNote->setWordWrap(true);
  limitNote->hide();
  layout->addWidget(limitNote);

  partShown = new QLabel(this);
  partShown->setAlignment(Qt::AlignCenter);
  partShown->setWordWrap(true);
  layout->addWidget(partShown);
  auto* parts = new QHBoxLayout;
  previousPart = panels::button(tr("Previous Part"), this);
  nextPart = panels::button(tr("Next Part"), this);
  parts->addWidget(previousPart);
  parts->addStretch(1);
  parts->addWidget(nextPart);
  layout->addLayout(parts);
  connect(previousPart, &QPushButton::clicked, this, &TextEditingTab::showPreviousPart);
  connect(nextPart, &QPushButton::clicked, this, &TextEditingTab::showNextPart);
  showPartBar();

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
  if (this->text() == text) {
    kept_ = text;
    shownLength_ = Text_value_Edit->toPlainText().size();
    return;
  }
  limitNote->hide();
  const QTextCursor before = Text_value_Edit->textCursor();
  // The part shown stays while the characters before it stay (an undo, a
  // change further on); another text shows from its first part.
  const bool sameStart = text.size() > kPartLength && shownFrom_ < text.size() &&
                         QStringView(text).left(shownFrom_) == QStringView(kept_).left(shownFrom_);
  kept_ = text;
  showPart(sameStart ? shownFrom_ : 0);
  QTextCursor caret = Text_value_Edit->textCursor();
  if (before.atEnd())
    caret.movePosition(QTextCursor::End);
  else
    caret.setPosition(std::min(before.position(), Text_value_Edit->document()->characterCount() - 1));
  Text_value_Edit->setTextCursor(caret);
}

QString TextEditingTab::text() const {
  const QString shown = Text_value_Edit->toPlainText();
  if (shownFrom_ == 0 && shownLength_ >= kept_.size()) return shown;
  return kept_.left(shownFrom_) + shown + kept_.mid(shownFrom_ + shownLength_);
}

void TextEditingTab::keepText() {
  kept_ = text();
  shownLength_ = Text_value_Edit->toPlainText().size();
  if (kept_.size() < kTypedLimit) limitNote->hide();
  showPartBar();
}

void TextEditingTab::showLimitReached() {
  limitNote->show();
}

void TextEditingTab::replaceText(const QString& text) {
  // The whole text in the editor: the edit replaces every character.
  shownFrom_ = 0;
  shownLength_ = kept_.size();
  Text_value_Edit->setPlainText(text);
}

void TextEditingTab::showPreviousPart() {
  if (shownFrom_ == 0) return;
  qsizetype from = std::max<qsizetype>(0, shownFrom_ - kPartLength);
  if (from > 0 && kept_[from].isLowSurrogate()) --from;
  showPart(from);
}

void TextEditingTab::showNextPart() {
  const qsizetype from = shownFrom_ + shownLength_;
  if (from < kept_.size()) showPart(from);
}

qsizetype TextEditingTab::partEnd(qsizetype from) const {
  qsizetype end = std::min(kept_.size(), from + kPartLength);
  if (end < kept_.size() && kept_[end].isLowSurrogate()) ++end;
  return end;
}

void TextEditingTab::showPart(qsizetype from) {
  shownFrom_ = from;
  shownLength_ = partEnd(from) - from;
  const QString part = kept_.mid(shownFrom_, shownLength_);
  wrapFor(*Text_value_Edit, part);
  const QSignalBlocker blocker(Text_value_Edit);
  Text_value_Edit->setPlainText(part);
  showPartBar();
}

void TextEditingTab::showPartBar() {
  const bool inParts = kept_.size() > kPartLength || shownFrom_ > 0;
  previousPart->setVisible(inParts);
  partShown->setVisible(inParts);
  nextPart->setVisible(inParts);
  if (!inParts) return;
  const QLocale locale;
  partShown->setText(tr("Characters %1 to %2 of %3")
                         .arg(locale.toString(shownFrom_ + 1), locale.toString(shownFrom_ + shownLength_),
                              locale.toString(kept_.size())));
  partShown->setAccessibleName(partShown->text());
  previousPart->setEnabled(shownFrom_ > 0);
  nextPart->setEnabled(shownFrom_ + shownLength_ < kept_.size());
}

void TextEditingTab::refuseEdit() {
  // Only the edited stretch is put back: the characters before and after it
  // are the same in both.
  const QString now = Text_value_Edit->toPlainText();
  const QString was = kept_.mid(shownFrom_, shownLength_);
  const qsizetype shorter = std::min(now.size(), was.size());
  qsizetype head = 0;
  while (head < shorter && now[head] == was[head]) ++head;
  qsizetype tail = 0;
  while (tail < shorter - head && now[now.size() - 1 - tail] == was[was.size() - 1 - tail]) ++tail;
  QTextCursor edit(Text_value_Edit->document());
  edit.setPosition(static_cast<int>(head));
  edit.setPosition(static_cast<int>(now.size() - tail), QTextCursor::KeepAnchor);
  const QSignalBlocker blocker(Text_value_Edit);
  edit.insertText(was.mid(head, was.size() - head - tail));
  Text_value_Edit->setTextCursor(edit);
}
