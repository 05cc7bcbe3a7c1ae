#include "core/SKTGraphic.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

#include "core/CardHost.h"
#include "core/GraphicLimits.h"
#include "core/SKTBarcode.h"
#include "core/SKTDocument.h"
#include "core/SKTImage.h"
#include "core/SKTLine.h"
#include "core/SKTSignature.h"
#include "core/SKTText.h"
#include "core/Shape_Control.h"
#include "core/globals.h"

namespace {

QColor withAlpha(QColor color, float alpha) {
  if (!color.isValid()) return color;
  const double a = std::isnan(alpha) ? 1.0 : std::clamp(static_cast<double>(alpha), 0.0, 1.0);
  color.setAlphaF(a);
  return color;
}

// Geometric union of rectangles (a rectangle of zero width or height, such as a
// horizontal line's bounds, still counts with its extent).
QRectF unionOf(const std::vector<QRectF>& rects) {
  if (rects.empty()) return {};
  double left = rects.front().left(), top = rects.front().top();
  double right = rects.front().right(), bottom = rects.front().bottom();
  for (const QRectF& r : rects) {
    const QRectF n = r.normalized();
    left = std::min(left, n.left());
    top = std::min(top, n.top());
    right = std::max(right, n.right());
    bottom = std::max(bottom, n.bottom());
  }
  return QRectF(left, top, right - left, bottom - top);
}

// One undo group on each document holding one of the graphics, for the
// lifetime of the object: an operation on a list is one undo entry.
class DocumentUndoGroups {
 public:
  explicit DocumentUndoGroups(const SKTGraphicList& graphics) {
    for (const auto& g : graphics) {
      SKTDocument* document = g ? g->scriptingContainer() : nullptr;
      if (document == nullptr ||
          std::find(documents_.begin(), documents_.end(), document) != documents_.end())
        continue;
      documents_.push_back(document);
      groups_.push_back(std::make_unique<SKTUndoGroup>(document->undoRecorder()));
    }
  }
  ~DocumentUndoGroups() {
    while (!groups_.empty()) groups_.pop_back();  // closed in the reverse order of opening
  }
  DocumentUndoGroups(const DocumentUndoGroups&) = delete;
  DocumentUndoGroups& operator=(const DocumentUndoGroups&) = delete;

 private:
  std::vector<SKTDocument*> documents_;
  std::vector<std::unique_ptr<SKTUndoGroup>> groups_;
};

const int kHorizontalFlip[9] = {0, 3, 2, 1, 5, 4, 8, 7, 6};
const int kVerticalFlip[9] = {0, 6, 7, 8, 4, 5, 1, 2, 3};

}  // namespace

QString SKTGraphicNeitherDrawingMessage() {
  return QStringLiteral("Neither -drawContentsInView: nor -bezierPathForDrawing has been overridden.");
}

SKTGraphic::SKTGraphic() {
  CardHost& host = cardHost();
  _file_path = resourceFilePath(QStringLiteral("no.png"));
  text_ctrl_font = host.All_Text_font();
  txt_clr = host.All_Text_clr();
}

SKTGraphic::~SKTGraphic() = default;

