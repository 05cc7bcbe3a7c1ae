#pragma once
// How the data sources talk to the user and to the log. One place, so the
// rest of the module does not care which helper carries the text.

#include <QString>

namespace data_report {

// A line for the system log; empty texts are dropped.
void log(const QString& text);
// A message box with the single button "OK".
void alert(const QString& text);

}  // namespace data_report
