#include "mainwindow/panels/CardBorderTab.h"

#include <QFormLayout>
#include <QVBoxLayout>

#include "mainwindow/panels/PanelControls.h"

CardBorderTab::CardBorderTab(QWidget* parent) : QWidget(parent) {
  setAccessibleName(tr("Border"));
  auto* layout = new QVBoxLayout(this);
  Card_border_chk = panels::checkBox(tr("Draw a border"), this);
  layout->addWidget(Card_border_chk);
  Card_Border_Box = panels::box(tr("Border"), this);
  auto* form = new QFormLayout(Card_Border_Box);
  Card_bordr_clr = new ColorWell(tr("Border colour"), Card_Border_Box);
  Card_bor_Stepper = panels::stepper(tr("Border width"), 0, 50, QStringLiteral(" pt"), Card_Border_Box);
  Card_border_style = panels::combo(tr("Border style"), panels::dashStyleNames(), Card_Border_Box);
  form->addRow(tr("Colour"), Card_bordr_clr);
  form->addRow(tr("Width"), Card_bor_Stepper);
  form->addRow(tr("Style"), Card_border_style);
  layout->addWidget(Card_Border_Box);
  layout->addStretch(1);
}
