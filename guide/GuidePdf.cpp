// The guide's PDF: the text of Guide.md with its pictures laid out on A4
// pages: the title and introduction, the contents with the page of every
// chapter and section (each line a link to it), each chapter on a page of
// its own, numbered figures, code in a fixed-width font on grey, page
// numbers in the footer, and bookmarks of the chapters and sections.
#include "GuidePdf.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextLayout>
#include <QTextTable>
#include <algorithm>
#include <optional>

#include "PdfNavigation.h"

namespace {

// The PDF's resolution, the page's margins and footer, and the scale of the
// pictures against their size on a screen of 96 dpi: at 100 % a window's
// words read as on the screen.
constexpr int kPdfDpi = 300;
constexpr double kMarginMm = 20.0;
constexpr double kFooterMm = 10.0;
constexpr double kPictureScale = 1.0;
// The part of the page's height a picture takes at most (a tall panel
// would fill a page by itself).
constexpr double kTallestPicture = 0.7;
// Code is never wrapped (a wrapped command breaks copy and paste): its font
// is small enough for lines of this many characters.
constexpr int kCodeColumns = 90;
constexpr double kCodePaddingMm = 2.0;
// How far (in the PDF's pixels) a line may reach past the text width before
// it counts as running off the page: rounding only.
constexpr double kFitTolerance = 0.5;

const QString kBodyFamily = QStringLiteral("DejaVu Sans");
const QString kCodeFamily = QStringLiteral("DejaVu Sans Mono");
constexpr double kBodyPoints = 10;
constexpr double kCaptionPoints = 9;

// A picture that would start the next page, leaving a gap on this one, is
// made smaller to fit the gap, down to this part of its size (its words
// stay readable); further, to kSmallestPictureForHalfPage, only where the
// gap would leave more than half of the page empty.
constexpr double kSmallestPicture = 0.85;
constexpr double kSmallestPictureForHalfPage = 0.7;

// Block properties of the guide's own: a block kept on the page of the block
// after it (a heading and its text, a picture and its caption), an entry
// of the contents, and how much a picture was made smaller.
constexpr int kKeepWithNext = QTextFormat::UserProperty;
constexpr int kContentsEntry = QTextFormat::UserProperty + 1;
constexpr int kPictureShrunk = QTextFormat::UserProperty + 2;
constexpr int kChapterJoined = QTextFormat::UserProperty + 3;
constexpr int kBreakKeptTogether = QTextFormat::UserProperty + 4;
// The room above a chapter that starts on the page the chapter before ends on.
constexpr double kChapterGapMm = 12;
// How far past the middle of its page a chapter may end and still be
// followed on that page.
constexpr double kHalfPageSlackMm = 3;

// How many of the device's pixels the layout makes of one unit of a length
// in a text format (margins, padding, tab positions, picture sizes): those
// are given for a screen, not in the device's pixels.
double formatUnit(QPaintDevice& device) {
  constexpr double kProbe = 1000;
  QTextDocument probe;
  probe.documentLayout()->setPaintDevice(&device);
  probe.setPageSize(QSizeF(100 * kProbe, 100 * kProbe));
  QTextBlockFormat format;
  format.setTabPositions({QTextOption::Tab(kProbe, QTextOption::LeftTab)});
  QTextCursor(&probe).insertText(QStringLiteral("\tx"));
  QTextCursor(&probe).setBlockFormat(format);
  probe.documentLayout()->documentSize();  // lays it out
  return probe.begin().layout()->lineAt(0).cursorToX(1) / kProbe;
}

// The page in the PDF's pixels: the paper, and the text area inside the
// margins less the footer; and the lengths of text formats.
struct PageGeometry {
  double mm = kPdfDpi / 25.4;
  double unit = 1;
  QSizeF paper;
  QSizeF body;
  // A length in millimetres as a text format takes it.
  double length(double millimetres) const { return millimetres * mm / unit; }
};

// Where a block's lines are placed from, in the document.
QPointF layoutOrigin(const QTextDocument& document, const QTextBlock& block) {
  return document.documentLayout()->blockBoundingRect(block).topLeft();
}

// The page (from 0) of a point of the document.
int pageAt(double y, const PageGeometry& page) {
  return static_cast<int>(y / page.body.height());
}

// The page (from 0) of a block's line (its first by default).
int pageOf(const QTextDocument& document, const QTextBlock& block, const PageGeometry& page, int line = 0) {
  double y = layoutOrigin(document, block).y();
  if (line >= 0 && line < block.layout()->lineCount()) y += block.layout()->lineAt(line).rect().center().y();
  return pageAt(y, page);
}

// The pictures the text names, from the guide folder, at the size they are
// shown: as on a screen, but no wider than the text and no taller than
// kTallestPicture of the page.
QHash<QString, QImage> loadPictures(const QString& guideFolder, const QString& markdown,
                                    const PageGeometry& page) {
  QHash<QString, QImage> pictures;
  static const QRegularExpression picture(QStringLiteral(R"(!\[[^\]]*\]\(([^)\s]+)\))"));
  for (auto it = picture.globalMatch(markdown); it.hasNext();) {
    const QString name = it.next().captured(1);
    QImage image(guideFolder + "/" + name);
    if (image.isNull()) qFatal("missing picture %s", qPrintable(name));
    image.setDevicePixelRatio(
        std::max({1.0 / kPictureScale, image.width() / (page.body.width() / page.unit),
                  image.height() / (page.body.height() * kTallestPicture / page.unit)}));
    pictures.insert(name, image);
  }
  return pictures;
}

// The alternative text of the picture a block shows, or nothing when it
// shows none.
std::optional<QString> pictureIn(const QTextBlock& block) {
  for (auto it = block.begin(); !it.atEnd(); ++it) {
    const QTextCharFormat format = it.fragment().charFormat();
    if (format.isImageFormat()) return format.stringProperty(QTextFormat::ImageAltText);
  }
  return std::nullopt;
}

// Centres every picture and puts its caption under it, "Figure N. " and the
// picture's alternative text, smaller and in italics; the two stay together.
void addCaptions(QTextDocument& document, const PageGeometry& page) {
  QTextBlockFormat captionBlock;
  captionBlock.setAlignment(Qt::AlignHCenter);
  captionBlock.setTopMargin(page.length(1));
  captionBlock.setBottomMargin(page.length(3));
  QTextCharFormat captionText;
  captionText.setFontItalic(true);
  captionText.setFontPointSize(kCaptionPoints);
  int figure = 0;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    const std::optional<QString> alt = pictureIn(block);
    if (!alt) continue;
    QTextBlockFormat pictureBlock;
    pictureBlock.setAlignment(Qt::AlignHCenter);
    pictureBlock.setBottomMargin(0);
    pictureBlock.setProperty(kKeepWithNext, true);
    QTextCursor cursor(block);
    cursor.mergeBlockFormat(pictureBlock);
    cursor.movePosition(QTextCursor::EndOfBlock);
    cursor.insertBlock(captionBlock, captionText);
    cursor.insertText(QStringLiteral("Figure %1. %2").arg(++figure).arg(*alt));
    block = cursor.block();
  }
}

