#pragma once
// The main window as the design file's host: the window's page settings,
// document and canvases, the spreadsheet binding globals and the program's
// spreadsheet data-source table, and the window's reactions while a design
// is loaded. A separate class (not a base of the window) because the card
// host and the design host each declare their own App_Name.

#include "mainwindow/designfile/DesignFile.h"

class SKTWindowController;

class WindowDesignHost : public designfile::DesignHost {
 public:
  explicit WindowDesignHost(SKTWindowController& window) : window_(window) {}

  Card_Property& frontCardProperty() override;
  Card_Property& backCardProperty() override;
  SKTDocument& document() override;
  DataSourceTable& dataSourceTable() override;
  bool excelBindingUse() const override;
  QString excelSourcePath() const override;

  void resetForLoading() override;
  void setCardSize(QSizeF size) override;
  void setExcelBinding(bool use) override;
  void setExcelSourcePath(const QString& path) override;
  void showCardProperties() override;
  void setBackgroundImage(CardSide side, const QString& path) override;
  void finishLoading() override;

  QString App_Name() const override;
  void setWindowTitle(const QString& title) override;
  void bringToFront() override;

 private:
  SKTWindowController& window_;
};
