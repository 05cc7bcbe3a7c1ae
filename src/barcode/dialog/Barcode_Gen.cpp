#include "barcode/dialog/Barcode_Gen.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

#include "barcode/SpreadChoice.h"
#include "barcode/designer/BarcodeRenderer.h"
#include "barcode/designer/CardBarcodePicture.h"
#include "barcode/designer/GraphicBarcodeSettings.h"
#include "barcode/designer/ValueCharacters.h"
#include "barcode/globals.h"
#include "core/CardHost.h"
#include "core/SKTGraphic.h"
#include "data/DataSeriesStore.h"
#include "data/DataSourceTable.h"
#include "data/dialogs/Data_From_Excel.h"
#include "data/dialogs/DialogParts.h"
#include "data/dialogs/View_Data_Series.h"
#include "platform/FontNames.h"
#include "platform/MessageHost.h"
#include "platform/Messages.h"
#include "platform/globals.h"
#include "platform/widgets/LongSmsDialog.h"

using barcode::BarcodeLimits;
using barcode::BarcodeSettings;

namespace {

const QString kSourceManual = QStringLiteral("Manual");
const QString kSourceSeries = QStringLiteral("Series");
const QString kSourceSpreadsheet = QStringLiteral("Excel");
const char* kColourProperty = "barcodeColour";
const char* kFontNameProperty = "postScriptName";

// Spin boxes accept any number a person may type (font sizes from the
// smallest there is); the limits are checked on preview and on OK, with a
// message naming the limit.
QDoubleSpinBox* decimalBox(QWidget* parent, const QString& name, int decimals, double step) {
  auto* box = new QDoubleSpinBox(parent);
  box->setRange(-1e6, 1e6);
  box->setDecimals(decimals);
  box->setSingleStep(step);
  box->setAccessibleName(name);
  return box;
}

QSpinBox* wholeBox(QWidget* parent, const QString& name) {
  auto* box = new QSpinBox(parent);
  box->setRange(-1000000, 1000000);
  box->setAccessibleName(name);
  return box;
}

QComboBox* listBox(QWidget* parent, const QString& name, const QStringList& items) {
  auto* box = new QComboBox(parent);
  box->addItems(items);
  box->setAccessibleName(name);
  return box;
}

// A whole-number box that tells a step (arrows, keys, wheel) from typing.
class SteppedBox : public QSpinBox {
 public:
  using QSpinBox::QSpinBox;
  bool stepping() const { return stepping_; }
  void stepBy(int steps) override {
    stepping_ = true;
    QSpinBox::stepBy(steps);
    stepping_ = false;
  }

 private:
  bool stepping_ = false;
};

// Symbologies whose value text is printed in pieces around the guard bars.
bool piecewiseValueText(const QString& symbology) {
  return symbology == QLatin1String("UPCA") || symbology == QLatin1String("UPCE") ||
         symbology == QLatin1String("EAN-8") || symbology == QLatin1String("EAN-13");
}

QString fontDescription(const barcode::BarcodeFont& font) {
  return QStringLiteral("%1 ( %2 )").arg(font.name).arg(font.size, 0, 'f', 2);
}

}  // namespace

Barcode_Gen& Barcode_Gen::defaultInstance() {
  return dialog_parts::singleton<Barcode_Gen>([] { return new Barcode_Gen(); });
}

Barcode_Gen::Barcode_Gen(QWidget* parent) : QDialog(parent) {
  dialog_parts::setUpDialog(*this, QStringLiteral("Barcode designer"));
  buildControls();
  connectControls();
  loading_ = true;
  loadSettings(BarcodeSettings());
  loading_ = false;
  goButtonActionPerformed();
}

// ---- Construction --------------------------------------------------------------------

