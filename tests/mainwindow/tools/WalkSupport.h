#pragma once
// What the walkthrough programs share: a message host that answers panels
// from a script and shows modal dialogs for real (a scripted step acts on
// them while they are open), screenshots, and clicks on the tool strip.
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <functional>

#include "canvas/SKTGraphicView.h"
#include "mainwindow/SKTWindowController.h"
#include "platform/MessageHost.h"
#include "platform/ResourceFolder.h"

namespace walk {

inline QString g_shots;

// Names the application, takes the screenshot folder from the first
// argument and makes the resource folder; false (with the reason logged)
// when there is none.
inline bool prepare(int argc, char* argv[]) {
  QApplication::setApplicationName("QUVO Gratulo");
  QApplication::setOrganizationName("QUVO");
  g_shots = argc > 1 ? argv[1] : QDir::currentPath();
  QDir().mkpath(g_shots);
  QString error;
  if (!platform::initResourceFolder(&error)) {
    qWarning("%s", qPrintable(error));
    return false;
  }
  return true;
}

inline void settle(int ms = 150) {
  QTest::qWait(ms);
}

inline void shoot(QWidget* widget, const QString& name) {
  settle();
  const QString path = g_shots + "/" + name + ".png";
  widget->grab().save(path);
  qInfo("screenshot %s", qPrintable(path));
}

// Answers panels from a script and shows modal dialogs for real, letting a
// scripted step act on them while they are open.
class WalkHost : public platform::MessageHost {
 public:
  QStringList openAnswers;
  QString saveAnswer;
  std::function<void(QDialog&)> onModal;
  void showMessage(const QString& text) override { qInfo("message: %s", qPrintable(text.trimmed())); }
  bool askYesNo(const QString& q) override {
    qInfo("question: %s -> No", qPrintable(q));
    return false;
  }
  Answer askYesNoCancel(const QString& q) override {
    qInfo("question: %s -> No", qPrintable(q));
    return Answer::No;
  }
  QStringList openPanel(const platform::FilePanelRequest&) override {
    return openAnswers.isEmpty() ? QStringList() : QStringList{openAnswers.takeFirst()};
  }
  QString savePanel(const platform::FilePanelRequest&) override { return saveAnswer; }
  bool openUrl(const QUrl& url) override {
    qInfo("open: %s", qPrintable(url.toString()));
    return true;
  }
  int runModal(QDialog& dialog) override {
    auto step = std::move(onModal);
    onModal = nullptr;
    if (step)
      QTimer::singleShot(300, &dialog, [&dialog, step] { step(dialog); });
    else
      QTimer::singleShot(100, &dialog, [&dialog] { dialog.done(0); });
    return dialog.exec();
  }
  void exitProcess(int) override {}
};

inline void clickTool(SKTWindowController& window, DrawingTool tool) {
  QAction* action = window.toolAction(tool);
  QToolBar* strip = window.findChild<QToolBar*>("Tool_Strip");
  QWidget* button = strip->widgetForAction(action);
  QTest::mouseClick(button, Qt::LeftButton);
  settle(60);
}

// Clicks an object on the current side's canvas, as the mouse does.
inline void select(SKTWindowController& window, const SKTGraphicPtr& graphic, bool shift = false) {
  SKTGraphicView* canvas = window.currentSideView();
  const QPoint at = (graphic->bounds().center() * canvas->displayFactor()).toPoint();
  SKTCanvasMouseEvent up;
  up.type = SKTCanvasMouseEvent::Type::Up;
  up.point = graphic->bounds().center();
  canvas->queueTrackingEvents({up});
  const Qt::KeyboardModifiers keys = shift ? Qt::ShiftModifier : Qt::NoModifier;
  QTest::mousePress(canvas, Qt::LeftButton, keys, at);
  QTest::mouseRelease(canvas, Qt::LeftButton, keys, at);
  settle(60);
}

// Drags a graphic by its middle until its middle lies at `to` (card points).
inline void dragObject(SKTGraphicView* canvas, const SKTGraphicPtr& graphic, QPointF to) {
  const double f = canvas->displayFactor();
  const QPoint from = (graphic->bounds().center() * f).toPoint();
  const QPoint target = (to * f).toPoint();
  canvas->changeSelectionIndexes({});
  // The canvas tracks a drag in a loop of its own: it is handed the moves.
  SKTCanvasMouseEvent move;
  move.type = SKTCanvasMouseEvent::Type::Dragged;
  move.point = (graphic->bounds().center() + to) / 2;
  SKTCanvasMouseEvent last = move;
  last.point = to;
  SKTCanvasMouseEvent up = last;
  up.type = SKTCanvasMouseEvent::Type::Up;
  canvas->queueTrackingEvents({move, last, up});
  QTest::mousePress(canvas, Qt::LeftButton, {}, from);
  QTest::mouseRelease(canvas, Qt::LeftButton, {}, target);
  settle(60);
}

}  // namespace walk
