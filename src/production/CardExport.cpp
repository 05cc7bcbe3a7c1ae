#include "production/CardExport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <exception>
#include <utility>

#include "platform/FileHelpers.h"
#include "platform/GuiCalls.h"
#include "platform/MessageHost.h"
#include "platform/Messages.h"
#include "production/CutTexts.h"
#include "production/ExportWindow.h"
#include "production/Send_Modeless.h"
#include "production/globals.h"

namespace production {

namespace {

const QString kExported = QStringLiteral("Card has been exported successfully.");

}  // namespace

CardExport::CardExport(ExportHost& host, DataBinding& binding)
    : host_(host), binding_(binding), context_(std::make_unique<platform::GuiCalls>()) {}

CardExport::~CardExport() {
  // A batch still under way when the program closes is stopped; its queued
  // closing call dies with the context.
  if (running_.load()) Stop_SMS_Sending_Now.store(true);
  if (batch_.joinable()) batch_.join();
  context_.reset();
}

CardSnapshot CardExport::designSnapshot() {
  return CardSnapshot::take(host_.Get_Front_Controls_Array(), host_.Get_Back_Controls_Array(),
                            host_.sidePaintContext(CardSide::Front), host_.sidePaintContext(CardSide::Back));
}

std::shared_ptr<RunSnapshot> CardExport::takeSnapshot() {
  auto snapshot = std::make_shared<RunSnapshot>();
  snapshot->card = designSnapshot();
  snapshot->rows = binding_.rowsForRun();
  return snapshot;
}

QString CardExport::withChosenExtension(const QString& path) const {
  // The file's name tells its format: a name whose extension is not one of
  // the chosen type gets the chosen type's extension added.
  static const QStringList known = {QStringLiteral("png"), QStringLiteral("jpg"),  QStringLiteral("jpeg"),
                                    QStringLiteral("tif"), QStringLiteral("tiff"), QStringLiteral("bmp")};
  const QString suffix = QFileInfo(path).suffix();
  if (known.contains(suffix.toLower()) && cardImageFormatFor(suffix) == cardImageFormatFor(fileType))
    return path;
  return path + QLatin1Char('.') + fileType;
}

void CardExport::Export_Button() {
  try {
    if (running_.load()) return;
    ExportWindow& window = ExportWindow::defaultInstance();
    window.reset();
    if (!binding_.Check_Series_Or_Excel_Use_or_not()) return;
    const bool series = Use_Data_Sheet_Values.load();
    const bool excel = Use_Excel_Binding_Values.load();
    window.Export_with_batch_chk->setEnabled(series);
    window.Export_with_batch_chk->setChecked(series);
    window.Export_with_excel_chk->setEnabled(excel);
    window.Export_with_excel_chk->setChecked(excel);
    if (platform::messageHost().runModal(window) == 0) return;
    window.hide();
    if (series && !window.Export_with_batch_chk->isChecked()) Use_Data_Sheet_Values.store(false);
    if (excel && !window.Export_with_excel_chk->isChecked()) Use_Excel_Binding_Values.store(false);
    binding_.Get_total_Card_count();
    fileType = window.fileType();
    combined = window.combined();
    dpi = window.dpi();
    // Objects bound to data that no longer exists: asked before any file work.
    QString note;
    if (!binding_.confirmMissingSources(Use_Data_Sheet_Values.load(), Use_Excel_Binding_Values.load(),
                                        export_card_side, &note))
      return;

    if (!Use_Data_Sheet_Values.load() && !Use_Excel_Binding_Values.load()) {
      platform::FilePanelRequest request;
      request.title = QStringLiteral("Export Card");
      request.suggestedName = QStringLiteral("Card.") + fileType;
      request.nameFilters = {QStringLiteral("%1 (*.%1 *.%2)").arg(fileType, fileType.toLower())};
      const QString path = platform::messageHost().savePanel(request);
      if (path.isEmpty()) return;
      closingNote_ = note;
      Export_Single_File(withChosenExtension(path), true);
      closingNote_.clear();
      return;
    }
    platform::FilePanelRequest request;
    request.title = QStringLiteral("Choose the folder for the cards");
    request.chooseFolders = true;
    const QStringList folders = platform::messageHost().openPanel(request);
    if (folders.isEmpty()) return;
    closingNote_ = note;
    Export_Batch_File(folders.first());
  } catch (const std::exception& e) {
    qCWarning(lcProduction).noquote() << QString::fromUtf8(e.what());
  }
}

bool CardExport::Export_Single_File(const QString& path, bool show_msg) {
  try {
    // The design as it is, drawn at the chosen resolution; objects whose
    // data is gone are left empty when the user chose to go on without it.
    RunSnapshot asDesigned;
    asDesigned.card = designSnapshot();
    asDesigned.rows = binding_.rowsForRun();
    const std::shared_ptr<const RunSnapshot> design = exportSnapshot(asDesigned, dpi);
    // The card's bound texts that it does not show whole, the front's first.
    QStringList frontCut, backCut;
    const auto render = [&](CardSide side) {
      return exportedSide(*design, -1, side, dpi, nullptr, side == CardSide::Back ? &backCut : &frontCut);
    };
    const QString side = export_card_side;
    QImage front, back;
    if (side != QLatin1String("F")) back = render(CardSide::Back);
    if (side == QLatin1String("F") || side == QLatin1String("BOTH")) front = render(CardSide::Front);
    CutTexts cut;
    cut.add(0, frontCut + backCut);
    cutNote_ = cut.note();
    const bool written = [&] {
      if (side == QLatin1String("BOTH")) {
        if (combined) return Export_Combined_Image(front, back, path, show_msg);
        // Both files or neither: never half a pair.
        return writeFiles({{Create_Back_Card_Path(path), back}, {path, front}}, show_msg,
                          AlphaChannel::DroppedWhenOpaque);
      }
      if (side == QLatin1String("F")) return Export_File_Function(path, front, show_msg);
      return Export_File_Function(Create_Back_Card_Path(path), back, show_msg);
    }();
    cutNote_.clear();
    return written;
  } catch (const std::exception& e) {
    cutNote_.clear();
    qCWarning(lcProduction).noquote() << QString::fromUtf8(e.what());
  }
  return false;
}

bool CardExport::Export_File_Function(const QString& path, const QImage& picture, bool show_msg) {
  return writeFiles({{path, picture}}, show_msg, AlphaChannel::DroppedWhenOpaque);
}

bool CardExport::writeFiles(const std::vector<std::pair<QString, QImage>>& pictures, bool show_msg,
                            AlphaChannel alpha) {
  std::vector<CardImageData> files;
  for (const auto& [path, picture] : pictures)
    files.push_back({path, encodeCardImage(picture, cardImageFormatOfPath(path), alpha)});
  QString failed;
  QString reason;
  EarlierRuns earlier;
  // Another program's export into the folder is waited for a short while
  // only: this is the window's thread, and that program may be paused.
  if (!writeCardImageFiles(files, &failed, &reason, &earlier)) {
    qCWarning(lcProduction).noquote() << QStringLiteral("%1: %2").arg(failed, reason);
    Show_MessageBox(withClosingNote(
        reason == QLatin1String(kFolderBusy)
            ? QStringLiteral("Another export is placing cards in \"%1\"; try again when it has finished.")
                  .arg(QFileInfo(failed).absolutePath())
            : cardImageFailureMessage(failed, reason),
        earlierExportsNote(earlier)));
    return false;
  }
  if (show_msg) {
    Export_File_Path.set(pictures.back().first);
    Export_File_Message.set(withClosingNote(
        withClosingNote(withClosingNote(kExported, earlierExportsNote(earlier)), cutNote_), closingNote_));
    host_.Open_Export_File_Box();
  }
  return true;
}

bool CardExport::Export_Combined_Image(const QImage& front, const QImage& back, const QString& path,
                                       bool show_msg) {
  const QImage picture = combinedCardPicture(front, back);
  if (picture.isNull()) return false;
  return writeFiles({{path, picture}}, show_msg, AlphaChannel::Kept);
}

bool CardExport::Export_Batch_File(const QString& chosen) {
  const QString note = std::exchange(closingNote_, QString());
  if (running_.exchange(true)) return false;
  Card_Value_In_Process.store(true);
  const auto refuse = [this] {
    Card_Value_In_Process.store(false);
    running_.store(false);
    return false;
  };
  const QString folder = QDir(chosen).filePath(kBatchFolderName);
  if (chosen.isEmpty() || !platform::makeFolder(folder) || !QFileInfo(folder).isDir()) {
    Show_MessageBox(unable_saving_Msg);
    return refuse();
  }
  auto snapshot = takeSnapshot();
  lastRows_ = snapshot->rows;
  const int total = snapshot->rows->cardCount();
  if (total <= 0) {
    Show_MessageBox(QStringLiteral("List is empty."));
    return refuse();
  }

  Send_Modeless& panel = Send_Modeless::defaultInstance();
  list_count.store(total);
  curr_barcode_count.store(0);
  panel.beginRun(total, QStringLiteral("%1 / %2 Card").arg(0).arg(total));
  panel.setWindowTitle(QStringLiteral("Exporting Cards"));
  panel.showOver(host_.window());

  BatchExportRequest request;
  request.folder = folder;
  request.side = export_card_side;
  request.combined = combined;
  request.extension = fileType;
  request.workers = workers;
  request.dpi = dpi;
  if (batch_.joinable()) batch_.join();
  platform::GuiCalls* context = context_.get();
  batch_ = std::thread([this, context, snapshot, request, note] {
    BatchExportResult result;
    try {
      BatchExport run(snapshot, request);
      result = run.run();
    } catch (const std::exception& e) {
      qCWarning(lcProduction).noquote() << QString::fromUtf8(e.what());
      result.failed = result.total - result.written;
    }
    context->post([this, result, folder = request.folder, note] { batchFinished(result, folder, note); });
  });
  return true;
}

void CardExport::batchFinished(const BatchExportResult& result, const QString& folder, const QString& note) {
  if (batch_.joinable()) batch_.join();
  lastResult_ = result;
  Send_Modeless::defaultInstance().endRun();
  Export_File_Path.set(folder);
  Export_File_Message.set(withClosingNote(batchExportMessage(result), note));
  try {
    Select_first_row_value_for_design(false);
  } catch (const std::exception& e) {
    qCWarning(lcProduction).noquote() << QString::fromUtf8(e.what());
  }
  Card_Value_In_Process.store(false);
  running_.store(false);
  host_.Open_Export_File_Box();
}

void CardExport::Select_first_row_value_for_design(bool /*print_box*/) {
  if (lastRows_) {
    QString reason;
    // The design on the canvas keeps barcode pictures at each object's own resolution.
    const BarcodeRenderer ownResolution = [](const SKTGraphic& object, const QString& value, QString* why) {
      return renderBoundBarcode(object, value, why);
    };
    if (!Assign_Batch_Values_To_Control(host_.Get_Front_Controls_Array(), *lastRows_, 0, ownResolution,
                                        &reason))
      qCWarning(lcProduction).noquote() << reason;
  }
  Card_Value_In_Process.store(false);
  host_.Refresh_Canvas();
}

void CardExport::restoreFirstRow(std::shared_ptr<const BindingRows> rows) {
  lastRows_ = std::move(rows);
  Select_first_row_value_for_design(false);
}

bool CardExport::waitForRun(int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  while (running_.load()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(2);
  }
  return true;
}

}  // namespace production
