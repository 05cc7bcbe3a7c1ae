// The shipped Help.pdf as poppler reads it: it holds the guide's headings,
// captions and pictures, every word lies inside the page's text area, the
// contents give the page where each chapter and section starts and link to
// it, the bookmarks mirror the contents and land on their headings, and no
// page is left mostly empty.
#include <gtest/gtest.h>

#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <cmath>

#include "support/TestFiles.h"

namespace {

const QString kGuideFolder = QStringLiteral(QUVO_SOURCE_DIR "/guide");
const QString kHelpPdf = QStringLiteral(QUVO_SOURCE_DIR "/resources/Help.pdf");
// The guide's pages have margins of 20 mm left and right; a word may reach
// past them by a point at most (its glyphs' ink against their advance).
constexpr double kMarginPoints = 20 / 25.4 * 72;
constexpr double kTolerancePoints = 1;
// The text area ends this far above the paper's lower edge: the margin and
// the footer with the page number.
constexpr double kFootPoints = 30 / 25.4 * 72;

// The text as compared: ligatures ("fi" drawn as one glyph) read as their
// letters, runs of spaces as one.
QString plain(const QString& text) {
  return text.normalized(QString::NormalizationForm_KC).simplified();
}

// Each capture of the pattern's first group in the text.
QStringList capturesOf(const QString& pattern, const QString& text) {
  QStringList found;
  const QRegularExpression expression(pattern, QRegularExpression::MultilineOption);
  for (auto it = expression.globalMatch(text); it.hasNext();) found << it.next().captured(1);
  return found;
}

QString guideMarkdown() {
  return QString::fromUtf8(testing_support::readFile(kGuideFolder + "/Guide.md"));
}

QByteArray pdftotext(const QStringList& arguments) {
  const testing_support::ProcessResult text = testing_support::runProgram("pdftotext", arguments);
  EXPECT_EQ(text.exitCode, 0) << text.err.toStdString();
  return text.out;
}

// Every word that reaches into a page's left or right margin, with its page
// and where it ends.
QStringList wordsPastTheMargins(const QString& pdf) {
  const QString boxes = QString::fromUtf8(pdftotext({"-bbox", pdf, "-"}));
  static const QRegularExpression tag(QStringLiteral(
      R"re(<page width="([\d.]+)"|<word xMin="([\d.]+)" yMin="[\d.]+" xMax="([\d.]+)" yMax="[\d.]+">([^<]*)</word>)re"));
  QStringList found;
  int page = 0;
  double width = 0;
  for (auto it = tag.globalMatch(boxes); it.hasNext();) {
    const QRegularExpressionMatch match = it.next();
    if (!match.captured(1).isEmpty()) {
      ++page;
      width = match.captured(1).toDouble();
      continue;
    }
    const double left = match.captured(2).toDouble();
    const double right = match.captured(3).toDouble();
    if (left < kMarginPoints - kTolerancePoints || right > width - kMarginPoints + kTolerancePoints)
      found << QStringLiteral("page %1: \"%2\" from %3 to %4 pt")
                   .arg(page)
                   .arg(match.captured(4).replace("&quot;", "\"").replace("&amp;", "&"))
                   .arg(left)
                   .arg(right);
  }
  EXPECT_GT(page, 0) << pdf.toStdString();
  return found;
}

// The lines of each page, as laid out on it.
QList<QStringList> pageLines(const QString& pdf) {
  QStringList pages = QString::fromUtf8(pdftotext({"-layout", pdf, "-"})).split(QLatin1Char('\f'));
  if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
  QList<QStringList> lines;
  for (const QString& page : pages) {
    QStringList shown;
    for (const QString& line : page.split(QLatin1Char('\n')))
      if (!plain(line).isEmpty()) shown << plain(line);
    lines << shown;
  }
  return lines;
}

// The lines of each page in reading order, read a page at a time, without
// the page number under them.
QList<QStringList> pageTexts(const QString& pdf) {
  const testing_support::ProcessResult info = testing_support::runProgram("pdfinfo", {pdf});
  EXPECT_EQ(info.exitCode, 0) << info.err.toStdString();
  static const QRegularExpression pagesLine(QStringLiteral(R"(^Pages:\s+(\d+)$)"),
                                            QRegularExpression::MultilineOption);
  static const QRegularExpression pageNumber(QStringLiteral(R"(^\d+$)"));
  const int count = pagesLine.match(QString::fromUtf8(info.out)).captured(1).toInt();
  EXPECT_GT(count, 0) << pdf.toStdString();
  QList<QStringList> pages;
  for (int page = 1; page <= count; ++page) {
    const QString number = QString::number(page);
    QStringList lines;
    for (const QString& line :
         QString::fromUtf8(pdftotext({"-f", number, "-l", number, pdf, "-"})).split('\n'))
      if (const QString shown = plain(line); !shown.isEmpty()) lines << shown;
    if (!lines.isEmpty() && pageNumber.match(lines.last()).hasMatch()) lines.removeLast();
    pages << lines;
  }
  return pages;
}

// Each line drawn twice across a page break: found among the last lines of
// a page and again among the first of the next.
QStringList linesDrawnTwice(const QList<QStringList>& pages) {
  constexpr int kEdgeLines = 3;
  QStringList found;
  for (qsizetype page = 0; page + 1 < pages.size(); ++page) {
    const QStringList next = pages[page + 1].mid(0, kEdgeLines);
    for (const QString& line : pages[page].mid(std::max<qsizetype>(0, pages[page].size() - kEdgeLines)))
      if (next.contains(line))
        found << QStringLiteral("pages %1 and %2: \"%3\"").arg(page + 1).arg(page + 2).arg(line);
  }
  return found;
}

struct ContentsEntry {
  QString title;
  int page = 0;
};

struct Contents {
  QList<ContentsEntry> entries;
  int lastPage = 0;  // from 1
};

// The entries under the "Contents" heading ("title . . . . 12"), on as many
// pages as they fill (a page of its own holds only entries and its number).
Contents contentsOf(const QList<QStringList>& pages) {
  static const QRegularExpression entry(QStringLiteral(R"(^(.*?\S) ?(?:\. ?){3,}(\d+)$)"));
  static const QRegularExpression pageNumber(QStringLiteral(R"(^\d+$)"));
  Contents contents;
  for (int page = 0; page < pages.size(); ++page) {
    qsizetype line = 0;
    if (contents.lastPage == 0) {
      line = pages[page].indexOf(QStringLiteral("Contents")) + 1;
      if (line == 0) continue;
    }
    const qsizetype listed = contents.entries.size();
    for (; line < pages[page].size(); ++line) {
      const QRegularExpressionMatch match = entry.match(pages[page][line]);
      if (match.hasMatch())
        contents.entries.append({match.captured(1), match.captured(2).toInt()});
      else if (!pageNumber.match(pages[page][line]).hasMatch())
        break;
    }
    if (contents.entries.size() == listed) break;
    contents.lastPage = page + 1;
    if (line < pages[page].size()) break;  // the text goes on after the list
  }
  return contents;
}

// Each entry whose page is not the page where its title is first found as a
// line of its own after the contents (the entries in their order). The first
// chapter may start on the contents' last page.
QStringList wrongPageNumbers(const QList<QStringList>& pages, const Contents& contents) {
  QStringList wrong;
  int from = contents.lastPage - 1;  // pages[from] is the contents' last page
  for (const ContentsEntry& entry : contents.entries) {
    int found = from;
    while (found < pages.size() && !pages[found].contains(entry.title)) ++found;
    if (found == pages.size()) {
      wrong << QStringLiteral("%1: listed on page %2, found on none").arg(entry.title).arg(entry.page);
      continue;
    }
    if (found + 1 != entry.page)
      wrong << QStringLiteral("%1: listed on page %2, starts on page %3")
                   .arg(entry.title)
                   .arg(entry.page)
                   .arg(found + 1);
    from = found;
  }
  return wrong;
}

// Each page, but the last, whose words end in the upper half of its text
// area, with how far down they reach.
QStringList halfEmptyPages(const QString& pdf) {
  const QString boxes = QString::fromUtf8(pdftotext({"-bbox", pdf, "-"}));
  static const QRegularExpression tag(QStringLiteral(
      R"re(<page width="[\d.]+" height="([\d.]+)"|<word xMin="[\d.]+" yMin="[\d.]+" xMax="[\d.]+" yMax="([\d.]+)">)re"));
  QList<double> lowest;  // per page, the lowest word's bottom
  QList<double> areaBottom;
  for (auto it = tag.globalMatch(boxes); it.hasNext();) {
    const QRegularExpressionMatch match = it.next();
    if (!match.captured(1).isEmpty()) {
      lowest << 0;
      areaBottom << match.captured(1).toDouble() - kFootPoints;
    } else if (const double bottom = match.captured(2).toDouble(); bottom <= areaBottom.last()) {
      lowest.last() = std::max(lowest.last(), bottom);  // the page number lies below the area
    }
  }
  QStringList found;
  for (qsizetype page = 0; page + 1 < lowest.size(); ++page) {
    const double filled = (lowest[page] - kMarginPoints) / (areaBottom[page] - kMarginPoints);
    if (filled < 0.5)
      found << QStringLiteral("page %1 is filled to %2 %").arg(page + 1).arg(qRound(filled * 100));
  }
  return found;
}

struct Bookmark {
  int depth = 0;  // 0: a chapter, 1: a section
  QString title;
  int page = 0;
};

// The bookmarks and the links of a PDF as poppler's XML output gives them:
// each bookmark with its depth, title and page; for each linked piece of
// text (a contents entry's title and leaders, or its number), the page it
// leads to.
struct Navigation {
  QList<Bookmark> bookmarks;
  QHash<QString, int> links;
};

Navigation navigationOf(const QString& pdf) {
  const testing_support::ProcessResult xml =
      testing_support::runProgram("pdftohtml", {"-xml", "-i", "-stdout", "-q", pdf});
  EXPECT_EQ(xml.exitCode, 0) << xml.err.toStdString();
  const QString text = QString::fromUtf8(xml.out);
  Navigation navigation;
  static const QRegularExpression link(
      QStringLiteral(R"re(<text [^>]*>(.*<a href="[^"]*#(\d+)">.*)</text>)re"));
  static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
  for (auto it = link.globalMatch(text); it.hasNext();) {
    const QRegularExpressionMatch match = it.next();
    QString shown = match.captured(1);
    shown.remove(tags).replace("&quot;", "\"").replace("&amp;", "&").replace("&apos;", "'");
    navigation.links.insert(plain(shown), match.captured(2).toInt());
  }
  static const QRegularExpression outline(
      QStringLiteral(R"re(<outline>|</outline>|<item page="(\d+)">([^<]*)</item>)re"));
  int depth = -1;
  for (auto it = outline.globalMatch(text, text.indexOf(QStringLiteral("<outline>"))); it.hasNext();) {
    const QRegularExpressionMatch match = it.next();
    if (match.captured(0) == QLatin1String("<outline>"))
      ++depth;
    else if (match.captured(0) == QLatin1String("</outline>"))
      --depth;
    else
      navigation.bookmarks.append(
          {depth, plain(match.captured(2).replace("&amp;", "&")), match.captured(1).toInt()});
  }
  return navigation;
}

// Each contents entry without a bookmark of its title, depth and page in
// the same order, or without a link to its page from its line.
QStringList navigationFaults(const Contents& contents, const QStringList& chapters,
                             const Navigation& navigation) {
  QStringList faults;
  for (qsizetype i = 0; i < contents.entries.size(); ++i) {
    const ContentsEntry& entry = contents.entries[i];
    const Bookmark expected{chapters.contains(entry.title) ? 0 : 1, entry.title, entry.page};
    const Bookmark found = navigation.bookmarks.value(i);
    if (found.depth != expected.depth || found.title != expected.title || found.page != expected.page)
      faults << QStringLiteral("%1: bookmark \"%2\" at depth %3 on page %4")
                    .arg(entry.title, found.title)
                    .arg(found.depth)
                    .arg(found.page);
    int linked = 0;
    for (auto it = navigation.links.cbegin(); it != navigation.links.cend(); ++it)
      if (it.key() == entry.title || it.key().startsWith(entry.title + " .")) linked = it.value();
    if (linked != entry.page)
      faults << QStringLiteral("%1: its line links to page %2").arg(entry.title).arg(linked);
  }
  if (navigation.bookmarks.size() != contents.entries.size())
    faults << QStringLiteral("%1 bookmarks for %2 entries")
                  .arg(navigation.bookmarks.size())
                  .arg(contents.entries.size());
  return faults;
}

// Each bookmark whose destination is not the top of its heading's first
// line (within kTolerancePoints), read from the PDF's objects as written:
// the outline items' titles and "/XYZ left top" destinations, against where
// poppler finds the heading's first word on the page.
QStringList bookmarksOffTheirHeadings(const QString& pdf) {
  const QString raw = QString::fromLatin1(testing_support::readFile(pdf));
  // The objects as the file's last update leaves them.
  QHash<int, QString> objects;
  static const QRegularExpression object(QStringLiteral(R"((\d+) 0 obj(.*?)endobj)"),
                                         QRegularExpression::DotMatchesEverythingOption);
  for (auto it = object.globalMatch(raw); it.hasNext();) {
    const QRegularExpressionMatch match = it.next();
    objects.insert(match.captured(1).toInt(), match.captured(2));
  }
  static const QRegularExpression root(QStringLiteral(R"(/Root (\d+) 0 R)"));
  static const QRegularExpression pagesOf(QStringLiteral(R"(/Pages (\d+) 0 R)"));
  static const QRegularExpression kids(QStringLiteral(R"(/Kids\s*\[([^\]]*)\])"));
  static const QRegularExpression reference(QStringLiteral(R"((\d+) 0 R)"));
  QString catalog;
  for (auto it = root.globalMatch(raw); it.hasNext();) catalog = objects.value(it.next().captured(1).toInt());
  const QString pageList = kids.match(objects.value(pagesOf.match(catalog).captured(1).toInt())).captured(1);
  QHash<int, int> pageNumber;  // object -> page from 0
  for (auto it = reference.globalMatch(pageList); it.hasNext();)
    pageNumber.insert(it.next().captured(1).toInt(), static_cast<int>(pageNumber.size()));

  // Per page its height and the top of each word.
  const QString boxes = QString::fromUtf8(pdftotext({"-bbox", pdf, "-"}));
  static const QRegularExpression tag(QStringLiteral(
      R"re(<page width="[\d.]+" height="([\d.]+)"|<word xMin="[\d.]+" yMin="([\d.]+)" xMax="[\d.]+" yMax="[\d.]+">([^<]*)</word>)re"));
  QList<double> heights;
  QList<QMultiHash<QString, double>> wordTops;
  for (auto it = tag.globalMatch(boxes); it.hasNext();) {
    const QRegularExpressionMatch match = it.next();
    if (!match.captured(1).isEmpty()) {
      heights << match.captured(1).toDouble();
      wordTops.append(QMultiHash<QString, double>());
    } else {
      wordTops.last().insert(plain(match.captured(3).replace("&amp;", "&")), match.captured(2).toDouble());
    }
  }

  static const QRegularExpression item(QStringLiteral(
      R"(/Title <FEFF([0-9A-F]*)>\s*/Parent \d+ 0 R\s*/Dest \[(\d+) 0 R /XYZ [-\d.]+ ([-\d.]+))"));
  QStringList faults;
  for (const QString& text : objects) {
    const QRegularExpressionMatch match = item.match(text);
    if (!match.hasMatch()) continue;
    const QByteArray utf16 = QByteArray::fromHex(match.captured(1).toLatin1());
    QString title;
    for (qsizetype i = 0; i + 1 < utf16.size(); i += 2)
      title += QChar(
          static_cast<char16_t>((static_cast<uchar>(utf16[i]) << 8) | static_cast<uchar>(utf16[i + 1])));
    const int page = pageNumber.value(match.captured(2).toInt(), -1);
    if (page < 0 || page >= heights.size()) {
      faults << QStringLiteral("%1: on no page").arg(title);
      continue;
    }
    const double top = heights[page] - match.captured(3).toDouble();
    double nearest = 1e9;
    for (const double word : wordTops[page].values(plain(title).section(' ', 0, 0)))
      if (std::abs(word - top) < std::abs(nearest - top)) nearest = word;
    if (std::abs(nearest - top) > kTolerancePoints)
      faults << QStringLiteral("%1: lands at %2 pt on page %3, its heading at %4 pt")
                    .arg(title)
                    .arg(top, 0, 'f', 1)
                    .arg(page + 1)
                    .arg(nearest, 0, 'f', 1);
  }
  return faults;
}

// A small PDF of the guide's size whose pages hold the given lines at the
// given left edges (in points).
void writeTestPdf(const QString& path, const QList<QList<QPair<double, QString>>>& pages) {
  QPdfWriter pdf(path);
  pdf.setResolution(72);
  pdf.setPageSize(QPageSize(QPageSize::A4));
  pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
  QPainter painter(&pdf);
  painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 10));
  for (qsizetype page = 0; page < pages.size(); ++page) {
    if (page > 0) pdf.newPage();
    double y = 80;
    for (const auto& [left, text] : pages[page]) painter.drawText(QPointF(left, y += 20), text);
  }
}

