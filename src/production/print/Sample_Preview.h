#pragma once
// Sample_Preview: the sample sheet inside the print dialog, one pixel per
// point at the paper's size. It shows where the cards of one sheet go,
// numbered, with their outlines when asked; it never draws a card.

#include <QImage>
#include <QWidget>

#include "production/print/SheetLayout.h"

class Sample_Preview : public QWidget {
  Q_OBJECT
 public:
  explicit Sample_Preview(QWidget* parent = nullptr);

  // What to show: the layout, the size of one card (empty: no card) and
  // whether to outline the cells. Takes the paper's size.
  void setSheet(const production::SheetLayout& layout, const QSizeF& card, bool outlines);

  // A picture of the whole sheet.
  QImage imageRepresentation() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  production::SheetLayout layout_;
  QSizeF card_;
  bool outlines_ = true;
};
