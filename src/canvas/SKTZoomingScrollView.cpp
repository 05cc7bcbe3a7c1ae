#include "canvas/SKTZoomingScrollView.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <vector>

#include "canvas/SKTRulerView.h"
#include "canvas/ZoomGeometry.h"

namespace {

constexpr int kShadowBlur = 15;
constexpr QPoint kShadowOffset{3, 3};  // right and down on screen

// Three box blurs approximate a Gaussian; run on the alpha channel only.
void boxBlurAlpha(QImage& img, int radius) {
  if (radius <= 0) return;
  const int w = img.width(), h = img.height();
  std::vector<int> line(std::max(w, h));
  for (int pass = 0; pass < 3; ++pass) {
    for (int y = 0; y < h; ++y) {
      uchar* row = img.scanLine(y);
      for (int x = 0; x < w; ++x) line[x] = row[x];
      int sum = 0;
      for (int x = -radius; x <= radius; ++x) sum += line[std::clamp(x, 0, w - 1)];
      for (int x = 0; x < w; ++x) {
        row[x] = static_cast<uchar>(sum / (2 * radius + 1));
        sum += line[std::min(x + radius + 1, w - 1)] - line[std::max(x - radius, 0)];
      }
    }
    for (int x = 0; x < w; ++x) {
      for (int y = 0; y < h; ++y) line[y] = img.scanLine(y)[x];
      int sum = 0;
      for (int y = -radius; y <= radius; ++y) sum += line[std::clamp(y, 0, h - 1)];
      for (int y = 0; y < h; ++y) {
        img.scanLine(y)[x] = static_cast<uchar>(sum / (2 * radius + 1));
        sum += line[std::min(y + radius + 1, h - 1)] - line[std::max(y - radius, 0)];
      }
    }
  }
}

QPainterPath silhouettePath(const QRectF& r, int shape) {
  QPainterPath path;
  if (shape == 1)
    path.addRoundedRect(r, 10, 10);
  else if (shape == 2)
    path.addEllipse(r);
  else
    path.addRect(r);
  return path;
}

}  // namespace

// ---------------------------------------------------------------- clip view

SWCenteringClipView::SWCenteringClipView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

QSizeF SWCenteringClipView::boundsSize() const {
  return zoom::visibleSizeForFactor(size(), _factor);
}

QSizeF SWCenteringClipView::documentSize() const {
  return _document ? _document->documentSize() : QSizeF();
}

void SWCenteringClipView::setFactor(double factor) {
  if (!(factor > 0) || !std::isfinite(factor)) return;
  _factor = factor;
  if (_document) _document->setDisplayFactor(factor);
  centerDocument();
}

void SWCenteringClipView::setDocument(QWidget* view, ZoomableDocument* document) {
  _view = view;
  _document = document;
  if (view) view->setParent(this);
  if (document) {
    document->setDisplayFactor(_factor);
    document->onFrameChanged = [this] { centerDocument(); };
  }
  centerDocument();
  if (view) view->show();
}

QPointF SWCenteringClipView::constrainScrollPoint(QPointF proposed) const {
  return zoom::constrainScrollPoint(proposed, documentSize(), boundsSize());
}

void SWCenteringClipView::scrollToPoint(QPointF point) {
  _origin = constrainScrollPoint(point);
  placeDocument();
  update();
  emit boundsChanged();
}

void SWCenteringClipView::centerDocument() {
  scrollToPoint(zoom::centerDocument(_origin, documentSize(), boundsSize()));
}

void SWCenteringClipView::placeDocument() {
  if (!_view) return;
  const QSizeF d = documentSize();
  _view->setGeometry(static_cast<int>(std::lround(-_origin.x() * _factor)),
                     static_cast<int>(std::lround(-_origin.y() * _factor)),
                     static_cast<int>(std::lround(d.width() * _factor)),
                     static_cast<int>(std::lround(d.height() * _factor)));
}

void SWCenteringClipView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  centerDocument();
}

const QImage& SWCenteringClipView::shadowImage(const QRect& silhouette, int shape) {
  if (_shadowFor == silhouette.size() && _shadowShape == shape && !_shadow.isNull()) return _shadow;
  const int pad = 3 * kShadowBlur;
  QImage alpha(silhouette.size() + QSize(2 * pad, 2 * pad), QImage::Format_Alpha8);
  alpha.fill(0);
  {
    QPainter p(&alpha);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(silhouettePath(QRectF(pad, pad, silhouette.width(), silhouette.height()), shape), Qt::black);
  }
  boxBlurAlpha(alpha, kShadowBlur / 3);
  _shadow = QImage(alpha.size(), QImage::Format_ARGB32_Premultiplied);
  _shadow.fill(Qt::transparent);
  {
    QPainter p(&_shadow);
    p.drawImage(0, 0, alpha);  // an alpha-only image paints black with its alpha
  }
  _shadowFor = silhouette.size();
  _shadowShape = shape;
  return _shadow;
}

