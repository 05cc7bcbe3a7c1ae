#pragma once
// The printers a print job can go to: the system's printers, in the order
// the system lists them, and after them the "PDF file" printer, which
// prints into a PDF file chosen when the job starts. Tests replace the list.

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QPrinter;

namespace production {

inline const QString kPdfFilePrinter = QStringLiteral("PDF file");

// The printer names offered to the user.
QStringList printerNames();

// Replaces the list (nullptr restores the system's); GUI thread.
void setPrinterNamesForTesting(std::function<QStringList()> names);

// A printer for the named one: a system printer, or the PDF file printer
// (any name the system does not know prints to PDF). It starts from that
// printer's own settings (colour or grey, the margins it cannot print on),
// never from the printer chosen before, and keeps the paper size (where the
// new printer has it) and the orientation of `current`.
std::unique_ptr<QPrinter> selectPrinter(const QPrinter& current, const QString& name);

// True when the printer writes a PDF file rather than to a printer.
bool printsToFile(const QPrinter& printer);

}  // namespace production
