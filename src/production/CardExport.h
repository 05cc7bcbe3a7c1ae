#pragma once
// Card image export as the user drives it: the export window, a single export
// of the design as it is (front, back, both, or both in one picture), and the
// batch export of one card per data row with the progress panel.
//
// Everything here runs on the GUI thread except the batch itself, which runs
// on a thread of its own from a snapshot taken when it starts; it reaches the
// window only through queued calls. The side the user is on is never changed.

#include <QImage>
#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "platform/GuiCalls.h"
#include "production/BatchExport.h"
#include "production/CardFill.h"
#include "production/DataBinding.h"

class QWidget;

namespace production {

// What export needs of the main window, beside the design itself.
class ExportHost : public BindingDesign {
 public:
  // The render context of a side: its page settings (copied) and the card size.
  virtual SidePaintContext sidePaintContext(CardSide side) = 0;
  // The window the progress panel covers; none in tests.
  virtual QWidget* window() { return nullptr; }
  // Redraws the canvas after the design was filled with row 0.
  virtual void Refresh_Canvas() {}
  // Shows the export-finished box for Export_File_Path and Export_File_Message.
  virtual void Open_Export_File_Box() = 0;
};

class CardExport {
 public:
  CardExport(ExportHost& host, DataBinding& binding);
  ~CardExport();
  CardExport(const CardExport&) = delete;
  CardExport& operator=(const CardExport&) = delete;

  // The Export button: the export window, then a save panel and a single
  // export, or a folder panel and a batch export.
  void Export_Button();

  // The design as it is (no data) by export_card_side into `path` (the back
  // alone goes to the back path). With show_msg the finished box follows.
  bool Export_Single_File(const QString& path, bool show_msg);
  // Starts the batch into <folder>/"QUVO Gratulo" and returns; false when it
  // could not start (another run under way, no rows, or no folder).
  bool Export_Batch_File(const QString& folder);

  // Writes one picture as a card image file; with show_msg and success, the
  // finished box for it.
  bool Export_File_Function(const QString& path, const QImage& picture, bool show_msg);
  bool Export_Combined_Image(const QImage& front, const QImage& back, const QString& path, bool show_msg);

  // Fills row 0 of the last run's rows into the front and redraws.
  void Select_first_row_value_for_design(bool print_box);
  // The same with the rows of another run (the mail run).
  void restoreFirstRow(std::shared_ptr<const BindingRows> rows);

  // A snapshot of the design for a run (GUI thread): copies of both sides,
  // both render contexts and the rows the use checks left.
  std::shared_ptr<RunSnapshot> takeSnapshot();

  // Choices of the export window for the next export.
  QString fileType = QStringLiteral("PNG");
  bool combined = false;
  int dpi = 72;  // pixels per inch of the pictures (72: one per point)
  // Render threads of a batch (0: one per core).
  int workers = 0;

  // State of the batch (tests).
  bool isRunning() const { return running_.load(); }
  // Serves events until the batch has ended and been closed; false on time-out.
  bool waitForRun(int timeoutMs);
  const BatchExportResult& lastResult() const { return lastResult_; }

 private:
  // `note` ends the closing message (objects left empty); may be empty.
  void batchFinished(const BatchExportResult& result, const QString& folder, const QString& note);
  // Copies of both sides of the design and their render contexts (GUI thread).
  CardSnapshot designSnapshot();
  // Writes the pictures (path, picture) all or none; a failure is shown as one
  // message naming the file and the reason (or the folder, when another
  // program's export held it longer than a short while). With show_msg and
  // success, the finished box for the last of them.
  bool writeFiles(const std::vector<std::pair<QString, QImage>>& pictures, bool show_msg, AlphaChannel alpha);
  QString withChosenExtension(const QString& path) const;

  ExportHost& host_;
  DataBinding& binding_;
  std::shared_ptr<const BindingRows> lastRows_;
  // What the closing message of the export under way adds; set by the Export button.
  QString closingNote_;
  // The bound texts the single export under way cut (CutTexts::note).
  QString cutNote_;
  std::unique_ptr<platform::GuiCalls> context_;  // takes the batch's calls to the GUI thread
  std::thread batch_;
  std::atomic<bool> running_{false};
  BatchExportResult lastResult_;
};

// Name of the folder a batch writes into, inside the folder the user chose.
inline const QString kBatchFolderName = QStringLiteral("QUVO Gratulo");

}  // namespace production