void Barcode_Gen::buildControls() {
  barcodeTypePopup = listBox(this, QStringLiteral("Symbology"), barcode::symbologyNames());
  dataText = dialog_parts::lineEdit(this, QStringLiteral("Value"));
  dataText_2D = new QPlainTextEdit(this);
  dataText_2D->setAccessibleName(QStringLiteral("Value"));
  dataText_2D->setMaximumHeight(70);
  dataText_2D->setTabChangesFocus(true);  // Tab goes on to the next control
  // Made in the order they stand, so that Tab reads them row by row.
  HeaderText = dialog_parts::lineEdit(this, QStringLiteral("Header"));
  hideHeaderCheckbox = dialog_parts::checkBox(this, QStringLiteral("Hide header"));
  FooterText = dialog_parts::lineEdit(this, QStringLiteral("Footer"));
  hideFooterCheckbox = dialog_parts::checkBox(this, QStringLiteral("Hide footer"));

  Data_source_type =
      listBox(this, QStringLiteral("Data source"), {kSourceManual, kSourceSeries, kSourceSpreadsheet});
  Batch_Series = listBox(this, QStringLiteral("Series"), {});
  Batch_Series->setMinimumContentsLength(16);
  view_series_btn = dialog_parts::button(this, QStringLiteral("View…"));
  view_series_btn->setEnabled(false);
  view_series_btn->setToolTip(
      QStringLiteral("Shows the values of the chosen series or the spreadsheet's rows."));

  auto* top = new QFormLayout;
  top->addRow(QStringLiteral("Symbology :"), barcodeTypePopup);
  auto* valueRow = new QVBoxLayout;
  valueRow->addWidget(dataText);
  valueRow->addWidget(dataText_2D);
  top->addRow(QStringLiteral("Value :"), valueRow);
  auto* headerRow = new QHBoxLayout;
  headerRow->addWidget(HeaderText, 1);
  headerRow->addWidget(hideHeaderCheckbox);
  top->addRow(QStringLiteral("Header :"), headerRow);
  auto* footerRow = new QHBoxLayout;
  footerRow->addWidget(FooterText, 1);
  footerRow->addWidget(hideFooterCheckbox);
  top->addRow(QStringLiteral("Footer :"), footerRow);
  auto* sourceRow = new QHBoxLayout;
  sourceRow->addWidget(Data_source_type);
  sourceRow->addWidget(Batch_Series, 1);
  sourceRow->addWidget(view_series_btn);
  top->addRow(QStringLiteral("Data source :"), sourceRow);

  sett_tab = new QTabWidget(this);
  sett_tab->setAccessibleName(QStringLiteral("Settings"));
  sett_tab->addTab(buildBarcodePage(), QStringLiteral("Barcode"));
  sett_tab->addTab(buildTextPage(), QStringLiteral("Text"));
  sett_tab->addTab(buildColourPage(), QStringLiteral("Colours"));
  sett_tab->addTab(buildMarginPage(), QStringLiteral("Margins"));
  dpi_tab_item = buildResolutionPage();

  barcodeImage = new QLabel(this);
  barcodeImage->setAccessibleName(QStringLiteral("Preview"));
  barcodeImage->setAlignment(Qt::AlignCenter);
  barcodeImage->setBackgroundRole(QPalette::Base);
  barcodeImage->setAutoFillBackground(true);
  image_scroll = new QScrollArea(this);
  image_scroll->setAccessibleName(QStringLiteral("Preview area"));
  image_scroll->setWidget(barcodeImage);
  image_scroll->setWidgetResizable(true);
  image_scroll->setMinimumSize(360, 200);
  barcode_error_label = new QLabel(this);
  barcode_error_label->setAccessibleName(QStringLiteral("Barcode error"));
  barcode_error_label->setStyleSheet(QStringLiteral("color: #b00020;"));
  barcode_error_label->setWordWrap(true);
  barcode_error_label->hide();

  QHBoxLayout* buttons = dialog_parts::okCancelRow(this, &ok_button, &cancel_button);

  auto* left = new QVBoxLayout;
  left->addLayout(top);
  left->addWidget(sett_tab, 1);
  auto* right = new QVBoxLayout;
  right->addWidget(image_scroll, 1);
  right->addWidget(barcode_error_label);
  auto* columns = new QHBoxLayout;
  columns->addLayout(left, 3);
  columns->addLayout(right, 2);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns, 1);
  layout->addLayout(buttons);
}

