#include "mainwindow/panels/LineTab.h"

#include <QFormLayout>
#include <QVBoxLayout>

#include "mainwindow/panels/PanelControls.h"

LineTab::LineTab(QWidget* parent) : QWidget(parent) {
  setAccessibleName(tr("Line Properties"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  Line_Wdt_Stepper = panels::stepper(tr("Line width"), 0, 50, QStringLiteral(" pt"), this);
  Line_clr = new ColorWell(tr("Line colour"), this);
  Line_border_style = panels::combo(tr("Line style"), panels::dashStyleNames(), this);
  Line_ori_style = panels::combo(tr("Orientation"), {tr("Free"), tr("Horizontal"), tr("Vertical")}, this);
  Line_cap_style = panels::combo(tr("Line ends"), {tr("Flat"), tr("Round"), tr("Square")}, this);
  Line_alpha_Stepper = panels::stepper(tr("Line opacity"), 0, 100, QStringLiteral(" %"), this);
  form->addRow(tr("Width"), Line_Wdt_Stepper);
  form->addRow(tr("Colour"), Line_clr);
  form->addRow(tr("Style"), Line_border_style);
  form->addRow(tr("Orientation"), Line_ori_style);
  form->addRow(tr("Ends"), Line_cap_style);
  form->addRow(tr("Opacity"), Line_alpha_Stepper);
  layout->addLayout(form);
  layout->addStretch(1);
}
