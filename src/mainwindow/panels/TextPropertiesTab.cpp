#include "mainwindow/panels/TextPropertiesTab.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

TextPropertiesTab::TextPropertiesTab(QWidget* parent) : QWidget(parent) {
  setAccessibleName(tr("Text Properties"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  Text_clr = new ColorWell(tr("Text colour"), this);
  form->addRow(tr("Colour"), Text_clr);
  auto* font = new QHBoxLayout;
  Text_font_value = new QLabel(this);
  Text_font_value->setAccessibleName(tr("Text font"));
  Text_font_value->setWordWrap(true);
  Text_Font_btn = panels::button(tr("Font…"), this);
  font->addWidget(Text_font_value, 1);
  font->addWidget(Text_Font_btn);
  form->addRow(tr("Font"), font);
  Text_align_combo = panels::combo(
      tr("Alignment"), {tr("Left"), tr("Right"), tr("Centre"), tr("Justified"), tr("Natural")}, this);
  form->addRow(tr("Alignment"), Text_align_combo);
  Text_case_combo = panels::combo(
      tr("Letter case"), {tr("As typed"), tr("UPPER CASE"), tr("lower case"), tr("Capitalised")}, this);
  form->addRow(tr("Case"), Text_case_combo);
  Text_Kern_Stepper = panels::doubleStepper(tr("Kerning"), -20.0, 100.0, 1, QStringLiteral(" pt"), this);
  Text_Kern_Stepper->setSingleStep(0.5);
  form->addRow(tr("Kerning"), Text_Kern_Stepper);
  Text_alpha_Stepper = panels::stepper(tr("Opacity"), 0, 100, QStringLiteral(" %"), this);
  form->addRow(tr("Opacity"), Text_alpha_Stepper);
  layout->addLayout(form);

  border = panels::borderControls(tr("Text"), this, layout);

  Text_fill_chk = panels::checkBox(tr("Fill the box"), this);
  Text_Fill_Box = panels::box(tr("Fill"), this);
  auto* grid = new QGridLayout(Text_Fill_Box);
  Text_solid_fill_rd = panels::radio(tr("Solid"), Text_Fill_Box);
  Text_gradient_fill_rd = panels::radio(tr("Gradient"), Text_Fill_Box);
  Text_fill_clr = new ColorWell(tr("Text fill colour"), Text_Fill_Box);
  Text_fill_Grd_1_clr = new ColorWell(tr("Text gradient start colour"), Text_Fill_Box);
  Text_fill_Grd_2_clr = new ColorWell(tr("Text gradient end colour"), Text_Fill_Box);
  Text_grad_Stepper = panels::stepper(tr("Text gradient angle"), 0, 360, QStringLiteral("°"), Text_Fill_Box);
  grid->addWidget(Text_solid_fill_rd, 0, 0);
  grid->addWidget(Text_fill_clr, 0, 1);
  grid->addWidget(Text_gradient_fill_rd, 1, 0);
  auto* gradient = new QHBoxLayout;
  gradient->addWidget(Text_fill_Grd_1_clr);
  gradient->addWidget(Text_fill_Grd_2_clr);
  gradient->addWidget(Text_grad_Stepper);
  grid->addLayout(gradient, 1, 1);
  layout->addWidget(Text_fill_chk);
  layout->addWidget(Text_Fill_Box);
  layout->addStretch(1);
}
