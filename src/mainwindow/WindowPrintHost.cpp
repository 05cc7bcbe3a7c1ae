#include "mainwindow/WindowPrintHost.h"

#include "mainwindow/SKTWindowController.h"
#include "production/DataBinding.h"
#include "production/globals.h"
#include "production/print/BoundRows.h"

std::shared_ptr<const CardSnapshot> WindowPrintHost::takeCardSnapshot() {
  return std::make_shared<const CardSnapshot>(window_.cardSnapshot());
}

production::PrintHost::DataUse WindowPrintHost::dataUse() {
  return {Use_Data_Sheet_Values.load(), Use_Excel_Binding_Values.load(), Total_Batch_Excel_Card.load()};
}

production::PrintHost::DataUse WindowPrintHost::verifyDataUse(bool seriesTicked, bool excelTicked) {
  window_.Check_Series_Or_Excel_Use_or_not();
  if (!seriesTicked) Use_Data_Sheet_Values.store(false);
  if (!excelTicked) Use_Excel_Binding_Values.store(false);
  window_.Get_total_Card_count();
  return dataUse();
}

production::SheetRowFiller WindowPrintHost::rowFiller() {
  // The rows as the use checks left them, shared read-only by the workers.
  return production::boundRowFiller(window_.dataBinding().rowsForRun());
}

bool WindowPrintHost::confirmMissingSources(const DataUse& use, const QString& sides, QString* closingNote) {
  return window_.dataBinding().confirmMissingSources(use.series, use.excel, sides, closingNote);
}
