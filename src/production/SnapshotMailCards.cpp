#include "production/SnapshotMailCards.h"

#include <QFileInfo>

#include "platform/Messages.h"
#include "production/CardImageFile.h"
#include "production/globals.h"

namespace production {

namespace {
CardSide sideOf(int side) {
  return side == 1 ? CardSide::Back : CardSide::Front;
}

bool writePicture(const QImage& picture, const QString& path, const QString& failure, QString* why) {
  if (picture.isNull()) {
    qCWarning(lcProduction).noquote() << failure;
    *why = failure;
    return false;
  }
  QString reason;
  if (Save_gen_image(picture, path, &reason)) return true;
  *why = QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), reason);
  return false;
}
}  // namespace

SnapshotMailCards::SnapshotMailCards(CardSnapshot snapshot) {
  snapshot_.card = std::move(snapshot);
}

SnapshotMailCards::SnapshotMailCards(RunSnapshot snapshot,
                                     std::function<void(std::shared_ptr<const BindingRows>)> restore)
    : snapshot_(std::move(snapshot)), restore_(std::move(restore)) {}

int SnapshotMailCards::prepareRows(bool seriesChecked, bool excelChecked) {
  auto rows = std::make_shared<BindingRows>(*snapshot_.rows);
  rows->useSeries = rows->useSeries && seriesChecked;
  rows->useExcel = rows->useExcel && excelChecked;
  snapshot_.rows = rows;
  return rows->cardCount();
}

bool SnapshotMailCards::writeSide(int side, const QString& path) {
  const QImage picture = Set_data_table_value_to_card(snapshot_, -1, sideOf(side), nullptr, &lastCut_);
  return writePicture(picture, path, QStringLiteral("The card could not be drawn."), &lastFailure_);
}

bool SnapshotMailCards::writeRowSide(int row, int side, const QString& path) {
  QString reason;
  const QImage picture = Set_data_table_value_to_card(snapshot_, row, sideOf(side), &reason, &lastCut_);
  return writePicture(picture, path, QStringLiteral("Card %1: %2").arg(row + 1).arg(reason), &lastFailure_);
}

void SnapshotMailCards::restoreFirstRow() {
  if (!restore_) return;
  const std::shared_ptr<const BindingRows> rows = snapshot_.rows;
  platform::runOnGuiThread([this, rows] { restore_(rows); },
                           QStringLiteral("The card's first row was not restored."));
}

}  // namespace production
