#include "mainwindow/panels/SignatureTab.h"

#include <QGridLayout>
#include <QVBoxLayout>

SignatureTab::SignatureTab(QWidget* parent) : QWidget(parent) {
  setAccessibleName(tr("Signature Properties"));
  auto* layout = new QVBoxLayout(this);
  border = panels::borderControls(tr("Signature"), this, layout);
  auto* file = panels::box(tr("Picture file (PNG)"), this);
  auto* grid = new QGridLayout(file);
  Sign_image_path = new QLineEdit(file);
  Sign_image_path->setReadOnly(true);
  Sign_image_path->setAccessibleName(tr("Signature picture file"));
  Sign_Browse_btn = panels::button(tr("Choose File…"), file);
  grid->addWidget(Sign_image_path, 0, 0);
  grid->addWidget(Sign_Browse_btn, 1, 0, Qt::AlignLeft);
  layout->addWidget(file);
  layout->addStretch(1);
}