QWidget* Barcode_Gen::buildBarcodePage() {
  auto* page = new QWidget(this);
  page->setAccessibleName(QStringLiteral("Barcode"));

  linear_sett_box = new QGroupBox(QStringLiteral("Linear barcode"), page);
  linear_sett_box->setAccessibleName(linear_sett_box->title());
  HeightText = decimalBox(linear_sett_box, QStringLiteral("Bar Height (cm)"), 2, 0.05);
  widthText = decimalBox(linear_sett_box, QStringLiteral("Bar Width (Mils)"), 1, 1.0);
  bar_orient_combo = listBox(linear_sett_box, QStringLiteral("Orientation"),
                             {QStringLiteral("Horizontal"), QStringLiteral("Vertical")});
  bar_orient_combo->setToolTip(QStringLiteral("The picture is drawn the same way whatever is chosen here."));
  captionCheckbox = dialog_parts::checkBox(linear_sett_box, QStringLiteral("Hide value text"));
  showinTopCheckbox = dialog_parts::checkBox(linear_sett_box, QStringLiteral("Value text on top"));
  kerning_value_Checkbox =
      dialog_parts::checkBox(linear_sett_box, QStringLiteral("Spread value text over the barcode width"));
  kerning_value_Checkbox->setChecked(Spread_Barcode_Value_Text.load());
  auto* linear = new QFormLayout(linear_sett_box);
  linear->addRow(QStringLiteral("Bar Height (cm):"), HeightText);
  linear->addRow(QStringLiteral("Bar Width (Mils):"), widthText);
  linear->addRow(QStringLiteral("Orientation :"), bar_orient_combo);
  linear->addRow(captionCheckbox);
  linear->addRow(showinTopCheckbox);
  linear->addRow(kerning_value_Checkbox);

  two_d_sett_box = new QGroupBox(QStringLiteral("QR Code"), page);
  two_d_sett_box->setAccessibleName(two_d_sett_box->title());
  HeightText_2D = wholeBox(two_d_sett_box, QStringLiteral("QR size"));
  qr_version_ComboBox = listBox(two_d_sett_box, QStringLiteral("Version"), barcode::qrVersionNames());
  qr_ec_lvl_ComboBox =
      listBox(two_d_sett_box, QStringLiteral("Error correction level"), barcode::qrLevelNames());
  qr_enc_mode_ComboBox = listBox(two_d_sett_box, QStringLiteral("Encoding mode"),
                                 {QStringLiteral("Auto"), QStringLiteral("Numeric"),
                                  QStringLiteral("Alphanumeric"), QStringLiteral("Byte")});
  qr_enc_mode_ComboBox->setToolTip(
      QStringLiteral("The encoder chooses the most compact modes for the value."));
  auto* qr = new QFormLayout(two_d_sett_box);
  qr->addRow(QStringLiteral("Size (points):"), HeightText_2D);
  addRowWithHelp(
      qr, qr_version_ComboBox, QStringLiteral("Version :"),
      QStringLiteral("Version is configuration or number of modules (combination of black and white "
                     "dots)."));
  addRowWithHelp(
      qr, qr_ec_lvl_ComboBox, QStringLiteral("Error correction (EC) level :"),
      QStringLiteral("An error-correction mechanism is built in each symbol so that the symbol can "
                     "still be decoded even if it is damaged."));
  qr->addRow(QStringLiteral("Encoding mode :"), qr_enc_mode_ComboBox);

  pdf_2d_sett_box = new QGroupBox(QStringLiteral("PDF417"), page);
  pdf_2d_sett_box->setAccessibleName(pdf_2d_sett_box->title());
  pdf_HeightText_2D = wholeBox(pdf_2d_sett_box, QStringLiteral("PDF417 height"));
  Pdf_widthText_2D = wholeBox(pdf_2d_sett_box, QStringLiteral("PDF417 width"));
  pdf_ec_lvl_Text = wholeBox(pdf_2d_sett_box, QStringLiteral("PDF EC Level"));
  // The symbol takes the rows and columns that keep it about square for its
  // value; these two boxes do not shape it.
  auto rowsOrColumns = [&](const QString& name, int maximum) {
    QSpinBox* box = wholeBox(pdf_2d_sett_box, name);
    box->setRange(0, maximum);
    box->setSpecialValueText(QStringLiteral("Auto"));
    box->setToolTip(QStringLiteral("Chosen from the value, to keep the symbol about square."));
    return box;
  };
  pdf_row_Text = rowsOrColumns(QStringLiteral("PDF Rows"), 90);
  pdf_col_Text = rowsOrColumns(QStringLiteral("PDF Columns"), 30);
  auto* pdf = new QFormLayout(pdf_2d_sett_box);
  pdf->addRow(QStringLiteral("Height (points):"), pdf_HeightText_2D);
  pdf->addRow(QStringLiteral("Width (points):"), Pdf_widthText_2D);
  addRowWithHelp(pdf, pdf_row_Text, QStringLiteral("PDF Rows :"),
                 QStringLiteral("Number of rows in the PDF barcode."));
  addRowWithHelp(pdf, pdf_col_Text, QStringLiteral("PDF Columns :"),
                 QStringLiteral("Number of columns in the PDF barcode."));
  addRowWithHelp(
      pdf, pdf_ec_lvl_Text, QStringLiteral("PDF EC Level :"),
      QStringLiteral("An error-correction mechanism is built in each symbol so that the symbol can "
                     "still be decoded even if it is damaged in PDF barcode."));

  dm_2d_sett_box = new QGroupBox(QStringLiteral("Data Matrix"), page);
  dm_2d_sett_box->setAccessibleName(dm_2d_sett_box->title());
  auto* module = new SteppedBox(dm_2d_sett_box);
  module->setRange(-1000000, 1000000);
  module->setAccessibleName(QStringLiteral("Module size"));
  dm_moduleText_2D = module;
  dm_widthText_2D = wholeBox(dm_2d_sett_box, QStringLiteral("Data Matrix width"));
  dm_HeightText_2D = wholeBox(dm_2d_sett_box, QStringLiteral("Data Matrix height"));
  dm_widthText_2D->setValue(20);
  dm_HeightText_2D->setValue(20);
  dm_format_ComboBox =
      listBox(dm_2d_sett_box, QStringLiteral("Preferred Format"), barcode::dataMatrixFormatNames());
  dm_encoding_ComboBox =
      listBox(dm_2d_sett_box, QStringLiteral("Encoding Mode"), barcode::dataMatrixEncodingNames());
  auto* dm = new QFormLayout(dm_2d_sett_box);
  dm->addRow(QStringLiteral("Module size (points):"), dm_moduleText_2D);
  dm->addRow(QStringLiteral("Width (points):"), dm_widthText_2D);
  dm->addRow(QStringLiteral("Height (points):"), dm_HeightText_2D);
  addRowWithHelp(dm, dm_format_ComboBox, QStringLiteral("Preferred Format :"),
                 QStringLiteral("Preferred Mode determines the smallest size of the symbol."));
  addRowWithHelp(dm, dm_encoding_ComboBox, QStringLiteral("Encoding Mode :"),
                 QStringLiteral("Encoding Mode is mode of compaction to encode data in the symbol."));

  auto* layout = new QVBoxLayout(page);
  for (QGroupBox* box : {linear_sett_box, two_d_sett_box, pdf_2d_sett_box, dm_2d_sett_box})
    layout->addWidget(box);
  layout->addStretch(1);
  return page;
}

QWidget* Barcode_Gen::buildTextPage() {
  auto* page = new QWidget(this);
  page->setAccessibleName(QStringLiteral("Text"));
  auto* form = new QFormLayout(page);
  auto fontRow = [&](const QString& what, QFontComboBox*& family, QDoubleSpinBox*& size, QLabel*& label) {
    family = new QFontComboBox(page);
    family->setAccessibleName(what + QStringLiteral(" font"));
    size = decimalBox(page, what + QStringLiteral(" font size"), 1, 1.0);
    size->setMinimum(BarcodeLimits::kFontSizeMin);
    label = new QLabel(page);
    label->setAccessibleName(what + QStringLiteral(" font description"));
    auto* row = new QHBoxLayout;
    row->addWidget(family, 1);
    row->addWidget(size);
    form->addRow(what + QStringLiteral(" font :"), row);
    form->addRow(QString(), label);
  };
  fontRow(QStringLiteral("Value"), value_font_family, value_font_size, value_font_value);
  fontRow(QStringLiteral("Header"), header_font_family, header_font_size, header_font_value);
  fontRow(QStringLiteral("Footer"), footer_font_family, footer_font_size, footer_font_value);
  align_hdr_combo = listBox(page, QStringLiteral("Header alignment"), barcode::alignmentNames());
  align_ftr_combo = listBox(page, QStringLiteral("Footer alignment"), barcode::alignmentNames());
  form->addRow(QStringLiteral("Header alignment :"), align_hdr_combo);
  form->addRow(QStringLiteral("Footer alignment :"), align_ftr_combo);
  return page;
}