SKTGraphic::SKTGraphic(const SKTGraphic& other)
    : std::enable_shared_from_this<SKTGraphic>(),
      _bounds(other._bounds),
      _isDrawingFill(other._isDrawingFill),
      _fillColor(other._fillColor),
      _isDrawingStroke(other._isDrawingStroke),
      _strokeColor(other._strokeColor),
      _strokeWidth(other._strokeWidth),
      _stroke_border_type(other._stroke_border_type),
      _fill_type(other._fill_type),
      _fill_Grad_clr1(other._fill_Grad_clr1),
      _fill_Grad_clr2(other._fill_Grad_clr2),
      _fill_grad_angle(other._fill_grad_angle),
      _fill_htch_clr(other._fill_htch_clr),
      _fill_hatch_type(other._fill_hatch_type),
      _isFlippedHorizontally(other._isFlippedHorizontally),
      _isFlippedVertically(other._isFlippedVertically),
      invert_clr(other.invert_clr),
      gray_Scale(other.gray_Scale),
      Sepia(other.Sepia),
      img_trnsp_val(other.img_trnsp_val),
      hue_val(other.hue_val),
      sat_val(other.sat_val),
      brt_val(other.brt_val),
      con_val(other.con_val),
      srp_val(other.srp_val),
      ev_val(other.ev_val),
      blr_val(other.blr_val),
      data_source_type(other.data_source_type),
      rotate_image(other.rotate_image),
      _file_path(other._file_path),
      sign_or_fingureprint(other.sign_or_fingureprint),
      batch_list_name(other.batch_list_name),
      batch_list_index(other.batch_list_index),
      _line_ori(other._line_ori),
      _line_cap_style(other._line_cap_style),
      cor_rad_val_val(other.cor_rad_val_val),
      alpha_val(other.alpha_val),
      alpha_val_stroke(other.alpha_val_stroke),
      text_ctrl_font(other.text_ctrl_font),
      txt_clr(other.txt_clr),
      _Text_contents(other._Text_contents),
      _shape_type(other._shape_type),
      _barcode_image(other._barcode_image),
      barcode_unit_val(other.barcode_unit_val),
      ctrl_is_locked(other.ctrl_is_locked),
      text_alignmnet(other.text_alignmnet),
      text_transfrom_case(other.text_transfrom_case),
      text_kerning(other.text_kerning),
      print_object(other.print_object),
      control_ID(other.control_ID),
      excel_binding(other.excel_binding),
      excel_col_indx(other.excel_col_indx),
      Text_Value(other.Text_Value),
      ctrl_is_visible(other.ctrl_is_visible),
      double_star_type(other.double_star_type),
      polygon_type(other.polygon_type) {
  copyBarcodeSettingsFrom(other);
}

// ---- Creation and copying ------------------------------------------------------

SKTGraphicPtr SKTGraphic::makeGraphic(GraphicKind kind) {
  switch (kind) {
    case GraphicKind::Text:
      return std::make_shared<SKTText>();
    case GraphicKind::Image:
      return std::make_shared<SKTImage>();
    case GraphicKind::Line:
      return std::make_shared<SKTLine>();
    case GraphicKind::Shape:
      return std::make_shared<Shape_Control>();
    case GraphicKind::Signature:
      return std::make_shared<SKTSignature>();
    case GraphicKind::Barcode:
      return std::make_shared<SKTBarcode>();
    case GraphicKind::Graphic:
      break;
  }
  return std::make_shared<SKTGraphic>();
}

SKTGraphicPtr SKTGraphic::cloneShallow() const {
  return SKTGraphicPtr(new SKTGraphic(*this));
}

void SKTGraphic::deepenClonedState(const SKTGraphic& original) {
  if (original._Text_contents) _Text_contents = std::make_shared<SKTTextStorage>(*original._Text_contents);
}

SKTGraphicPtr SKTGraphic::clone() const {
  SKTGraphicPtr copy = cloneShallow();
  copy->deepenClonedState(*this);
  return copy;
}

SKTGraphicPtr SKTGraphic::copyWithZone() const {
  SKTGraphicPtr copy = makeGraphic(kind());
  copy->_bounds = _bounds;
  copy->_isDrawingFill = _isDrawingFill;
  copy->_fillColor = _fillColor;
  copy->_isDrawingStroke = _isDrawingStroke;
  copy->_strokeColor = _strokeColor;
  copy->_strokeWidth = _strokeWidth;
  copy->_stroke_border_type = _stroke_border_type;
  copy->_fill_type = _fill_type;
  copy->_fill_Grad_clr1 = _fill_Grad_clr1;
  copy->_fill_Grad_clr2 = _fill_Grad_clr2;
  copy->_fill_grad_angle = _fill_grad_angle;
  copy->_fill_htch_clr = _fill_htch_clr;
  copy->_fill_hatch_type = _fill_hatch_type;
  return copy;
}