// Sets every fenced code block in the code font, in a grey box as wide as
// the text, its lines never wrapped.
void setCode(QTextDocument& document, const PageGeometry& page, QPaintDevice& device) {
  const double padding = kCodePaddingMm * page.mm;
  QFont font(kCodeFamily);
  for (double points = kBodyPoints; points > 4; points -= 0.25) {
    font.setPointSizeF(points);
    if (QFontMetricsF(font, &device).horizontalAdvance(QString(kCodeColumns, QLatin1Char('M'))) <=
        page.body.width() - 2 * padding)
      break;
  }
  // The runs of code lines, from the last so that the earlier positions hold.
  QList<QPair<int, int>> runs;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    if (!block.blockFormat().hasProperty(QTextFormat::BlockCodeFence)) continue;
    const int start = block.position();
    while (block.next().isValid() && block.next().blockFormat().hasProperty(QTextFormat::BlockCodeFence))
      block = block.next();
    runs.prepend({start, block.position() + block.length() - 1});
  }
  QTextFrameFormat box;
  box.setBackground(QColor(0xee, 0xee, 0xee));
  box.setPadding(page.length(kCodePaddingMm));
  box.setBorder(0);
  box.setTopMargin(page.length(1));
  box.setBottomMargin(page.length(1));
  box.setWidth(QTextLength(QTextLength::PercentageLength, 100));
  QTextCharFormat code;
  code.setFont(font, QTextCharFormat::FontPropertiesAll);
  QTextBlockFormat line;
  line.setNonBreakableLines(true);
  for (const auto& [start, end] : runs) {
    QTextCursor cursor(&document);
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.mergeCharFormat(code);
    cursor.mergeBlockFormat(line);
    cursor.insertFrame(box);
  }
}

