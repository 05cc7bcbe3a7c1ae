// The shipped Help.pdf as poppler reads it: it holds the guide's headings,
// captions and pictures, every word lies inside the page's text area, and
// the contents give the page where each chapter and section starts.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include "support/TestFiles.h"

namespace {

const QString kGuideFolder = QStringLiteral(QUVO_SOURCE_DIR "/guide");
const QString kHelpPdf = QStringLiteral(QUVO_SOURCE_DIR "/resources/Help.pdf");
// The guide's pages have margins of 20 mm left and right; a word may reach
// past them by a point at most (its glyphs' ink against their advance).
constexpr double kMarginPoints = 20 / 25.4 * 72;
constexpr double kTolerancePoints = 1;

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
// line of its own after the contents (the entries in their order).
QStringList wrongPageNumbers(const QList<QStringList>& pages, const Contents& contents) {
  QStringList wrong;
  int from = contents.lastPage;  // pages[from] is the page after the contents
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

// The two checks above against a PDF made wrong on purpose: a word in the
// right margin and a contents entry that names the page before its own.
TEST(UserGuidePdf, TheChecksFindAWordInTheMarginAndAWrongPageNumber) {
  QTemporaryDir dir;
  const QString pdf = dir.filePath("wrong.pdf");
  constexpr double kLeft = kMarginPoints;
  writeTestPdf(pdf, {{{kLeft, "Guide"},
                      {kLeft, "Contents"},
                      {kLeft, "Alpha . . . . . . . . 2"},
                      {kLeft, "Beta . . . . . . . . 2"}},
                     {{kLeft, "Alpha"}, {kLeft, "The first chapter."}},
                     {{kLeft, "Beta"}, {kLeft, "The second chapter, and a"}, {530, "margin"}}});
  const QStringList past = wordsPastTheMargins(pdf);
  ASSERT_EQ(past.size(), 1) << past.join('\n').toStdString();
  EXPECT_TRUE(past[0].startsWith("page 3: \"margin\" from 530 to")) << past[0].toStdString();
  const QList<QStringList> pages = pageLines(pdf);
  const Contents contents = contentsOf(pages);
  EXPECT_EQ(contents.entries.size(), 2);
  EXPECT_EQ(contents.lastPage, 1);
  EXPECT_EQ(wrongPageNumbers(pages, contents).join('\n').toStdString(),
            "Beta: listed on page 2, starts on page 3");
}

}  // namespace