void SKTGraphic::copyBarcodeSettingsFrom(const SKTGraphic& o) {
  linear_or_2d = o.linear_or_2d;
  barcode_font_index = o.barcode_font_index;
  linear_font_val = o.linear_font_val;
  two_d_font_val = o.two_d_font_val;
  header_val = o.header_val;
  footer_val = o.footer_val;
  show_hide_hdr = o.show_hide_hdr;
  show_hide_ftr = o.show_hide_ftr;
  show_hide_val = o.show_hide_val;
  show_val_on_top = o.show_val_on_top;
  align_hdr_index = o.align_hdr_index;
  align_ftr_index = o.align_ftr_index;
  linear_height_val = o.linear_height_val;
  linear_width_val = o.linear_width_val;
  qr_size_val = o.qr_size_val;
  qr_version_index = o.qr_version_index;
  qr_ec_index = o.qr_ec_index;
  pdf_hgt_val = o.pdf_hgt_val;
  pdf_wdt_val = o.pdf_wdt_val;
  pdf_ec_val = o.pdf_ec_val;
  dm_module_val = o.dm_module_val;
  dm_format_index = o.dm_format_index;
  dm_encoding_index = o.dm_encoding_index;
  hdr_margin_val = o.hdr_margin_val;
  ftr_margin_val = o.ftr_margin_val;
  val_margin_val = o.val_margin_val;
  TB_marging_val = o.TB_marging_val;
  LR_margin_val = o.LR_margin_val;
  value_font_val = o.value_font_val;
  header_font_val = o.header_font_val;
  footer_font_val = o.footer_font_val;
  barcode_hdr_clr_val = o.barcode_hdr_clr_val;
  barcode_ftr_clr_val = o.barcode_ftr_clr_val;
  barcode_val_clr_val = o.barcode_val_clr_val;
  barcode_back_clr_val = o.barcode_back_clr_val;
  barcode_clr_val = o.barcode_clr_val;
  dpi_val_index = o.dpi_val_index;
  dpi_custom_val = o.dpi_custom_val;
}

// ---- Colour getters and text storage -----------------------------------------------

QColor SKTGraphic::fillColor() {
  return _fillColor = withAlpha(_fillColor, alpha_val);
}
QColor SKTGraphic::fill_hatch_bk_clr() {
  return _fill_htch_clr = withAlpha(_fill_htch_clr, alpha_val);
}
QColor SKTGraphic::fill_Grad_clr1() {
  return _fill_Grad_clr1 = withAlpha(_fill_Grad_clr1, alpha_val);
}
QColor SKTGraphic::fill_Grad_clr2() {
  return _fill_Grad_clr2 = withAlpha(_fill_Grad_clr2, alpha_val);
}
QColor SKTGraphic::strokeColor() {
  return _strokeColor = withAlpha(_strokeColor, alpha_val_stroke);
}

SKTTextStoragePtr SKTGraphic::Text_contents() {
  if (!_Text_contents) {
    _Text_contents = std::make_shared<SKTTextStorage>(
        SKTTextStorage{Text_Value, CardFont{Text_Ctrl_Font.get(), 14.0}, QColor(Qt::black)});
  }
  return _Text_contents;
}

// ---- Geometry --------------------------------------------------------------------

void SKTGraphic::setBounds(const QRectF& bounds) {
  willChangeValueForKey(SKTKeys::bounds);
  try {
    applyBounds(limitedBounds(bounds));
  } catch (...) {
    didChangeValueForKey(SKTKeys::bounds);
    throw;
  }
  didChangeValueForKey(SKTKeys::bounds);
}

