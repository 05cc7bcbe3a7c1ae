#pragma once
// Diagnostic lines of the barcode encoders. They go to the program's log
// (Qt's message handler); nothing is shown to the user.

#include <QLoggingCategory>
#include <QString>

namespace barcode {

void logLine(const QString& text);

}  // namespace barcode

// The log of the barcode subsystem (warnings by default).
Q_DECLARE_LOGGING_CATEGORY(lcBarcode)
