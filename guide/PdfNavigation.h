#pragma once
// Bookmarks and links inside a PDF that QPdfWriter wrote. Qt writes a text
// anchor as a link annotation that opens its address; it writes no
// bookmarks. This adds both, as an update appended to the file: an outline
// of the headings, and every link whose address is "#<number>" made a jump
// to that heading.
#include <QList>
#include <QString>

struct PdfHeading {
  QString title;
  int level = 1;   // 1: a chapter, 2: a section of the chapter before it
  int page = 0;    // from 0
  double top = 0;  // where it starts, in points from the page's top edge
};

// Adds the outline of `headings` and turns the links to "#<index in
// headings>" into jumps. The empty string when it is done, otherwise why the
// file was not changed.
QString addNavigation(const QString& pdfPath, const QList<PdfHeading>& headings);
