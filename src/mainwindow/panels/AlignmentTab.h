#pragma once
// The arrange commands on the selected objects: edges and centres aligned,
// the same width or height, the natural size and alignment to the grid.

#include <QPushButton>
#include <QWidget>

class AlignmentTab : public QWidget {
  Q_OBJECT
 public:
  explicit AlignmentTab(QWidget* parent = nullptr);

  QPushButton* Align_Left_btn = nullptr;
  QPushButton* Align_Right_btn = nullptr;
  QPushButton* Align_Top_btn = nullptr;
  QPushButton* Align_Bottom_btn = nullptr;
  QPushButton* Align_Horz_btn = nullptr;
  QPushButton* Align_Vert_btn = nullptr;
  QPushButton* Align_Center_btn = nullptr;
  QPushButton* Make_Same_Width_btn = nullptr;
  QPushButton* Make_Same_Height_btn = nullptr;
  QPushButton* Make_Natural_btn = nullptr;
  QPushButton* Align_To_Grid_btn = nullptr;
};
