// Makes the user guide: the pictures of the real window and dialogs, made
// under the offscreen platform and saved beside the guide's text, and the
// text with its pictures as an A4 PDF with page numbers. It exits with 1,
// writing no PDF, when a line of the guide does not fit its page.
//
//   QT_QPA_PLATFORM=offscreen make_guide <guide folder> <PDF file>
//   QT_QPA_PLATFORM=offscreen make_guide --pdf-only <guide folder> <PDF file>
//
// The guide folder holds Guide.md; the pictures go to its "pictures" folder.
// With --pdf-only the pictures already there are used as they are.
#include <QApplication>
#include <QDir>

#include "ExamplePictures.h"
#include "GuidePdf.h"
#include "GuidePictures.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("QUVO Gratulo"));
  QApplication::setOrganizationName(QStringLiteral("QUVO"));
  QStringList args = app.arguments().mid(1);
  const bool pdfOnly = args.removeAll(QStringLiteral("--pdf-only")) > 0;
  if (args.size() != 2) {
    qWarning("usage: make_guide [--pdf-only] <guide folder> <PDF file>");
    return 2;
  }
  const QString guide = QDir(args[0]).absolutePath();
  if (!pdfOnly) {
    makePictures(guide + "/pictures");
    makeExamplePictures(guide + "/pictures");
  }
  // A guide whose lines run off its pages is not written (make guide fails).
  return writePdf(guide, args[1]) ? 0 : 1;
}
