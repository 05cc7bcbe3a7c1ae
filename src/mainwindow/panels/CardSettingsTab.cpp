#include "mainwindow/panels/CardSettingsTab.h"

#include <QDoubleValidator>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

#include "mainwindow/panels/PanelControls.h"

CardSettingsTab::CardSettingsTab(QWidget* parent) : QWidget(parent) {
  setAccessibleName(tr("Card"));
  auto* layout = new QVBoxLayout(this);

  QGroupBox* outline = panels::box(tr("Outline"), this);
  auto* outlineLayout = new QHBoxLayout(outline);
  matrix_card_shape = new QButtonGroup(this);
  const QStringList shapes = {tr("Rectangle"), tr("Rounded"), tr("Ellipse")};
  for (int row = 0; row < shapes.size(); ++row) {
    QRadioButton* shape = panels::radio(shapes[row], outline);
    matrix_card_shape->addButton(shape, row);
    outlineLayout->addWidget(shape);
  }
  matrix_card_shape->button(0)->setChecked(true);
  layout->addWidget(outline);

  auto* form = new QFormLayout;
  card_name = new QLineEdit(this);
  card_name->setAccessibleName(tr("Card name"));
  form->addRow(tr("Name"), card_name);
  Sides_ComboBox = panels::combo(tr("Sides"), {tr("Front and back"), tr("Front only")}, this);
  form->addRow(tr("Sides"), Sides_ComboBox);
  layout->addLayout(form);

  QGroupBox* size = panels::box(tr("Size"), this);
  auto* sizeLayout = new QVBoxLayout(size);
  auto* presetForm = new QFormLayout;
  Category_ComboBox =
      panels::combo(tr("Category"), {QStringLiteral("PVC Card"), QStringLiteral("Paper Card")}, size);
  presetForm->addRow(tr("Category"), Category_ComboBox);
  Preset_ComboBox =
      panels::combo(tr("Orientation"), {QStringLiteral("Horizontal"), QStringLiteral("Vertical")}, size);
  presetForm->addRow(tr("Orientation"), Preset_ComboBox);
  sizeLayout->addLayout(presetForm);
  ColList = new QListWidget(size);
  ColList->setAccessibleName(tr("Card sizes"));
  ColList->setMinimumHeight(110);
  sizeLayout->addWidget(ColList);
  auto* millimetres = new QHBoxLayout;
  auto* validator = new QDoubleValidator(this);
  validator->setNotation(QDoubleValidator::StandardNotation);
  width_Text = new QLineEdit(size);
  width_Text->setAccessibleName(tr("Width in millimetres"));
  height_Text = new QLineEdit(size);
  height_Text->setAccessibleName(tr("Height in millimetres"));
  Apply_Size_btn = panels::button(tr("Apply"), size);
  Apply_Size_btn->setAccessibleName(tr("Apply size"));
  millimetres->addWidget(new QLabel(tr("W"), size));
  millimetres->addWidget(width_Text);
  millimetres->addWidget(new QLabel(tr("H"), size));
  millimetres->addWidget(height_Text);
  millimetres->addWidget(new QLabel(tr("mm"), size));
  millimetres->addWidget(Apply_Size_btn);
  sizeLayout->addLayout(millimetres);
  layout->addWidget(size);

  QGroupBox* content = panels::box(tr("Card texts"), this);
  auto* contentLayout = new QHBoxLayout(content);
  All_Text_clr = new ColorWell(tr("Text colour"), content);
  All_Text_font_value = new QLabel(content);
  All_Text_font_value->setAccessibleName(tr("Text font"));
  Content_Font_btn = panels::button(tr("Font…"), content);
  contentLayout->addWidget(All_Text_clr);
  contentLayout->addWidget(All_Text_font_value, 1);
  contentLayout->addWidget(Content_Font_btn);
  layout->addWidget(content);
  layout->addStretch(1);
}
