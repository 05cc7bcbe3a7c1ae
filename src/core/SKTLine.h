#pragma once
// SKTLine: one straight segment between two opposite corners of the bounds;
// two direction flags say which corners.

#include "core/SKTGraphic.h"

class SKTLine : public SKTGraphic {
 public:
  SKTLine() = default;
  GraphicKind kind() const override { return GraphicKind::Line; }

  QPointF beginPoint() const;
  QPointF endPoint() const;
  void setBeginPoint(const QPointF& point);
  void setEndPoint(const QPointF& point);
  // Bounds spanned by two points; the flags (when given) become end.x > begin.x
  // and end.y > begin.y.
  static QRectF boundsWithBeginPoint(const QPointF& begin, const QPointF& end, bool* pointsRight,
                                     bool* pointsDown);

  SKTGraphicPtr copyWithZone() const override;
  bool isDrawingFill() const override { return false; }
  bool isDrawingStroke() const override { return true; }
  void drawContentsInView(QPainter& painter, bool isBeingCreateOrEdited) override;  // draw/LineDrawing.cpp
  QPainterPath bezierPathForDrawing() const override;
  void drawHandlesInView(QPainter& painter, bool lock_hai) const override;
  bool canSetDrawingFill() const override { return false; }
  bool canSetDrawingStroke() const override { return false; }
  bool canMakeNaturalSize() const override { return false; }
  bool isContentsUnderPoint(const QPointF& point) const override;
  int handleUnderPoint(const QPointF& point) const override;
  int resizeByMovingHandle(int handle, const QPointF& point) override;
  void setColor(const QColor& color) override;
  QStringList keysForValuesToObserveForUndo() const override;
  std::optional<QString> presentablePropertyNameForKey(const QString& key) const override;
  int creationSizingHandle() const override { return 2; }
  QVariantMap properties() const override;
  QVariant valueForKey(const QString& key) override;
  void setValueForKey(const QString& key, const QVariant& value) override;
  QStringList keysAffectedByKey(const QString& key) const override;

  bool _pointsRight = false;
  bool _pointsDown = false;

 protected:
  SKTLine(const SKTLine&) = default;
  SKTGraphicPtr cloneShallow() const override;
  void initWithProperties(const QVariantMap& properties) override;

 private:
  void setPoints(const QPointF& begin, const QPointF& end);
};