// Tables with a thin grey rule under every row and room between columns.
void setTables(QTextDocument& document, const PageGeometry& page) {
  for (QTextFrame* frame : document.rootFrame()->childFrames()) {
    auto* table = qobject_cast<QTextTable*>(frame);
    if (table == nullptr) continue;
    QTextTableFormat format = table->format();
    format.setBorderCollapse(true);
    format.setBorder(0);
    format.setCellSpacing(0);
    format.setCellPadding(page.length(1));
    table->setFormat(format);
    QTextTableCellFormat rule;
    rule.setBottomBorder(page.length(0.25));
    rule.setBottomBorderBrush(QColor(0xaa, 0xaa, 0xaa));
    rule.setBottomBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    rule.setRightPadding(page.length(4));
    for (int row = 0; row < table->rows(); ++row)
      for (int column = 0; column < table->columns(); ++column) {
        QTextTableCell cell = table->cellAt(row, column);
        QTextCharFormat cellFormat = cell.format();
        cellFormat.merge(rule);
        cell.setFormat(cellFormat);
      }
  }
}

// Each chapter starts on a new page (but see joinShortChapterEnds); a
// section has room above it; a heading stays on the page of the text after it.
void setHeadings(QTextDocument& document, const PageGeometry& page) {
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    const int level = block.blockFormat().headingLevel();
    if (level < 2) continue;
    QTextBlockFormat format;
    if (level == 2) format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    format.setTopMargin(page.length(level == 2 ? 0 : 4));
    format.setBottomMargin(page.length(level == 2 ? 3 : 1.5));
    format.setProperty(kKeepWithNext, true);
    QTextCursor(block).mergeBlockFormat(format);
  }
}

// Whether a run of blocks kept together (a single block is one too) is split
// badly over two pages: a heading or picture away from what follows it, a
// paragraph's first line alone at the foot of a page or its last line alone
// at the head of the next.
bool splitBadly(const QTextDocument& document, const QTextBlock& first, const QTextBlock& last,
                const PageGeometry& page) {
  const int lines = last.layout()->lineCount();
  if (pageOf(document, first, page) != pageOf(document, last, page, std::min(1, lines - 1))) return true;
  return lines >= 2 && document.frameAt(last.position()) == document.rootFrame() &&
         pageOf(document, last, page, lines - 2) != pageOf(document, last, page, lines - 1);
}

// The bottom of a block's last line, with the room kept under it.
double blockBottom(const QTextDocument& document, const QTextBlock& block, const PageGeometry& page) {
  const QTextLayout* layout = block.layout();
  const double lines = layout->lineCount() > 0 ? layout->lineAt(layout->lineCount() - 1).rect().bottom() : 0;
  return layoutOrigin(document, block).y() + lines + block.blockFormat().bottomMargin() * page.unit;
}

// The height a run of blocks takes when nothing pushes its lines apart:
// their lines and the room between them.
double naturalHeight(const QTextBlock& first, const QTextBlock& last, const PageGeometry& page) {
  double height = 0;
  for (QTextBlock block = first;; block = block.next()) {
    const QTextBlockFormat format = block.blockFormat();
    height += format.topMargin() * page.unit;
    if (block != last) height += format.bottomMargin() * page.unit;
    for (int i = 0; i < block.layout()->lineCount(); ++i) height += block.layout()->lineAt(i).height();
    if (block == last) return height;
  }
}

// The picture of a run, as its fragment.
std::optional<QTextFragment> pictureFragment(const QTextBlock& first, const QTextBlock& last) {
  for (QTextBlock block = first;; block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it)
      if (it.fragment().charFormat().isImageFormat()) return it.fragment();
    if (block == last) return std::nullopt;
  }
}

