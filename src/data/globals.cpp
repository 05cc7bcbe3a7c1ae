#include "data/globals.h"

std::atomic<int> Excel_Sheet_Number{1};
std::atomic<int> Excel_Sheet_Columns{1};
const QString batch_file_EXT = QStringLiteral("txt");

Q_LOGGING_CATEGORY(lcData, "quvo.data", QtWarningMsg)
