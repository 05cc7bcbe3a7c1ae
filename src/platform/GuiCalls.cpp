#include "platform/GuiCalls.h"

namespace platform {

void GuiCalls::post(std::function<void()> call) {
  std::lock_guard lock(mutex_);
  calls_.push_back(std::move(call));
  // Told under the lock: the event that Qt makes here for the telling is
  // deleted on the GUI thread after makeCalls has taken the lock, so the
  // thread checker sees that order as well (it cannot see the lock of Qt's
  // event queue).
  QMetaObject::invokeMethod(this, "makeCalls", Qt::QueuedConnection);
}

void GuiCalls::makeCalls() {
  std::vector<std::function<void()>> calls;
  {
    std::lock_guard lock(mutex_);
    calls.swap(calls_);
  }
  for (const auto& call : calls)
    if (call) call();
}

}  // namespace platform
