#pragma once
// The look of a text object: colour, font, alignment, letter case, kerning
// and opacity, and the box behind it (border, solid or gradient fill).

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QRadioButton>
#include <QWidget>

#include "mainwindow/panels/PanelControls.h"
#include "platform/widgets/ColorWell.h"

class TextPropertiesTab : public QWidget {
  Q_OBJECT
 public:
  explicit TextPropertiesTab(QWidget* parent = nullptr);

  ColorWell* Text_clr = nullptr;
  QLabel* Text_font_value = nullptr;  // "<name> ( <size> )"
  QPushButton* Text_Font_btn = nullptr;
  QComboBox* Text_align_combo = nullptr;        // 0 left, 1 right, 2 centre, 3 justified, 4 natural
  QComboBox* Text_case_combo = nullptr;         // 0 as typed, 1 upper, 2 lower, 3 capitalised
  QDoubleSpinBox* Text_Kern_Stepper = nullptr;  // points
  QSpinBox* Text_alpha_Stepper = nullptr;       // percent
  panels::BorderControls border;
  QCheckBox*& Text_border_chk = border.check;
  QGroupBox*& Text_Border_Box = border.box;
  ColorWell*& Text_bordr_clr = border.colour;
  QSpinBox*& Text_bor_Stepper = border.width;
  QComboBox*& Text_border_style = border.style;
  QCheckBox* Text_fill_chk = nullptr;
  QGroupBox* Text_Fill_Box = nullptr;
  QRadioButton* Text_solid_fill_rd = nullptr;
  QRadioButton* Text_gradient_fill_rd = nullptr;
  ColorWell* Text_fill_clr = nullptr;
  ColorWell* Text_fill_Grd_1_clr = nullptr;
  ColorWell* Text_fill_Grd_2_clr = nullptr;
  QSpinBox* Text_grad_Stepper = nullptr;  // degrees
};