void SWCenteringClipView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRectF all = rect();
  p.fillRect(all, Qt::white);
  QLinearGradient backdrop(all.topLeft(), all.bottomLeft());  // 90 degrees: top to bottom
  backdrop.setColorAt(0, QColor::fromRgbF(0.88f, 0.88f, 0.88f));
  backdrop.setColorAt(1, QColor::fromRgbF(0.78f, 0.78f, 0.78f));
  p.fillRect(all, backdrop);
  if (!_view) return;
  const QRect silhouette = _view->geometry();
  if (silhouette.isEmpty()) return;
  const int shape = cardShape();
  // Very large silhouettes (high zoom) only show their edges; blurring the
  // visible part keeps the cost bounded by the window size.
  const QRect visible = silhouette.intersected(rect().adjusted(-64, -64, 64, 64));
  if (silhouette.width() * silhouette.height() <= 4'000'000) {
    const QImage& shadow = shadowImage(silhouette, shape);
    p.drawImage(silhouette.topLeft() + kShadowOffset - QPoint(3 * kShadowBlur, 3 * kShadowBlur), shadow);
  } else if (!visible.isEmpty()) {
    p.fillRect(visible.translated(kShadowOffset), QColor(0, 0, 0, 90));
  }
  p.setRenderHint(QPainter::Antialiasing);
  p.fillPath(silhouettePath(QRectF(silhouette), shape), palette().color(QPalette::Button));
}

// ---------------------------------------------------------------- scroll view

SKTZoomingScrollView::SKTZoomingScrollView(QWidget* parent) : QAbstractScrollArea(parent) {
  _clip = new SWCenteringClipView;
  setViewport(_clip);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  connect(_clip, &SWCenteringClipView::boundsChanged, this, [this] {
    updateScrollBars();
    if (_rulersVisible) {
      _hRuler->update();
      _vRuler->update();
    }
  });
  validateFactorPopUpButton();
  _hRuler = new SKTRulerView(Qt::Horizontal, _clip, this);
  _vRuler = new SKTRulerView(Qt::Vertical, _clip, this);
  _hRuler->hide();
  _vRuler->hide();
}

void SKTZoomingScrollView::setRulersVisible(bool visible) {
  if (visible == _rulersVisible) return;
  _rulersVisible = visible;
  const int t = visible ? SKTRulerView::kThickness : 0;
  setViewportMargins(t, t, 0, 0);
  _hRuler->setVisible(visible);
  _vRuler->setVisible(visible);
  placeRulers();
}

void SKTZoomingScrollView::placeRulers() {
  if (!_rulersVisible) return;
  const QRect vp = viewport()->geometry();
  const int t = SKTRulerView::kThickness;
  _hRuler->setGeometry(vp.left(), vp.top() - t, vp.width(), t);
  _vRuler->setGeometry(vp.left() - t, vp.top(), t, vp.height());
}

void SKTZoomingScrollView::setDocumentView(QWidget* view, ZoomableDocument* document) {
  _clip->setDocument(view, document);
  _clip->setFactor(_factor);
  updateScrollBars();
}

void SKTZoomingScrollView::validateFactorPopUpButton() {
  if (_factorPopUpButton) return;
  _factorPopUpButton = new QComboBox;
  QFont small = _factorPopUpButton->font();
  small.setPointSizeF(std::max(6.0, small.pointSizeF() - 2));
  _factorPopUpButton->setFont(small);
  for (const auto& entry : zoom::kZoomTable)
    _factorPopUpButton->addItem(QCoreApplication::translate("SKTZoomingScrollView", entry.label),
                                entry.factor);
  _factorPopUpButton->setCurrentIndex(4);
  _factorPopUpButton->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  _factorPopUpButton->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  _factorPopUpButton->setFixedWidth(_factorPopUpButton->sizeHint().width());
  addScrollBarWidget(_factorPopUpButton, Qt::AlignLeft);
  connect(_factorPopUpButton, &QComboBox::activated, this, [this](int index) {
    const double f = _factorPopUpButton->itemData(index).toDouble();
    emit factorChosen(f);
  });
}

void SKTZoomingScrollView::setFactor(double factor) {
  if (!(factor > 0) || !std::isfinite(factor)) return;
  _factor = factor;
  const int index = _factorPopUpButton->findData(factor);
  if (index >= 0 && index != _factorPopUpButton->currentIndex()) _factorPopUpButton->setCurrentIndex(index);
  _clip->setFactor(factor);
  updateScrollBars();
}

void SKTZoomingScrollView::updateScrollBars() {
  if (_syncing) return;
  _syncing = true;
  const QSizeF d = _clip->documentSize();
  const QSizeF v = _clip->boundsSize();
  const QPointF o = _clip->boundsOrigin();
  const double f = _factor;
  auto setup = [&](QScrollBar* bar, double doc, double vis, double origin, int page) {
    const int max = static_cast<int>(std::lround(std::max(0.0, (doc - vis) * f)));
    bar->setRange(0, max);
    bar->setPageStep(page);
    bar->setSingleStep(std::max(1, page / 20));
    bar->setValue(max > 0 ? static_cast<int>(std::lround(origin * f)) : 0);
  };
  setup(horizontalScrollBar(), d.width(), v.width(), o.x(), _clip->width());
  setup(verticalScrollBar(), d.height(), v.height(), o.y(), _clip->height());
  _syncing = false;
}

void SKTZoomingScrollView::scrollContentsBy(int, int) {
  if (_syncing) return;
  _syncing = true;
  const QSizeF d = _clip->documentSize();
  const QSizeF v = _clip->boundsSize();
  QPointF proposed(horizontalScrollBar()->value() / _factor, verticalScrollBar()->value() / _factor);
  if (v.width() > d.width()) proposed.setX(0);
  if (v.height() > d.height()) proposed.setY(0);
  _clip->scrollToPoint(proposed);
  _syncing = false;
}

void SKTZoomingScrollView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  placeRulers();
  _clip->centerDocument();
  updateScrollBars();
}

bool SKTZoomingScrollView::viewportEvent(QEvent* event) {
  // The clip view paints itself; the scroll area must not swallow its paint events.
  if (event->type() == QEvent::Paint) return false;
  return QAbstractScrollArea::viewportEvent(event);
}
