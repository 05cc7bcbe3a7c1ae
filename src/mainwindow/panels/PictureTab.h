#pragma once
// The look of a picture object: its border, the adjustments of the picture
// (rotation, opacity, hue, saturation, brightness, contrast, sharpness,
// exposure, blur), the colour filters and the two mirrorings.

#include <QCheckBox>
#include <QPushButton>
#include <QWidget>

#include "mainwindow/panels/PanelControls.h"
#include "mainwindow/panels/ValueSlider.h"

class PictureTab : public QWidget {
  Q_OBJECT
 public:
  explicit PictureTab(QWidget* parent = nullptr);

  panels::BorderControls border;
  QCheckBox*& Image_border_chk = border.check;
  QGroupBox*& Image_Border_Box = border.box;
  ColorWell*& Image_bordr_clr = border.colour;
  QSpinBox*& Image_bor_Stepper = border.width;
  QComboBox*& Image_border_style = border.style;
  ValueSlider* Rotate_slidr = nullptr;  // degrees
  ValueSlider* Trsp_slidr = nullptr;    // opacity in percent, 100 opaque
  ValueSlider* Hue_slidr = nullptr;     // radians
  ValueSlider* Sat_slidr = nullptr;
  ValueSlider* Brt_slidr = nullptr;
  ValueSlider* Con_slidr = nullptr;
  ValueSlider* shrp_slidr = nullptr;
  ValueSlider* ev_slidr = nullptr;
  ValueSlider* blr_slidr = nullptr;  // pixels
  QCheckBox* Image_Gray_Scale_chk = nullptr;
  QCheckBox* Image_Sepia_chk = nullptr;
  QCheckBox* Image_Invert_chk = nullptr;
  QCheckBox* Image_FIV_chk = nullptr;  // mirrored top to bottom
  QCheckBox* Image_FIH_chk = nullptr;  // mirrored left to right
  QPushButton* Image_reset_btn = nullptr;
};
