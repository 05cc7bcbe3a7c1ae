#pragma once
// A card host for the core model tests: records the calls it gets and answers
// placement points from a counter.

#include <QPainter>
#include <QStringList>

#include "core/CardHost.h"

class CoreTestHost : public CardHost {
 public:
  QString resourcePath = QStringLiteral("/tmp/quvo-core-test-resources");
  CardFont textFont{QStringLiteral("ArialMT"), 12.0};
  QColor textColor = QColor(10, 20, 30);
  QRectF canvasBounds{0, 0, 500, 300};
  QStringList placementSides;
  QPointF nextPoint{100.0, 100.0};
  int resetImageControls = 0;

  QPointF Control_New_Point(const QString& side) override {
    placementSides << side;
    const QPointF p = nextPoint;
    nextPoint += QPointF(10.0, 10.0);
    return p;
  }
  void Reset_Image_Editing_Controls() override { ++resetImageControls; }
  CardFont All_Text_font() override { return textFont; }
  QColor All_Text_clr() override { return textColor; }
  QString Resource_Path() override { return resourcePath; }
  QRectF frontCanvasBounds() override { return canvasBounds; }
};
