#include "production/print/Printers.h"

#include <QPageLayout>
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

std::unique_ptr<QPrinter> selectPrinter(const QPrinter& current, const QString& name) {
  const QPrinterInfo info = QPrinterInfo::printerInfo(name);
  std::unique_ptr<QPrinter> printer;
  if (name != kPdfFilePrinter && !info.isNull()) {
    printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
  } else {
    printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
  }
  const QPageLayout before = current.pageLayout();
  printer->setPageSize(before.pageSize());  // refused where the printer lacks that paper
  printer->setPageOrientation(before.orientation());
  return printer;
}

bool printsToFile(const QPrinter& printer) {
  return printer.outputFormat() == QPrinter::PdfFormat;
}

}  // namespace production
