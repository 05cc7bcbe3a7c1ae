#pragma once
// The export window: which side(s) to export, as separate files or one
// combined picture, the file type, the resolution of the pictures, and
// whether the data series rows and the spreadsheet rows fill the cards. OK
// ends it with 1, Cancel with 0.

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QStringList>

class ExportWindow : public QDialog {
  Q_OBJECT

 public:
  // The single instance, made on first use on the GUI thread.
  static ExportWindow& defaultInstance();

  // The file types offered, in pop-up order.
  static QStringList fileTypes();
  // The resolutions offered, in dots per inch; the first is one pixel per point.
  static QList<int> resolutions();

  // Back to the first file type, the first resolution, the front side alone, combined off.
  void reset();
  // The chosen file type ("PNG", ...): the extension of the files written.
  QString fileType() const { return fileFormatPopup->currentText(); }
  // The chosen resolution, in dots per inch, for every file type.
  int dpi() const { return saveDPIText->currentText().toInt(); }
  bool combined() const { return export_combined_image_chk->isChecked(); }

  // Actions.
  void exportOkay();
  void exportCancel();
  // Row 0 both sides (combined may be chosen), row 1 front, row 2 back.
  void export_card_side_CellClick(int row);

  QComboBox* fileFormatPopup = nullptr;
  QComboBox* saveDPIText = nullptr;
  QButtonGroup* matrix_export_card_side = nullptr;
  QCheckBox* export_combined_image_chk = nullptr;
  QCheckBox* Export_with_batch_chk = nullptr;
  QCheckBox* Export_with_excel_chk = nullptr;

 private:
  explicit ExportWindow(QWidget* parent = nullptr);
};
