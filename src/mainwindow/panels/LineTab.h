#pragma once
// The look of a line object: width, colour, dash style, orientation, the
// shape of its ends and its opacity.

#include <QComboBox>
#include <QSpinBox>
#include <QWidget>

#include "platform/widgets/ColorWell.h"

class LineTab : public QWidget {
  Q_OBJECT
 public:
  explicit LineTab(QWidget* parent = nullptr);

  QSpinBox* Line_Wdt_Stepper = nullptr;  // points
  ColorWell* Line_clr = nullptr;
  QComboBox* Line_border_style = nullptr;
  QComboBox* Line_ori_style = nullptr;     // kept with the line, its drawing does not depend on it
  QComboBox* Line_cap_style = nullptr;     // 0 flat, 1 round, 2 square
  QSpinBox* Line_alpha_Stepper = nullptr;  // percent
};
