#pragma once
// The card source the mail dialog keeps for the design: it answers which
// data rows can fill the card and, when Send is pressed (GUI thread), hands
// the run a snapshot of the card and its rows, which the run's worker
// renders from, never from the live card.

#include <functional>
#include <memory>

#include "production/CardExport.h"
#include "production/MailRun.h"
#include "production/SnapshotMailCards.h"

namespace production {

// The live design's source, kept by the mail dialog (GUI thread).
class DesignMailCards : public MailCardSource {
 public:
  DesignMailCards(CardExport& exporter, DataBinding& binding);

  // Runs the use checks and answers the series flag; the spreadsheet flag
  // answers from that same check.
  bool seriesRowsAvailable() override;
  bool excelRowsAvailable() override;
  // Also asks, for a run with data rows, whether to go on when bound
  // sources no longer exist.
  std::shared_ptr<MailCardSource> snapshotForRun(MailRunRequest& request, bool* refused) override;

  // A run always renders from a snapshot; these are never reached.
  int prepareRows(bool, bool) override { return 0; }
  bool writeSide(int, const QString&) override { return false; }
  bool writeRowSide(int, int, const QString&) override { return false; }
  void restoreFirstRow() override {}

 private:
  CardExport& exporter_;
  DataBinding& binding_;
};

}  // namespace production
