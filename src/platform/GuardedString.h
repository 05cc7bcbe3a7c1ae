#pragma once
// A string that any thread may read while another sets it.

#include <QString>
#include <mutex>

class GuardedString {
 public:
  explicit GuardedString(QString initial = {}) : value_(std::move(initial)) {}
  GuardedString(const GuardedString&) = delete;
  GuardedString& operator=(const GuardedString&) = delete;

  QString get() const {
    std::lock_guard lock(mutex_);
    return value_;
  }
  void set(const QString& value) {
    std::lock_guard lock(mutex_);
    value_ = value;
  }

 private:
  mutable std::mutex mutex_;
  QString value_;
};
