#include "data/Report.h"

#include "platform/Messages.h"

namespace data_report {

void log(const QString& text) {
  Show_NSLog_Message(text);
}

void alert(const QString& text) {
  Show_MessageBox(text);
}

}  // namespace data_report
