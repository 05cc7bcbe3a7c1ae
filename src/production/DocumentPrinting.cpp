#include "production/DocumentPrinting.h"

#include <QFileInfo>
#include <QPainter>
#include <QPrinter>

namespace production {

QString printJobTitle(const SKTDocument& document, const QString& filePath) {
  if (filePath.isEmpty()) return document.displayName();
  return QFileInfo(filePath).completeBaseName();
}

bool printFrontSide(const SKTDocument& document, QPrinter& printer, const QString& filePath,
                    const SidePaintContext& context) {
  const QString title = printJobTitle(document, filePath);
  printer.setDocName(title);
  printer.setCreator(QStringLiteral("QUVO Gratulo"));
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  // One point of the card is one point of paper.
  const double scale = printer.logicalDpiX() / 72.0;
  painter.scale(scale, printer.logicalDpiY() / 72.0);
  SidePaintContext frame = context;
  frame.size = QSizeF(243, 154);
  const SKTRenderingView view(QRectF(0, 0, 243, 154), document.graphics(), title);
  view.drawRect(painter, view.frame(), frame);
  painter.end();
  return true;
}

}  // namespace production