void SKTGraphic::setXPosition(double x) {
  QRectF r = _bounds;
  r.moveLeft(x);
  setBounds(r);
}
void SKTGraphic::setYPosition(double y) {
  QRectF r = _bounds;
  r.moveTop(y);
  setBounds(r);
}
void SKTGraphic::setWidth(double width) {
  QRectF r = _bounds;
  r.setWidth(width);
  setBounds(r);
}
void SKTGraphic::setHeight(double height) {
  QRectF r = _bounds;
  r.setHeight(height);
  setBounds(r);
}

void SKTGraphic::setFlippedHorizontally(bool flipped) {
  willChangeValueForKey(SKTKeys::flippedHorizontally);
  _isFlippedHorizontally = flipped;
  didChangeValueForKey(SKTKeys::flippedHorizontally);
}

void SKTGraphic::setFlippedVertically(bool flipped) {
  willChangeValueForKey(SKTKeys::flippedVertically);
  _isFlippedVertically = flipped;
  didChangeValueForKey(SKTKeys::flippedVertically);
}

QRectF SKTGraphic::drawingBounds() const {
  double outset = SKTGraphicHandleHalfWidth;
  if (isDrawingStroke()) {
    const double halfStroke = _strokeWidth / 2.0;
    if (halfStroke > outset) outset = halfStroke;
  }
  QRectF r = _bounds.adjusted(-outset, -outset, outset, outset);
  r.setWidth(r.width() + 1.0);
  r.setHeight(r.height() + 1.0);
  return r;
}

void SKTGraphic::drawContentsInView(QPainter& painter, bool isBeingCreateOrEdited) {}

QPainterPath SKTGraphic::bezierPathForDrawing() const {
  throw std::logic_error(SKTGraphicNeitherDrawingMessage().toStdString());
}

QPointF SKTGraphic::handlePoint(int handle) const {
  const QRectF& b = _bounds;
  const double xs[3] = {b.left(), b.center().x(), b.right()};
  const double ys[3] = {b.top(), b.center().y(), b.bottom()};
  switch (handle) {
    case 1:
      return {xs[0], ys[0]};
    case 2:
      return {xs[1], ys[0]};
    case 3:
      return {xs[2], ys[0]};
    case 4:
      return {xs[0], ys[1]};
    case 5:
      return {xs[2], ys[1]};
    case 6:
      return {xs[0], ys[2]};
    case 7:
      return {xs[1], ys[2]};
    case 8:
      return {xs[2], ys[2]};
    default:
      return {};
  }
}

void SKTGraphic::drawHandlesInView(QPainter& painter, bool lock_hai) const {
  for (int handle = 1; handle <= 8; ++handle) drawHandleInView(painter, handlePoint(handle), lock_hai);
}

void SKTGraphic::drawHandleInView(QPainter& painter, const QPointF& point, bool lock_hai) const {
  QRectF rect(point.x() - SKTGraphicHandleHalfWidth, point.y() - SKTGraphicHandleHalfWidth,
              SKTGraphicHandleWidth, SKTGraphicHandleWidth);
  // Align the square to device pixels.
  const QTransform toDevice = painter.worldTransform();
  bool invertible = false;
  const QTransform fromDevice = toDevice.inverted(&invertible);
  if (invertible) {
    const QRectF device = toDevice.mapRect(rect);
    const QRectF aligned(std::round(device.x()), std::round(device.y()), std::round(device.width()),
                         std::round(device.height()));
    rect = fromDevice.mapRect(aligned);
  }
  painter.fillRect(rect.translated(1.0, 1.0), QColor(64, 64, 64));
  painter.fillRect(rect, lock_hai ? QColor(Qt::red) : QColor(88, 122, 204));
}

bool SKTGraphic::canMakeNaturalSize() const {
  return _bounds.width() != _bounds.height();
}

bool SKTGraphic::isContentsUnderPoint(const QPointF& p) const {
  const QRectF& b = _bounds;
  return p.x() >= b.left() && p.x() < b.left() + b.width() && p.y() >= b.top() &&
         p.y() < b.top() + b.height();
}

