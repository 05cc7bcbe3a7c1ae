#include "mainwindow/ToolStripButton.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QToolBar>
#include <mutex>

namespace {

// A tool strip button as assistive technology sees it: a button, checked
// while its tool is active, whose action is the press of a click.
class ToolStripButtonAccessible : public QAccessibleWidget {
 public:
  explicit ToolStripButtonAccessible(QAbstractButton* button)
      : QAccessibleWidget(button, QAccessible::Button) {}

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = true;
    state.checked = button()->isChecked();
    return state;
  }
  QStringList actionNames() const override {
    QStringList names = QAccessibleWidget::actionNames();
    if (widget()->isEnabled()) names.prepend(pressAction());
    return names;
  }
  // A toggle asked for all the same (checkable buttons offer one) is a press too.
  void doAction(const QString& name) override {
    if (name == pressAction() || name == toggleAction()) {
      if (widget()->isEnabled()) button()->click();
    } else {
      QAccessibleWidget::doAction(name);
    }
  }

 private:
  QAbstractButton* button() const { return static_cast<QAbstractButton*>(widget()); }
};

QAccessibleInterface* toolStripButtonAccessible(const QString& className, QObject* object) {
  if (className != QLatin1String("ToolStripButton")) return nullptr;
  return new ToolStripButtonAccessible(static_cast<ToolStripButton*>(object));
}

}  // namespace

ToolStripButton::ToolStripButton(QWidget* parent) : QToolButton(parent) {
  static std::once_flag installed;
  std::call_once(installed, [] { QAccessible::installFactory(toolStripButtonAccessible); });
}

ToolStripAction::ToolStripAction(const QIcon& icon, const QString& text, QObject* parent)
    : QWidgetAction(parent) {
  setIcon(icon);
  setText(text);
}

QWidget* ToolStripAction::createWidget(QWidget* parent) {
  auto* strip = qobject_cast<QToolBar*>(parent);
  if (strip == nullptr) return nullptr;  // a menu shows its plain item
  // Set up as the tool bar sets up the buttons it makes itself.
  auto* button = new ToolStripButton(strip);
  button->setAutoRaise(true);
  button->setFocusPolicy(Qt::NoFocus);
  button->setIconSize(strip->iconSize());
  button->setToolButtonStyle(strip->toolButtonStyle());
  connect(strip, &QToolBar::iconSizeChanged, button, &QToolButton::setIconSize);
  connect(strip, &QToolBar::toolButtonStyleChanged, button, &QToolButton::setToolButtonStyle);
  button->setDefaultAction(this);
  return button;
}
