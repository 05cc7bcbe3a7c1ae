#include "mainwindow/scripting/ScriptingBusObject.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <exception>

#include "core/CardHost.h"

Q_LOGGING_CATEGORY(lcScripting, "quvo.scripting")

void ScriptingBusObject::fail(const QString& name, const QString& message) {
  lastErrorName_ = name;
  lastErrorMessage_ = message;
  if (calledFromDBus()) sendErrorReply(name, message);
}

void ScriptingBusObject::fail(const SKTScriptError& error) {
  switch (error.kind) {
    case SKTScriptError::Kind::Refused:
      return fail(QString::fromLatin1(scripting_bus::kRefusedError), error.message());
    case SKTScriptError::Kind::Range:
      return fail(QString::fromLatin1(scripting_bus::kRangeError), error.message());
    case SKTScriptError::Kind::ReadOnly:
      return failInvalid(error.message());
    case SKTScriptError::Kind::NoContainer:
      return fail(QDBusError::errorString(QDBusError::UnknownObject), error.message());
  }
}

void ScriptingBusObject::failInvalid(const QString& message) {
  fail(QDBusError::errorString(QDBusError::InvalidArgs), message);
}

void ScriptingBusObject::serve(const std::function<void()>& call) {
  lastErrorName_.clear();
  lastErrorMessage_.clear();
  try {
    call();
  } catch (const std::exception& e) {
    qCWarning(lcScripting) << "A script command failed:" << e.what();
    fail(QDBusError::errorString(QDBusError::Failed), QString::fromUtf8(e.what()));
  }
  host_.Undo_Redo_Button_state();
}
