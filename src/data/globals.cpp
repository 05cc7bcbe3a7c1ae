#include "data/globals.h"

#include "data/XlsxSheetReader.h"

std::atomic<int> Excel_Sheet_Number{1};
std::atomic<int> Excel_Sheet_Columns{1};
const QString batch_file_EXT = QStringLiteral("txt");
std::atomic<qint64> Series_Value_Limit{xlsx::kMaxRows};

Q_LOGGING_CATEGORY(lcData, "quvo.data", QtWarningMsg)
