#pragma once
// The card background tab: fill on or off, and the fill kind (solid colour,
// gradient, hatch pattern or picture) with its controls and opacity; the
// background pictures that ship with the program are browsed below.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QWidget>

#include "platform/widgets/ColorWell.h"
#include "platform/widgets/PictureBrowser.h"

class CardBackgroundTab : public QWidget {
  Q_OBJECT
 public:
  explicit CardBackgroundTab(QWidget* parent = nullptr);

  QCheckBox* Card_fill_chk = nullptr;
  QGroupBox* Card_Fill_Box = nullptr;
  QRadioButton* Card_solid_fill_rd = nullptr;
  QRadioButton* Card_gradient_fill_rd = nullptr;
  QRadioButton* Card_Style_fill_rd = nullptr;
  QRadioButton* Card_Image_fill_rd = nullptr;
  ColorWell* Card_fill_clr = nullptr;
  ColorWell* Card_fill_Grd_1_clr = nullptr;
  ColorWell* Card_fill_Grd_2_clr = nullptr;
  QSpinBox* Card_grad_Stepper = nullptr;  // degrees
  QComboBox* Card_hatch_style = nullptr;
  ColorWell* Card_hatch_bk_clr = nullptr;
  QSpinBox* Card_alpha_Stepper = nullptr;  // percent
  QGroupBox* Card_image_box = nullptr;
  QLineEdit* Card_Image_path = nullptr;
  QComboBox* Card_image_layout = nullptr;  // "Tile", "Stretch"
  QPushButton* Card_Image_Browse_btn = nullptr;
  QPushButton* Card_Image_Library_btn = nullptr;
  PictureBrowser* imageBrowser = nullptr;  // the shipped backgrounds
  QSlider* zoom_slider = nullptr;
};
