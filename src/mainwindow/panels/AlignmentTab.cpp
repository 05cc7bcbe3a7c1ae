#include "mainwindow/panels/AlignmentTab.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "mainwindow/panels/PanelControls.h"

AlignmentTab::AlignmentTab(QWidget* parent) : QWidget(parent) {
  setAccessibleName(tr("Alignment"));
  auto* layout = new QVBoxLayout(this);
  auto* align = panels::box(tr("Align"), this);
  auto* grid = new QGridLayout(align);
  Align_Left_btn = panels::button(tr("Left Edges"), align);
  Align_Right_btn = panels::button(tr("Right Edges"), align);
  Align_Top_btn = panels::button(tr("Top Edges"), align);
  Align_Bottom_btn = panels::button(tr("Bottom Edges"), align);
  Align_Horz_btn = panels::button(tr("Horizontal Centres"), align);
  Align_Vert_btn = panels::button(tr("Vertical Centres"), align);
  Align_Center_btn = panels::button(tr("Centres"), align);
  Align_To_Grid_btn = panels::button(tr("To Grid"), align);
  grid->addWidget(Align_Left_btn, 0, 0);
  grid->addWidget(Align_Right_btn, 0, 1);
  grid->addWidget(Align_Top_btn, 1, 0);
  grid->addWidget(Align_Bottom_btn, 1, 1);
  grid->addWidget(Align_Horz_btn, 2, 0);
  grid->addWidget(Align_Vert_btn, 2, 1);
  grid->addWidget(Align_Center_btn, 3, 0);
  grid->addWidget(Align_To_Grid_btn, 3, 1);
  layout->addWidget(align);
  auto* size = panels::box(tr("Size"), this);
  auto* sizes = new QGridLayout(size);
  Make_Same_Width_btn = panels::button(tr("Same Width"), size);
  Make_Same_Height_btn = panels::button(tr("Same Height"), size);
  Make_Natural_btn = panels::button(tr("Natural Size"), size);
  sizes->addWidget(Make_Same_Width_btn, 0, 0);
  sizes->addWidget(Make_Same_Height_btn, 0, 1);
  sizes->addWidget(Make_Natural_btn, 1, 0);
  layout->addWidget(size);
  auto* hint = new QLabel(tr("With one object selected, edges and centres align to the card; with several, "
                             "to the first one selected."),
                          this);
  hint->setWordWrap(true);
  layout->addWidget(hint);
  layout->addStretch(1);
}
