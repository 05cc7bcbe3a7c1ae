#pragma once
// The cards the mail run attaches: the design, filled row by row from the
// data sources, rendered into picture files. The dialog asks the design's
// source for a snapshot when Send is pressed (GUI thread); the run's worker
// then renders only from that snapshot, never from the live card.

#include <functional>
#include <memory>

#include "production/CardExport.h"
#include "production/MailRun.h"

namespace production {

// Renders from one snapshot; any thread.
class RunMailCards : public MailCardSource {
 public:
  // `restore` puts row 0 of the given rows back on the design; it is run on
  // the GUI thread when the run ends.
  RunMailCards(std::shared_ptr<const RunSnapshot> snapshot,
               std::function<void(std::shared_ptr<const BindingRows>)> restore);

  int prepareRows(bool seriesChecked, bool excelChecked) override;
  bool writeSide(int side, const QString& path) override;
  bool writeRowSide(int row, int side, const QString& path) override;
  void restoreFirstRow() override;

 private:
  std::shared_ptr<RunSnapshot> snapshot_;  // own copy with the narrowed rows
  std::function<void(std::shared_ptr<const BindingRows>)> restore_;
};

// The live design's source, kept by the mail dialog (GUI thread).
class DesignMailCards : public MailCardSource {
 public:
  DesignMailCards(CardExport& exporter, DataBinding& binding);

  // Runs the use checks and answers the series flag; the spreadsheet flag
  // answers from that same check.
  bool seriesRowsAvailable() override;
  bool excelRowsAvailable() override;
  std::shared_ptr<MailCardSource> snapshotForRun(bool* refused) override;

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
