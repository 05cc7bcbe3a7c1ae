#pragma once
// Barcode_Gen: the barcode designer dialog. It configures one barcode card
// object at a time: symbology, value, header and footer, fonts, colours,
// sizes, margins, the QR Code, PDF417 and Data Matrix options, the resolution
// of the card picture (2D symbologies) and the object's data source.
//
// The controls edit a barcode settings record; every change renders a
// preview through the one renderer (BarcodeRenderer.h), as the cards draw it.
// A linear symbology takes a value of plain ASCII characters, QR Code, PDF417
// and DataMatrix any text whose bytes fit; a refused value blanks the preview
// and the line under it says why. OK checks the value
// and the limits, keeps the rendered card picture in Barcode_output_image and
// ends with code 1; the caller then writes settings() into its objects. A
// bound object shows card 1's value; when that card has none, OK gives it a
// blank picture, as the card shows no barcode.
// Cancel ends with code 0 and changes no setting. The data-source controls
// write the object's binding once a series or column is chosen (series by
// name, spreadsheet column by index) and when "Manual" is chosen; that
// binding stays whichever button closes the dialog, and the caller has the
// object show the value card 1 takes with it. The "spread value text" box is the designer's own state for
// the whole program (Spread_Barcode_Value_Text): OK keeps what it shows in
// force for every barcode drawn afterwards and stores it for the next runs
// (barcode/SpreadChoice.h), Cancel puts back the choice in force when the
// dialog opened.

#include <QDialog>
#include <QImage>
#include <QPointer>
#include <optional>

#include "barcode/BarcodePicture.h"
#include "barcode/designer/BarcodeSettings.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFontComboBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QTabWidget;
class QWidget;
class SKTGraphic;

class Barcode_Gen : public QDialog {
  Q_OBJECT

 public:
  // The one dialog, made on first use (GUI thread).
  static Barcode_Gen& defaultInstance();

  // Loads the object's settings and binding, renders the preview and runs the
  // dialog modally through the message host: 1 for OK, 0 for Cancel. The
  // object must stay alive while the dialog runs.
  int Open_Wnd(SKTGraphic* object);
  // Loads the object's settings and binding into the controls (no preview).
  void Set_Barcode_Prop_To_Control(SKTGraphic* object);
  // The record the controls hold now.
  barcode::BarcodeSettings settings() const;
  // Loads a record into the controls and renders the preview.
  void loadSettings(const barcode::BarcodeSettings& settings);

  // The card picture OK accepted (null until then, and after Cancel).
  QImage Barcode_output_image;

  // The object being edited left the card while the dialog runs (a script
  // removed it): nothing is written into it any more, and OK says so and
  // ends the dialog as Cancel does.
  void objectRemoved();

  // Actions.
  void OK_Btn_Clicked();
  void Cancel_Btn_Clicked();
  // Escape and the window's close button answer as Cancel does.
  void reject() override { Cancel_Btn_Clicked(); }
  // Renders the preview from the controls.
  void goButtonActionPerformed();

  // Grows the Data Matrix width and height to the chosen format's columns and
  // rows times the module size ("Auto" changes nothing; nothing shrinks).
  void data_matrix_barcode_size_acc_format();

  // The preview as last rendered (null when the value could not be drawn).
  const barcode::BarcodePicture& previewPicture() const { return preview_; }
  QString errorText() const;
  bool errorShown() const;

