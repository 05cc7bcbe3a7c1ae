#pragma once
// A barcode object: its settings are made in the barcode designer, which
// the button opens.

#include <QPushButton>
#include <QWidget>

class BarcodeTab : public QWidget {
  Q_OBJECT
 public:
  explicit BarcodeTab(QWidget* parent = nullptr);

  QPushButton* View_barcode_prop_btn = nullptr;
};