TEST(UserGuidePdf, TheShippedHelpHoldsTheGuidesHeadingsCaptionsAndPictures) {
  const QString guide = guideMarkdown();
  const QString words = plain(QString::fromUtf8(pdftotext({kHelpPdf, "-"})));
  const QStringList headings = capturesOf(QStringLiteral(R"(^#+ (.+)$)"), guide);
  EXPECT_GT(headings.size(), 25);
  for (const QString& heading : headings)
    EXPECT_TRUE(words.contains(heading.simplified())) << heading.toStdString();

  // Every picture the guide shows is made and is not blank, has its caption
  // numbered in order, and the PDF holds at least as many pictures.
  const QString picturePattern = QStringLiteral(R"(!\[([^\]]*)\]\(([^)\s]+)\))");
  QSet<QString> pictures;
  int figure = 0;
  for (auto it = QRegularExpression(picturePattern).globalMatch(guide); it.hasNext();) {
    const QRegularExpressionMatch match = it.next();
    const QString caption = QStringLiteral("Figure %1. %2").arg(++figure).arg(match.captured(1));
    EXPECT_TRUE(words.contains(plain(caption))) << caption.toStdString();
    const QString name = match.captured(2);
    pictures << name;
    const QImage image(kGuideFolder + "/" + name);
    ASSERT_FALSE(image.isNull()) << name.toStdString();
    QSet<QRgb> colours;
    for (int y = 0; y < image.height() && colours.size() < 16; y += 7)
      for (int x = 0; x < image.width() && colours.size() < 16; x += 7) colours << image.pixel(x, y);
    EXPECT_GE(colours.size(), 16) << name.toStdString() << " is nearly blank";
  }
  EXPECT_GE(pictures.size(), 15);
  const testing_support::ProcessResult list = testing_support::runProgram("pdfimages", {"-list", kHelpPdf});
  ASSERT_EQ(list.exitCode, 0) << list.err.toStdString();
  int images = 0;
  for (const QString& line : QString::fromUtf8(list.out).split('\n')) {
    const QStringList columns = line.simplified().split(' ');
    if (columns.size() > 2 && columns[2] == QLatin1String("image")) ++images;
  }
  EXPECT_GE(images, pictures.size());
}

