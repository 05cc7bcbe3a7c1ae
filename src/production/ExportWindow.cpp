#include "production/ExportWindow.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "data/dialogs/DialogParts.h"
#include "platform/widgets/Controls.h"
#include "platform/widgets/DialogLook.h"
#include "platform/widgets/DialogSingleton.h"
#include "production/globals.h"

namespace {
template <typename Control>
Control* named(Control* control, const QString& name) {
  control->setAccessibleName(name);
  return control;
}
}  // namespace

ExportWindow& ExportWindow::defaultInstance() {
  return platform::dialogSingleton<ExportWindow>([] { return new ExportWindow(); });
}

QStringList ExportWindow::fileTypes() {
  return {QStringLiteral("PNG"), QStringLiteral("JPEG"), QStringLiteral("TIFF"), QStringLiteral("BMP")};
}

QList<int> ExportWindow::resolutions() {
  return {72, 150, 300, 600};
}

ExportWindow::ExportWindow(QWidget* parent) : QDialog(parent) {
  setModal(true);
  setWindowTitle(QStringLiteral("Export Card"));
  setAccessibleName(windowTitle());
  platform::applyDialogLook(*this);

  auto* sideBox = new QGroupBox(QStringLiteral("Side"), this);
  matrix_export_card_side = new QButtonGroup(this);
  auto* sideLayout = new QVBoxLayout(sideBox);
  const QStringList sides = {QStringLiteral("Both sides"), QStringLiteral("Front"), QStringLiteral("Back")};
  for (int row = 0; row < sides.size(); ++row) {
    auto* radio = named(new QRadioButton(sides[row], sideBox), sides[row]);
    matrix_export_card_side->addButton(radio, row);
    sideLayout->addWidget(radio);
  }
  export_combined_image_chk = new QCheckBox(QStringLiteral("Both sides in one picture"), sideBox);
  named(export_combined_image_chk, export_combined_image_chk->text());
  sideLayout->addWidget(export_combined_image_chk);

  fileFormatPopup = named(new QComboBox(this), QStringLiteral("File type"));
  fileFormatPopup->addItems(fileTypes());
  saveDPIText = named(new QComboBox(this), QStringLiteral("DPI"));
  for (const int dpi : resolutions()) saveDPIText->addItem(QString::number(dpi));
  saveDPIText->setToolTip(
      QStringLiteral("Pixels per inch of the pictures: 72 is one pixel per point; "
                     "300 or 600 to print them or to read their barcodes."));

  auto* dataBox = new QGroupBox(QStringLiteral("One card per data row"), this);
  Export_with_batch_chk = new QCheckBox(QStringLiteral("Use data series"), dataBox);
  Export_with_excel_chk = new QCheckBox(QStringLiteral("Use spreadsheet"), dataBox);
  named(Export_with_batch_chk, Export_with_batch_chk->text());
  named(Export_with_excel_chk, Export_with_excel_chk->text());
  auto* dataLayout = new QVBoxLayout(dataBox);
  dataLayout->addWidget(Export_with_batch_chk);
  dataLayout->addWidget(Export_with_excel_chk);

  // Cancel left of OK, as in the other dialogs.
  QPushButton* ok = nullptr;
  QPushButton* cancel = nullptr;
  QHBoxLayout* buttons = dialog_parts::okCancelRow(this, &ok, &cancel);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("File type:"), fileFormatPopup);
  form->addRow(QStringLiteral("DPI:"), saveDPIText);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(sideBox);
  layout->addLayout(form);
  layout->addWidget(dataBox);
  layout->addLayout(buttons);

  connect(ok, &QPushButton::clicked, this, &ExportWindow::exportOkay);
  connect(cancel, &QPushButton::clicked, this, &ExportWindow::exportCancel);
  onChosen(matrix_export_card_side, this, [this](int row) { export_card_side_CellClick(row); });
  reset();
}

void ExportWindow::reset() {
  fileFormatPopup->setCurrentIndex(0);
  saveDPIText->setCurrentIndex(0);
  export_combined_image_chk->setChecked(false);
  matrix_export_card_side->button(1)->setChecked(true);
  export_card_side_CellClick(1);
}

void ExportWindow::exportOkay() {
  done(1);
}

void ExportWindow::exportCancel() {
  done(0);
}

void ExportWindow::export_card_side_CellClick(int row) {
  matrix_export_card_side->button(row)->setChecked(true);
  export_card_side = row == 0 ? QStringLiteral("BOTH") : row == 1 ? QStringLiteral("F") : QStringLiteral("B");
  export_combined_image_chk->setEnabled(row == 0);
}