QWidget* Barcode_Gen::buildColourPage() {
  auto* page = new QWidget(this);
  page->setAccessibleName(QStringLiteral("Colours"));
  auto* form = new QFormLayout(page);
  auto well = [&](const QString& what) {
    auto* button = new QPushButton(page);
    button->setAccessibleName(what);
    button->setFixedSize(60, 22);
    form->addRow(what + QStringLiteral(" :"), button);
    connect(button, &QPushButton::clicked, this, [this, button] { pickColour(button); });
    return button;
  };
  barcode_clr = well(QStringLiteral("Bar colour"));
  bar_back_clr = well(QStringLiteral("Background colour"));
  bar_val_clr = well(QStringLiteral("Value colour"));
  bar_hdr_clr = well(QStringLiteral("Header colour"));
  bar_ftr_clr = well(QStringLiteral("Footer colour"));
  return page;
}

QWidget* Barcode_Gen::buildMarginPage() {
  auto* page = new QWidget(this);
  page->setAccessibleName(QStringLiteral("Margins"));
  auto* box = new QGroupBox(QStringLiteral("Margins (cm)"), page);
  box->setAccessibleName(box->title());
  auto* form = new QFormLayout(box);
  auto margin = [&](const QString& what) {
    QDoubleSpinBox* spin = decimalBox(box, what + QStringLiteral(" margin"), 2, 0.05);
    form->addRow(what + QStringLiteral(" :"), spin);
    return spin;
  };
  hdr_mar_Text = margin(QStringLiteral("Header"));
  ftr_mar_Text = margin(QStringLiteral("Footer"));
  val_mar_Text = margin(QStringLiteral("Value"));
  TB_mar_Text = margin(QStringLiteral("Top and bottom"));
  LR_mar_Text = margin(QStringLiteral("Left and right"));
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(box);
  layout->addStretch(1);
  return page;
}

QWidget* Barcode_Gen::buildResolutionPage() {
  auto* page = new QWidget(this);
  page->setAccessibleName(QStringLiteral("Resolution"));
  DPI_ComboBox = listBox(page, QStringLiteral("DPI"), barcode::resolutionNames());
  dpi_Text = dialog_parts::lineEdit(page, QStringLiteral("Custom DPI"));
  auto* form = new QFormLayout(page);
  addRowWithHelp(
      form, DPI_ComboBox, QStringLiteral("DPI (Dots Per Inch) :"),
      QStringLiteral("Dots per inch is a measure of the resolution of printers in terms of Print "
                     "Quality.\n\nBigger the DPI, Better the Print Quality. But File size of image also "
                     "increases, as you choose bigger DPI."));
  form->addRow(QStringLiteral("Custom DPI :"), dpi_Text);
  page->hide();
  return page;
}

void Barcode_Gen::connectControls() {
  auto rerender = [this] {
    if (!loading_) goButtonActionPerformed();
  };
  connect(barcodeTypePopup, &QComboBox::currentIndexChanged, this, [this] { barcodeTypeChanged(); });
  for (QLineEdit* field : {dataText, HeaderText, FooterText, dpi_Text})
    connect(field, &QLineEdit::textChanged, this, rerender);
  connect(dataText_2D, &QPlainTextEdit::textChanged, this, rerender);
  for (QCheckBox* box : {hideHeaderCheckbox, hideFooterCheckbox, captionCheckbox, showinTopCheckbox})
    connect(box, &QCheckBox::toggled, this, rerender);
  // The spread choice is the program's, not the record's: every barcode drawn
  // from now on follows it, the preview first.
  connect(kerning_value_Checkbox, &QCheckBox::toggled, this, [this](bool spread) {
    Spread_Barcode_Value_Text.store(spread);
    if (!loading_) goButtonActionPerformed();
  });
  for (QComboBox* box :
       {align_hdr_combo, align_ftr_combo, qr_ec_lvl_ComboBox, qr_enc_mode_ComboBox, dm_encoding_ComboBox})
    connect(box, &QComboBox::currentIndexChanged, this, rerender);
  connect(dm_format_ComboBox, &QComboBox::currentIndexChanged, this, [this] {
    data_matrix_barcode_size_acc_format();
    if (!loading_) goButtonActionPerformed();
  });
  // The picture does not change with the orientation: it is shown again as it is.
  connect(bar_orient_combo, &QComboBox::currentIndexChanged, this, [this] {
    if (!loading_ && !preview_.isNull()) showPicture(preview_);
  });
  // Stepping the module size grows the symbol's size to the format; typing does not.
  connect(dm_moduleText_2D, &QSpinBox::valueChanged, this, [this] {
    if (loading_) return;
    if (static_cast<SteppedBox*>(dm_moduleText_2D)->stepping()) data_matrix_barcode_size_acc_format();
    goButtonActionPerformed();
  });
  connect(qr_version_ComboBox, &QComboBox::currentIndexChanged, this, [this] { qrVersionChanged(); });
  connect(DPI_ComboBox, &QComboBox::currentIndexChanged, this, [this] { resolutionChoiceChanged(); });
  for (QDoubleSpinBox* box : {HeightText, widthText, hdr_mar_Text, ftr_mar_Text, val_mar_Text, TB_mar_Text,
                              LR_mar_Text, value_font_size, header_font_size, footer_font_size})
    connect(box, &QDoubleSpinBox::valueChanged, this, rerender);
  for (QSpinBox* box : {HeightText_2D, pdf_HeightText_2D, Pdf_widthText_2D, pdf_ec_lvl_Text, pdf_row_Text,
                        pdf_col_Text, dm_widthText_2D, dm_HeightText_2D})
    connect(box, &QSpinBox::valueChanged, this, rerender);
  for (QFontComboBox* family : {value_font_family, header_font_family, footer_font_family})
    connect(family, &QFontComboBox::currentFontChanged, this, [this, family](const QFont& font) {
      if (loading_) return;
      family->setProperty(kFontNameProperty, platform::postScriptNameForFont(font));
      goButtonActionPerformed();
    });
  connect(Data_source_type, &QComboBox::activated, this, [this] { dataSourceChanged(); });
  connect(Batch_Series, &QComboBox::activated, this, [this] { batchSeriesChosen(); });
  connect(view_series_btn, &QPushButton::clicked, this, [this] {
    if (Data_source_type->currentIndex() == 2)
      Data_From_Excel::defaultInstance().Open_Wnd();
    else
      View_Data_Series::defaultInstance().Open_Wnd(Batch_Series->currentText());
    // A cell corrected in the spreadsheet window is card 1's value from now on.
    if (!showsBoundValue()) return;
    showValue(boundFirstValue());
    goButtonActionPerformed();
  });
  connect(ok_button, &QPushButton::clicked, this, &Barcode_Gen::OK_Btn_Clicked);
  connect(cancel_button, &QPushButton::clicked, this, &Barcode_Gen::Cancel_Btn_Clicked);
}

