#pragma once
// A design host that keeps the whole design in plain members: for tools,
// tests and the fuzz target, and as the reference of what a load does.

#include <QImage>

#include "mainwindow/designfile/DesignFile.h"

namespace designfile {

class PlainDesignHost : public DesignHost {
 public:
  PlainDesignHost();

  Card_Property front;
  Card_Property back;
  SKTDocument doc;
  DataSourceTable table;
  bool excelUse = false;
  QString excelPath;
  QSizeF cardSize{243.0, 154.0};
  QString title;
  int resets = 0;
  int finishes = 0;

  Card_Property& frontCardProperty() override { return front; }
  Card_Property& backCardProperty() override { return back; }
  SKTDocument& document() override { return doc; }
  DataSourceTable& dataSourceTable() override { return table; }
  bool excelBindingUse() const override { return excelUse; }
  QString excelSourcePath() const override { return excelPath; }

  // A new project: fresh page settings ("F" and "B"), no binding.
  void resetForLoading() override;
  void setCardSize(QSizeF size) override { cardSize = size; }
  void setExcelBinding(bool use) override { excelUse = use; }
  void setExcelSourcePath(const QString& path) override { excelPath = path; }
  // Loads the picture (regular files only, allocation limit) into the side's page settings.
  void setBackgroundImage(CardSide side, const QString& path) override;
  void finishLoading() override { ++finishes; }
  void setWindowTitle(const QString& text) override { title = text; }
};

}  // namespace designfile