TEST(UserGuidePdf, EveryWordOfTheShippedHelpLiesInsideTheTextArea) {
  EXPECT_EQ(wordsPastTheMargins(kHelpPdf).join('\n').toStdString(), "");
}

TEST(UserGuidePdf, TheContentsListEveryChapterAndSectionWithThePageWhereItStarts) {
  const QList<QStringList> pages = pageLines(kHelpPdf);
  const Contents contents = contentsOf(pages);
  EXPECT_GE(contents.lastPage, 1);  // the contents may take more than a page
  QStringList listed;
  for (const ContentsEntry& entry : contents.entries) listed << entry.title;
  QStringList headings;
  for (const QString& heading : capturesOf(QStringLiteral(R"(^###? (.+)$)"), guideMarkdown()))
    headings << plain(heading);
  EXPECT_EQ(listed.join('\n').toStdString(), headings.join('\n').toStdString());
  EXPECT_EQ(wrongPageNumbers(pages, contents).join('\n').toStdString(), "");
}

TEST(UserGuidePdf, TheBookmarksMirrorTheContentsAndLandOnTheirHeadings) {
  const Contents contents = contentsOf(pageLines(kHelpPdf));
  QStringList chapters;
  for (const QString& chapter : capturesOf(QStringLiteral(R"(^## (.+)$)"), guideMarkdown()))
    chapters << plain(chapter);
  EXPECT_GT(contents.entries.size(), 25);
  EXPECT_EQ(navigationFaults(contents, chapters, navigationOf(kHelpPdf)).join('\n').toStdString(), "");
  EXPECT_EQ(bookmarksOffTheirHeadings(kHelpPdf).join('\n').toStdString(), "");
}

