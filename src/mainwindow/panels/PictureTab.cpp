#include "mainwindow/panels/PictureTab.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QVBoxLayout>

PictureTab::PictureTab(QWidget* parent) : QWidget(parent) {
  setAccessibleName(tr("Image Properties"));
  auto* layout = new QVBoxLayout(this);
  border = panels::borderControls(tr("Picture"), this, layout);

  auto* adjustments = panels::box(tr("Adjustments"), this);
  auto* form = new QFormLayout(adjustments);
  struct Row {
    ValueSlider** slider;
    const char* label;
    double minimum, maximum;
    int steps, decimals;
  };
  const Row rows[] = {{&Rotate_slidr, QT_TR_NOOP("Rotation"), 0, 360, 1, 0},
                      {&Trsp_slidr, QT_TR_NOOP("Opacity"), 0, 100, 1, 0},
                      {&Hue_slidr, QT_TR_NOOP("Hue"), -3.14, 3.14, 100, 2},
                      {&Sat_slidr, QT_TR_NOOP("Saturation"), 0, 2, 100, 2},
                      {&Brt_slidr, QT_TR_NOOP("Brightness"), -1, 1, 100, 2},
                      {&Con_slidr, QT_TR_NOOP("Contrast"), 0.25, 4, 100, 2},
                      {&shrp_slidr, QT_TR_NOOP("Sharpness"), 0, 2, 100, 2},
                      {&ev_slidr, QT_TR_NOOP("Exposure"), -10, 10, 10, 1},
                      {&blr_slidr, QT_TR_NOOP("Blur"), 0, 100, 1, 0}};
  for (const Row& row : rows) {
    const QString label = tr(row.label);
    *row.slider = new ValueSlider(label, row.minimum, row.maximum, row.steps, row.decimals, adjustments);
    form->addRow(label, *row.slider);
  }
  layout->addWidget(adjustments);

  auto* filters = new QGridLayout;
  Image_Gray_Scale_chk = panels::checkBox(tr("Gray scale"), this);
  Image_Sepia_chk = panels::checkBox(tr("Sepia"), this);
  Image_Invert_chk = panels::checkBox(tr("Invert colours"), this);
  Image_FIH_chk = panels::checkBox(tr("Mirror left to right"), this);
  Image_FIV_chk = panels::checkBox(tr("Mirror top to bottom"), this);
  filters->addWidget(Image_Gray_Scale_chk, 0, 0);
  filters->addWidget(Image_Sepia_chk, 0, 1);
  filters->addWidget(Image_Invert_chk, 0, 2);
  filters->addWidget(Image_FIH_chk, 1, 0, 1, 2);
  filters->addWidget(Image_FIV_chk, 2, 0, 1, 2);
  layout->addLayout(filters);
  Image_reset_btn = panels::button(tr("Reset Adjustments"), this);
  layout->addWidget(Image_reset_btn);
  layout->addStretch(1);
}
