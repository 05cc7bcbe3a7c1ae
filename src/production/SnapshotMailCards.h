#pragma once
// The cards of a mail run, rendered from a snapshot of the design taken when
// Send was pressed, so the run neither reads nor changes what the window
// shows while it works: the card as it is, or filled row by row from the
// data rows of the snapshot.

#include <functional>
#include <memory>

#include "core/render/CardSnapshot.h"
#include "production/CardFill.h"
#include "production/MailRun.h"

namespace production {

class SnapshotMailCards : public MailCardSource {
 public:
  // The card as it is, without data rows.
  explicit SnapshotMailCards(CardSnapshot snapshot);
  // The card with the data rows of a run; `restore` puts row 0 of the rows
  // back on the design, on the GUI thread, when the run ends.
  SnapshotMailCards(RunSnapshot snapshot, std::function<void(std::shared_ptr<const BindingRows>)> restore);

  // Narrows the rows to the dialog's two check boxes; the cards they make.
  int prepareRows(bool seriesChecked, bool excelChecked) override;
  // Writes the side's picture in the format the file's extension names.
  bool writeSide(int side, const QString& path) override;
  bool writeRowSide(int row, int side, const QString& path) override;
  void restoreFirstRow() override;
  QString lastFailure() const override { return lastFailure_; }
  QStringList lastCutTexts() const override { return lastCut_; }

 private:
  QString lastFailure_;
  QStringList lastCut_;
  RunSnapshot snapshot_;
  std::function<void(std::shared_ptr<const BindingRows>)> restore_;
};

}  // namespace production
