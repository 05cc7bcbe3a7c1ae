#include "LinearTestSupport.h"

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <algorithm>

#include "barcode/linear/LinearSymbologies.h"
#include "platform/ChildProcess.h"
#include "support/HangGuard.h"

namespace barcode::testing {

std::unique_ptr<QVBBarcode> make(const QString& symbology, const QString& value) {
  auto code = createLinearBarcode(symbology, value, true);
  EXPECT_TRUE(code) << symbology.toStdString();
  if (code) EXPECT_TRUE(code->isContentValid()) << symbology.toStdString() << ": " << value.toStdString();
  return code;
}

QImage renderForDecoding(QVBBarcode& code, int pixelsPerModule, bool caption) {
  BarcodeDrawingState state = decoderState();
  LayoutOptions options;
  options.barWidth = 1.0f;
  options.barHeight = 20.0f;
  options.caption = caption;
  layOut(code, state, options);
  const BarcodePicture picture = imageFromBarcode(code, state);
  return picture.toImage(72.0 * pixelsPerModule).convertToFormat(QImage::Format_Grayscale8);
}

std::optional<std::string> zxingRead(const QImage& image, const char* format, bool code39Extended) {
  const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
  const ZXing::ImageView view(grey.constBits(), grey.width(), grey.height(), ZXing::ImageFormat::Lum,
                              static_cast<int>(grey.bytesPerLine()));
  ZXing::DecodeHints hints;
  hints.setFormats(ZXing::BarcodeFormatFromString(format));
  hints.setTryCode39ExtendedMode(code39Extended);
  hints.setReturnCodabarStartEnd(true);
  hints.setTryRotate(false);
  const ZXing::Result result = ZXing::ReadBarcode(view, hints);
  if (!result.isValid()) return std::nullopt;
  return result.text();
}

QString requireProgram(const QString& name) {
  const QString path = QStandardPaths::findExecutable(name);
  EXPECT_FALSE(path.isEmpty()) << "the test needs the program " << name.toStdString() << " (not installed)";
  return path;
}

QByteArray runProgram(const QString& program, const QStringList& arguments, bool checkExit) {
  platform::ChildProcess process(program, arguments);
  if (!process.started()) {
    ADD_FAILURE() << process.startError().toStdString();
    return {};
  }
  if (!process.waitForExit(testing_support::kHangGuardMs)) {
    ADD_FAILURE() << program.toStdString() << " did not finish";
    return {};
  }
  if (checkExit && process.exitCode() != 0)
    ADD_FAILURE() << program.toStdString() << " failed: " << process.err().toStdString();
  return process.out();
}

std::vector<std::optional<std::string>> zbarReadAll(const std::vector<QImage>& images,
                                                    const QString& symbologies) {
  std::vector<std::optional<std::string>> answers(images.size());
  const QString zbar = requireProgram(QStringLiteral("zbarimg"));
  if (zbar.isEmpty()) return answers;
  QTemporaryDir dir;
  QStringList args{QStringLiteral("-q"), QStringLiteral("--xml"), QStringLiteral("-Sdisable")};
  for (const QString& s : symbologies.split(QLatin1Char(' '), Qt::SkipEmptyParts))
    args << QStringLiteral("-S%1.enable").arg(s);
  for (size_t i = 0; i < images.size(); ++i) {
    const QString file = dir.filePath(QStringLiteral("%1.png").arg(i));
    EXPECT_TRUE(images[i].save(file, "PNG"));
    args << file;
  }
  // zbarimg exits with 4 when some image has no symbol; that is what the
  // answers report, so the status is not checked.
  const QByteArray xml = runProgram(zbar, args, false);
  QXmlStreamReader reader(xml);
  int current = -1;
  while (!reader.atEnd()) {
    reader.readNext();
    if (!reader.isStartElement()) continue;
    if (reader.name() == QLatin1String("source")) {
      current = QFileInfo(reader.attributes().value(QLatin1String("href")).toString()).baseName().toInt();
    } else if (reader.name() == QLatin1String("data") && current >= 0 &&
               current < static_cast<int>(answers.size()) && !answers[static_cast<size_t>(current)]) {
      answers[static_cast<size_t>(current)] = reader.readElementText().toStdString();
    }
  }
  return answers;
}

QString postscriptBarcodeFile() {
  for (const char* path :
       {"/usr/share/libpostscriptbarcode/barcode.ps", "/usr/share/postscriptbarcode/barcode.ps"})
    if (QFileInfo::exists(QString::fromLatin1(path))) return QString::fromLatin1(path);
  ADD_FAILURE() << "the test needs libpostscriptbarcode (barcode.ps not found)";
  return {};
}

namespace {
QByteArray psString(const std::string& text) {
  QByteArray out("(");
  for (char c : text) {
    if (c == '(' || c == ')' || c == '\\') out += '\\';
    out += c;
  }
  return out + ")";
}

std::vector<double> numbers(const QByteArray& text) {
  std::vector<double> out;
  for (const QByteArray& part : text.simplified().split(' '))
    if (!part.isEmpty()) out.push_back(part.toDouble());
  return out;
}
}  // namespace

std::vector<PsSymbol> postscriptEncodeAll(const QString& encoder, const QString& options,
                                          const std::vector<std::string>& values) {
  std::vector<PsSymbol> out(values.size());
  const QString gs = requireProgram(QStringLiteral("gs"));
  const QString library = postscriptBarcodeFile();
  if (gs.isEmpty() || library.isEmpty()) return out;
  QByteArray program =
      "/pr { (\\n) print } def\n"
      "/arr { { =only ( ) print } forall } def\n"
      "/emit { /enc exch def /opt exch def /val exch def /ds countdictstack def\n"
      "  mark { val opt enc /uk.co.terryburton.bwipp findresource exec } stopped\n"
      "  { cleartomark countdictstack ds sub { end } repeat (ERR) print pr }\n"
      "  { /d exch def cleartomark (OK|) print d /sbs get arr (|) print\n"
      "    d /bhs known { d /bhs get arr } if (|) print d /bbs known { d /bbs get arr } if pr } ifelse\n"
      "} def\n";
  const QByteArray opts = psString("dontdraw " + options.toStdString());
  const QByteArray enc = "/" + encoder.toLatin1();
  for (const std::string& v : values) program += psString(v) + " " + opts + " " + enc + " emit\n";
  program += "quit\n";
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("oracle.ps"));
  QFile f(file);
  EXPECT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(program);
  f.close();
  const QByteArray output = runProgram(gs, {QStringLiteral("-dNOSAFER"), QStringLiteral("-dNODISPLAY"),
                                            QStringLiteral("-q"), QStringLiteral("-dBATCH"), library, file});
  const QList<QByteArray> lines = output.split('\n');
  size_t index = 0;
  for (const QByteArray& line : lines) {
    if (index >= out.size()) break;
    if (line.startsWith("ERR")) {
      ++index;
    } else if (line.startsWith("OK|")) {
      const QList<QByteArray> parts = line.mid(3).split('|');
      PsSymbol& s = out[index++];
      s.ok = true;
      if (parts.size() > 0) s.sbs = numbers(parts[0]);
      if (parts.size() > 1) s.bhs = numbers(parts[1]);
      if (parts.size() > 2) s.bbs = numbers(parts[2]);
    }
  }
  EXPECT_EQ(index, out.size()) << "gs answered fewer symbols than asked";
  return out;
}

