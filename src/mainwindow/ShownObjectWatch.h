#pragma once
// Tells the window when the object its property tabs show changed by another
// route than the tabs: a script, undo or redo, a canvas command. It observes
// the keys of that object whose values the tabs show (its look, its
// characters, its flips, its stroke width) and calls back once the whole
// change has ended, however many keys it announced.

#include <functional>
#include <memory>

#include "core/SKTGraphic.h"

class ShownObjectWatch : private SKTGraphicObserver {
 public:
  explicit ShownObjectWatch(std::function<void()> changed);
  ~ShownObjectWatch() override;
  ShownObjectWatch(const ShownObjectWatch&) = delete;
  ShownObjectWatch& operator=(const ShownObjectWatch&) = delete;

  // Watches `graphic` (none: nothing) instead of the object watched so far.
  void watch(const SKTGraphicPtr& graphic);

 private:
  void observeValueForKey(SKTGraphic& graphic, const QString& key, const QVariant& oldValue,
                          const QVariant& newValue, int context) override;
  void graphicDidChange(SKTGraphic& graphic) override;
  void stop();

  std::function<void()> changed_;
  std::weak_ptr<SKTGraphic> graphic_;
  bool pending_ = false;  // a watched key changed in the change under way
};
