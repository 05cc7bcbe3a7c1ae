#include "production/print/Print_Wnd.h"

#include <QAction>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <limits>
#include <optional>
#include <vector>

#include "core/CardHost.h"
#include "core/PictureFile.h"
#include "platform/MessageHost.h"
#include "platform/Messages.h"
#include "platform/ResourceFolder.h"
#include "platform/globals.h"
#include "platform/widgets/Controls.h"
#include "platform/widgets/DialogLook.h"
#include "platform/widgets/DialogSingleton.h"
#include "production/DataBinding.h"
#include "production/globals.h"
#include "production/print/PrintFileTarget.h"
#include "production/print/Printers.h"
#include "production/print/Sample_Preview.h"
#include "production/print/SheetDrawing.h"

using production::SheetLayout;

namespace {

// The nine alignment positions, row by row from the top left: their
// accessible names and their pictures (normal, selected) in the resource folder.
struct AlignmentButton {
  const char* name;
  const char* normal;
  const char* selected;
};
const AlignmentButton kAlignments[9] = {
    {QT_TR_NOOP("Top left"), "top_left", "top_left - sel"},
    {QT_TR_NOOP("Top centre"), "top_center", "top_center - sel"},
    {QT_TR_NOOP("Top right"), "top_right", "top_right - sel"},
    {QT_TR_NOOP("Middle left"), "middle_left", "middle_left - sel"},
    {QT_TR_NOOP("Centre"), "middle_center", "middle_center_sel"},
    {QT_TR_NOOP("Middle right"), "middle_right", "middle_right - sel"},
    {QT_TR_NOOP("Bottom left"), "bootom_left", "bootom_left - sel"},
    {QT_TR_NOOP("Bottom centre"), "bootom_center", "bootom_center - sel"},
    {QT_TR_NOOP("Bottom right"), "boottom_right", "boottom_right - sel"},
};

constexpr int kMaxTotal = 999999;
const QString kNoCardsMessage = QStringLiteral("There is no barcode to print.");
const QString kPaperQuestion = QStringLiteral(
    "'Card Size' is bigger than selected 'Paper Size' or drawn label may be out of margin area.\n\nDo you "
    "want to continue?");

QIcon resourcePicture(const QString& name) {
  const QString file = name + QStringLiteral(".png");
  QString path = resourceFilePath(file);
  if (!QFileInfo::exists(path)) path = platform::shippedResourcesFolder() + QLatin1Char('/') + file;
  const QImage picture = loadPictureFile(path);
  return picture.isNull() ? QIcon() : QIcon(QPixmap::fromImage(picture));
}

QDoubleSpinBox* millimetres(QWidget* parent, double minimum, double maximum, const QString& name) {
  auto* box = new QDoubleSpinBox(parent);
  box->setRange(minimum, maximum);
  box->setDecimals(2);
  box->setSingleStep(0.5);
  box->setSuffix(QStringLiteral(" mm"));
  box->setKeyboardTracking(false);
  box->setAccessibleName(name);
  return box;
}

// A scroll area that asks for room for all of its content, so that the
// dialog opens showing everything where the screen allows, and scrolls only
// where it does not.
class WholeContentScroll : public QScrollArea {
 public:
  using QScrollArea::QScrollArea;
  QSize sizeHint() const override {
    if (widget() == nullptr) return QScrollArea::sizeHint();
    const int frame = 2 * frameWidth();
    return widget()->sizeHint() + QSize(frame + verticalScrollBar()->sizeHint().width(), frame);
  }
  // As wide as the content, never cutting it off at the side; as low as a scroll area may be.
  QSize minimumSizeHint() const override {
    return {sizeHint().width(), QScrollArea::minimumSizeHint().height()};
  }
  // The content's size changes (fonts, texts) change these sizes too.
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == widget() && event->type() == QEvent::LayoutRequest) updateGeometry();
    return QScrollArea::eventFilter(watched, event);
  }
};

QSpinBox* count(QWidget* parent, int minimum, int maximum, const QString& name) {
  auto* box = new QSpinBox(parent);
  box->setRange(minimum, maximum);
  box->setKeyboardTracking(false);
  box->setAccessibleName(name);
  return box;
}

