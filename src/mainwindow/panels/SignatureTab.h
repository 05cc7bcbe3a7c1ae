#pragma once
// A signature or fingerprint object: its border and its picture file.

#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include "mainwindow/panels/PanelControls.h"

class SignatureTab : public QWidget {
  Q_OBJECT
 public:
  explicit SignatureTab(QWidget* parent = nullptr);

  panels::BorderControls border;
  QCheckBox*& Sign_border_chk = border.check;
  QGroupBox*& Sign_Border_Box = border.box;
  ColorWell*& Sign_bordr_clr = border.colour;
  QSpinBox*& Sign_bor_Stepper = border.width;
  QComboBox*& Sign_border_style = border.style;
  QLineEdit* Sign_image_path = nullptr;
  QPushButton* Sign_Browse_btn = nullptr;
};
