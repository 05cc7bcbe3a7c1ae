#include "mainwindow/panels/ShapeTab.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

ShapeTab::ShapeTab(QWidget* parent) : QWidget(parent) {
  setAccessibleName(tr("Shape Properties"));
  auto* layout = new QVBoxLayout(this);
  Shape_prop_title = new QLabel(tr("Rectangle Properties"), this);
  QFont bold = Shape_prop_title->font();
  bold.setBold(true);
  Shape_prop_title->setFont(bold);
  layout->addWidget(Shape_prop_title);
  border = panels::borderControls(tr("Shape"), this, layout);

  Shape_fill_chk = panels::checkBox(tr("Fill the shape"), this);
  Shape_Fill_Box = panels::box(tr("Fill"), this);
  auto* grid = new QGridLayout(Shape_Fill_Box);
  Shape_solid_fill_rd = panels::radio(tr("Solid"), Shape_Fill_Box);
  Shape_gradient_fill_rd = panels::radio(tr("Gradient"), Shape_Fill_Box);
  Shape_Style_fill_rd = panels::radio(tr("Hatch"), Shape_Fill_Box);
  shape_fill_clr = new ColorWell(tr("Shape fill colour"), Shape_Fill_Box);
  shape_fill_Grd_1_clr = new ColorWell(tr("Shape gradient start colour"), Shape_Fill_Box);
  shape_fill_Grd_2_clr = new ColorWell(tr("Shape gradient end colour"), Shape_Fill_Box);
  shape_grad_Stepper =
      panels::stepper(tr("Shape gradient angle"), 0, 360, QStringLiteral("°"), Shape_Fill_Box);
  shape_hatch_style = panels::combo(tr("Hatch pattern"), {}, Shape_Fill_Box);
  shape_hatch_bk_clr = new ColorWell(tr("Hatch background colour"), Shape_Fill_Box);
  grid->addWidget(Shape_solid_fill_rd, 0, 0);
  grid->addWidget(shape_fill_clr, 0, 1, Qt::AlignLeft);
  grid->addWidget(Shape_gradient_fill_rd, 1, 0);
  auto* gradient = new QHBoxLayout;
  gradient->addWidget(shape_fill_Grd_1_clr);
  gradient->addWidget(shape_fill_Grd_2_clr);
  gradient->addWidget(shape_grad_Stepper);
  grid->addLayout(gradient, 1, 1);
  grid->addWidget(Shape_Style_fill_rd, 2, 0);
  auto* hatch = new QHBoxLayout;
  hatch->addWidget(shape_hatch_style, 1);
  hatch->addWidget(shape_hatch_bk_clr);
  grid->addLayout(hatch, 2, 1);
  layout->addWidget(Shape_fill_chk);
  layout->addWidget(Shape_Fill_Box);

  auto* more = new QGridLayout;
  shape_alpha_Stepper = panels::stepper(tr("Shape opacity"), 0, 100, QStringLiteral(" %"), this);
  shape_cor_radius_Label = new QLabel(tr("Corner radius"), this);
  shape_cor_radius_Stepper =
      panels::doubleStepper(tr("Corner radius"), 0, 500, 1, QStringLiteral(" pt"), this);
  double_star_Label = new QLabel(tr("Star points"), this);
  double_star_Stepper = panels::stepper(tr("Star points"), 1, 60, {}, this);
  double_star_Stepper->setToolTip(
      tr("1 to 5 give 7 to 15 points; a larger number is the point count itself"));
  polygon_Label = new QLabel(tr("Polygon corners"), this);
  polygon_Stepper = panels::stepper(tr("Polygon corners"), 1, 60, {}, this);
  polygon_Stepper->setToolTip(tr("1 is a four-pointed star, 2 to 5 give five to eight corners"));
  more->addWidget(new QLabel(tr("Opacity"), this), 0, 0);
  more->addWidget(shape_alpha_Stepper, 0, 1);
  more->addWidget(shape_cor_radius_Label, 1, 0);
  more->addWidget(shape_cor_radius_Stepper, 1, 1);
  more->addWidget(double_star_Label, 2, 0);
  more->addWidget(double_star_Stepper, 2, 1);
  more->addWidget(polygon_Label, 3, 0);
  more->addWidget(polygon_Stepper, 3, 1);
  layout->addLayout(more);
  layout->addStretch(1);
}
