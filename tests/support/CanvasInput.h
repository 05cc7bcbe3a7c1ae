#pragma once
// Mouse and key input for canvas tests: the canvas's own tracking events and
// real Qt events sent to a widget.

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include "canvas/SKTGraphicView.h"
#include "core/SKTGraphic.h"
#include "support/EventLoop.h"

namespace testing_support {

inline SKTCanvasMouseEvent canvasEvent(SKTCanvasMouseEvent::Type type, QPointF p, bool shift = false,
                                       int clicks = 1) {
  SKTCanvasMouseEvent e;
  e.type = type;
  e.point = p;
  e.shift = shift;
  e.clickCount = clicks;
  return e;
}
inline SKTCanvasMouseEvent down(QPointF p, bool shift = false, int clicks = 1) {
  return canvasEvent(SKTCanvasMouseEvent::Type::Down, p, shift, clicks);
}
inline SKTCanvasMouseEvent drag(QPointF p) {
  return canvasEvent(SKTCanvasMouseEvent::Type::Dragged, p);
}
inline SKTCanvasMouseEvent up(QPointF p) {
  return canvasEvent(SKTCanvasMouseEvent::Type::Up, p);
}

inline void sendMouse(QWidget* w, QEvent::Type type, QPointF p, Qt::MouseButton button,
                      Qt::MouseButtons buttons) {
  QMouseEvent e(type, p, w->mapToGlobal(p), button, buttons, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &e);
}

inline void keyClick(QWidget* w, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &press);
}

// A shape graphic (rectangle) with the given bounds.
inline SKTGraphicPtr shape(QRectF bounds) {
  auto g = SKTGraphic::makeGraphic(GraphicKind::Shape);
  g->_bounds = bounds;
  return g;
}

}  // namespace testing_support