// Makes the picture of a run that is split, or that starts a page after a
// gap on the page before, small enough for the run to fit that gap; answers
// whether it did. A picture is never made smaller than kSmallestPicture of
// its size, or kSmallestPictureForHalfPage when the gap is more than half
// the page.
bool shrinkToFit(QTextDocument& document, const QTextBlock& first, const QTextBlock& last,
                 const PageGeometry& page, const QHash<QString, QImage>& pictures) {
  const QTextBlock before = first.previous();
  const std::optional<QTextFragment> picture = pictureFragment(first, last);
  if (!before.isValid() || !picture) return false;
  const QTextBlock pictureBlock = document.findBlock(picture->position());
  const int gapPage = pageOf(document, before, page, before.layout()->lineCount() - 1);
  const double room = (gapPage + 1) * page.body.height() - blockBottom(document, before, page) - page.mm;
  QTextImageFormat format = picture->charFormat().toImageFormat();
  const QImage image = pictures.value(format.name());
  const QSizeF shown = format.height() > 0 ? QSizeF(format.width(), format.height())
                                           : QSizeF(image.size()) / image.devicePixelRatio();
  const double height = shown.height() * page.unit;
  const double scale = (room - (naturalHeight(first, last, page) - height)) / height;
  const double shrunk = pictureBlock.blockFormat().hasProperty(kPictureShrunk)
                            ? pictureBlock.blockFormat().doubleProperty(kPictureShrunk)
                            : 1.0;
  const double smallest = room > page.body.height() / 2 - kHalfPageSlackMm * page.mm
                              ? kSmallestPictureForHalfPage
                              : kSmallestPicture;
  if (scale >= 1 || scale * shrunk < smallest) return false;
  format.setWidth(shown.width() * scale);
  format.setHeight(shown.height() * scale);
  QTextCursor cursor(&document);
  cursor.setPosition(picture->position());
  cursor.setPosition(picture->position() + picture->length(), QTextCursor::KeepAnchor);
  cursor.setCharFormat(format);
  QTextBlockFormat mark;
  mark.setProperty(kPictureShrunk, scale * shrunk);
  QTextCursor(pictureBlock).mergeBlockFormat(mark);
  return true;
}

// Fits each run of blocks kept together that is split badly, or that starts
// a page after a gap, into the page before by making its picture smaller
// (`shrunk` tells); where that cannot be, moves a run split badly to the
// next page. Answers whether it changed any.
bool keepTogether(QTextDocument& document, const PageGeometry& page, const QHash<QString, QImage>& pictures,
                  bool& shrunk) {
  bool changed = false;
  for (QTextBlock first = document.begin(); first.isValid(); first = first.next()) {
    QTextBlock last = first;
    while (last.blockFormat().boolProperty(kKeepWithNext) && last.next().isValid()) last = last.next();
    const bool breaksBefore = first.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore;
    const bool split = !breaksBefore && splitBadly(document, first, last, page);
    const bool afterGap = !breaksBefore && first.previous().isValid() &&
                          pageOf(document, first, page) > pageOf(document, first.previous(), page,
                                                                 first.previous().layout()->lineCount() - 1);
    if ((split || afterGap) && shrinkToFit(document, first, last, page, pictures)) {
      changed = shrunk = true;
    } else if (split) {
      QTextBlockFormat format;
      format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
      format.setProperty(kBreakKeptTogether, true);
      QTextCursor(first).mergeBlockFormat(format);
      changed = true;
    }
    first = last;
  }
  return changed;
}

// The chapters and sections, in order.
QList<QTextBlock> headingBlocks(const QTextDocument& document) {
  QList<QTextBlock> found;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
    if (const int level = block.blockFormat().headingLevel(); level == 2 || level == 3) found << block;
  return found;
}

// The address a contents entry links to: its heading's number.
QString headingLink(qsizetype heading) {
  return QStringLiteral("#%1").arg(heading);
}

// Takes back the page breaks that keepTogether made: once a picture was made
// smaller or a chapter moved up, they may leave gaps of their own.
void clearKeptTogetherBreaks(QTextDocument& document) {
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    if (!block.blockFormat().boolProperty(kBreakKeptTogether)) continue;
    QTextBlockFormat format = block.blockFormat();
    format.setPageBreakPolicy(QTextFormat::PageBreak_Auto);
    format.clearProperty(kBreakKeptTogether);
    QTextCursor(block).setBlockFormat(format);
  }
}

