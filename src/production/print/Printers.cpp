#include "production/print/Printers.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace production {

namespace {
std::function<QStringList()>& replacement() {
  static std::function<QStringList()> names;
  return names;
}
}  // namespace

QStringList printerNames() {
  if (replacement()) return replacement()();
  QStringList names = QPrinterInfo::availablePrinterNames();
  names.removeAll(kPdfFilePrinter);
  names.append(kPdfFilePrinter);
  return names;
}

void setPrinterNamesForTesting(std::function<QStringList()> names) {
  replacement() = std::move(names);
}

void selectPrinter(QPrinter& printer, const QString& name) {
  const QPrinterInfo info = QPrinterInfo::printerInfo(name);
  if (name != kPdfFilePrinter && !info.isNull()) {
    printer.setOutputFormat(QPrinter::NativeFormat);
    printer.setPrinterName(name);
  } else {
    printer.setOutputFormat(QPrinter::PdfFormat);
  }
}

bool printsToFile(const QPrinter& printer) {
  return printer.outputFormat() == QPrinter::PdfFormat;
}

}  // namespace production
