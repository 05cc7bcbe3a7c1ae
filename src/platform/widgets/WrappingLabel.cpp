#include "platform/widgets/WrappingLabel.h"

#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

#include "platform/widgets/DialogLook.h"

namespace platform {

namespace {

// Room beside the text for the window's frame and margins.
constexpr int kRoomBeside = 120;

}  // namespace

WrappingLabel::WrappingLabel(QWidget* parent) : WrappingLabel(QString(), parent) {}

WrappingLabel::WrappingLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
  setTextFormat(Qt::PlainText);
  setWordWrap(true);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  policy.setHeightForWidth(true);
  setSizePolicy(policy);
}

int WrappingLabel::preferredWidth() const {
  const QRect room = screenRoom(*this);
  const int width = room.isEmpty() ? kPreferredWidth : room.width() - kRoomBeside;
  return std::max(100, std::min(kPreferredWidth, width));
}

int WrappingLabel::naturalWidth() const {
  const QFontMetricsF metrics(font());
  qreal widest = 0;
  for (const QString& line : text().split(QLatin1Char('\n')))
    widest = std::max(widest, metrics.horizontalAdvance(line));
  return static_cast<int>(std::ceil(widest));
}

qreal WrappingLabel::layOut(QTextLayout& layout, qreal width) const {
  QTextOption option(Qt::AlignLeft);
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  QString shown = text();
  shown.replace(QLatin1Char('\n'), QChar::LineSeparator);
  layout.setText(shown);
  layout.setFont(font());
  layout.setTextOption(option);
  qreal height = 0;
  layout.beginLayout();
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(std::max<qreal>(1, width));
    line.setPosition(QPointF(0, height));
    height += line.height();
  }
  layout.endLayout();
  return height;
}

int WrappingLabel::heightForWidth(int width) const {
  const QMargins m = contentsMargins() + QMargins(margin(), margin(), margin(), margin());
  if (text().isEmpty()) return fontMetrics().height() + m.top() + m.bottom();
  QTextLayout layout;
  const qreal height = layOut(layout, width - m.left() - m.right());
  return static_cast<int>(std::ceil(height)) + m.top() + m.bottom();
}

QSize WrappingLabel::sizeHint() const {
  const QMargins m = contentsMargins() + QMargins(margin(), margin(), margin(), margin());
  const int width = std::min(naturalWidth(), preferredWidth()) + m.left() + m.right();
  return QSize(width, heightForWidth(width));
}

QSize WrappingLabel::minimumSizeHint() const {
  return sizeHint();
}

void WrappingLabel::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const QRect area = contentsRect().marginsRemoved(QMargins(margin(), margin(), margin(), margin()));
  QTextLayout layout;
  layOut(layout, area.width());
  const QPalette::ColorGroup group = !isEnabled()       ? QPalette::Disabled
                                     : isActiveWindow() ? QPalette::Active
                                                        : QPalette::Inactive;
  painter.setPen(palette().color(group, foregroundRole()));
  layout.draw(&painter, area.topLeft());
}

}  // namespace platform
