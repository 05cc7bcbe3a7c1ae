#include "platform/widgets/MessageWindow.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/widgets/DialogLook.h"
#include "platform/widgets/WrappingLabel.h"

namespace platform {

namespace {

// Height kept free beside the text for the title bar, the margins and the buttons.
constexpr int kRoomAround = 120;

// Screen readers meet the box as an alert, named by its title and described by its text.
QAccessibleInterface* alertFactory(const QString& className, QObject* object) {
  if (className == QLatin1String("platform::MessageWindow") && object != nullptr && object->isWidgetType())
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::AlertMessage);
  return nullptr;
}

}  // namespace

MessageWindow::MessageWindow(const QString& text, QWidget* parent) : QDialog(parent) {
  static const bool alertsInstalled = [] {
    QAccessible::installFactory(alertFactory);
    return true;
  }();
  (void)alertsInstalled;
  setWindowTitle(QApplication::applicationName());
  setAccessibleName(windowTitle());
  setAccessibleDescription(text);

  label_ = new WrappingLabel(text);
  scroll_ = new QScrollArea(this);
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll_->setWidget(label_);
  scroll_->viewport()->setAutoFillBackground(false);
  label_->setAutoFillBackground(false);
  buttons_ = new QDialogButtonBox(this);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(scroll_);
  layout->addWidget(buttons_);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(buttons_, &QDialogButtonBox::clicked, this, [this](QAbstractButton* button) {
    clicked_ = qobject_cast<QPushButton*>(button);
    const auto role = buttons_->buttonRole(button);
    done(role == QDialogButtonBox::AcceptRole || role == QDialogButtonBox::YesRole ? Accepted : Rejected);
  });
}

QPushButton* MessageWindow::addButton(const QString& label, QDialogButtonBox::ButtonRole role) {
  return buttons_->addButton(label, role);
}

void MessageWindow::setDefaultButton(QPushButton* button) {
  for (QAbstractButton* b : buttons_->buttons())
    if (auto* push = qobject_cast<QPushButton*>(b)) push->setDefault(push == button);
}

QString MessageWindow::text() const {
  return label_->text();
}

QPushButton* MessageWindow::escapeButton() const {
  if (escape_ != nullptr) return escape_;
  const QList<QAbstractButton*> all = buttons_->buttons();
  if (all.size() == 1) return qobject_cast<QPushButton*>(all.first());
  for (QAbstractButton* b : all) {
    const auto role = buttons_->buttonRole(b);
    if (role == QDialogButtonBox::NoRole || role == QDialogButtonBox::RejectRole)
      return qobject_cast<QPushButton*>(b);
  }
  return nullptr;
}

void MessageWindow::fitToScreen() {
  const QRect room = screenRoom(*this);
  const int width = label_->sizeHint().width();
  const int textHeight = label_->heightForWidth(width);
  int height = textHeight;
  if (!room.isEmpty()) {
    height = std::min(textHeight,
                      std::max(3 * fontMetrics().height(), room.height() - kWindowFrameAllowance.height() -
                                                               kRoomAround - buttons_->sizeHint().height()));
  }
  // The scroll bar is there exactly when the text is taller than the room.
  const bool scrolls = height < textHeight;
  scroll_->setVerticalScrollBarPolicy(scrolls ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  const int scrollBar = scrolls ? scroll_->verticalScrollBar()->sizeHint().width() : 0;
  label_->resize(width, textHeight);
  scroll_->setFixedSize(width + scrollBar, height);
}

int MessageWindow::exec() {
  clicked_ = nullptr;
  fitToScreen();
  for (QAbstractButton* b : buttons_->buttons())
    if (auto* push = qobject_cast<QPushButton*>(b); push != nullptr && push->isDefault()) push->setFocus();
  return QDialog::exec();
}

void MessageWindow::reject() {
  if (clicked_ == nullptr) clicked_ = escapeButton();
  QDialog::reject();
}

void MessageWindow::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    QGuiApplication::clipboard()->setText(text());
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace platform
