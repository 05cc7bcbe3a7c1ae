#pragma once
// MessageWindow: the program's message box. Its text wraps by layout
// (WrappingLabel), so a long path or address wraps within the screen while
// the text stays exactly as given; a text taller than the screen scrolls.
// Ctrl+C copies the text. Screen readers meet it as an alert whose
// description is the text.

#include <QDialog>
#include <QDialogButtonBox>

class QPushButton;
class QScrollArea;

namespace platform {

class WrappingLabel;

class MessageWindow : public QDialog {
  Q_OBJECT

 public:
  explicit MessageWindow(const QString& text, QWidget* parent = nullptr);

  // A button in the place its role has on this desktop; pressing it ends the box.
  QPushButton* addButton(const QString& label, QDialogButtonBox::ButtonRole role);
  // The button Return presses.
  void setDefaultButton(QPushButton* button);
  // The button that Escape and the window's close button stand for. Without
  // one: the only button, else the one of the No or Reject role.
  void setEscapeButton(QPushButton* button) { escape_ = button; }
  // The button that ended the box; nullptr while it is open.
  QPushButton* clickedButton() const { return clicked_; }

  QString text() const;
  WrappingLabel* label() const { return label_; }

  // Sizes the box to its text within the screen; then as QDialog::exec().
  int exec() override;
  void reject() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void fitToScreen();
  QPushButton* escapeButton() const;

  WrappingLabel* label_ = nullptr;
  QScrollArea* scroll_ = nullptr;
  QDialogButtonBox* buttons_ = nullptr;
  QPushButton* escape_ = nullptr;
  QPushButton* clicked_ = nullptr;
};

}  // namespace platform