// ---- Settings in and out --------------------------------------------------------------

void Barcode_Gen::loadSettings(const BarcodeSettings& raw) {
  const bool wasLoading = loading_;
  loading_ = true;
  const BarcodeSettings s = raw;
  barcodeTypePopup->setCurrentIndex(
      s.barcode_font_index >= 0 && s.barcode_font_index < barcodeTypePopup->count() ? s.barcode_font_index
                                                                                    : 0);
  dataText->setText(s.linear_font_val);
  setValue2D(s.two_d_font_val);
  HeaderText->setText(s.header_val);
  FooterText->setText(s.footer_val);
  hideHeaderCheckbox->setChecked(s.show_hide_hdr == 1);
  hideFooterCheckbox->setChecked(s.show_hide_ftr == 1);
  captionCheckbox->setChecked(s.show_hide_val == 1);
  showinTopCheckbox->setChecked(s.show_val_on_top != 0);
  align_hdr_combo->setCurrentIndex(s.align_hdr_index);
  align_ftr_combo->setCurrentIndex(s.align_ftr_index);
  HeightText->setValue(s.linear_height_val);
  widthText->setValue(s.linear_width_val);
  HeightText_2D->setValue(s.qr_size_val);
  qr_version_ComboBox->setCurrentIndex(s.qr_version_index);
  qr_ec_lvl_ComboBox->setCurrentIndex(s.qr_ec_index);
  pdf_HeightText_2D->setValue(s.pdf_hgt_val);
  Pdf_widthText_2D->setValue(s.pdf_wdt_val);
  pdf_ec_lvl_Text->setValue(s.pdf_ec_val);
  dm_moduleText_2D->setValue(s.dm_module_val);
  dm_format_ComboBox->setCurrentIndex(s.dm_format_index);
  dm_encoding_ComboBox->setCurrentIndex(s.dm_encoding_index);
  hdr_mar_Text->setValue(s.hdr_margin_val);
  ftr_mar_Text->setValue(s.ftr_margin_val);
  val_mar_Text->setValue(s.val_margin_val);
  TB_mar_Text->setValue(s.TB_marging_val);
  LR_mar_Text->setValue(s.LR_margin_val);
  auto loadFont = [](const barcode::BarcodeFont& font, QFontComboBox* family, QDoubleSpinBox* size) {
    family->setCurrentFont(font.toQFont());
    family->setProperty(kFontNameProperty, font.name);
    size->setValue(font.size);
  };
  loadFont(s.value_font_val, value_font_family, value_font_size);
  loadFont(s.header_font_val, header_font_family, header_font_size);
  loadFont(s.footer_font_val, footer_font_family, footer_font_size);
  setWellColour(bar_hdr_clr, s.barcode_hdr_clr_val);
  setWellColour(bar_ftr_clr, s.barcode_ftr_clr_val);
  setWellColour(bar_val_clr, s.barcode_val_clr_val);
  setWellColour(bar_back_clr, s.barcode_back_clr_val);
  setWellColour(barcode_clr, s.barcode_clr_val);
  DPI_ComboBox->setCurrentIndex(s.dpi_val_index);
  // The custom resolution is read back on every load.
  dpi_Text->setText(s.dpi_custom_val);
  resolutionChoiceChanged();
  showModeControls();
  updateFontLabels();
  loading_ = wasLoading;
  if (!loading_) goButtonActionPerformed();
}

BarcodeSettings Barcode_Gen::settings() const {
  BarcodeSettings s;
  s.barcode_font_index = barcodeTypePopup->currentIndex();
  s.linear_or_2d = s.isTwoD() ? 1 : 0;
  s.linear_font_val = dataText->text();
  s.two_d_font_val = value2D();
  s.header_val = HeaderText->text();
  s.footer_val = FooterText->text();
  s.show_hide_hdr = hideHeaderCheckbox->isChecked() ? 1 : 0;
  s.show_hide_ftr = hideFooterCheckbox->isChecked() ? 1 : 0;
  s.show_hide_val = captionCheckbox->isChecked() ? 1 : 0;
  s.show_val_on_top = showinTopCheckbox->isChecked() ? 1 : 0;
  s.align_hdr_index = align_hdr_combo->currentIndex();
  s.align_ftr_index = align_ftr_combo->currentIndex();
  s.linear_height_val = static_cast<float>(HeightText->value());
  s.linear_width_val = static_cast<float>(widthText->value());
  s.qr_size_val = HeightText_2D->value();
  s.qr_version_index = qr_version_ComboBox->currentIndex();
  s.qr_ec_index = qr_ec_lvl_ComboBox->currentIndex();
  s.pdf_hgt_val = pdf_HeightText_2D->value();
  s.pdf_wdt_val = Pdf_widthText_2D->value();
  s.pdf_ec_val = pdf_ec_lvl_Text->value();
  s.dm_module_val = dm_moduleText_2D->value();
  s.dm_format_index = dm_format_ComboBox->currentIndex();
  s.dm_encoding_index = dm_encoding_ComboBox->currentIndex();
  s.hdr_margin_val = static_cast<float>(hdr_mar_Text->value());
  s.ftr_margin_val = static_cast<float>(ftr_mar_Text->value());
  s.val_margin_val = static_cast<float>(val_mar_Text->value());
  s.TB_marging_val = static_cast<float>(TB_mar_Text->value());
  s.LR_margin_val = static_cast<float>(LR_mar_Text->value());
  auto font = [](const QFontComboBox* family, const QDoubleSpinBox* size) {
    return barcode::BarcodeFont{family->property(kFontNameProperty).toString(), size->value()};
  };
  s.value_font_val = font(value_font_family, value_font_size);
  s.header_font_val = font(header_font_family, header_font_size);
  s.footer_font_val = font(footer_font_family, footer_font_size);
  s.barcode_hdr_clr_val = wellColour(bar_hdr_clr);
  s.barcode_ftr_clr_val = wellColour(bar_ftr_clr);
  s.barcode_val_clr_val = wellColour(bar_val_clr);
  s.barcode_back_clr_val = wellColour(bar_back_clr);
  s.barcode_clr_val = wellColour(barcode_clr);
  s.dpi_val_index = DPI_ComboBox->currentIndex();
  s.dpi_custom_val = dpi_Text->text();
  return s;
}

