#pragma once
// Diagnostic lines of the barcode encoders. They go to the program's log
// (Qt's message handler); nothing is shown to the user.

#include <QString>

namespace barcode {

void logLine(const QString& text);

}  // namespace barcode