bool SKTGraphic::isHandleAtPoint(const QPointF& h, const QPointF& p) const {
  const double left = h.x() - SKTGraphicHandleHalfWidth, top = h.y() - SKTGraphicHandleHalfWidth;
  return p.x() >= left && p.x() < left + SKTGraphicHandleWidth && p.y() >= top &&
         p.y() < top + SKTGraphicHandleWidth;
}

int SKTGraphic::handleUnderPoint(const QPointF& point) const {
  for (int handle = 1; handle <= 8; ++handle)
    if (isHandleAtPoint(handlePoint(handle), point)) return handle;
  return SKTGraphicNoHandle;
}

int SKTGraphic::resizeByMovingHandle(int handle, const QPointF& p) {
  ChangeScope change(*this);  // the flips and the new bounds are one change
  if (handle < 0 || handle > 8) handle = SKTGraphicNoHandle;
  double x = _bounds.x(), y = _bounds.y(), w = _bounds.width(), h = _bounds.height();
  if (handle == 1 || handle == 4 || handle == 6) {
    w = x + w - p.x();
    x = p.x();
  } else if (handle == 3 || handle == 5 || handle == 8) {
    w = p.x() - x;
  }
  if (w < 0.0) {
    handle = kHorizontalFlip[handle];
    w = -w;
    x = x - w;
    flipHorizontally();
  }
  if (handle == 1 || handle == 2 || handle == 3) {
    h = y + h - p.y();
    y = p.y();
  } else if (handle == 6 || handle == 7 || handle == 8) {
    h = p.y() - y;
  }
  if (h < 0.0) {
    handle = kVerticalFlip[handle];
    h = -h;
    y = y - h;
    flipVertically();
  }
  setBounds(QRectF(x, y, w, h));
  return handle;
}

void SKTGraphic::makeNaturalSize() {
  QRectF r = _bounds;
  if (r.height() > r.width())
    r.setHeight(r.width());
  else if (r.width() > r.height())
    r.setWidth(r.height());
  else
    return;
  setBounds(r);
}

void SKTGraphic::setColor(const QColor& color) {
  if (!canSetDrawingFill()) return;
  ChangeScope change(*this);
  if (!isDrawingFill()) setValueForKey(SKTKeys::drawingFill, true);
  setValueForKey(SKTKeys::fillColor, color);
}

QStringList SKTGraphic::keysForValuesToObserveForUndo() const {
  return {SKTKeys::drawingFill, SKTKeys::fillColor,   SKTKeys::drawingStroke,
          SKTKeys::strokeColor, SKTKeys::strokeWidth, SKTKeys::bounds};
}

std::optional<QString> SKTGraphic::presentablePropertyNameForKey(const QString& key) const {
  return QString();
}

// ---- Key-value access ----------------------------------------------------------------

QVariant SKTGraphic::valueForKey(const QString& key) {
  if (key == SKTKeys::bounds) return _bounds;
  if (key == SKTKeys::drawingFill) return isDrawingFill();
  if (key == SKTKeys::fillColor) return this->fillColor();
  if (key == SKTKeys::drawingStroke) return isDrawingStroke();
  if (key == SKTKeys::strokeColor) return this->strokeColor();
  if (key == SKTKeys::strokeWidth) return _strokeWidth;
  if (key == SKTKeys::xPosition) return this->xPosition();
  if (key == SKTKeys::yPosition) return this->yPosition();
  if (key == SKTKeys::width) return this->width();
  if (key == SKTKeys::height) return this->height();
  if (key == SKTKeys::drawingBounds) return this->drawingBounds();
  if (key == SKTKeys::drawingContents) return QVariant();
  if (key == SKTKeys::keysForValuesToObserveForUndo) return this->keysForValuesToObserveForUndo();
  if (key == SKTKeys::className) return this->className();
  if (key == SKTKeys::canSetDrawingFill) return this->canSetDrawingFill();
  if (key == SKTKeys::canSetDrawingStroke) return this->canSetDrawingStroke();
  if (key == SKTKeys::flippedHorizontally) return _isFlippedHorizontally;
  if (key == SKTKeys::flippedVertically) return _isFlippedVertically;
  throw std::invalid_argument("valueForKey: unknown key " + key.toStdString());
}