void Barcode_Gen::Set_Barcode_Prop_To_Control(SKTGraphic* object) {
  pass_barcode_control = object;
  if (object == nullptr) return;
  const bool wasLoading = loading_;
  loading_ = true;
  loadSettings(barcode::barcodeSettingsOf(*object));
  loadBinding(*object);
  loading_ = wasLoading;
}

int Barcode_Gen::Open_Wnd(SKTGraphic* object) {
  Barcode_output_image = QImage();
  objectRemoved_ = false;
  if (object == nullptr) return 0;
  const bool spreadBefore = Spread_Barcode_Value_Text.load();
  try {
    Set_Barcode_Prop_To_Control(object);
    showSpreadChoice(spreadBefore);
    goButtonActionPerformed();
  } catch (const std::exception& e) {
    loading_ = false;
    Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
  }
  const int code = platform::messageHost().runModal(*this) == 1 ? 1 : 0;
  hide();
  pass_barcode_control = nullptr;
  if (code != 1) {
    Barcode_output_image = QImage();
    // Closing without OK changes nothing, the spread choice included.
    showSpreadChoice(spreadBefore);
  } else if (Spread_Barcode_Value_Text.load() != spreadBefore) {
    // The choice OK accepted holds in the next runs of the program too.
    barcode::keepSpreadChoice(Spread_Barcode_Value_Text.load());
  }
  return code;
}

void Barcode_Gen::showSpreadChoice(bool spread) {
  const bool wasLoading = loading_;
  loading_ = true;
  kerning_value_Checkbox->setChecked(spread);
  Spread_Barcode_Value_Text.store(spread);
  loading_ = wasLoading;
}

// ---- Buttons ------------------------------------------------------------------------

void Barcode_Gen::objectRemoved() {
  objectRemoved_ = true;
  pass_barcode_control = nullptr;
}

void Barcode_Gen::OK_Btn_Clicked() {
  if (objectRemoved_) {
    platform::messageHost().showMessage(QStringLiteral(
        "The barcode was removed from the card while the designer was open; nothing was changed."));
    return Cancel_Btn_Clicked();
  }
  // A bound object whose first card has no value shows no barcode, as that card does.
  const bool blankCard = currentValue().isEmpty() && showsBoundValue();
  if (!blankCard && !checkValue()) return;
  const BarcodeSettings s = settings();
  const QString outside = barcode::outOfRangeMessage(s);
  if (!outside.isEmpty()) {
    platform::messageHost().showMessage(QStringLiteral("\n") + outside);
    return;
  }
  if (blankCard) {
    Barcode_output_image = barcode::blankCardPicture(*pass_barcode_control);
    done(1);
    return;
  }
  const barcode::BarcodeRender r = barcode::render(s, currentValue(), s.header_val, s.footer_val);
  if (!r.ok()) {
    setBlankImage(r.error);
    return;
  }
  showPicture(r.picture);
  Barcode_output_image = barcode::cardImage(r.picture, barcode::resolutionDpi(s));
  done(1);
}

void Barcode_Gen::Cancel_Btn_Clicked() {
  Barcode_output_image = QImage();
  done(0);
}

// ---- Handlers -----------------------------------------------------------------------

void Barcode_Gen::barcodeTypeChanged() {
  showModeControls();
  if (loading_) return;
  // A bound object shows its first value in the value field of either kind.
  if (Data_source_type->currentIndex() != 0 && Batch_Series->currentIndex() >= 0) {
    loading_ = true;
    showValue(boundFirstValue());
    loading_ = false;
  }
  if (currentValue().isEmpty() && !showsBoundValue()) {
    platform::messageHost().showMessage(QStringLiteral("\nPlease enter barcode value"));
    setBlankImage(QStringLiteral("Please enter barcode value"));
    return;
  }
  goButtonActionPerformed();
}

// Linear or 2D controls, the option box of the symbology, and the resolution
// page for 2D symbologies only.
void Barcode_Gen::showModeControls() {
  const QString name = barcodeTypePopup->currentText();
  const bool twoD = barcode::isTwoDSymbology(name);
  dataText->setVisible(!twoD);
  dataText_2D->setVisible(twoD);
  linear_sett_box->setVisible(!twoD);
  two_d_sett_box->setVisible(name == QLatin1String("QR Code"));
  pdf_2d_sett_box->setVisible(name == QLatin1String("PDF417"));
  dm_2d_sett_box->setVisible(name == QLatin1String("DataMatrix"));
  kerning_value_Checkbox->setEnabled(!twoD && !piecewiseValueText(name));
  // A 2D symbol is drawn black on white without its value text: the value's
  // font, margin and colour and the bar and background colours do not apply.
  for (QWidget* w :
       std::initializer_list<QWidget*>{val_mar_Text, value_font_family, value_font_size, value_font_value,
                                       bar_val_clr, barcode_clr, bar_back_clr}) {
    w->setEnabled(!twoD);
    if (auto* form = qobject_cast<QFormLayout*>(w->parentWidget()->layout()))
      if (QWidget* label = form->labelForField(w)) label->setEnabled(!twoD);
  }
  const int dpiTab = sett_tab->indexOf(dpi_tab_item);
  if (twoD && dpiTab < 0) {
    sett_tab->addTab(dpi_tab_item, QStringLiteral("Resolution"));
  } else if (!twoD && dpiTab >= 0) {
    sett_tab->removeTab(dpiTab);
    dpi_tab_item->hide();
    sett_tab->setCurrentIndex(0);
  }
}

