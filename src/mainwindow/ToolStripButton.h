#pragma once
// The buttons of the tool strip. Each shows whether its tool is the active
// one, but a tool acts once: pressing its button places the object and the
// strip falls back to the arrow. To assistive technology the button is
// therefore pressed, exactly as a click presses it, never toggled (a toggled
// checkable button would show its tool as active and run nothing).

#include <QToolButton>
#include <QWidgetAction>

class ToolStripButton : public QToolButton {
  Q_OBJECT
 public:
  explicit ToolStripButton(QWidget* parent = nullptr);
};

// A drawing tool: a ToolStripButton in a tool bar, a plain item in a menu.
class ToolStripAction : public QWidgetAction {
  Q_OBJECT
 public:
  ToolStripAction(const QIcon& icon, const QString& text, QObject* parent);

 protected:
  QWidget* createWidget(QWidget* parent) override;
};
