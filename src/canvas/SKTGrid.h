#pragma once
// The square grid shared by the three canvases: draws its lines under the card
// objects, snaps points while objects are created and moved, and aligns bounds.

#include <QColor>
#include <QObject>
#include <QPointF>
#include <QRectF>
#include <QTimer>

class QPainter;

class SKTGrid : public QObject {
  Q_OBJECT
 public:
  static constexpr int SKTGridTemporaryShowingTimeMs = 1000;

  explicit SKTGrid(QObject* parent = nullptr);

  QColor color() const { return _color; }
  void setColor(const QColor& color);
  double spacing() const { return _spacing; }
  void setSpacing(double spacing);
  bool isAlwaysShown() const { return _isAlwaysShown; }
  void setAlwaysShown(bool shown);
  bool isConstraining() const { return _isConstraining; }
  void setConstraining(bool constraining);

  bool isUsable() const { return _spacing > 0; }
  bool canAlign() const { return isUsable(); }
  bool canSetColor() const { return _isAlwaysShown && isUsable(); }
  bool canSetSpacing() const { return _isAlwaysShown || _isConstraining; }
  // True while the grid is shown for a moment after a spacing change.
  bool isShowingTemporarily() const { return _hidingTimer.isActive(); }

  QPointF constrainedPoint(QPointF point) const;
  QRectF alignedRect(QRectF rect) const;

  // Draws the lines that cross the rectangle (card coordinates) with a cosmetic pen.
  void drawRect(QPainter& painter, const QRectF& rect) const;

  void stopShowingGridForTimer();

 signals:
  // Any property changed, or a temporary showing ended: canvases redraw.
  void anyChanged();
  // The always-shown state changed: the main window enables its align-to-grid button.
  void alwaysShownChanged(bool shown);

 private:
  QColor _color;
  double _spacing = 9.0;
  bool _isAlwaysShown = false;
  bool _isConstraining = false;
  QTimer _hidingTimer;
};