void SKTGraphic::setValueForKey(const QString& key, const QVariant& value) {
  auto store = [&](auto&& assign) {
    willChangeValueForKey(key);
    try {
      assign();
    } catch (...) {
      didChangeValueForKey(key);
      throw;
    }
    didChangeValueForKey(key);
  };
  if (key == SKTKeys::drawingFill) {
    store([&] { _isDrawingFill = value.toBool(); });
  } else if (key == SKTKeys::fillColor) {
    store([&] { _fillColor = value.value<QColor>(); });
  } else if (key == SKTKeys::drawingStroke) {
    store([&] { _isDrawingStroke = value.toBool(); });
  } else if (key == SKTKeys::strokeColor) {
    store([&] { _strokeColor = value.value<QColor>(); });
  } else if (key == SKTKeys::strokeWidth) {
    store([&] { _strokeWidth = value.toDouble(); });
  } else if (key == SKTKeys::bounds) {
    setBounds(value.toRectF());
  } else if (key == SKTKeys::xPosition) {
    setXPosition(value.toDouble());
  } else if (key == SKTKeys::yPosition) {
    setYPosition(value.toDouble());
  } else if (key == SKTKeys::width) {
    setWidth(value.toDouble());
  } else if (key == SKTKeys::height) {
    setHeight(value.toDouble());
  } else if (key == SKTKeys::flippedHorizontally) {
    setFlippedHorizontally(value.toBool());
  } else if (key == SKTKeys::flippedVertically) {
    setFlippedVertically(value.toBool());
  } else {
    throw std::invalid_argument("setValueForKey: unknown key " + key.toStdString());
  }
}

QStringList SKTGraphic::keysAffectedByKey(const QString& key) const {
  if (key == SKTKeys::bounds)
    return {SKTKeys::xPosition, SKTKeys::yPosition, SKTKeys::width, SKTKeys::height, SKTKeys::drawingBounds};
  if (key == SKTKeys::strokeWidth) return {SKTKeys::drawingBounds};
  if (key == SKTKeys::drawingStroke) return {SKTKeys::drawingBounds, SKTKeys::drawingContents};
  if (key == SKTKeys::drawingFill || key == SKTKeys::fillColor || key == SKTKeys::strokeColor)
    return {SKTKeys::drawingContents};
  return {};
}

void SKTGraphic::addObserver(SKTGraphicObserver* observer, const QString& key, int context) {
  observations_.push_back({observer, key, context});
}

void SKTGraphic::removeObserver(SKTGraphicObserver* observer, const QString& key, int context) {
  auto it = std::find_if(observations_.begin(), observations_.end(), [&](const Observation& o) {
    return o.observer == observer && o.key == key && o.context == context;
  });
  if (it != observations_.end()) observations_.erase(it);
}

bool SKTGraphic::isObserved(const QString& key) const {
  return std::any_of(observations_.begin(), observations_.end(),
                     [&](const Observation& o) { return o.key == key; });
}

void SKTGraphic::beginChange() {
  if (changeDepth_++ > 0) return;
  changeParticipants_.clear();
  for (const Observation& o : observations_)
    if (std::find(changeParticipants_.begin(), changeParticipants_.end(), o.observer) ==
        changeParticipants_.end())
      changeParticipants_.push_back(o.observer);
  const std::vector<SKTGraphicObserver*> participants = changeParticipants_;
  for (SKTGraphicObserver* observer : participants) observer->graphicWillChange(*this);
}

void SKTGraphic::endChange() {
  if (changeDepth_ == 0 || --changeDepth_ > 0) return;
  // The observers told of the beginning are told of the end, also one that
  // stopped observing meanwhile, so that what they opened is closed.
  const std::vector<SKTGraphicObserver*> participants = std::exchange(changeParticipants_, {});
  for (SKTGraphicObserver* observer : participants) observer->graphicDidChange(*this);
}