QLabel* valueLabel(QWidget* parent, const QString& name) {
  auto* label = new QLabel(parent);
  label->setAccessibleName(name);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

template <typename Box, typename Value>
void setQuietly(Box* box, Value value) {
  const QSignalBlocker block(box);
  box->setValue(value);
}

QString twoDecimals(float points) {
  return QString::asprintf("%0.2f", static_cast<double>(production::Points_to_MM_Convert(points)));
}

}  // namespace

Print_Wnd& Print_Wnd::defaultInstance() {
  return platform::dialogSingleton<Print_Wnd>([] { return new Print_Wnd(); });
}

Print_Wnd::Print_Wnd() : printInfo_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
  setWindowTitle(tr("Print"));
  setAccessibleName(tr("Print"));
  setObjectName(QStringLiteral("Print_Wnd"));
  platform::applyDialogLook(*this);
  printInfo_->setFullPage(true);
  buildControls();
  loadAlignmentPictures();
}

Print_Wnd::~Print_Wnd() = default;

void Print_Wnd::buildControls() {
  auto* printerBox = new QGroupBox(tr("Printer"), this);
  auto* printerForm = new QFormLayout(printerBox);
  Printer_ComboBox = new QComboBox(printerBox);
  Printer_ComboBox->setAccessibleName(tr("Printer"));
  Orient_ComboBox = new QComboBox(printerBox);
  Orient_ComboBox->addItems({QStringLiteral("Portrait"), QStringLiteral("Landscape")});
  Orient_ComboBox->setAccessibleName(tr("Orientation"));
  pageSetupButton = new QPushButton(tr("Page Setup…"), printerBox);
  pageSetupButton->setAccessibleName(tr("Page Setup"));
  Paper_id = valueLabel(printerBox, tr("Paper"));
  Size_id = valueLabel(printerBox, tr("Paper size"));
  l_mar_id = valueLabel(printerBox, tr("Left margin"));
  r_mar_id = valueLabel(printerBox, tr("Right margin"));
  t_mar_id = valueLabel(printerBox, tr("Top margin"));
  b_mar_id = valueLabel(printerBox, tr("Bottom margin"));
  auto* margins = new QGridLayout;
  margins->addWidget(new QLabel(tr("Left"), printerBox), 0, 0);
  margins->addWidget(l_mar_id, 0, 1);
  margins->addWidget(new QLabel(tr("Right"), printerBox), 0, 2);
  margins->addWidget(r_mar_id, 0, 3);
  margins->addWidget(new QLabel(tr("Top"), printerBox), 1, 0);
  margins->addWidget(t_mar_id, 1, 1);
  margins->addWidget(new QLabel(tr("Bottom"), printerBox), 1, 2);
  margins->addWidget(b_mar_id, 1, 3);
  printerForm->addRow(tr("Printer:"), Printer_ComboBox);
  printerForm->addRow(tr("Orientation:"), Orient_ComboBox);
  printerForm->addRow(QString(), pageSetupButton);
  printerForm->addRow(tr("Paper:"), Paper_id);
  printerForm->addRow(tr("Size (mm):"), Size_id);
  printerForm->addRow(tr("Margins (mm):"), margins);

  auto* cardBox = new QGroupBox(tr("Cards on the sheet"), this);
  auto* cardForm = new QFormLayout(cardBox);
  width_Text = millimetres(cardBox, 1, 2000, tr("Card width"));
  height_Text = millimetres(cardBox, 1, 2000, tr("Card height"));
  horz_mar_Text = millimetres(cardBox, 0, 500, tr("Horizontal gap"));
  vert_mar_Text = millimetres(cardBox, 0, 500, tr("Vertical gap"));
  Row_Text = count(cardBox, 1, 100, tr("Rows"));
  Col_Text = count(cardBox, 1, 100, tr("Columns"));
  Total_Text = count(cardBox, 0, kMaxTotal, tr("Cards to print"));
  cardForm->addRow(tr("Card width:"), width_Text);
  cardForm->addRow(tr("Card height:"), height_Text);
  cardForm->addRow(tr("Rows:"), Row_Text);
  cardForm->addRow(tr("Columns:"), Col_Text);
  cardForm->addRow(tr("Horizontal gap:"), horz_mar_Text);
  cardForm->addRow(tr("Vertical gap:"), vert_mar_Text);
  cardForm->addRow(tr("Cards to print:"), Total_Text);

  auto* sideBox = new QGroupBox(tr("Sides"), this);
  auto* sideLayout = new QVBoxLayout(sideBox);
  matrix_card_side = new QButtonGroup(sideBox);
  const QString sideTitles[3] = {tr("Both sides"), tr("Front"), tr("Back")};
  for (int row = 0; row < 3; ++row) {
    auto* radio = new QRadioButton(sideTitles[row], sideBox);
    radio->setAccessibleName(sideTitles[row]);
    matrix_card_side->addButton(radio, row);
    sideLayout->addWidget(radio);
  }
  print_alignment = new QComboBox(sideBox);
  print_alignment->addItems({tr("Front above back"), tr("Front beside back")});
  print_alignment->setAccessibleName(tr("Arrangement of the sides"));
  sideLayout->addWidget(print_alignment);

  align_Gp_Bx = new QGroupBox(tr("Alignment"), this);
  align_Gp_Bx->setAccessibleName(tr("Alignment"));
  auto* alignGrid = new QGridLayout(align_Gp_Bx);
  for (int i = 0; i < 9; ++i) {
    auto* button = new QToolButton(align_Gp_Bx);
    button->setAccessibleName(tr(kAlignments[i].name));
    button->setToolTip(tr(kAlignments[i].name));
    button->setIconSize(QSize(32, 32));
    button->setAutoRaise(true);
    alignGrid->addWidget(button, i / 3, i % 3);
    alignButtons[static_cast<size_t>(i)] = button;
    connect(button, &QToolButton::clicked, this, [this, i] { alignmentClicked(i + 1); });
  }
  Auto_Center_chk_bx = new QCheckBox(tr("Centre automatically"), this);
  Auto_Center_chk_bx->setAccessibleName(Auto_Center_chk_bx->text());
  Show_Margins = new QCheckBox(tr("Show card outlines"), this);
  Show_Margins->setAccessibleName(Show_Margins->text());
  print_with_batch_chk = new QCheckBox(tr("One card per data series row"), this);
  print_with_batch_chk->setAccessibleName(print_with_batch_chk->text());
  print_with_excel_chk = new QCheckBox(tr("One card per spreadsheet row"), this);
  print_with_excel_chk->setAccessibleName(print_with_excel_chk->text());

  PrintView = new Sample_Preview;
  Print_sclview = new QScrollArea(this);
  Print_sclview->setAccessibleName(tr("Sheet"));
  Print_sclview->setWidget(PrintView);
  Print_sclview->setBackgroundRole(QPalette::Dark);
  Print_sclview->setMinimumSize(420, 480);
  test_image_view = new QLabel(this);
  test_image_view->setAccessibleName(tr("Whole sheet"));
  test_image_view->setFixedSize(150, 200);
  test_image_view->setAlignment(Qt::AlignCenter);

  previewButton = new QPushButton(tr("Preview…"), this);
  previewButton->setAccessibleName(tr("Preview"));
  printButton = new QPushButton(tr("Print…"), this);
  printButton->setAccessibleName(tr("Print"));
  printButton->setDefault(true);
  cancelButton = new QPushButton(tr("Cancel"), this);
  cancelButton->setAccessibleName(tr("Cancel"));

  auto* left = new QVBoxLayout;
  left->addWidget(printerBox);
  left->addWidget(cardBox);
  left->addStretch();
  auto* middle = new QVBoxLayout;
  middle->addWidget(sideBox);
  middle->addWidget(align_Gp_Bx);
  middle->addWidget(Auto_Center_chk_bx);
  middle->addWidget(Show_Margins);
  middle->addWidget(print_with_batch_chk);
  middle->addWidget(print_with_excel_chk);
  middle->addWidget(test_image_view, 0, Qt::AlignHCenter);
  middle->addStretch();
  // The settings scroll when the screen is too low for them all (1280 x 720
  // with a desktop panel); the sheet keeps its own scroll area beside them.
  auto* settings = new QWidget;
  settings->setObjectName(QStringLiteral("printSettings"));
  auto* settingColumns = new QHBoxLayout(settings);
  settingColumns->setContentsMargins(0, 0, 0, 0);
  settingColumns->addLayout(left);
  settingColumns->addLayout(middle);
  auto* settingsScroll = new WholeContentScroll(this);
  settingsScroll->setAccessibleName(tr("Print settings"));
  settingsScroll->setFrameShape(QFrame::NoFrame);
  settingsScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  settingsScroll->setWidgetResizable(true);
  settingsScroll->setWidget(settings);
  settingsScroll->viewport()->setAutoFillBackground(false);
  settings->setAutoFillBackground(false);
  auto* columns = new QHBoxLayout;
  columns->addWidget(settingsScroll);
  columns->addWidget(Print_sclview, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(previewButton);
  buttons->addWidget(cancelButton);
  buttons->addWidget(printButton);
  auto* all = new QVBoxLayout(this);
  all->addLayout(columns, 1);
  all->addLayout(buttons);

  // Tab goes down the settings column by column, as they are read, then
  // to the sheet and the buttons from left to right.
  std::vector<QWidget*> stops = {Printer_ComboBox, Orient_ComboBox, pageSetupButton, width_Text,
                                 height_Text,      Row_Text,        Col_Text,        horz_mar_Text,
                                 vert_mar_Text,    Total_Text};
  for (QAbstractButton* radio : matrix_card_side->buttons()) stops.push_back(radio);
  stops.push_back(print_alignment);
  stops.insert(stops.end(), alignButtons.begin(), alignButtons.end());
  stops.insert(stops.end(), {Auto_Center_chk_bx, Show_Margins, print_with_batch_chk, print_with_excel_chk,
                             Print_sclview, previewButton, cancelButton, printButton});
  settingsScroll->setFocusPolicy(Qt::NoFocus);
  for (size_t i = 1; i < stops.size(); ++i) setTabOrder(stops[i - 1], stops[i]);

  const auto fit = [this] { Check_Max_Cell_Value(); };
  for (QDoubleSpinBox* box : {horz_mar_Text, vert_mar_Text, width_Text, height_Text})
    connect(box, &QDoubleSpinBox::valueChanged, this, fit);
  for (QSpinBox* box : {Row_Text, Col_Text}) connect(box, &QSpinBox::valueChanged, this, fit);
  onToggled(Show_Margins, this, [this] { Show_Margin_Checked(); });
  onToggled(Auto_Center_chk_bx, this, [this] { Auto_Center_Checked(); });
  onChosen(matrix_card_side, this, [this](int row) { card_side_CellClick(row); });
  onToggled(print_with_batch_chk, this, [this] { Print_With_Batch_Changed(); });
  onToggled(print_with_excel_chk, this, [this] { Print_With_Excel_Changed(); });
  connect(Printer_ComboBox, &QComboBox::activated, this, &Print_Wnd::printerChosen);
  connect(Orient_ComboBox, &QComboBox::activated, this, &Print_Wnd::orientationChosen);
  connect(print_alignment, &QComboBox::activated, this, &Print_Wnd::arrangementChosen);
  connect(pageSetupButton, &QPushButton::clicked, this, &Print_Wnd::pagesetup);
  connect(previewButton, &QPushButton::clicked, this, &Print_Wnd::PreviewButtonPressed);
  connect(printButton, &QPushButton::clicked, this, &Print_Wnd::PrintButtonPressed);
  connect(cancelButton, &QPushButton::clicked, this, &Print_Wnd::CancelButtonPressed);
}

void Print_Wnd::loadAlignmentPictures() {
  for (size_t i = 0; i < 9; ++i) {
    normalPictures_[i] = resourcePicture(QLatin1String(kAlignments[i].normal));
    selectedPictures_[i] = resourcePicture(QLatin1String(kAlignments[i].selected));
  }
}

// ---------------------------------------------------------------- opening

bool Print_Wnd::Open_Print_Wnd(production::PrintHost& host) {
  try {
    host_ = &host;
    loading = true;
    // Every opening starts from the same choices.
    showChecked(matrix_card_side->button(1), true);
    card_side_str = QStringLiteral("F");
    layout_.Print_Card_Side = card_side_str;
    layout_.Print_Card_Algn = QStringLiteral("U");
    print_alignment->setCurrentIndex(0);
    print_alignment->setEnabled(false);
    showChecked(Auto_Center_chk_bx, false);
    showChecked(Show_Margins, true);
    layout_.auto_center_flag = false;
    layout_.Print_Row = 1;
    layout_.Print_Col = 1;
    layout_.Total_Label = 1;
    // The gaps shown are 0, and so are the gaps drawn.
    layout_.horz_mar = 0;
    layout_.vert_mar = 0;

    design_ = host.takeCardSnapshot();

    data_ = host.dataUse();
    if (data_.series || data_.excel) {
      // A box is offered for each source in use, and only for those.
      print_with_batch_chk->setEnabled(data_.series);
      showChecked(print_with_batch_chk, data_.series);
      print_with_excel_chk->setEnabled(data_.excel);
      showChecked(print_with_excel_chk, data_.excel);
      layout_.Total_Label = data_.rows;
      showTotal(layout_.Total_Label, layout_.Total_Label);
    } else {
      for (QCheckBox* box : {print_with_batch_chk, print_with_excel_chk}) {
        box->setEnabled(false);
        showChecked(box, false);
      }
      showTotal(1, kMaxTotal);
    }

    const QSizeF card = design_->frontContext.size;
    layout_.label_width = static_cast<float>(card.width());
    layout_.label_hight = static_cast<float>(card.height());
    setQuietly(width_Text, production::Points_to_MM_Convert(layout_.label_width));
    setQuietly(height_Text, production::Points_to_MM_Convert(layout_.label_hight));
    card_ = card;
    shownWidthMm_ = width_Text->value();
    shownHeightMm_ = height_Text->value();
    setQuietly(Row_Text, 1);
    setQuietly(Col_Text, 1);
    setQuietly(horz_mar_Text, 0.0);
    setQuietly(vert_mar_Text, 0.0);
    horz_mar_Text->setEnabled(true);
    vert_mar_Text->setEnabled(true);
    SetObjEnabled(align_Gp_Bx, true);
    layout_.label_align_val = 1;
    Set_Reset_Alignemnt_Image();

    // The printer list, read afresh; its first printer is chosen.
    Printer_ComboBox->clear();
    Printer_ComboBox->addItems(production::printerNames());
    Printer_ComboBox->setCurrentIndex(0);
    if (Printer_ComboBox->count() > 0) printerChosen(0);

    Set_values_From_Printer();
    loading = false;
    Refresh_Preview();

    platform::fitToScreen(*this);
    const int code = platform::messageHost().runModal(*this);
    hide();
    host_ = nullptr;
    return code == 0 || code == 1;
  } catch (const std::exception& e) {
    loading = false;
    host_ = nullptr;
    qCWarning(lcProduction).noquote() << QString::fromUtf8(e.what());
    Show_MessageBox(QString::fromUtf8(e.what()));
    return false;
  }
}

void Print_Wnd::showTotal(int total, int maximum) {
  const QSignalBlocker block(Total_Text);
  Total_Text->setMaximum(std::max(maximum, 0));
  Total_Text->setValue(total);
}

// ---------------------------------------------------------------- printer and layout

void Print_Wnd::Set_values_From_Printer() {
  const QPageLayout page = printInfo_->pageLayout();
  const QRectF paper = page.fullRect(QPageLayout::Point);
  // The printer draws on the whole sheet; its unprintable margins stay in
  // its page layout.
  const QRectF printable = paper.marginsRemoved(page.margins(QPageLayout::Point));
  Paper_id->setText(page.pageSize().name());
  layout_.paperWidth = static_cast<float>(paper.width());
  layout_.paperHeight = static_cast<float>(paper.height());
  Size_id->setText(QString::asprintf(
      "%.2f x %.2f", static_cast<double>(production::Points_to_MM_Convert(layout_.paperWidth)),
      static_cast<double>(production::Points_to_MM_Convert(layout_.paperHeight))));
  Orient_ComboBox->setCurrentIndex(page.orientation() == QPageLayout::Landscape ? 1 : 0);
  layout_.Left_Mar = static_cast<float>(printable.x());
  layout_.Rite_Mar = static_cast<float>(paper.width() - printable.x() - printable.width());
  layout_.Top_Mar = static_cast<float>(printable.y());
  layout_.Bot_Mar = static_cast<float>(paper.height() - printable.y() - printable.height());
  l_mar_id->setText(twoDecimals(layout_.Left_Mar));
  r_mar_id->setText(twoDecimals(layout_.Rite_Mar));
  t_mar_id->setText(twoDecimals(layout_.Top_Mar));
  b_mar_id->setText(twoDecimals(layout_.Bot_Mar));
  Refresh_Preview();
}

production::SheetFitting Print_Wnd::fieldsNow() const {
  production::SheetFitting fields;
  const auto millimetres = [](const QDoubleSpinBox* field, double shown, double points) {
    return field->value() == shown ? production::Points_to_MM_Convert(static_cast<float>(points))
                                   : static_cast<float>(field->value());
  };
  fields.cardWidthMm = millimetres(width_Text, shownWidthMm_, card_.width());
  fields.cardHeightMm = millimetres(height_Text, shownHeightMm_, card_.height());
  fields.gapXMm = static_cast<float>(horz_mar_Text->value());
  fields.gapYMm = static_cast<float>(vert_mar_Text->value());
  fields.rows = Row_Text->value();
  fields.columns = Col_Text->value();
  fields.autoCentre = Auto_Center_chk_bx->isChecked();
  fields.dataMode = dataMode();
  return fields;
}

bool Print_Wnd::dataMode() const {
  return data_.series || data_.excel;
}

void Print_Wnd::Check_Max_Cell_Value() {
  layout_.Print_Card_Side = card_side_str;
  const production::FittedSheet fitted = production::Check_Max_Cell_Value(layout_, fieldsNow());
  layout_ = fitted.layout;
  if (fitted.columnsLowered) setQuietly(Col_Text, layout_.Print_Col);
  if (fitted.rowsLowered) setQuietly(Row_Text, layout_.Print_Row);
  if (!dataMode()) setQuietly(Total_Text, layout_.Total_Label);
  Refresh_Preview();
}

void Print_Wnd::Refresh_Preview() {
  if (loading) return;
  const QSizeF card = design_ ? design_->frontContext.size : QSizeF();
  PrintView->setSheet(layout_, card, Show_Margins->isChecked());
  if (QScrollBar* bar = Print_sclview->verticalScrollBar()) bar->setValue(0);
  const QImage whole = PrintView->imageRepresentation();
  test_image_view->setPixmap(QPixmap::fromImage(
      whole.scaled(test_image_view->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void Print_Wnd::Set_Reset_Alignemnt_Image() {
  const int position = layout_.label_align_val;
  if (position < 1 || position > 9) return;
  for (size_t i = 0; i < 9; ++i) {
    const bool selected = static_cast<int>(i) + 1 == position;
    alignButtons[i]->setIcon(selected ? selectedPictures_[i] : normalPictures_[i]);
    alignButtons[i]->setAccessibleDescription(selected ? tr("Chosen") : QString());
  }
}

// ---------------------------------------------------------------- actions

void Print_Wnd::pagesetup() {
  try {
    QPageSetupDialog setup(printInfo_.get(), this);
    if (platform::messageHost().runModal(setup) != 1) return;
    Set_values_From_Printer();
    Check_Max_Cell_Value();
  } catch (const std::exception& e) {
    qCWarning(lcProduction).noquote() << QString::fromUtf8(e.what());
  }
}

void Print_Wnd::CancelButtonPressed() {
  hide();
  reject();
}

void Print_Wnd::Show_Margin_Checked() {
  Refresh_Preview();
}

void Print_Wnd::Auto_Center_Checked() {
  const bool on = Auto_Center_chk_bx->isChecked();
  layout_.auto_center_flag = on;
  // The gaps become the equal spacing; the alignment has no say.
  SetObjEnabled(align_Gp_Bx, !on);
  Check_Max_Cell_Value();
}

void Print_Wnd::alignmentClicked(int position) {
  layout_.label_align_val = position;
  Set_Reset_Alignemnt_Image();
  Refresh_Preview();
}

void Print_Wnd::card_side_CellClick(int row) {
  card_side_str = row == 0 ? QStringLiteral("BOTH") : row == 1 ? QStringLiteral("F") : QStringLiteral("B");
  print_alignment->setEnabled(row == 0);
  layout_.Print_Card_Side = card_side_str;
  Check_Max_Cell_Value();
}

void Print_Wnd::Verify_Card_Count() {
  if (host_ == nullptr) return;
  data_ = host_->verifyDataUse(print_with_batch_chk->isChecked(), print_with_excel_chk->isChecked());
}

void Print_Wnd::Print_With_Batch_Changed() {
  Verify_Card_Count();
  const bool ticked = print_with_batch_chk->isChecked() || print_with_excel_chk->isChecked();
  layout_.Total_Label = ticked ? data_.rows : 1;
  setQuietly(Total_Text, layout_.Total_Label);
}

void Print_Wnd::Print_With_Excel_Changed() {
  Print_With_Batch_Changed();
}

void Print_Wnd::printerChosen(int index) {
  try {
    if (index < 0) return;
    const QString name = Printer_ComboBox->itemText(index);
    if (name != printerName_) {
      printInfo_ = production::selectPrinter(*printInfo_, name);
      printerName_ = name;
    }
    printInfo_->setFullPage(true);
    if (!loading) Set_values_From_Printer();
  } catch (const std::exception& e) {
    qCWarning(lcProduction).noquote() << QString::fromUtf8(e.what());
  }
}

void Print_Wnd::orientationChosen(int index) {
  try {
    const QPageLayout::Orientation wanted = index == 0 ? QPageLayout::Portrait : QPageLayout::Landscape;
    if (printInfo_->pageLayout().orientation() != wanted) printInfo_->setPageOrientation(wanted);
    Set_values_From_Printer();
    Check_Max_Cell_Value();
  } catch (const std::exception& e) {
    qCWarning(lcProduction).noquote() << QString::fromUtf8(e.what());
  }
}

void Print_Wnd::arrangementChosen(int index) {
  layout_.Print_Card_Algn = index == 0 ? QStringLiteral("U") : QStringLiteral("L");
  Check_Max_Cell_Value();
}

// ---------------------------------------------------------------- printing

std::unique_ptr<production::SheetCards> Print_Wnd::jobCards(bool leftEmpty) {
  if (!dataMode()) {
    // The design as it stands, but for the objects whose data is gone when
    // the user chose to go on without it.
    production::SheetRowFiller emptied = leftEmpty && host_ != nullptr ? host_->rowFiller() : nullptr;
    return std::make_unique<production::DesignSheetCards>(design_, emptied);
  }
  production::SheetRowFiller filler = host_ != nullptr ? host_->rowFiller() : nullptr;
  if (!filler) return std::make_unique<production::DesignSheetCards>(design_);
  const bool front = !layout_.backOnly();
  const bool back = layout_.bothSides() || layout_.backOnly();
  return std::make_unique<production::DesignSheetCards>(design_, data_.rows, std::move(filler), front, back,
                                                        workers);
}

bool Print_Wnd::Execute_Printing(bool preview) {
  try {
    if (!design_) return false;
    // Objects bound to data that no longer exists: asked before the job.
    QString emptied;
    if (host_ != nullptr && !host_->confirmMissingSources(data_, layout_.Print_Card_Side, &emptied))
      return false;
    if (layout_.cellExceedsPaper() && !Show_YES_NO_MessageBox(kPaperQuestion)) return false;
    layout_.Total_Label = Total_Text->value();
    if (layout_.Total_Label <= 0) {
      Show_MessageBox(kNoCardsMessage);
      return false;
    }
    const std::unique_ptr<production::SheetCards> cards = jobCards(!emptied.isEmpty());
    return preview ? runPreview(*cards) : runPrint(*cards, emptied);
  } catch (const std::exception& e) {
    qCWarning(lcProduction).noquote() << QString::fromUtf8(e.what());
    Show_MessageBox(QString::fromUtf8(e.what()));
    return false;
  }
}

bool Print_Wnd::runPreview(production::SheetCards& cards) {
  const std::int64_t pages = layout_.pageCount();
  if (pages > production::kPreviewSheetLimit) Show_MessageBox(production::kPreviewLimitMessage);
  const std::int64_t shown = std::min(pages, production::kPreviewSheetLimit);
  const QPageLayout before = printInfo_->pageLayout();
  QPrintPreviewDialog dialog(printInfo_.get(), this);
  dialog.setAccessibleName(tr("Print preview"));
  // The preview only looks: jobs start from this dialog's Print button,
  // which is never capped, and the paper is chosen here too.
  for (QAction* action : dialog.findChildren<QAction*>()) {
    const QString text = action->text().remove(QLatin1Char('&'));
    if (text.compare(QLatin1String("Print"), Qt::CaseInsensitive) == 0 ||
        text.compare(QLatin1String("Page setup"), Qt::CaseInsensitive) == 0)
      action->setVisible(false);
  }
  connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [&](QPrinter* printer) {
    printer->setFullPage(true);
    lastJobPages_ = production::paintSheetJob(*printer, layout_, cards, shown).pagesDone;
  });
  platform::messageHost().runModal(dialog);
  if (!(printInfo_->pageLayout() == before)) {
    Set_values_From_Printer();
    Check_Max_Cell_Value();
  }
  return true;
}

bool Print_Wnd::runPrint(production::SheetCards& cards, const QString& closingNote) {
  // A file job gets a printer of its own with the chosen paper: a PDF writer
  // that once failed to write (a full disk) would write nothing ever after.
  std::unique_ptr<QPrinter> fileJob;
  if (production::printsToFile(*printInfo_)) {
    fileJob = std::make_unique<QPrinter>(QPrinter::HighResolution);
    fileJob->setOutputFormat(QPrinter::PdfFormat);
    fileJob->setPageLayout(printInfo_->pageLayout());
  }
  QPrinter& printer = fileJob ? *fileJob : *printInfo_;
  QString file;
  if (fileJob) {
    platform::FilePanelRequest request;
    request.title = tr("Print to PDF File");
    request.suggestedName = QStringLiteral("Cards.pdf");
    request.nameFilters = {tr("PDF document (*.pdf)")};
    file = platform::messageHost().savePanel(request);
    if (file.isEmpty()) return false;
    if (QFileInfo(file).suffix().isEmpty()) file += QStringLiteral(".pdf");
  }
  std::optional<production::PrintFileTarget> target;
  if (!file.isEmpty()) {
    target.emplace(file);
    if (target->workingPath().isEmpty()) {
      Show_MessageBox(tr("The PDF file \"%1\" could not be written: %2").arg(file, target->why()));
      return false;
    }
  }
  printer.setOutputFileName(target ? target->workingPath() : QString());
  printer.setFullPage(true);
  printer.setDocName(tr("QUVO Gratulo cards"));
  printer.setCreator(QStringLiteral("QUVO Gratulo"));

  QPainter painter;
  if (!painter.begin(&printer)) {
    Show_MessageBox(tr("The printer \"%1\" could not be started.").arg(Printer_ComboBox->currentText()));
    return false;
  }
  const std::int64_t pages = layout_.pageCount();
  QProgressDialog progress(tr("Printing sheets…"), tr("Stop"), 0,
                           static_cast<int>(std::min<std::int64_t>(pages, std::numeric_limits<int>::max())),
                           this);
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(500);
  progress.setAccessibleName(tr("Printing"));
  const production::SheetJobResult result = production::paintSheetJob(
      painter, printer, layout_, cards, pages, [&progress](std::int64_t done, std::int64_t all) {
        progress.setLabelText(tr("Printing sheet %1 of %2…").arg(done).arg(all));
        progress.setValue(static_cast<int>(std::min<std::int64_t>(done, std::numeric_limits<int>::max())));
        QCoreApplication::processEvents();
        return !progress.wasCanceled() && !Program_Ending.load();
      });
  lastJobPages_ = result.pagesDone;
  progress.reset();
  // The closing message ends with the cards whose bound texts were cut, then
  // the objects left empty.
  const QString cut = cards.cutTexts().note();
  const auto closing = [&](const QString& message) {
    return production::withClosingNote(production::withClosingNote(message, cut), closingNote);
  };
  if (result.stopped) {
    printer.abort();
    painter.end();
    // A program asked to end stops the job without a message that would hold it open.
    if (!Program_Ending.load())
      Show_MessageBox(
          closing(tr("Printing was stopped after %1 of %2 sheets.").arg(result.pagesDone).arg(pages)));
    return true;
  }
  painter.end();
  if (target && !target->commit()) {
    Show_MessageBox(tr("The PDF file \"%1\" could not be written: %2").arg(file, target->why()));
    return false;
  }
  if (cards.failures() > 0)
    Show_MessageBox(closing(tr("Cards whose data row could not be filled completely: %1.\n\n%2")
                                .arg(cards.failures())
                                .arg(cards.firstFailure())));
  else if (!cut.isEmpty() || !closingNote.isEmpty())
    Show_MessageBox(closing(tr("The cards have been printed.")));
  return true;
}
