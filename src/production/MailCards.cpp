#include "production/MailCards.h"

#include "production/globals.h"

namespace production {

DesignMailCards::DesignMailCards(CardExport& exporter, DataBinding& binding)
    : exporter_(exporter), binding_(binding) {}

bool DesignMailCards::seriesRowsAvailable() {
  binding_.Check_Series_Or_Excel_Use_or_not();
  return Use_Data_Sheet_Values.load();
}

bool DesignMailCards::excelRowsAvailable() {
  return Use_Excel_Binding_Values.load();
}

std::shared_ptr<MailCardSource> DesignMailCards::snapshotForRun(MailRunRequest& request, bool* refused) {
  bool usable = binding_.Check_Series_Or_Excel_Use_or_not();
  if (usable && request.cardMode) {
    const bool series = request.seriesChecked && Use_Data_Sheet_Values.load();
    const bool excel = request.excelChecked && Use_Excel_Binding_Values.load();
    usable = binding_.confirmMissingSources(series, excel, request.cardSide, &request.closingNote);
  }
  if (refused) *refused = !usable;
  if (!usable) return nullptr;
  CardExport* exporter = &exporter_;
  return std::make_shared<SnapshotMailCards>(
      *exporter_.takeSnapshot(),
      [exporter](std::shared_ptr<const BindingRows> rows) { exporter->restoreFirstRow(std::move(rows)); });
}

}  // namespace production
