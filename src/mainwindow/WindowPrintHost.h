#pragma once
// The main window as the print dialog sees it: a snapshot of the card as it
// stands, and the data sources the card's bindings use.

#include "production/print/Print_Wnd.h"

class SKTWindowController;

class WindowPrintHost : public production::PrintHost {
 public:
  explicit WindowPrintHost(SKTWindowController& window) : window_(window) {}

  std::shared_ptr<const CardSnapshot> takeCardSnapshot() override;
  DataUse dataUse() override;
  DataUse verifyDataUse(bool seriesTicked, bool excelTicked) override;
  production::SheetRowFiller rowFiller() override;
  bool confirmMissingSources(const DataUse& use, const QString& sides, QString* closingNote) override;

 private:
  SKTWindowController& window_;
};
