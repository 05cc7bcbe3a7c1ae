#pragma once
// The cards of a mail run without data rows: each side's picture rendered
// from a snapshot of the design taken when Send was pressed, so the run
// neither reads nor changes what the window shows while it works.

#include "core/render/CardSnapshot.h"
#include "production/MailRun.h"

namespace production {

class SnapshotMailCards : public MailCardSource {
 public:
  explicit SnapshotMailCards(CardSnapshot snapshot) : snapshot_(std::move(snapshot)) {}

  int prepareRows(bool, bool) override { return 0; }
  // Writes the side's picture in the format the file's extension names.
  bool writeSide(int side, const QString& path) override;
  bool writeRowSide(int, int, const QString&) override { return false; }
  void restoreFirstRow() override {}

 private:
  CardSnapshot snapshot_;
};

}  // namespace production
