#pragma once
// How the data sources talk to the user and to the log. One place, so the
// rest of the module does not care which helper carries the text.

#include <QString>

namespace data_report {

// A line for the system log; empty texts are dropped.
void log(const QString& text);
// A message box with the single button "OK".
void alert(const QString& text);
// A text from a file, fit to be quoted in a message (platform::quotedValue):
// control characters become U+FFFD and a text beyond maxLength characters
// keeps its start and end around "…", so that a hostile name can neither
// forge log lines nor blow a message up.
QString excerpt(const QString& text, qsizetype maxLength = 80);

}  // namespace data_report
