#pragma once
// WrappingLabel: a label of plain text that wraps at blanks and, where a word
// is wider than the label (a long path or address), anywhere in that word.
// The text itself is never changed: what is copied, what screen readers
// hear and what is logged is the text as it was given.
//
// Its preferred width is that of its longest line, at most kPreferredWidth
// pixels and never wider than the screen; its height follows from the width
// it is given (height for width), so the window that holds it grows taller
// rather than wider.

#include <QLabel>

class QTextLayout;

namespace platform {

class WrappingLabel : public QLabel {
  Q_OBJECT

 public:
  static constexpr int kPreferredWidth = 500;

  explicit WrappingLabel(QWidget* parent = nullptr);
  explicit WrappingLabel(const QString& text, QWidget* parent = nullptr);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;
  // The widest the label wants to be: kPreferredWidth, less on a narrow screen.
  int preferredWidth() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // Lays the text out in lines of `width` pixels; gives the height they take.
  qreal layOut(QTextLayout& layout, qreal width) const;
  // The width of the longest line when nothing wraps.
  int naturalWidth() const;
};

}  // namespace platform