void SKTGraphic::willChangeValueForKey(const QString& key) {
  // One frame per announcement: the key itself, then the keys depending on it.
  // Only observed keys are read, so an unobserved graphic pays nothing.
  // A key already announced by an enclosing change is left to that change:
  // its old value was taken before anything changed (a line turns its
  // direction flags before its bounds, so a value read now would mix the two).
  beginChange();
  const std::size_t marker = pendingChanges_.size();
  pendingChanges_.push_back({QString(), QVariant()});  // frame marker
  QStringList keys{key};
  keys += keysAffectedByKey(key);
  auto pendingOutside = [&](const QString& k) {
    return std::any_of(pendingChanges_.begin(), pendingChanges_.begin() + static_cast<std::ptrdiff_t>(marker),
                       [&](const PendingChange& c) { return c.key == k; });
  };
  try {
    for (const QString& k : keys)
      if (isObserved(k) && !pendingOutside(k)) pendingChanges_.push_back({k, valueForKey(k)});
  } catch (...) {
    pendingChanges_.resize(marker);  // no half-built frame is left behind
    endChange();
    throw;
  }
}

void SKTGraphic::didChangeValueForKey(const QString& key) {
  std::vector<PendingChange> frame;
  while (!pendingChanges_.empty()) {
    PendingChange change = std::move(pendingChanges_.back());
    pendingChanges_.pop_back();
    if (change.key.isNull()) break;
    frame.push_back(std::move(change));
  }
  // The frame holds the changed key first, then its dependents (reversed above).
  try {
    for (auto it = frame.rbegin(); it != frame.rend(); ++it) {
      const QVariant newValue = valueForKey(it->key);
      notifyObservers(it->key, it->oldValue, newValue);
    }
  } catch (...) {
    endChange();
    throw;
  }
  endChange();
}

void SKTGraphic::notifyObservers(const QString& key, const QVariant& oldValue, const QVariant& newValue) {
  const std::vector<Observation> snapshot = observations_;
  for (const Observation& o : snapshot) {
    if (o.key != key) continue;
    // An observer removed by an earlier callback is not called any more.
    const bool stillObserving =
        std::any_of(observations_.begin(), observations_.end(), [&](const Observation& c) {
          return c.observer == o.observer && c.key == o.key && c.context == o.context;
        });
    if (stillObserving) o.observer->observeValueForKey(*this, key, oldValue, newValue, o.context);
  }
}

// ---- Class operations on lists -------------------------------------------------------------

QRectF SKTGraphic::boundsOfGraphics(const SKTGraphicList& graphics) {
  std::vector<QRectF> rects;
  for (const auto& g : graphics)
    if (g) rects.push_back(g->bounds());
  return unionOf(rects);
}

QRectF SKTGraphic::drawingBoundsOfGraphics(const SKTGraphicList& graphics) {
  std::vector<QRectF> rects;
  for (const auto& g : graphics)
    if (g) rects.push_back(g->drawingBounds());
  if (rects.empty()) return cardHost().frontCanvasBounds();
  return unionOf(rects);
}

QPointF SKTGraphic::translateGraphics(const SKTGraphicList& graphics, double dx, double dy) {
  const QPointF offset = limitedOffset(graphics, dx, dy);
  if (offset.isNull()) return offset;
  const DocumentUndoGroups group(graphics);
  for (const auto& g : graphics)
    if (g && !g->ctrl_is_locked) g->setBounds(g->bounds().translated(offset));
  return offset;
}

void SKTGraphic::Paste_Location_Of_Graphics(const SKTGraphicList& graphics, double x, double y,
                                            const QString& card_side) {
  const DocumentUndoGroups group(graphics);
  for (std::size_t i = 0; i < graphics.size(); ++i) {
    if (i > 0) {
      const QPointF next = cardHost().Control_New_Point(card_side);
      x = next.x();
      y = next.y();
    }
    const SKTGraphicPtr& g = graphics[i];
    if (g && !g->ctrl_is_locked) {
      const QRectF b = g->bounds();
      g->setBounds(QRectF(x, y, b.width(), b.height()));
    }
  }
}

