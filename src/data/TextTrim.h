#pragma once
// Trimming of values read from series files and spreadsheet cells.

#include <QString>

namespace data_text {

// White space and line ends removed from both ends, then control characters
// removed from both ends; inner characters stay.
QString trim(const QString& text);

}  // namespace data_text
