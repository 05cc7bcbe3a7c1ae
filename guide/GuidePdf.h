#pragma once
#include <QString>

// Prints the guide folder's Guide.md with its pictures to an A4 PDF.
void writePdf(const QString& guideFolder, const QString& pdfPath);
