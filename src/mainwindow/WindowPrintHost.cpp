#include "mainwindow/WindowPrintHost.h"

#include "mainwindow/SKTWindowController.h"
#include "mainwindow/globals.h"

std::shared_ptr<const CardSnapshot> WindowPrintHost::takeCardSnapshot() {
  return std::make_shared<const CardSnapshot>(window_.cardSnapshot());
}

production::PrintHost::DataUse WindowPrintHost::dataUse() {
  return {Use_Data_Sheet_Values.load(), Use_Excel_Binding_Values.load(), Total_Batch_Excel_Card.load()};
}

production::PrintHost::DataUse WindowPrintHost::verifyDataUse(bool seriesTicked, bool excelTicked) {
  if (!seriesTicked) Use_Data_Sheet_Values.store(false);
  if (!excelTicked) Use_Excel_Binding_Values.store(false);
  return dataUse();
}

production::SheetRowFiller WindowPrintHost::rowFiller() {
  return {};
}
