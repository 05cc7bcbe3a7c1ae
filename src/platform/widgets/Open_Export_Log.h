#pragma once
// The box that follows a finished export (cards, series records): the
// message, the exported path and a box, ticked, to open the file (or the
// folder) when OK is pressed. Both buttons leave the box ticked.

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;

class Open_Export_Log : public QDialog {
  Q_OBJECT
 public:
  explicit Open_Export_Log(QWidget* parent = nullptr);
  // Shows the finished export of `path` with its message, modally over the
  // parent (through the message host); 1 OK, 0 Cancel.
  int openFor(const QString& path, const QString& message);
  void OKPressed();
  void CancelPressed();
  // Escape and the window's close button answer as Cancel does.
  void reject() override { CancelPressed(); }

  QCheckBox* _open_log_chk = nullptr;
  QLabel* _open_log_path = nullptr;
  QLabel* _open_log_message = nullptr;

  // The widest the path and the message may make the box, in pixels.
  static constexpr int kMaximumTextWidth = 560;

 private:
  QString path_;
};