// A chapter whose page before ends in its upper half follows on that page,
// after some room, instead of starting a new one: no page but the last is
// left more than half empty. Answers whether it moved any chapter.
bool joinShortChapterEnds(QTextDocument& document, const PageGeometry& page) {
  bool joined = false;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    const QTextBlockFormat heading = block.blockFormat();
    if (heading.headingLevel() != 2 || heading.boolProperty(kChapterJoined) || !block.previous().isValid())
      continue;
    // Measured at the words of the last line, as a reader (and the check of
    // the shipped guide) sees the page, with room for a line's descent: a
    // page that ends just past its middle is followed on it too.
    const double bottom = blockBottom(document, block.previous(), page) -
                          block.previous().blockFormat().bottomMargin() * page.unit;
    if (bottom - pageAt(bottom, page) * page.body.height() >=
        page.body.height() / 2 + kHalfPageSlackMm * page.mm)
      continue;
    QTextBlockFormat format;
    format.setPageBreakPolicy(QTextFormat::PageBreak_Auto);
    format.setTopMargin(page.length(kChapterGapMm));
    format.setProperty(kChapterJoined, true);
    QTextCursor(block).mergeBlockFormat(format);
    joined = true;
  }
  return joined;
}

// The contents: after the introduction, every chapter and (indented) its
// sections, each with dot leaders and, at the right edge, the page where it
// starts; each line a link to its heading.
class Contents {
 public:
  Contents(QTextDocument& document, const PageGeometry& page, QPaintDevice& device)
      : document_(document), page_(page), device_(device) {}

  // Puts the list before the first chapter, with no page numbers yet.
  void insert() {
    QTextBlock chapter = document_.begin();
    while (chapter.isValid() && chapter.blockFormat().headingLevel() != 2) chapter = chapter.next();
    if (!chapter.isValid() || !chapter.previous().isValid())
      qFatal("the guide has no introduction or chapter");
    QTextBlockFormat title = chapter.blockFormat();
    title.clearProperty(QTextFormat::HeadingLevel);
    title.setPageBreakPolicy(QTextFormat::PageBreak_Auto);
    title.setTopMargin(page_.length(6));
    QTextCursor cursor(chapter.previous());
    cursor.movePosition(QTextCursor::EndOfBlock);
    cursor.insertBlock(title, chapter.charFormat());
    cursor.insertText(QStringLiteral("Contents"));
    for (const QTextBlock& heading : headingBlocks(document_)) {
      QTextBlockFormat entry;
      entry.setProperty(kContentsEntry, true);
      entry.setTopMargin(heading.blockFormat().headingLevel() == 2 ? page_.length(2) : 0);
      entry.setTabPositions({QTextOption::Tab(leadersEnd() / page_.unit, QTextOption::RightTab),
                             QTextOption::Tab(page_.body.width() / page_.unit, QTextOption::RightTab)});
      cursor.insertBlock(entry, plain());
    }
  }

  // Writes each entry's page as the layout has it now; answers whether any
  // changed.
  bool update() {
    const QList<QTextBlock> chapters = headingBlocks(document_);
    QList<QTextBlock> entries;
    for (QTextBlock block = document_.begin(); block.isValid(); block = block.next())
      if (block.blockFormat().boolProperty(kContentsEntry)) entries << block;
    QList<Entry> written;
    for (qsizetype i = 0; i < entries.size(); ++i)
      written << entry(chapters[i], QString::number(pageOf(document_, chapters[i], page_) + 1),
                       headingLink(i));
    bool changed = false;
    for (qsizetype i = 0; i < entries.size(); ++i) {
      if (written[i].text() == entries[i].text()) continue;
      changed = true;
      QTextCursor cursor(entries[i]);
      cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
      cursor.insertText(written[i].title, written[i].format);
      cursor.insertText(written[i].leaders, written[i].leadersFormat);
      cursor.insertText(written[i].page, written[i].format);
    }
    return changed;
  }

 private:
  // An entry: the title (a section's after an indent), the leaders between
  // their two tabs and the page number at the right edge; a chapter's title
  // and page in bold. All three link to the heading.
  struct Entry {
    QString title;
    QString leaders;
    QString page;
    QTextCharFormat format;
    QTextCharFormat leadersFormat;
    QString text() const { return title + leaders + page; }
  };

  Entry entry(const QTextBlock& heading, const QString& page, const QString& link) const {
    const bool chapter = heading.blockFormat().headingLevel() == 2;
    QTextCharFormat linked = plain();
    linked.setAnchor(true);
    linked.setAnchorHref(link);
    Entry entry{(chapter ? QString() : QStringLiteral("    ")) + heading.text(), QString(), page, linked,
                linked};
    if (chapter) entry.format.setFontWeight(QFont::Bold);
    const QFontMetricsF title(entry.format.font(), &device_);
    const QFontMetricsF leaders(plain().font(), &device_);
    const double room = leadersEnd() - title.horizontalAdvance(entry.title + QStringLiteral("  "));
    const int dots = std::max(0, static_cast<int>(room / leaders.horizontalAdvance(QStringLiteral(" ."))));
    entry.leaders = QLatin1Char('\t') + QStringLiteral(" .").repeated(dots) + QLatin1Char('\t');
    return entry;
  }

