#include "data/dialogs/Generate_List.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>

#include "data/DataSeriesStore.h"
#include "data/dialogs/BatchWizard.h"
#include "data/dialogs/DialogParts.h"
#include "data/dialogs/ProgressSheet.h"
#include "data/dialogs/SeriesWriting.h"
#include "platform/MessageHost.h"
#include "platform/Messages.h"
#include "platform/StringHelpers.h"
#include "platform/widgets/Controls.h"

using series_generator::Field;
using series_generator::Mode;

namespace {

const QString kHelpTitle = QStringLiteral("Maintain number of Digits By adding 0's before smaller values. ");
const QString kHelpText = QStringLiteral(
    "For example:\r\nIf you have to generate a series of barcodes having values from '0' to '200', this "
    "option "
    "automatically converts small values such as '1' to '001' and '11' to '011' to maintain number of digits "
    "same "
    "as the highest value in the series.\r\n\r\nSimilarly, if you have selected a series starting from '001' "
    "to "
    "'00200', this option automatically converts small values such as '001' to '00001' and '0011' to '00011' "
    "to "
    "maintain number of digits same as the highest value in the series.");

QSpinBox* stepper(QWidget* parent, int maximum, const QString& name) {
  auto* box = new QSpinBox(parent);
  box->setRange(1, maximum);
  box->setAccessibleName(name);
  // Only the arrows show: the number is the field's beside it.
  box->setFixedWidth(box->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4);
  return box;
}

// Puts a caption and its control (with the control's stepper beside it) at a
// row and column of the grid.
void place(QGridLayout* grid, int row, int column, const QString& caption, QWidget* control,
           QWidget* stepperBeside = nullptr) {
  grid->addWidget(dialog_parts::label(grid->parentWidget(), caption), row, column);
  if (stepperBeside == nullptr) {
    grid->addWidget(control, row, column + 1);
    return;
  }
  auto* pair = new QHBoxLayout;
  pair->addWidget(control);
  pair->addWidget(stepperBeside);
  grid->addLayout(pair, row, column + 1);
}

// The series name row of a mode's box.
void placeName(QGridLayout* grid, int row, QLineEdit* field) {
  grid->addWidget(dialog_parts::label(grid->parentWidget(), QStringLiteral("Series name:")), row, 0);
  grid->addWidget(field, row, 1, 1, 3);
}

}  // namespace

Generate_List& Generate_List::defaultInstance() {
  return dialog_parts::singleton<Generate_List>([] { return new Generate_List(); });
}