SKTGraphicList SKTGraphic::cloneGraphics(const SKTGraphicList& graphics) {
  SKTGraphicList copies;
  copies.reserve(graphics.size());
  for (const auto& g : graphics)
    if (g) copies.push_back(g->clone());
  return copies;
}

// ---- Property dictionary ------------------------------------------------------------------

QString propertyRectString(const QRectF& r) {
  return QStringLiteral("{{%1, %2}, {%3, %4}}").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

std::optional<QRectF> parsePropertyRectString(const QString& s) {
  QString t = s;
  t.remove(QLatin1Char('{')).remove(QLatin1Char('}'));
  const QStringList parts = t.split(QLatin1Char(','));
  if (parts.size() != 4) return std::nullopt;
  double v[4];
  for (int i = 0; i < 4; ++i) {
    bool ok = false;
    v[i] = parts[i].trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v[i])) return std::nullopt;
  }
  return QRectF(v[0], v[1], v[2], v[3]);
}

QByteArray propertyColorData(const QColor& c) {
  return c.name(QColor::HexArgb).toLatin1();
}

std::optional<QColor> parsePropertyColorData(const QVariant& v) {
  if (v.typeId() != QMetaType::QByteArray) return std::nullopt;
  const QColor c = QColor::fromString(QString::fromLatin1(v.toByteArray()));
  return c.isValid() ? std::optional<QColor>(c) : std::nullopt;
}

QVariantMap SKTGraphic::properties() const {
  QVariantMap p;
  p.insert(QStringLiteral("bounds"), propertyRectString(_bounds));
  p.insert(QStringLiteral("drawingFill"), isDrawingFill());
  p.insert(QStringLiteral("drawingStroke"), isDrawingStroke());
  if (_fillColor.isValid()) p.insert(QStringLiteral("fillColor"), propertyColorData(_fillColor));
  if (_strokeColor.isValid()) p.insert(QStringLiteral("strokeColor"), propertyColorData(_strokeColor));
  p.insert(QStringLiteral("strokeWidth"), _strokeWidth);
  return p;
}

void SKTGraphic::initWithProperties(const QVariantMap& p) {
  auto isNumber = [](const QVariant& v) {
    const int t = v.typeId();
    return t == QMetaType::Bool || t == QMetaType::Int || t == QMetaType::LongLong || t == QMetaType::Double;
  };
  const QVariant bounds = p.value(QStringLiteral("bounds"));
  if (bounds.typeId() == QMetaType::QString)
    if (auto r = parsePropertyRectString(bounds.toString())) _bounds = *r;
  const QVariant fill = p.value(QStringLiteral("drawingFill"));
  if (isNumber(fill)) _isDrawingFill = fill.toBool();
  const QVariant stroke = p.value(QStringLiteral("drawingStroke"));
  if (isNumber(stroke)) _isDrawingStroke = stroke.toBool();
  if (auto c = parsePropertyColorData(p.value(QStringLiteral("fillColor")))) _fillColor = *c;
  if (auto c = parsePropertyColorData(p.value(QStringLiteral("strokeColor")))) _strokeColor = *c;
  const QVariant width = p.value(QStringLiteral("strokeWidth"));
  if (isNumber(width) && std::isfinite(width.toDouble())) _strokeWidth = width.toDouble();
}

SKTGraphicPtr SKTGraphic::graphicWithProperties(GraphicKind kind, const QVariantMap& properties) {
  SKTGraphicPtr g = makeGraphic(kind);
  g->initWithProperties(properties);
  return g;
}

QString SKTGraphic::description() const {
  return QString::fromUtf8(
      QJsonDocument(QJsonObject::fromVariantMap(properties())).toJson(QJsonDocument::Compact));
}
