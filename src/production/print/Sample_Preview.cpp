#include "production/print/Sample_Preview.h"

#include <QPainter>
#include <cmath>

#include "production/print/SheetDrawing.h"

Sample_Preview::Sample_Preview(QWidget* parent) : QWidget(parent) {
  setAccessibleName(tr("Sheet preview"));
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void Sample_Preview::setSheet(const production::SheetLayout& layout, const QSizeF& card, bool outlines) {
  layout_ = layout;
  card_ = card;
  outlines_ = outlines;
  const QSize paper(static_cast<int>(std::ceil(layout.paperWidth)),
                    static_cast<int>(std::ceil(layout.paperHeight)));
  if (paper != size()) setFixedSize(paper.expandedTo(QSize(1, 1)));
  update();
}

QImage Sample_Preview::imageRepresentation() const {
  QImage image(size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::TextAntialiasing);
  production::drawSampleSheet(painter, layout_, card_, outlines_);
  return image;
}

void Sample_Preview::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::TextAntialiasing);
  production::drawSampleSheet(painter, layout_, card_, outlines_);
}
