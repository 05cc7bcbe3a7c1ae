#include "data/Report.h"

#include "data/globals.h"
#include "platform/Messages.h"
#include "platform/QuotedValue.h"

namespace data_report {

void log(const QString& text) {
  if (!text.isEmpty()) qCWarning(lcData).noquote() << text;
}

void alert(const QString& text) {
  Show_MessageBox(text);
}

QString excerpt(const QString& text, qsizetype maxLength) {
  return platform::quotedValue(text, maxLength);
}

}  // namespace data_report
