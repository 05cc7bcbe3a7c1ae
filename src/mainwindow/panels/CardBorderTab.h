#pragma once
// The card border tab: border on or off, its colour, width and dash style.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QSpinBox>
#include <QWidget>

#include "platform/widgets/ColorWell.h"

class CardBorderTab : public QWidget {
  Q_OBJECT
 public:
  explicit CardBorderTab(QWidget* parent = nullptr);

  QCheckBox* Card_border_chk = nullptr;
  QGroupBox* Card_Border_Box = nullptr;
  ColorWell* Card_bordr_clr = nullptr;
  QSpinBox* Card_bor_Stepper = nullptr;  // points
  QComboBox* Card_border_style = nullptr;
};