  static QTextCharFormat plain() {
    QTextCharFormat format;
    format.setFont(QFont(kBodyFamily, kBodyPoints), QTextCharFormat::FontPropertiesAll);
    return format;
  }

  // The dot leaders end here, so that they line up whatever the number.
  double leadersEnd() const {
    return page_.body.width() -
           QFontMetricsF(plain().font(), &device_).horizontalAdvance(QStringLiteral("0000"));
  }

  QTextDocument& document_;
  const PageGeometry& page_;
  QPaintDevice& device_;
};

// Every line of the layout (text, table cells, pictures, code) that reaches
// past the text width, with its page and its start.
QStringList linesPastTheTextWidth(const QTextDocument& document, const PageGeometry& page) {
  QStringList found;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    const QPointF origin = layoutOrigin(document, block);
    const QTextLayout* layout = block.layout();
    for (int i = 0; i < layout->lineCount(); ++i) {
      const QTextLine line = layout->lineAt(i);
      const double left = origin.x() + line.x();
      const double right = left + line.naturalTextWidth();
      if (left >= -kFitTolerance && right <= page.body.width() + kFitTolerance) continue;
      const double past = std::max(-left, right - page.body.width());
      found << QStringLiteral("page %1, line \"%2\" runs %3 mm past the text width")
                   .arg(pageAt(origin.y() + line.y(), page) + 1)
                   .arg(block.text().mid(line.textStart(), 40))
                   .arg(past / page.mm, 0, 'f', 1);
    }
  }
  return found;
}

// Draws the part of the document that lies on a page (from 0), in the
// document's place on it, clipped to the page.
void drawPage(QTextDocument& document, QPainter& painter, const PageGeometry& page, int number) {
  // A picture that starts the next page starts right at this page's end:
  // the clip stays clear of it, or a reader would see its first row here.
  const double top = number * page.body.height();
  const QRectF shown(0, top, page.body.width(), page.body.height() - 2);
  painter.setClipRect(shown);
  QAbstractTextDocumentLayout::PaintContext context;
  context.clip = shown;
  // Of a paragraph that goes on from the page before, the layout draws that
  // page's last line here as well: hidden by the clip, but in the page's
  // text (a search finds it twice, copying or reading aloud gives it
  // twice). Such a paragraph's lines of this page are drawn one by one,
  // first, as they lead the page (none of the guide's paragraphs lies on a
  // background that could cover them), and the layout leaves it out.
  QList<QTextBlock> carriedOver;
  painter.setPen(context.palette.color(QPalette::Text));
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    const int lines = block.layout()->lineCount();
    if (lines == 0 || pageOf(document, block, page) >= number ||
        pageOf(document, block, page, lines - 1) < number)
      continue;
    const QPointF origin = layoutOrigin(document, block);
    for (int line = 0; line < lines; ++line)
      if (pageOf(document, block, page, line) == number) block.layout()->lineAt(line).draw(&painter, origin);
    carriedOver << block;
  }
  // Hiding a block changes no layout: the layout only skips it.
  for (QTextBlock& block : carriedOver) block.setVisible(false);
  document.documentLayout()->draw(&painter, context);
  for (QTextBlock& block : carriedOver) block.setVisible(true);
}

void print(QTextDocument& document, QPdfWriter& pdf, const PageGeometry& page) {
  QPainter painter(&pdf);
  const double margin = kMarginMm * page.mm;
  const QFont footer(kBodyFamily, 9);
  for (int number = 0; number < document.pageCount(); ++number) {
    if (number > 0) pdf.newPage();
    painter.save();
    painter.translate(margin, margin - number * page.body.height());
    drawPage(document, painter, page, number);
    painter.restore();
    painter.setFont(footer);
    painter.drawText(QRectF(0, margin + page.body.height(), page.paper.width(), kFooterMm * page.mm),
                     Qt::AlignCenter, QString::number(number + 1));
  }
}

}  // namespace

