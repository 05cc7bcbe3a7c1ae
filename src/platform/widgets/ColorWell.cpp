#include "platform/widgets/ColorWell.h"

#include <QColorDialog>
#include <QPainter>

#include "platform/MessageHost.h"

ColorWell::ColorWell(const QString& accessibleName, QWidget* parent) : QPushButton(parent) {
  setAccessibleName(accessibleName);
  setToolTip(accessibleName);
  setMinimumSize(44, 24);
  setMaximumWidth(64);
  connect(this, &QPushButton::clicked, this, &ColorWell::openChooser);
}

void ColorWell::setColor(const QColor& color) {
  color_ = color;
  update();
}

void ColorWell::chooseColor(const QColor& color) {
  setColor(color);
  emit colorChanged(color_);
}

void ColorWell::openChooser() {
  QColorDialog chooser(color_, window());
  chooser.setWindowTitle(accessibleName());
  chooser.setWindowModality(Qt::WindowModal);
  if (platform::messageHost().runModal(chooser) == 1) chooseColor(chooser.currentColor());
}

void ColorWell::paintEvent(QPaintEvent* event) {
  QPushButton::paintEvent(event);
  QPainter painter(this);
  const QRect swatch = rect().adjusted(7, 6, -7, -6);
  // A chequer under the colour shows its transparency.
  painter.fillRect(swatch, Qt::white);
  painter.fillRect(swatch, QBrush(Qt::lightGray, Qt::Dense4Pattern));
  QColor shown = color_;
  if (!isEnabled()) shown.setAlphaF(shown.alphaF() * 0.35);
  painter.fillRect(swatch, shown);
  painter.setPen(isEnabled() ? Qt::darkGray : Qt::lightGray);
  painter.drawRect(swatch.adjusted(0, 0, -1, -1));
}
