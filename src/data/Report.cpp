#include "data/Report.h"

#include <QtGlobal>

#include "platform/MessageHost.h"

namespace data_report {

void log(const QString& text) {
  if (text.isEmpty()) return;
  qInfo("%s", qUtf8Printable(text));
}

void alert(const QString& text) {
  platform::messageHost().showMessage("\n" + text);
}

}  // namespace data_report
