#include "mainwindow/panels/BarcodeTab.h"

#include <QLabel>
#include <QVBoxLayout>

#include "mainwindow/panels/PanelControls.h"

BarcodeTab::BarcodeTab(QWidget* parent) : QWidget(parent) {
  setAccessibleName(tr("Barcode Properties"));
  auto* layout = new QVBoxLayout(this);
  auto* text = new QLabel(
      tr("The symbology, value, data source, captions, sizes and colours of a barcode are set in the barcode "
         "designer. A double click on the barcode opens it too."),
      this);
  text->setWordWrap(true);
  layout->addWidget(text);
  View_barcode_prop_btn = panels::button(tr("Edit Barcode…"), this);
  layout->addWidget(View_barcode_prop_btn, 0, Qt::AlignLeft);
  layout->addStretch(1);
}
