#pragma once
// What the document answers for its data types: the document data
// ({version 2, graphics, printInfo} as a binary property list), the PDF and
// the TIFF of the front list, and the print settings stored with them.

#include <QByteArray>
#include <QPageLayout>
#include <QString>

#include "core/SKTDocument.h"
#include "core/SKTError.h"

namespace document_data {

// The MIME types of the PDF and TIFF the document answers (besides the design
// types "QUVO CARD document" and SKTDocumentNewTypeName); the clipboard uses them too.
inline constexpr char kPdfType[] = "application/pdf";
inline constexpr char kTiffType[] = "image/tiff";

bool isDesignType(const QString& type);
bool isPdfType(const QString& type);
bool isTiffType(const QString& type);

// The document's print settings: paper, orientation and margins.
struct PrintInfo {
  QPageLayout layout{QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(72, 72, 72, 72),
                     QPageLayout::Point};
};
// The print settings as data (a binary property list of paper name, size in
// points, orientation and margins), and back; a default PrintInfo for data
// that cannot be read.
QByteArray printInfoData(const PrintInfo& info);
PrintInfo printInfoFromData(const QByteArray& data);

// Data of a type: the document data for the design types, the PDF or the TIFF
// of the front list. The TIFF may fail with error code 3 (empty result). Any
// other type is a programming error: std::invalid_argument with
// "Invalid parameter not satisfying: " and the condition in words.
QByteArray dataOfType(const SKTDocument& document, const QString& type, SKTError* error = nullptr,
                      const PrintInfo& printInfo = {});

}  // namespace document_data
