#pragma once
// Whether a label shows a long text whole: the text as given (nothing put
// into it to break it), the same for screen readers, wrapped into lines
// where it is wider than the label, the label not cut short, and its window
// no larger than the screen.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QFontMetricsF>
#include <algorithm>
#include <cmath>

#include "platform/widgets/DialogLook.h"
#include "platform/widgets/WrappingLabel.h"

namespace testing_support {

inline ::testing::AssertionResult showsWholeWithinTheScreen(platform::WrappingLabel& label,
                                                            const QString& text) {
  if (label.text() != text) return ::testing::AssertionFailure() << "shows " << label.text().toStdString();
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&label);
  if (accessible == nullptr || accessible->text(QAccessible::Name) != text)
    return ::testing::AssertionFailure() << "screen readers hear something else";
  // A line of text as wide as W needs W / width lines at least: fewer, and
  // part of it runs beyond the label's edge.
  const QFontMetricsF metrics(label.font());
  const qreal width = label.contentsRect().width();
  int lines = 0;
  for (const QString& paragraph : text.split(QLatin1Char('\n')))
    lines += std::max(1, static_cast<int>(std::ceil(metrics.horizontalAdvance(paragraph) / width)));
  if (label.height() + 1 < lines * metrics.height())
    return ::testing::AssertionFailure() << "the text needs " << lines << " lines; the label has room for "
                                         << label.height() / metrics.height();
  if (label.height() < label.heightForWidth(label.width()))
    return ::testing::AssertionFailure() << "the label is cut short: " << label.height() << " of "
                                         << label.heightForWidth(label.width()) << " pixels";
  const QSize room = platform::screenRoom(*label.window()).size();
  const QSize window = label.window()->frameGeometry().size();
  if (window.width() > room.width() || window.height() > room.height())
    return ::testing::AssertionFailure() << "the window is " << window.width() << " x " << window.height()
                                         << ", the screen " << room.width() << " x " << room.height();
  return ::testing::AssertionSuccess();
}

}  // namespace testing_support
