#include "production/MailCards.h"

#include "platform/Messages.h"
#include "production/CardImageFile.h"
#include "production/globals.h"

namespace production {

namespace {
CardSide sideOf(int side) {
  return side == 1 ? CardSide::Back : CardSide::Front;
}

bool writePicture(const QImage& picture, const QString& path, const QString& failure) {
  if (picture.isNull()) {
    Show_NSLog_Message(failure);
    return false;
  }
  QString reason;
  return Save_gen_image(picture, path, &reason);
}
}  // namespace

RunMailCards::RunMailCards(std::shared_ptr<const RunSnapshot> snapshot,
                           std::function<void(std::shared_ptr<const BindingRows>)> restore)
    : snapshot_(std::make_shared<RunSnapshot>(*snapshot)), restore_(std::move(restore)) {}

int RunMailCards::prepareRows(bool seriesChecked, bool excelChecked) {
  auto rows = std::make_shared<BindingRows>(*snapshot_->rows);
  rows->useSeries = rows->useSeries && seriesChecked;
  rows->useExcel = rows->useExcel && excelChecked;
  snapshot_->rows = rows;
  return rows->cardCount();
}

bool RunMailCards::writeSide(int side, const QString& path) {
  return writePicture(renderSide(*snapshot_, sideOf(side)), path,
                      QStringLiteral("The card could not be drawn."));
}

bool RunMailCards::writeRowSide(int row, int side, const QString& path) {
  QString reason;
  const QImage picture = Set_data_table_value_to_card(*snapshot_, row, sideOf(side), &reason);
  return writePicture(picture, path, QStringLiteral("Card %1: %2").arg(row + 1).arg(reason));
}

void RunMailCards::restoreFirstRow() {
  if (!restore_) return;
  const std::shared_ptr<const BindingRows> rows = snapshot_->rows;
  platform::runOnGuiThread([this, rows] { restore_(rows); },
                           QStringLiteral("The card's first row was not restored."));
}

DesignMailCards::DesignMailCards(CardExport& exporter, DataBinding& binding)
    : exporter_(exporter), binding_(binding) {}

bool DesignMailCards::seriesRowsAvailable() {
  binding_.Check_Series_Or_Excel_Use_or_not();
  return Use_Data_Sheet_Values.load();
}

bool DesignMailCards::excelRowsAvailable() {
  return Use_Excel_Binding_Values.load();
}

std::shared_ptr<MailCardSource> DesignMailCards::snapshotForRun(bool* refused) {
  const bool readable = binding_.Check_Series_Or_Excel_Use_or_not();
  if (refused) *refused = !readable;
  if (!readable) return nullptr;
  CardExport* exporter = &exporter_;
  return std::make_shared<RunMailCards>(
      exporter_.takeSnapshot(),
      [exporter](std::shared_ptr<const BindingRows> rows) { exporter->restoreFirstRow(std::move(rows)); });
}

}  // namespace production
