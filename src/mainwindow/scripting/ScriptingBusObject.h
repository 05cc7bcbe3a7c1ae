#pragma once
// What the objects the program publishes on the session bus share: error
// replies under the program's error names, and one guard that turns an
// exception of the model into an error reply instead of ending the program.

#include <QDBusContext>
#include <QLoggingCategory>
#include <QObject>
#include <functional>

#include "core/scripting/SKTScriptError.h"

Q_DECLARE_LOGGING_CATEGORY(lcScripting)

namespace scripting_bus {
inline constexpr const char* kServiceName = "com.quvo.Gratulo";
inline constexpr const char* kDocumentPath = "/Document";
inline constexpr const char* kGraphicsPath = "/Document/graphics/";
inline constexpr const char* kRefusedError = "com.quvo.Gratulo.Error.Refused";
inline constexpr const char* kRangeError = "com.quvo.Gratulo.Error.Range";
}  // namespace scripting_bus

class CardHost;

class ScriptingBusObject : public QObject, protected QDBusContext {
  Q_OBJECT
 public:
  explicit ScriptingBusObject(CardHost& host, QObject* parent = nullptr) : QObject(parent), host_(host) {}

  // The error of the last call that failed (for callers in the program itself).
  QString lastErrorName() const { return lastErrorName_; }
  QString lastErrorMessage() const { return lastErrorMessage_; }

 protected:
  // Answers the call being served with an error.
  void fail(const QString& name, const QString& message);
  void fail(const SKTScriptError& error);
  void failInvalid(const QString& message);
  // Runs one call: a change tells the window to update its Undo and Redo
  // state; an exception becomes an error reply.
  void serve(const std::function<void()>& call);

 private:
  CardHost& host_;
  QString lastErrorName_, lastErrorMessage_;
};
