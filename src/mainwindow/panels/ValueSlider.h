#pragma once
// A slider with its value field: the two show one value. Moving the slider,
// or typing into the field, reports the new value once; setValue from code
// reports it as well (the panels' loading guard keeps that from writing back).

#include <QDoubleSpinBox>
#include <QSlider>
#include <QWidget>

class ValueSlider : public QWidget {
  Q_OBJECT
 public:
  // `steps` slider positions per unit of the value (100 shows hundredths).
  ValueSlider(const QString& accessibleName, double minimum, double maximum, int steps, int decimals,
              QWidget* parent = nullptr);

  double value() const { return field_->value(); }
  void setValue(double value);
  QSlider* slider() const { return slider_; }
  QDoubleSpinBox* field() const { return field_; }

 signals:
  void valueChanged(double value);

 private:
  void fromSlider(int position);
  void fromField(double value);

  QSlider* slider_ = nullptr;
  QDoubleSpinBox* field_ = nullptr;
  int steps_ = 1;
  bool syncing_ = false;
};
