// The alignment tab and the print check box of the object tabs: each
// command goes to the canvas of the current side (never the scratch side)
// and the side is redrawn.
#include <QCheckBox>

#include "canvas/SKTGraphicView.h"
#include "canvas/SKTGrid.h"
#include "mainwindow/SKTWindowController.h"
#include "platform/Messages.h"

namespace {
const QString kMoreThanOne = QStringLiteral("Please select more than one control.");
}  // namespace

void SKTWindowController::Print_object_chk_changed() {
  // Locked objects keep their flag (the canvas's own rule).
  const int print = print_object_chk->isChecked() ? 1 : 0;
  writePanel([print](SKTGraphic& g) { g.print_object = print; });
}

void SKTWindowController::Align_Left_Clicked() {
  currentSideView()->alignLeftEdges();
  Refresh_Canvas();
}

void SKTWindowController::Align_Right_Clicked() {
  currentSideView()->alignRightEdges();
  Refresh_Canvas();
}

void SKTWindowController::Align_Top_Clicked() {
  currentSideView()->alignTopEdges();
  Refresh_Canvas();
}

void SKTWindowController::Align_Bottom_Clicked() {
  currentSideView()->alignBottomEdges();
  Refresh_Canvas();
}

void SKTWindowController::Align_Horz_Clicked() {
  currentSideView()->alignHorizontalCenters();
  Refresh_Canvas();
}

void SKTWindowController::Align_Vert_Clicked() {
  currentSideView()->alignVerticalCenters();
  Refresh_Canvas();
}

void SKTWindowController::Align_Center_Clicked() {
  currentSideView()->alignformCenter();
  Refresh_Canvas();
}

void SKTWindowController::Make_Same_Width_Clicked() {
  if (currentSideView()->selectionIndexes().size() < 2) return Show_MessageBox(kMoreThanOne);
  currentSideView()->makeSameWidth();
  Refresh_Canvas();
}

void SKTWindowController::Make_Same_Height_Clicked() {
  if (currentSideView()->selectionIndexes().size() < 2) return Show_MessageBox(kMoreThanOne);
  currentSideView()->makeSameHeight();
  Refresh_Canvas();
}

void SKTWindowController::Make_Natural_Clicked() {
  currentSideView()->makeNaturalSize();
  Refresh_Canvas();
}

void SKTWindowController::Align_To_Grid_Clicked() {
  if (!_grid->isAlwaysShown()) return Show_MessageBox(QStringLiteral("Please use grid option first."));
  currentSideView()->alignWithGrid();
  Refresh_Canvas();
}
