#include "mainwindow/panels/DataSourceTab.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "mainwindow/panels/PanelControls.h"

DataSourceTab::DataSourceTab(QWidget* parent) : QWidget(parent) {
  setAccessibleName(tr("Data Source"));
  auto* layout = new QVBoxLayout(this);
  data_source_title = new QLabel(tr("Text Source"), this);
  QFont bold = data_source_title->font();
  bold.setBold(true);
  data_source_title->setFont(bold);
  layout->addWidget(data_source_title);
  auto* form = new QFormLayout;
  Data_source_type =
      panels::combo(tr("Data source"), {QStringLiteral("Manual"), QStringLiteral("Series")}, this);
  Batch_Series = panels::combo(tr("Series or column"), {}, this);
  Batch_Series->setEnabled(false);
  form->addRow(tr("Source"), Data_source_type);
  form->addRow(tr("Series or column"), Batch_Series);
  layout->addLayout(form);
  auto* buttons = new QHBoxLayout;
  view_series_btn = panels::button(tr("View…"), this);
  view_series_btn->setToolTip(tr("Shows the values of the chosen series or the spreadsheet's rows."));
  view_series_btn->setEnabled(false);
  help_btn = panels::button(tr("Help"), this);
  buttons->addWidget(view_series_btn);
  buttons->addStretch(1);
  buttons->addWidget(help_btn);
  layout->addLayout(buttons);

  manual_brws_box = panels::box(tr("Picture file"), this);
  auto* grid = new QGridLayout(manual_brws_box);
  Manual_image_path = new QLineEdit(manual_brws_box);
  Manual_image_path->setReadOnly(true);
  Manual_image_path->setAccessibleName(tr("Picture file"));
  Manual_Image_Browse_btn = panels::button(tr("Choose File…"), manual_brws_box);
  Manual_Library_Browse_btn = panels::button(tr("Library…"), manual_brws_box);
  grid->addWidget(Manual_image_path, 0, 0, 1, 2);
  grid->addWidget(Manual_Image_Browse_btn, 1, 0);
  grid->addWidget(Manual_Library_Browse_btn, 1, 1);
  layout->addWidget(manual_brws_box);
  layout->addStretch(1);
}