Generate_List::Generate_List(QWidget* parent) : QDialog(parent) {
  dialog_parts::setUpDialog(*this, QStringLiteral("Create Batch Processing Series"));
  using dialog_parts::lineEdit;

  radioButton_Sequntial = dialog_parts::radioButton(this, QStringLiteral("Sequential"));
  radioButton_Constant = dialog_parts::radioButton(this, QStringLiteral("Constant"));
  radioButton_Random = dialog_parts::radioButton(this, QStringLiteral("Random"));
  oneChoice({radioButton_Sequntial, radioButton_Constant, radioButton_Random});

  auto* sequential = new QGroupBox(this);
  prefix_txt = lineEdit(sequential, QStringLiteral("Prefix"));
  from_txt = lineEdit(sequential, QStringLiteral("From"));
  to_txt = lineEdit(sequential, QStringLiteral("To"));
  suffix_txt = lineEdit(sequential, QStringLiteral("Suffix"));
  manage_digit_chk = dialog_parts::checkBox(sequential, QStringLiteral("Maintain number of digits"));
  help_btn = dialog_parts::button(sequential, QStringLiteral("?"));
  help_btn->setAccessibleName(QStringLiteral("Help on number of digits"));
  help_btn->setFixedWidth(help_btn->sizeHint().height());
  seq_file_name = lineEdit(sequential, QStringLiteral("Series name"));
  auto* seqGrid = new QGridLayout(sequential);
  seqGrid->addWidget(radioButton_Sequntial, 0, 0, 1, 4);
  place(seqGrid, 1, 0, QStringLiteral("Prefix:"), prefix_txt);
  place(seqGrid, 1, 2, QStringLiteral("Suffix:"), suffix_txt);
  place(seqGrid, 2, 0, QStringLiteral("From:"), from_txt);
  place(seqGrid, 2, 2, QStringLiteral("To:"), to_txt);
  auto* digits = new QHBoxLayout;
  digits->addWidget(manage_digit_chk);
  digits->addWidget(help_btn);
  digits->addStretch(1);
  seqGrid->addLayout(digits, 3, 0, 1, 4);
  placeName(seqGrid, 4, seq_file_name);

  auto* constant = new QGroupBox(this);
  value_txt = lineEdit(constant, QStringLiteral("Value"));
  count_txt = lineEdit(constant, QStringLiteral("Count"));
  count_stepper = stepper(constant, series_generator::kMaxCount, QStringLiteral("Count stepper"));
  const_file_name = lineEdit(constant, QStringLiteral("Series name"));
  auto* constGrid = new QGridLayout(constant);
  constGrid->addWidget(radioButton_Constant, 0, 0, 1, 4);
  place(constGrid, 1, 0, QStringLiteral("Value:"), value_txt);
  place(constGrid, 1, 2, QStringLiteral("Count:"), count_txt, count_stepper);
  placeName(constGrid, 2, const_file_name);

  auto* random = new QGroupBox(this);
  rand_prefix_txt = lineEdit(random, QStringLiteral("Prefix"));
  rand_suffix_txt = lineEdit(random, QStringLiteral("Suffix"));
  rand_length_txt = lineEdit(random, QStringLiteral("Length"));
  rand_length_stepper = stepper(random, 9, QStringLiteral("Length stepper"));
  rand_count_txt = lineEdit(random, QStringLiteral("Count"));
  rand_count_stepper = stepper(random, series_generator::kMaxCount, QStringLiteral("Count stepper"));
  rndm_file_name = lineEdit(random, QStringLiteral("Series name"));
  auto* randGrid = new QGridLayout(random);
  randGrid->addWidget(radioButton_Random, 0, 0, 1, 4);
  place(randGrid, 1, 0, QStringLiteral("Prefix:"), rand_prefix_txt);
  place(randGrid, 1, 2, QStringLiteral("Suffix:"), rand_suffix_txt);
  place(randGrid, 2, 0, QStringLiteral("Length:"), rand_length_txt, rand_length_stepper);
  place(randGrid, 2, 2, QStringLiteral("Count:"), rand_count_txt, rand_count_stepper);
  placeName(randGrid, 3, rndm_file_name);

  QPushButton *ok = nullptr, *cancel = nullptr;
  QHBoxLayout* buttons = dialog_parts::okCancelRow(this, &ok, &cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(sequential);
  layout->addWidget(constant);
  layout->addWidget(random);
  layout->addLayout(buttons);

  onChosen(radioButton_Sequntial, this, [this] { Sequintial_Radio_Pressed(); });
  onChosen(radioButton_Constant, this, [this] { Constant_Radio_Pressed(); });
  onChosen(radioButton_Random, this, [this] { Random_Radio_Pressed(); });
  connect(ok, &QPushButton::clicked, this, &Generate_List::OKPressed);
  connect(cancel, &QPushButton::clicked, this, &Generate_List::CancelPressed);
  connect(help_btn, &QPushButton::clicked, this, &Generate_List::Help_btn_Pressed);
  pairFieldWithStepper(count_txt, count_stepper, &series_generator::clampCountText);
  pairFieldWithStepper(rand_count_txt, rand_count_stepper, &series_generator::clampCountText);
  pairFieldWithStepper(rand_length_txt, rand_length_stepper, &series_generator::clampLengthText);
  dialog_parts::tabInReadingOrder(*this);
}

void Generate_List::pairFieldWithStepper(QLineEdit* field, QSpinBox* box, QString (*clamp)(const QString&)) {
  connect(field, &QLineEdit::textEdited, this, [field, box, clamp](const QString& typed) {
    const QString clamped = clamp(typed);
    if (clamped != typed) field->setText(clamped);
    const QSignalBlocker quiet(box);
    box->setValue(series_generator::fieldInteger(clamped).value_or(1));
  });
  connect(box, &QSpinBox::valueChanged, this, [field](int value) { field->setText(QString::number(value)); });
}

QList<QWidget*> Generate_List::nameFields() const {
  return {seq_file_name, const_file_name, rndm_file_name};
}

void Generate_List::Open_Wnd() {
  for (QWidget* field : nameFields()) static_cast<QLineEdit*>(field)->clear();
  const bool toFile = file_name_required == 1;
  for (QWidget* field : nameFields()) field->setVisible(toFile);
  for (QLabel* caption : findChildren<QLabel*>())
    if (caption->text() == QStringLiteral("Series name:")) caption->setVisible(toFile);
  if (toFile) seq_file_name->setText(QStringLiteral("Untitled"));
  manage_digit_chk->setChecked(false);
  for (QLineEdit* field :
       {prefix_txt, suffix_txt, from_txt, to_txt, value_txt, rand_prefix_txt, rand_suffix_txt})
    field->clear();
  for (QLineEdit* field : {count_txt, rand_length_txt, rand_count_txt}) field->setText(QStringLiteral("1"));
  switchMode(Mode::Sequential);
  prefix_txt->setFocus();
  platform::messageHost().runModal(*this);
  hide();
}

void Generate_List::Sequintial_Radio_Pressed() {
  switchMode(Mode::Sequential);
}

void Generate_List::Constant_Radio_Pressed() {
  switchMode(Mode::Constant);
}

void Generate_List::Random_Radio_Pressed() {
  switchMode(Mode::Random);
}

void Generate_List::switchMode(Mode mode) {
  showChecked(radioButton_Sequntial, mode == Mode::Sequential);
  showChecked(radioButton_Constant, mode == Mode::Constant);
  showChecked(radioButton_Random, mode == Mode::Random);
  QLineEdit* name = mode == Mode::Sequential ? seq_file_name
                    : mode == Mode::Constant ? const_file_name
                                             : rndm_file_name;
  if (Trim_Str(name->text()).isEmpty()) name->setText(QStringLiteral("Untitled"));
  for (QWidget* field : nameFields()) field->setEnabled(field == name);
  for (QWidget* w :
       std::initializer_list<QWidget*>{prefix_txt, suffix_txt, from_txt, to_txt, help_btn, manage_digit_chk})
    w->setEnabled(mode == Mode::Sequential);
  for (QWidget* w : std::initializer_list<QWidget*>{value_txt, count_txt, count_stepper})
    w->setEnabled(mode == Mode::Constant);
  for (QWidget* w : std::initializer_list<QWidget*>{rand_prefix_txt, rand_suffix_txt, rand_length_txt,
                                                    rand_length_stepper, rand_count_txt, rand_count_stepper})
    w->setEnabled(mode == Mode::Random);
}

series_generator::GeneratorInput Generate_List::input() const {
  series_generator::GeneratorInput in;
  in.mode = radioButton_Sequntial->isChecked()  ? Mode::Sequential
            : radioButton_Constant->isChecked() ? Mode::Constant
                                                : Mode::Random;
  in.prefix = prefix_txt->text();
  in.suffix = suffix_txt->text();
  in.from = from_txt->text();
  in.to = to_txt->text();
  in.padWithZeros = manage_digit_chk->isChecked();
  in.value = value_txt->text();
  in.count = count_txt->text();
  in.randomPrefix = rand_prefix_txt->text();
  in.randomSuffix = rand_suffix_txt->text();
  in.randomLength = rand_length_txt->text();
  in.randomCount = rand_count_txt->text();
  return in;
}

QLineEdit* Generate_List::fieldOf(Field field) const {
  switch (field) {
    case Field::From:
      return from_txt;
    case Field::To:
      return to_txt;
    case Field::Value:
      return value_txt;
    case Field::Count:
      return count_txt;
    case Field::RandomCount:
      return rand_count_txt;
    case Field::RandomLength:
      return rand_length_txt;
  }
  return from_txt;
}

void Generate_List::OKPressed() {
  const series_generator::GeneratorInput in = input();
  if (const auto refusal = series_generator::check(in)) {
    Show_MessageBox(refusal->message);
    fieldOf(refusal->field)->setFocus();
    return;
  }
  const bool toFile = file_name_required == 1;
  const DataSeriesStore store;
  QString name;
  if (toFile) {
    QLineEdit* nameField = in.mode == Mode::Sequential ? seq_file_name
                           : in.mode == Mode::Constant ? const_file_name
                                                       : rndm_file_name;
    name = series_writing::acceptTypedName(store, nameField->text());
    if (name.isEmpty()) return;
  }

  QStringList values;
  bool written = false;
  const bool finished = runWithProgress(this, [&](TaskProgress& progress) {
    const qint64 count = series_generator::valueCount(in);
    progress.total = count;
    values.reserve(count);
    if (!series_generator::generate(
            in, [&values](const QString& v) { values.append(v); }, &progress.cancelled, &progress.done))
      return;
    if (toFile)
      written = store.writeSeries(name, values, SeriesWriteMode::Replace, SeriesFailureReport::Silent);
  });
  if (!finished) return;  // cancelled: nothing written, the dialog stays
  if (toFile && !written) {
    Show_MessageBox(DataSeriesStore::kFileAccessError);
    return;
  }
  if (toFile)
    series_writing::seriesChanged();
  else
    BatchWizard::defaultInstance().appendValues(values);
  if (file_name_Insert == 1) BatchWizard::defaultInstance().Fill_List();
  done(1);
}

void Generate_List::Help_btn_Pressed() {
  QString text = kHelpText;
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  Show_MessageBox(Trim_Str(kHelpTitle) + QStringLiteral("\n\n") + text);
}
