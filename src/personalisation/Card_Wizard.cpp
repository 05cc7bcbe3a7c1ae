#include "personalisation/Card_Wizard.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "data/dialogs/DialogParts.h"
#include "personalisation/ProfileFill.h"
#include "personalisation/ProfileHost.h"
#include "personalisation/globals.h"
#include "platform/MessageHost.h"
#include "platform/Messages.h"
#include "platform/StringHelpers.h"
#include "platform/widgets/Controls.h"

float Card_MM_To_Points(float millimetres) {
  return static_cast<float>(static_cast<double>(millimetres) * 2.834645669291);
}

namespace {

QDoubleSpinBox* millimetreBox(QWidget* parent, const QString& name) {
  auto* box = new QDoubleSpinBox(parent);
  box->setAccessibleName(name);
  box->setRange(10.0, 1000.0);
  box->setDecimals(3);
  box->setSingleStep(1.0);
  box->setSuffix(QStringLiteral(" mm"));
  return box;
}

}  // namespace

Card_Wizard& Card_Wizard::defaultInstance() {
  return dialog_parts::singleton<Card_Wizard>([] { return new Card_Wizard; });
}

Card_Wizard::Card_Wizard(QWidget* parent) : QDialog(parent) {
  dialog_parts::setUpDialog(*this, tr("Card Size"));
  setObjectName(QStringLiteral("Card_Wizard"));
  Category_ComboBox = new QComboBox(this);
  Category_ComboBox->setAccessibleName(tr("Category"));
  Category_ComboBox->addItems({QStringLiteral("PVC Card"), QStringLiteral("Paper Card")});
  Preset_ComboBox = new QComboBox(this);
  Preset_ComboBox->setAccessibleName(tr("Orientation"));
  Preset_ComboBox->addItems({QStringLiteral("Horizontal"), QStringLiteral("Vertical")});
  ColList = new QListWidget(this);
  ColList->setAccessibleName(tr("Card sizes"));
  ColList->setMinimumHeight(160);
  width_Stepper = millimetreBox(this, tr("Width"));
  height_Stepper = millimetreBox(this, tr("Height"));

  auto* shapeBox = new QGroupBox(tr("Outline"), this);
  shapeBox->setAccessibleName(tr("Outline"));
  auto* shapeLayout = new QVBoxLayout(shapeBox);
  matrix_card_shape = new QButtonGroup(this);
  const QString shapes[3] = {tr("Rectangle"), tr("Rounded rectangle"), tr("Ellipse")};
  for (int i = 0; i < 3; ++i) {
    shape_rows[i] = dialog_parts::radioButton(shapeBox, shapes[i]);
    matrix_card_shape->addButton(shape_rows[i], i);
    shapeLayout->addWidget(shape_rows[i]);
  }

  auto* form = new QFormLayout;
  form->addRow(dialog_parts::label(this, tr("Category:")), Category_ComboBox);
  form->addRow(dialog_parts::label(this, tr("Orientation:")), Preset_ComboBox);
  form->addRow(dialog_parts::label(this, tr("Width:")), width_Stepper);
  form->addRow(dialog_parts::label(this, tr("Height:")), height_Stepper);
  auto* right = new QVBoxLayout;
  right->addLayout(form);
  right->addWidget(shapeBox);
  right->addStretch(1);
  auto* top = new QHBoxLayout;
  top->addWidget(ColList, 1);
  top->addLayout(right);

  profile_btn = dialog_parts::button(this, tr("User Profile…"));
  profile_btn->setAccessibleName(tr("User Profile"));
  auto* buttons = dialog_parts::okCancelRow(this, &ok_btn, &cancel_btn);
  buttons->insertWidget(0, profile_btn);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(buttons);

  connect(Category_ComboBox, &QComboBox::currentIndexChanged, this, &Card_Wizard::Category_Changed);
  connect(Preset_ComboBox, &QComboBox::currentIndexChanged, this, &Card_Wizard::Category_Changed);
  connect(ColList, &QListWidget::currentRowChanged, this, &Card_Wizard::Row_Selected);
  onChosen(matrix_card_shape, this, [this](int row) { card_shape_CellClick(row); });
  connect(profile_btn, &QPushButton::clicked, this, &Card_Wizard::User_Profile_Click);
  connect(ok_btn, &QPushButton::clicked, this, &Card_Wizard::OK_Click);
  connect(cancel_btn, &QPushButton::clicked, this, &Card_Wizard::CancelClick);
}

int Card_Wizard::Open_Wnd() {
  try {
    shapeAtOpening_ = profileHost().Card_Shape();
    const int shown = (shapeAtOpening_ >= 0 && shapeAtOpening_ <= 2) ? shapeAtOpening_ : 0;
    showChecked(shape_rows[shown], true);
    {
      const QSignalBlocker a(Category_ComboBox), b(Preset_ComboBox);
      Category_ComboBox->setCurrentIndex(0);
      Preset_ComboBox->setCurrentIndex(0);
    }
    Category_Changed();
    setResult(0);
    return platform::messageHost().runModal(*this);
  } catch (const std::exception& e) {
    qCWarning(lcPersonalisation).noquote() << QString::fromUtf8(e.what());
    return 0;
  }
}

void Card_Wizard::Category_Changed() {
  try {
    const QSignalBlocker block(ColList);
    ColList->clear();
    for (const QString& name : profileHost().Card_Size_Presets(Category_ComboBox->currentText())) {
      const QString trimmed = Trim_Str(name);
      if (!trimmed.isEmpty()) ColList->addItem(trimmed);
    }
    if (ColList->count() > 0) ColList->setCurrentRow(0);
  } catch (const std::exception& e) {
    qCWarning(lcPersonalisation).noquote() << QString::fromUtf8(e.what());
  }
  Row_Selected(ColList->currentRow());
}

void Card_Wizard::Row_Selected(int row) {
  const QString orientation = Preset_ComboBox->currentText() == QLatin1String("Horizontal")
                                  ? QStringLiteral("H")
                                  : QStringLiteral("V");
  const QSizeF size = profileHost().Get_My_card_Size(Category_ComboBox->currentText(), orientation, row);
  width_Stepper->setValue(size.width());
  height_Stepper->setValue(size.height());
}

void Card_Wizard::card_shape_CellClick(int row) {
  profileHost().Set_Card_Shape(row);
}

void Card_Wizard::OK_Click() {
  ProfileHost& host = profileHost();
  const float w = static_cast<float>(width_Stepper->value());
  const float h = static_cast<float>(height_Stepper->value());
  host.Set_Card_Shape(matrix_card_shape->checkedId() < 0 ? 0 : matrix_card_shape->checkedId());
  host.Set_Card_Size_In_Control(w, h);
  host.Set_Document_Size(QSizeF(Card_MM_To_Points(w), Card_MM_To_Points(h)));
  host.Update_Card_Graphics();
  done(1);
}

void Card_Wizard::CancelClick() {
  profileHost().Set_Card_Shape(shapeAtOpening_);
  done(0);
}

void Card_Wizard::User_Profile_Click() {
  Open_User_Profile_Window(false, QString());
}
