#pragma once
// The look of a shape: border, fill (solid colour, gradient or hatch
// pattern), opacity, and the corner radius or point count of the shapes that
// have one.

#include <QDoubleSpinBox>
#include <QLabel>
#include <QRadioButton>
#include <QWidget>

#include "mainwindow/panels/PanelControls.h"
#include "platform/widgets/ColorWell.h"

class ShapeTab : public QWidget {
  Q_OBJECT
 public:
  explicit ShapeTab(QWidget* parent = nullptr);

  QLabel* Shape_prop_title = nullptr;
  panels::BorderControls border;
  QCheckBox*& Shape_border_chk = border.check;
  QGroupBox*& Shape_Border_Box = border.box;
  ColorWell*& shape_bordr_clr = border.colour;
  QSpinBox*& shape_bor_Stepper = border.width;
  QComboBox*& shape_border_style = border.style;
  QCheckBox* Shape_fill_chk = nullptr;
  QGroupBox* Shape_Fill_Box = nullptr;
  QRadioButton* Shape_solid_fill_rd = nullptr;
  QRadioButton* Shape_gradient_fill_rd = nullptr;
  QRadioButton* Shape_Style_fill_rd = nullptr;  // hatch
  ColorWell* shape_fill_clr = nullptr;
  ColorWell* shape_fill_Grd_1_clr = nullptr;
  ColorWell* shape_fill_Grd_2_clr = nullptr;
  QSpinBox* shape_grad_Stepper = nullptr;  // degrees
  QComboBox* shape_hatch_style = nullptr;  // hatch picture names
  ColorWell* shape_hatch_bk_clr = nullptr;
  QSpinBox* shape_alpha_Stepper = nullptr;  // percent
  QLabel* shape_cor_radius_Label = nullptr;
  QDoubleSpinBox* shape_cor_radius_Stepper = nullptr;  // points
  QLabel* double_star_Label = nullptr;
  QSpinBox* double_star_Stepper = nullptr;
  QLabel* polygon_Label = nullptr;
  QSpinBox* polygon_Stepper = nullptr;
};