std::vector<int> runLengths(const std::string& modules) {
  std::vector<int> out;
  char current = 0;
  for (char c : modules) {
    if (out.empty() || c != current) {
      out.push_back(1);
      current = c;
    } else {
      ++out.back();
    }
  }
  return out;
}

std::vector<std::string> randomStrings(std::mt19937& rng, const std::string& alphabet, int count,
                                       int minLength, int maxLength) {
  std::uniform_int_distribution<int> length(minLength, maxLength);
  std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
  std::vector<std::string> out;
  for (int i = 0; i < count; ++i) {
    std::string s;
    const int n = length(rng);
    for (int k = 0; k < n; ++k) s.push_back(alphabet[pick(rng)]);
    out.push_back(s);
  }
  return out;
}

std::string widthClasses(const std::vector<double>& widths, double narrowLimit) {
  std::string out;
  for (double w : widths) {
    if (w <= 0) break;
    out.push_back(w <= narrowLimit ? 'n' : 'w');
  }
  return out;
}

std::string writerBarKinds(const PsSymbol& symbol, bool fourState) {
  auto bottomOf = [&](size_t i) { return i < symbol.bbs.size() ? symbol.bbs[i] : 0.0; };
  double lowestTop = 1e9, highestTop = 0;
  for (size_t i = 0; i < symbol.bhs.size(); ++i) {
    lowestTop = std::min(lowestTop, symbol.bhs[i] + bottomOf(i));
    highestTop = std::max(highestTop, symbol.bhs[i] + bottomOf(i));
  }
  std::string out;
  for (size_t i = 0; i < symbol.bhs.size(); ++i) {
    const double top = symbol.bhs[i] + bottomOf(i);
    if (!fourState) {
      out.push_back(top > (lowestTop + highestTop) / 2 ? 'T' : 'S');
      continue;
    }
    const bool ascender = top >= highestTop - 1e-6;
    const bool descender = bottomOf(i) <= 1e-6;
    out.push_back(ascender ? (descender ? 'F' : 'A') : (descender ? 'D' : 'T'));
  }
  return out;
}

}  // namespace barcode::testing
