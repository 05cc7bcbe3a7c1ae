#pragma once
// Printing of the document: the front list over the card background, one
// point of the card on one point of paper.

#include <QString>

#include "core/SKTDocument.h"
#include "core/render/SKTRenderingView.h"

class QPrinter;

namespace production {

// The job title of a print: the file's name without its extension, or the
// document's display name when it has no file.
QString printJobTitle(const SKTDocument& document, const QString& filePath);

// Prints the front list over the card background the context paints, in a
// 243 x 154 point frame, with the job title. False when the printer cannot start.
bool printFrontSide(const SKTDocument& document, QPrinter& printer, const QString& filePath,
                    const SidePaintContext& context);

}  // namespace production
