#include "platform/GuiCalls.h"

namespace platform {

void GuiCalls::post(std::function<void()> call) {
  {
    std::lock_guard lock(mutex_);
    calls_.push_back(std::move(call));
  }
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