TEST(UserGuidePdf, NoPageButTheLastIsMoreThanHalfEmpty) {
  EXPECT_EQ(halfEmptyPages(kHelpPdf).join('\n').toStdString(), "");
}

// A page break draws no line of the guide twice, not even hidden: a search,
// a copy or a screen reader would find it twice.
TEST(UserGuidePdf, NoLineOfTheShippedHelpIsDrawnTwice) {
  const QList<QStringList> pages = pageTexts(kHelpPdf);
  EXPECT_GT(pages.size(), 20);
  EXPECT_EQ(linesDrawnTwice(pages).join('\n').toStdString(), "");
}

// The checks above against a PDF made wrong on purpose: a word in the right
// margin, a contents entry that names the page before its own, no bookmarks
// or links, pages mostly empty, and a page's last line again at the top of
// the next.
TEST(UserGuidePdf, TheChecksFindAWordInTheMarginAWrongPageNumberAndALineTwice) {
  QTemporaryDir dir;
  const QString pdf = dir.filePath("wrong.pdf");
  constexpr double kLeft = kMarginPoints;
  writeTestPdf(pdf, {{{kLeft, "Guide"},
                      {kLeft, "Contents"},
                      {kLeft, "Alpha . . . . . . . . 2"},
                      {kLeft, "Beta . . . . . . . . 2"}},
                     {{kLeft, "Alpha"}, {kLeft, "The first chapter, and its end."}},
                     {{kLeft, "The first chapter, and its end."},
                      {kLeft, "Beta"},
                      {kLeft, "The second chapter, and a"},
                      {530, "margin"}}});
  const QStringList past = wordsPastTheMargins(pdf);
  ASSERT_EQ(past.size(), 1) << past.join('\n').toStdString();
  EXPECT_TRUE(past[0].startsWith("page 3: \"margin\" from 530 to")) << past[0].toStdString();
  const QList<QStringList> pages = pageLines(pdf);
  const Contents contents = contentsOf(pages);
  EXPECT_EQ(contents.entries.size(), 2);
  EXPECT_EQ(contents.lastPage, 1);
  EXPECT_EQ(wrongPageNumbers(pages, contents).join('\n').toStdString(),
            "Beta: listed on page 2, starts on page 3");
  EXPECT_EQ(
      navigationFaults(contents, {"Alpha", "Beta"}, navigationOf(pdf)).join('\n').toStdString(),
      "Alpha: bookmark \"\" at depth 0 on page 0\nAlpha: its line links to page 0\n"
      "Beta: bookmark \"\" at depth 0 on page 0\nBeta: its line links to page 0\n0 bookmarks for 2 entries");
  EXPECT_EQ(halfEmptyPages(pdf).join('\n').toStdString(),
            "page 1 is filled to 15 %\npage 2 is filled to 9 %");
  EXPECT_EQ(linesDrawnTwice(pageTexts(pdf)).join('\n').toStdString(),
            "pages 2 and 3: \"The first chapter, and its end.\"");
}

}  // namespace