  // Controls (owned by the dialog), named as the settings they edit.
  QComboBox* barcodeTypePopup = nullptr;
  QLineEdit* dataText = nullptr;
  QPlainTextEdit* dataText_2D = nullptr;
  QLineEdit* HeaderText = nullptr;
  QLineEdit* FooterText = nullptr;
  QCheckBox* hideHeaderCheckbox = nullptr;
  QCheckBox* hideFooterCheckbox = nullptr;
  QCheckBox* captionCheckbox = nullptr;
  QCheckBox* showinTopCheckbox = nullptr;
  QCheckBox* kerning_value_Checkbox = nullptr;
  QComboBox* bar_orient_combo = nullptr;
  QComboBox* align_hdr_combo = nullptr;
  QComboBox* align_ftr_combo = nullptr;
  QDoubleSpinBox* HeightText = nullptr;
  QDoubleSpinBox* widthText = nullptr;
  QSpinBox* HeightText_2D = nullptr;
  QComboBox* qr_version_ComboBox = nullptr;
  QComboBox* qr_ec_lvl_ComboBox = nullptr;
  QComboBox* qr_enc_mode_ComboBox = nullptr;
  QSpinBox* pdf_HeightText_2D = nullptr;
  QSpinBox* Pdf_widthText_2D = nullptr;
  QSpinBox* pdf_ec_lvl_Text = nullptr;
  QSpinBox* pdf_row_Text = nullptr;
  QSpinBox* pdf_col_Text = nullptr;
  QSpinBox* dm_moduleText_2D = nullptr;
  QSpinBox* dm_widthText_2D = nullptr;
  QSpinBox* dm_HeightText_2D = nullptr;
  QComboBox* dm_format_ComboBox = nullptr;
  QComboBox* dm_encoding_ComboBox = nullptr;
  QDoubleSpinBox* hdr_mar_Text = nullptr;
  QDoubleSpinBox* ftr_mar_Text = nullptr;
  QDoubleSpinBox* val_mar_Text = nullptr;
  QDoubleSpinBox* TB_mar_Text = nullptr;
  QDoubleSpinBox* LR_mar_Text = nullptr;
  QFontComboBox* value_font_family = nullptr;
  QFontComboBox* header_font_family = nullptr;
  QFontComboBox* footer_font_family = nullptr;
  QDoubleSpinBox* value_font_size = nullptr;
  QDoubleSpinBox* header_font_size = nullptr;
  QDoubleSpinBox* footer_font_size = nullptr;
  QLabel* value_font_value = nullptr;
  QLabel* header_font_value = nullptr;
  QLabel* footer_font_value = nullptr;
  QPushButton* bar_hdr_clr = nullptr;
  QPushButton* bar_ftr_clr = nullptr;
  QPushButton* bar_val_clr = nullptr;
  QPushButton* bar_back_clr = nullptr;
  QPushButton* barcode_clr = nullptr;
  QComboBox* DPI_ComboBox = nullptr;
  QLineEdit* dpi_Text = nullptr;
  QComboBox* Data_source_type = nullptr;
  QComboBox* Batch_Series = nullptr;
  QPushButton* view_series_btn = nullptr;
  QTabWidget* sett_tab = nullptr;
  QWidget* dpi_tab_item = nullptr;
  QGroupBox* linear_sett_box = nullptr;
  QGroupBox* two_d_sett_box = nullptr;
  QGroupBox* pdf_2d_sett_box = nullptr;
  QGroupBox* dm_2d_sett_box = nullptr;
  QLabel* barcodeImage = nullptr;
  QLabel* barcode_error_label = nullptr;
  QPushButton* ok_button = nullptr;
  QPushButton* cancel_button = nullptr;

 private:
  explicit Barcode_Gen(QWidget* parent = nullptr);
  void buildControls();
  QWidget* buildBarcodePage();
  QWidget* buildTextPage();
  QWidget* buildColourPage();
  QWidget* buildMarginPage();
  QWidget* buildResolutionPage();
  void connectControls();

  // Handlers.
  void barcodeTypeChanged();
  void showModeControls();
  void qrVersionChanged();
  void resolutionChoiceChanged();
  void dataSourceChanged();
  void batchSeriesChosen();
  QString boundFirstValue() const;
  // Whether the value field shows the value of the series or column the
  // object is bound to (card 1's), not a typed one.
  bool showsBoundValue() const;
  void showValue(const QString& value);
  void pickColour(QPushButton* well);
  // The spread box shows the choice, which is put in force without a preview.
  void showSpreadChoice(bool spread);
  void updateFontLabels();
  void showHelp(const QString& title, const QString& text);
  void addRowWithHelp(QFormLayout* form, QWidget* control, const QString& title, const QString& text);

  // Data source.
  void fillBatchSeries(int sourceType);
  void setValueEditable(bool editable);
  void loadBinding(const SKTGraphic& object);

  // The 2D value exactly as loaded or bound (line ends and every character
  // kept, which the field itself does not keep), or as typed once edited.
  void setValue2D(const QString& value);
  QString value2D() const;

  // Preview.
  QString currentValue() const;
  bool checkValue();
  void setBlankImage(const QString& error);
  void showPicture(const barcode::BarcodePicture& picture);

  QColor wellColour(const QPushButton* well) const;
  void setWellColour(QPushButton* well, const QColor& colour);

  SKTGraphic* pass_barcode_control = nullptr;
  bool objectRemoved_ = false;
  bool loading_ = false;
  int shownSourceType_ = 0;
  barcode::BarcodePicture preview_;
  QString exactValue2D_;
  // What the field showed for exactValue2D_ (none while it is being set).
  std::optional<QString> shownValue2D_;
  QScrollArea* image_scroll = nullptr;
};
