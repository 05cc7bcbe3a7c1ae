#pragma once
// Where a text or picture object takes its value from: typed by hand (for a
// picture, a chosen file), a data series, or a column of the spreadsheet
// data-source table, with a preview of the first value.

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

class DataSourceTab : public QWidget {
  Q_OBJECT
 public:
  explicit DataSourceTab(QWidget* parent = nullptr);

  QLabel* data_source_title = nullptr;    // "Text Source" or "Image Source"
  QComboBox* Data_source_type = nullptr;  // "Manual", "Series", and "Excel" while a spreadsheet is bound
  QComboBox* Batch_Series = nullptr;      // series names or column titles
  QPushButton* view_series_btn = nullptr;
  QPushButton* help_btn = nullptr;
  QGroupBox* manual_brws_box = nullptr;  // a picture's own file
  QLineEdit* Manual_image_path = nullptr;
  QPushButton* Manual_Image_Browse_btn = nullptr;
  QPushButton* Manual_Library_Browse_btn = nullptr;
};