namespace {

// Where each chapter and section starts, for the PDF's bookmarks and links.
QList<PdfHeading> headingsOf(const QTextDocument& document, const PageGeometry& page) {
  QList<PdfHeading> headings;
  for (const QTextBlock& block : headingBlocks(document)) {
    // From the heading's first line: a heading the layout moved to the next
    // page keeps its block's origin at the foot of the page before.
    const int number = pageOf(document, block, page);
    const double y =
        layoutOrigin(document, block).y() + block.layout()->lineAt(0).y() - number * page.body.height();
    const double pixelsPerPoint = page.mm * 25.4 / 72;
    headings.append({block.text(), block.blockFormat().headingLevel() - 1, number,
                     (kMarginMm * page.mm + y) / pixelsPerPoint});
  }
  return headings;
}

// Lays the guide out and prints it into the PDF; answers where its headings
// are, or nothing when a line does not fit its page (no PDF is written).
std::optional<QList<PdfHeading>> printGuide(const QString& guideFolder, const QString& pdfPath) {
  QFile source(guideFolder + "/Guide.md");
  if (!source.open(QIODevice::ReadOnly)) qFatal("cannot read %s", qPrintable(source.fileName()));
  const QString markdown = QString::fromUtf8(source.readAll());
  QPdfWriter pdf(pdfPath);
  pdf.setTitle(QStringLiteral("QUVO Gratulo User Guide"));
  pdf.setCreator(QStringLiteral("QUVO Gratulo"));
  pdf.setResolution(kPdfDpi);
  pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
  // The text is laid out for the PDF itself (its pixels).
  PageGeometry page;
  page.unit = formatUnit(pdf);
  page.paper = pdf.pageLayout().fullRectPixels(kPdfDpi).size();
  page.body = QSizeF(page.paper.width() - 2 * kMarginMm * page.mm,
                     page.paper.height() - (2 * kMarginMm + kFooterMm) * page.mm);

  QTextDocument document;
  document.documentLayout()->setPaintDevice(&pdf);
  document.setDefaultFont(QFont(kBodyFamily, kBodyPoints));
  document.setDocumentMargin(0);
  document.setPageSize(page.body);
  const QHash<QString, QImage> pictures = loadPictures(guideFolder, markdown, page);
  document.setResourceProvider(
      [&pictures](const QUrl& url) { return QVariant(pictures.value(url.toString())); });
  document.setMarkdown(markdown);
  addCaptions(document, page);
  setCode(document, page, pdf);
  setTables(document, page);
  setHeadings(document, page);
  Contents contents(document, page, pdf);
  contents.insert();
  // The contents' numbers, the pages of the runs kept together and the
  // chapters' starts depend on each other: lay out again until none changes.
  // Pictures only get smaller and chapters only move up, so it ends.
  for (int pass = 0;; ++pass) {
    if (pass == 60) qFatal("the guide's layout does not settle");
    bool shrunk = false;
    const bool moved = keepTogether(document, page, pictures, shrunk);
    const bool joined = !moved && joinShortChapterEnds(document, page);
    if (shrunk || joined) clearKeptTogetherBreaks(document);
    if (!contents.update() && !moved && !joined) break;
  }

  const QStringList overflowing = linesPastTheTextWidth(document, page);
  for (const QString& line : overflowing) qWarning("%s", qPrintable(line));
  if (!overflowing.isEmpty()) {
    qWarning("%s not written: %lld lines run past the text width", qPrintable(pdfPath),
             static_cast<long long>(overflowing.size()));
    return std::nullopt;
  }
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
    if (block.blockFormat().hasProperty(kPictureShrunk))
      qInfo("\"%s\" made smaller, to %d %%", qPrintable(pictureIn(block).value_or(QString())),
            qRound(block.blockFormat().doubleProperty(kPictureShrunk) * 100));
  print(document, pdf, page);
  qInfo("wrote %s: %d pages", qPrintable(pdfPath), document.pageCount());
  return headingsOf(document, page);
}

}  // namespace

bool writePdf(const QString& guideFolder, const QString& pdfPath) {
  const std::optional<QList<PdfHeading>> headings = printGuide(guideFolder, pdfPath);
  if (!headings) return false;
  // The writer has closed the file: the bookmarks and links are added to it.
  const QString why = addNavigation(pdfPath, *headings);
  if (!why.isEmpty()) qWarning("%s has no bookmarks: %s", qPrintable(pdfPath), qPrintable(why));
  return why.isEmpty();
}
