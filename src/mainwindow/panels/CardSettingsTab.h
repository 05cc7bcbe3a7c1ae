#pragma once
// The general card tab: outline shape, name, one or two sides, size presets
// and size in millimetres, and the colour and font of the card's texts.

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>

#include "platform/widgets/ColorWell.h"

class CardSettingsTab : public QWidget {
  Q_OBJECT
 public:
  explicit CardSettingsTab(QWidget* parent = nullptr);

  // Outline rows: 0 rectangle, 1 rounded rectangle, 2 ellipse.
  QButtonGroup* matrix_card_shape = nullptr;
  QLineEdit* card_name = nullptr;
  QComboBox* Sides_ComboBox = nullptr;     // 0 front and back, 1 front only
  QComboBox* Preset_ComboBox = nullptr;    // "Horizontal", "Vertical"
  QComboBox* Category_ComboBox = nullptr;  // 0 PVC card sizes, 1 paper badge sizes
  QListWidget* ColList = nullptr;          // the size names of the category
  QLineEdit* width_Text = nullptr;         // millimetres
  QLineEdit* height_Text = nullptr;
  QPushButton* Apply_Size_btn = nullptr;
  ColorWell* All_Text_clr = nullptr;
  QLabel* All_Text_font_value = nullptr;
  QPushButton* Content_Font_btn = nullptr;
};
