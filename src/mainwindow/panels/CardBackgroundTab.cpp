#include "mainwindow/panels/CardBackgroundTab.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "mainwindow/panels/PanelControls.h"

CardBackgroundTab::CardBackgroundTab(QWidget* parent) : QWidget(parent) {
  setAccessibleName(tr("Background"));
  auto* layout = new QVBoxLayout(this);
  Card_fill_chk = panels::checkBox(tr("Fill the card"), this);
  layout->addWidget(Card_fill_chk);

  Card_Fill_Box = panels::box(tr("Fill"), this);
  auto* grid = new QGridLayout(Card_Fill_Box);
  Card_solid_fill_rd = panels::radio(tr("Solid"), Card_Fill_Box);
  Card_gradient_fill_rd = panels::radio(tr("Gradient"), Card_Fill_Box);
  Card_Style_fill_rd = panels::radio(tr("Hatch"), Card_Fill_Box);
  Card_Image_fill_rd = panels::radio(tr("Picture"), Card_Fill_Box);
  Card_fill_clr = new ColorWell(tr("Fill colour"), Card_Fill_Box);
  Card_fill_Grd_1_clr = new ColorWell(tr("Gradient start colour"), Card_Fill_Box);
  Card_fill_Grd_2_clr = new ColorWell(tr("Gradient end colour"), Card_Fill_Box);
  Card_grad_Stepper = panels::stepper(tr("Gradient angle"), 0, 360, QStringLiteral("°"), Card_Fill_Box);
  Card_hatch_style = panels::combo(tr("Hatch pattern"), {}, Card_Fill_Box);
  Card_hatch_bk_clr = new ColorWell(tr("Hatch background colour"), Card_Fill_Box);
  Card_alpha_Stepper = panels::stepper(tr("Opacity"), 0, 100, QStringLiteral(" %"), Card_Fill_Box);

  grid->addWidget(Card_solid_fill_rd, 0, 0);
  grid->addWidget(Card_fill_clr, 0, 1);
  grid->addWidget(Card_gradient_fill_rd, 1, 0);
  auto* gradient = new QHBoxLayout;
  gradient->addWidget(Card_fill_Grd_1_clr);
  gradient->addWidget(Card_fill_Grd_2_clr);
  gradient->addWidget(Card_grad_Stepper);
  grid->addLayout(gradient, 1, 1);
  grid->addWidget(Card_Style_fill_rd, 2, 0);
  auto* hatch = new QHBoxLayout;
  hatch->addWidget(Card_hatch_style, 1);
  hatch->addWidget(Card_hatch_bk_clr);
  grid->addLayout(hatch, 2, 1);
  grid->addWidget(Card_Image_fill_rd, 3, 0);
  grid->addWidget(new QLabel(tr("Opacity"), Card_Fill_Box), 4, 0);
  grid->addWidget(Card_alpha_Stepper, 4, 1);
  layout->addWidget(Card_Fill_Box);

  Card_image_box = panels::box(tr("Background picture"), this);
  auto* pictureLayout = new QGridLayout(Card_image_box);
  Card_Image_path = new QLineEdit(Card_image_box);
  Card_Image_path->setReadOnly(true);
  Card_Image_path->setAccessibleName(tr("Background picture file"));
  Card_image_layout = panels::combo(tr("Picture layout"), {QStringLiteral("Tile"), QStringLiteral("Stretch")},
                                    Card_image_box);
  Card_Image_Browse_btn = panels::button(tr("Choose File…"), Card_image_box);
  Card_Image_Library_btn = panels::button(tr("Library…"), Card_image_box);
  pictureLayout->addWidget(Card_Image_path, 0, 0, 1, 3);
  pictureLayout->addWidget(Card_image_layout, 1, 0);
  pictureLayout->addWidget(Card_Image_Browse_btn, 1, 1);
  pictureLayout->addWidget(Card_Image_Library_btn, 1, 2);
  layout->addWidget(Card_image_box);

  auto* browserTitle = new QHBoxLayout;
  browserTitle->addWidget(new QLabel(tr("Backgrounds"), this));
  zoom_slider = new QSlider(Qt::Horizontal, this);
  zoom_slider->setRange(0, 100);
  zoom_slider->setValue(40);
  zoom_slider->setAccessibleName(tr("Picture size"));
  browserTitle->addWidget(zoom_slider, 1);
  layout->addLayout(browserTitle);
  imageBrowser = new PictureBrowser(this);
  imageBrowser->setAccessibleName(tr("Backgrounds"));
  imageBrowser->setZoomValue(0.4);
  imageBrowser->setSelectionMode(QAbstractItemView::SingleSelection);
  layout->addWidget(imageBrowser, 1);
  connect(zoom_slider, &QSlider::valueChanged, this,
          [this](int value) { imageBrowser->setZoomValue(value / 100.0); });
}
