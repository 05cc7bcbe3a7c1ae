#include "mainwindow/panels/ValueSlider.h"

#include <QHBoxLayout>
#include <QSignalBlocker>
#include <cmath>

ValueSlider::ValueSlider(const QString& accessibleName, double minimum, double maximum, int steps,
                         int decimals, QWidget* parent)
    : QWidget(parent), steps_(steps) {
  setAccessibleName(accessibleName);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  slider_ = new QSlider(Qt::Horizontal, this);
  slider_->setRange(static_cast<int>(std::lround(minimum * steps)),
                    static_cast<int>(std::lround(maximum * steps)));
  slider_->setAccessibleName(accessibleName);
  field_ = new QDoubleSpinBox(this);
  field_->setRange(minimum, maximum);
  field_->setDecimals(decimals);
  field_->setKeyboardTracking(false);
  field_->setAccessibleName(tr("%1 value").arg(accessibleName));
  field_->setFixedWidth(72);
  layout->addWidget(slider_, 1);
  layout->addWidget(field_);
  connect(slider_, &QSlider::valueChanged, this, &ValueSlider::fromSlider);
  connect(field_, &QDoubleSpinBox::valueChanged, this, &ValueSlider::fromField);
}

void ValueSlider::setValue(double value) {
  // A value outside the range shows as the nearest one the field can hold.
  fromField(value);
}

void ValueSlider::fromSlider(int position) {
  if (syncing_) return;
  syncing_ = true;
  {
    const QSignalBlocker blocker(field_);
    field_->setValue(static_cast<double>(position) / steps_);
  }
  syncing_ = false;
  emit valueChanged(field_->value());
}

void ValueSlider::fromField(double value) {
  if (syncing_) return;
  syncing_ = true;
  {
    const QSignalBlocker fieldBlocker(field_);
    field_->setValue(value);
    const QSignalBlocker sliderBlocker(slider_);
    slider_->setValue(static_cast<int>(std::lround(field_->value() * steps_)));
  }
  syncing_ = false;
  emit valueChanged(field_->value());
}
