#pragma once
// Helpers of the linear barcode tests: building and drawing objects, calling the
// external oracles (zxing-cpp, zbarimg, the PostScript barcode writer under gs).

#include <QImage>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "DesignerLayout.h"
#include "barcode/linear/QVBBarcode.h"

namespace barcode::testing {

// A valid object of the symbology; fails the current test otherwise.
std::unique_ptr<QVBBarcode> make(const QString& symbology, const QString& value);

// The object laid out with the decoder state and drawn at pixelsPerModule
// pixels per module (bar width 1 point), as an 8-bit grey image.
QImage renderForDecoding(QVBBarcode& code, int pixelsPerModule, bool caption = true);

// The text zxing-cpp reads from the image for the format name ("Code39",
// "Code128", "EAN13", "EAN8", "UPCA", "UPCE", "ITF", "Codabar"); nothing when
// no symbol is found.
std::optional<std::string> zxingRead(const QImage& image, const char* format, bool code39Extended = false);

// Full path of an external program; fails the test (not skips) when missing.
QString requireProgram(const QString& name);
// Runs a program and answers its standard output; fails the test on a start
// failure, a timeout or a non-zero exit status when checkExit is set.
QByteArray runProgram(const QString& program, const QStringList& arguments, bool checkExit = true);

// Writes the images to a temporary folder and reads them all with one zbarimg
// run limited to the symbology (zbar configuration name, e.g. "code128"; several
// may be given separated by spaces); one answer per image.
std::vector<std::optional<std::string>> zbarReadAll(const std::vector<QImage>& images,
                                                    const QString& symbologies);

// The PostScript barcode writer's resource file.
QString postscriptBarcodeFile();
// Runs the encoder once per value in a single gs process; per value the sbs,
// bhs and bbs arrays it answers (empty when the encoder refused the value).
struct PsSymbol {
  bool ok = false;
  std::vector<double> sbs, bhs, bbs;
};
std::vector<PsSymbol> postscriptEncodeAll(const QString& encoder, const QString& options,
                                          const std::vector<std::string>& values);

// Narrow ('n') and wide ('w') classes of element widths, up to the first width
// of 0 or less (the writer may end with a negative adjustment).
std::string widthClasses(const std::vector<double>& widths, double narrowLimit);
// Bar kinds of the writer's height-coded symbol: T tall and S short, or for
// four-state codes F full, A ascender, D descender, T tracker.
std::string writerBarKinds(const PsSymbol& symbol, bool fourState);

// Element widths (alternately bar and space, from the first bar) of a module string.
std::vector<int> runLengths(const std::string& modules);

// Random strings of the alphabet with lengths in [minLength, maxLength].
std::vector<std::string> randomStrings(std::mt19937& rng, const std::string& alphabet, int count,
                                       int minLength, int maxLength);

}  // namespace barcode::testing
