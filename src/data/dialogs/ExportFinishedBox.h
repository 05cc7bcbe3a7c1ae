#pragma once
// The box that follows a finished export: the message, the exported path and
// a box (ticked) to open the file, or its folder, when OK is pressed.

#include <QDialog>

class QCheckBox;
class QLabel;

class ExportFinishedBox : public QDialog {
  Q_OBJECT

 public:
  ExportFinishedBox(QString path, const QString& message, QWidget* parent = nullptr);
  // Opens the path (when the box is ticked) and ends with code 1.
  void OKPressed();
  void CancelPressed() { done(0); }

  QCheckBox* _open_log_chk = nullptr;
  QLabel* _open_log_path = nullptr;
  QLabel* _open_log_message = nullptr;

 private:
  QString path_;
};
