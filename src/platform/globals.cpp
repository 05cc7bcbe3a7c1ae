#include "platform/globals.h"

#include "platform/GuardedString.h"

namespace {

GuardedString& resourcePath() {
  static GuardedString s;
  return s;
}
GuardedString& msgTitle() {
  static GuardedString s;
  return s;
}
GuardedString& msgVal() {
  static GuardedString s;
  return s;
}

}  // namespace

std::atomic<bool> Msg_Apply_All_Chk{false};
std::atomic<bool> Program_Ending{false};

QString Resource_Path() {
  return resourcePath().get();
}
void Set_Resource_Path(const QString& path) {
  resourcePath().set(path);
}
QString Data_Folder_Path() {
  return Resource_Path() + "/DataSet";
}

QString Cutom_Msg_Title() {
  return msgTitle().get();
}
void Set_Cutom_Msg_Title(const QString& title) {
  msgTitle().set(title);
}
QString Cutom_Msg_Val() {
  return msgVal().get();
}
void Set_Cutom_Msg_Val(const QString& text) {
  msgVal().set(text);
}

Q_LOGGING_CATEGORY(lcPlatform, "quvo.platform", QtWarningMsg)
