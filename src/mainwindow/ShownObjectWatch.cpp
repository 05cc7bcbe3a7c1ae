#include "mainwindow/ShownObjectWatch.h"

namespace {

// "drawingContents" follows every change of the look and the characters
// (fill, border, colours, text, flips); the stroke width alone moves only
// the drawn bounds.
const QString kWatchedKeys[] = {SKTKeys::drawingContents, SKTKeys::strokeWidth};
constexpr int kContext = 0x5707;

}  // namespace

ShownObjectWatch::ShownObjectWatch(std::function<void()> changed) : changed_(std::move(changed)) {}

ShownObjectWatch::~ShownObjectWatch() {
  stop();
}

void ShownObjectWatch::watch(const SKTGraphicPtr& graphic) {
  if (graphic == graphic_.lock()) return;
  stop();
  graphic_ = graphic;
  if (graphic)
    for (const QString& key : kWatchedKeys) graphic->addObserver(this, key, kContext);
}

void ShownObjectWatch::stop() {
  pending_ = false;
  if (const SKTGraphicPtr graphic = graphic_.lock())
    for (const QString& key : kWatchedKeys) graphic->removeObserver(this, key, kContext);
  graphic_.reset();
}

void ShownObjectWatch::observeValueForKey(SKTGraphic& graphic, const QString&, const QVariant&,
                                          const QVariant&, int context) {
  if (context == kContext && &graphic == graphic_.lock().get()) pending_ = true;
}

void ShownObjectWatch::graphicDidChange(SKTGraphic& graphic) {
  // A change is told once it is whole: a text's characters and the keys its
  // undo watches, a fill turned on with its colour.
  if (!pending_ || &graphic != graphic_.lock().get()) return;
  pending_ = false;
  changed_();
}