// The QR size is at least the module count of the chosen version.
void Barcode_Gen::qrVersionChanged() {
  const int v = qr_version_ComboBox->currentIndex();
  const int minimum = std::max(BarcodeLimits::kQrSizeMin, 21 + 4 * (v - 1));
  if (HeightText_2D->value() < minimum) HeightText_2D->setValue(minimum);
  if (!loading_) goButtonActionPerformed();
}

void Barcode_Gen::data_matrix_barcode_size_acc_format() {
  const QString format = dm_format_ComboBox->currentText();
  if (format == QLatin1String("Auto")) return;
  // "C<rows>X<columns>"
  const QString size = format.mid(1);
  const qsizetype x = size.indexOf(QLatin1Char('X'));
  const int rows = x < 0 ? 0 : size.left(x).trimmed().toInt();
  const int columns = x < 0 ? 0 : size.mid(x + 1).trimmed().toInt();
  const int module = dm_moduleText_2D->value();
  const bool wasLoading = loading_;
  loading_ = true;  // one render follows, by the caller
  if (dm_widthText_2D->value() < columns * module) dm_widthText_2D->setValue(columns * module);
  if (dm_HeightText_2D->value() < rows * module) dm_HeightText_2D->setValue(rows * module);
  loading_ = wasLoading;
}

void Barcode_Gen::resolutionChoiceChanged() {
  const bool custom = DPI_ComboBox->currentText() == QLatin1String("Custom");
  dpi_Text->setEnabled(custom);
  if (!loading_) goButtonActionPerformed();
}

void Barcode_Gen::pickColour(QPushButton* well) {
  QColorDialog dialog(wellColour(well), this);
  dialog.setAccessibleName(QStringLiteral("Colour"));
  dialog.setOption(QColorDialog::ShowAlphaChannel, true);
  if (platform::messageHost().runModal(dialog) != 1) return;
  setWellColour(well, dialog.currentColor());
  goButtonActionPerformed();
}

void Barcode_Gen::updateFontLabels() {
  const BarcodeSettings s = settings();
  value_font_value->setText(fontDescription(s.value_font_val));
  header_font_value->setText(fontDescription(s.header_font_val));
  footer_font_value->setText(fontDescription(s.footer_font_val));
}

// A control with a help button on its right; the button shows the title and text.
void Barcode_Gen::addRowWithHelp(QFormLayout* form, QWidget* control, const QString& title,
                                 const QString& text) {
  auto* help = dialog_parts::button(control->parentWidget(), QStringLiteral("?"));
  help->setAccessibleName(QStringLiteral("Help on ") + title);
  help->setFixedWidth(28);
  auto* row = new QHBoxLayout;
  row->addWidget(control, 1);
  row->addWidget(help);
  form->addRow(title, row);
  connect(help, &QPushButton::clicked, this, [this, title, text] { showHelp(title, text); });
}

void Barcode_Gen::showHelp(const QString& title, const QString& text) {
  Set_Cutom_Msg_Title(title);
  Set_Cutom_Msg_Val(text);
  Long_SMS_Dlg::defaultInstance().Open_Long_sms_Dialog();
}

QColor Barcode_Gen::wellColour(const QPushButton* well) const {
  return well->property(kColourProperty).value<QColor>();
}

void Barcode_Gen::setWellColour(QPushButton* well, const QColor& colour) {
  well->setProperty(kColourProperty, colour);
  // A well that does not apply (2D symbols) shows no colour.
  well->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: 1px solid #606060; }"
                                     "QPushButton:disabled { background-color: transparent; "
                                     "border: 1px dashed #a0a0a0; }")
                          .arg(colour.name(QColor::HexArgb)));
  well->setToolTip(colour.name(QColor::HexArgb));
}

// ---- Data source --------------------------------------------------------------------

void Barcode_Gen::setValueEditable(bool editable) {
  dataText->setReadOnly(!editable);
  dataText_2D->setReadOnly(!editable);
}

// The series names or the spreadsheet's column titles, with the object's
// binding selected (a series by its name, a column only while the object is
// bound to one; no other column is taken for a choice).
void Barcode_Gen::fillBatchSeries(int sourceType) {
  Batch_Series->clear();
  Batch_Series->setEnabled(sourceType != 0);
  view_series_btn->setEnabled(sourceType != 0);
  setValueEditable(sourceType == 0);
  shownSourceType_ = sourceType;
  if (sourceType == 1) {
    Batch_Series->addItems(DataSeriesStore().Get_datasheet_File_Name_Array());
    const int at = pass_barcode_control ? Batch_Series->findText(pass_barcode_control->batch_list_name) : -1;
    Batch_Series->setCurrentIndex(at);
  } else if (sourceType == 2) {
    Batch_Series->addItems(Data_From_Excel_Table().columnTitles());
    const bool bound = pass_barcode_control && pass_barcode_control->data_source_type == 2;
    Batch_Series->setCurrentIndex(bound ? pass_barcode_control->excel_col_indx : -1);
  }
}

