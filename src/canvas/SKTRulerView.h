#pragma once
// A ruler along the top or the left edge of a zooming scroll view: ticks in
// card points that follow the scroll position and the zoom, and the lines
// that echo a moved or resized object's edges and middle.

#include <QWidget>
#include <vector>

class SWCenteringClipView;

class SKTRulerView : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kThickness = 18;

  SKTRulerView(Qt::Orientation orientation, SWCenteringClipView* clip, QWidget* parent = nullptr);
  Qt::Orientation orientation() const { return _orientation; }

  // Ruler lines at card coordinates (points); -1 stands for no line.
  void moveRulerlineFromLocation(double oldLocation, double newLocation);
  const std::vector<double>& markerLocations() const { return _markers; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Qt::Orientation _orientation;
  SWCenteringClipView* _clip;
  std::vector<double> _markers;
};
