#pragma once

#include <QObject>
#include <functional>
#include <mutex>
#include <vector>

namespace platform {

// Hands calls from a worker thread to the thread this object lives on (the
// GUI thread): the calls wait in a list under a lock, and that thread is told
// by name to make them. Nothing of a call travels inside the event queue, so
// the sanitizer builds' thread checker sees the lock that orders the hand-over.
// Calls still waiting when the object goes are dropped.
class GuiCalls : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;
  void post(std::function<void()> call);

 private slots:
  void makeCalls();

 private:
  std::mutex mutex_;
  std::vector<std::function<void()>> calls_;
};

}  // namespace platform