void Barcode_Gen::loadBinding(const SKTGraphic& object) {
  const int type = object.data_source_type >= 0 && object.data_source_type <= 2 ? object.data_source_type : 0;
  Data_source_type->setCurrentIndex(type);
  fillBatchSeries(type);
}

void Barcode_Gen::dataSourceChanged() {
  const int type = Data_source_type->currentIndex();
  if (type == 1 && DataSeriesStore().Get_datasheet_File_Name_Array().isEmpty()) {
    platform::messageHost().showMessage(QStringLiteral("\nPlease create batch processing series first."));
    Data_source_type->setCurrentIndex(shownSourceType_);
    return;
  }
  fillBatchSeries(type);
  // "Manual" takes the value shown. A series or a column binds the object only
  // together with its first value in the value field: the object's own series
  // or column at once, any other once it is chosen. Until then the object
  // keeps its source and the value it shows.
  if (type == 0 && pass_barcode_control) pass_barcode_control->Set_Data_source_type(0);
  if (type != 0 && Batch_Series->currentIndex() >= 0)
    batchSeriesChosen();
  else
    goButtonActionPerformed();
}

void Barcode_Gen::batchSeriesChosen() {
  const QString title = Batch_Series->currentText().trimmed();
  const int index = Batch_Series->currentIndex();
  if (title.isEmpty() || pass_barcode_control == nullptr) return;
  const int type = Data_source_type->currentIndex();
  if (type != 1 && type != 2) return;
  pass_barcode_control->Set_Data_source_type(type);
  if (type == 2) {
    pass_barcode_control->Set_Excel_binding_Index(index);
  } else {
    pass_barcode_control->Set_Batch_List_Name(title);
    pass_barcode_control->Set_Batch_List_Index(index);
  }
  showValue(boundFirstValue());
  goButtonActionPerformed();
  cardHost().Refresh_Canvas();
}

// Card 1's value of the chosen series or column, as a run fills the object with it.
QString Barcode_Gen::boundFirstValue() const {
  if (Data_source_type->currentIndex() == 2)
    return DataSeriesStore::filledValue(Data_From_Excel_Table().value(0, Batch_Series->currentIndex()));
  return DataSeriesStore().Get_First_Value_Of_Dataset(Batch_Series->currentText().trimmed());
}

bool Barcode_Gen::showsBoundValue() const {
  const int type = Data_source_type->currentIndex();
  return pass_barcode_control != nullptr && (type == 1 || type == 2) && Batch_Series->currentIndex() >= 0 &&
         pass_barcode_control->data_source_type == type;
}

void Barcode_Gen::showValue(const QString& value) {
  if (barcode::isTwoDSymbology(barcodeTypePopup->currentText()))
    setValue2D(value);
  else
    dataText->setText(value);
}

// ---- Preview ------------------------------------------------------------------------

QString Barcode_Gen::currentValue() const {
  return barcode::isTwoDSymbology(barcodeTypePopup->currentText()) ? value2D() : dataText->text();
}

namespace {

// The text of the 2D value field, its line ends (an Enter, a Shift+Enter) as
// line feeds, every other character as typed (a no-break space stays one).
QString fieldText(const QPlainTextEdit* field) {
  QString text = field->document()->toRawText();
  for (QChar& c : text)
    if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) c = QLatin1Char('\n');
  return text;
}

}  // namespace

void Barcode_Gen::setValue2D(const QString& value) {
  exactValue2D_ = value;
  shownValue2D_.reset();
  dataText_2D->setPlainText(value);
  shownValue2D_ = fieldText(dataText_2D);
}

QString Barcode_Gen::value2D() const {
  const QString shown = fieldText(dataText_2D);
  return !shownValue2D_ || shown == *shownValue2D_ ? exactValue2D_ : shown;
}

// The value must not be empty; a linear symbology takes plain ASCII only (the
// 2D ones take any text whose bytes fit, which the renderer answers).
bool Barcode_Gen::checkValue() {
  barcode_error_label->hide();
  const QString value = currentValue();
  const QString symbology = barcodeTypePopup->currentText();
  const QString refusal =
      barcode::isTwoDSymbology(symbology) ? QString() : barcode::linearCharacterRefusal(symbology, value);
  if (!refusal.isEmpty()) {
    setBlankImage(refusal);
    return false;
  }
  if (value.isEmpty()) {
    setBlankImage(showsBoundValue() ? QStringLiteral("The first card has no value: it shows no barcode.")
                                    : QStringLiteral("Please enter barcode value"));
    return false;
  }
  return true;
}

void Barcode_Gen::goButtonActionPerformed() {
  if (loading_) return;
  updateFontLabels();
  if (!checkValue()) return;
  const BarcodeSettings s = settings();
  const QString outside = barcode::outOfRangeMessage(s);
  if (!outside.isEmpty()) {
    setBlankImage(outside);
    return;
  }
  const barcode::BarcodeRender r = barcode::render(s, currentValue(), s.header_val, s.footer_val);
  if (r.ok())
    showPicture(r.picture);
  else
    setBlankImage(r.error);
}

void Barcode_Gen::setBlankImage(const QString& error) {
  preview_ = barcode::BarcodePicture();
  barcodeImage->setPixmap(QPixmap());
  barcode_error_label->setText(error);
  barcode_error_label->show();
}

void Barcode_Gen::showPicture(const barcode::BarcodePicture& picture) {
  preview_ = picture;
  const double ratio = devicePixelRatioF() > 0 ? devicePixelRatioF() : 1.0;
  QImage image = picture.toImage(72.0 * ratio);
  image.setDevicePixelRatio(ratio);
  barcodeImage->setPixmap(QPixmap::fromImage(image));
  barcode_error_label->hide();
}

QString Barcode_Gen::errorText() const {
  return barcode_error_label->text();
}

bool Barcode_Gen::errorShown() const {
  return !barcode_error_label->isHidden();
}
