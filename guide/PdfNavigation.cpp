// The update is what PDF calls an incremental update: the objects that
// change (the catalog and the link annotations) and the new ones (the
// outline) are written after the end of the file, with a cross-reference
// section of their own that points back to the one before. The objects are
// found through the file's own cross-reference table, never by searching
// the bytes (picture data could hold anything).
#include "PdfNavigation.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>
#include <optional>

namespace {

struct PdfError {
  QString why;
};

// A link annotation to a heading: its object number, its rectangle as
// written, and the heading's index.
struct HeadingLink {
  int object = 0;
  QByteArray rect;
  int heading = 0;
};

class PdfObjects {
 public:
  explicit PdfObjects(QByteArray bytes) : bytes_(std::move(bytes)) {
    const qsizetype at = bytes_.lastIndexOf("startxref");
    if (at < 0) throw PdfError{QStringLiteral("no startxref")};
    xref_ = number(QRegularExpression(QStringLiteral(R"(^startxref\s+(\d+))")), bytes_.mid(at));
    readTable();
    const QByteArray trailer = bytes_.mid(bytes_.indexOf("trailer", xref_));
    size_ = static_cast<int>(number(QRegularExpression(QStringLiteral(R"(/Size\s+(\d+))")), trailer));
    root_ = static_cast<int>(number(QRegularExpression(QStringLiteral(R"(/Root\s+(\d+)\s+0\s+R)")), trailer));
    const QRegularExpressionMatch info =
        QRegularExpression(QStringLiteral(R"(/Info\s+(\d+)\s+0\s+R)")).match(QString::fromLatin1(trailer));
    if (info.hasMatch()) info_ = info.captured(1).toInt();
  }

  const QByteArray& bytes() const { return bytes_; }
  qint64 xref() const { return xref_; }
  int size() const { return size_; }
  int root() const { return root_; }
  std::optional<int> info() const { return info_; }
  QList<int> numbers() const { return offsets_.keys(); }

  // The text of an object, from after "n 0 obj" to before "endobj"; at
  // most `limit` bytes of it.
  QByteArray object(int number, qsizetype limit = -1) const {
    if (!offsets_.contains(number))
      throw PdfError{QStringLiteral("object %1 is not in the table").arg(number)};
    const qsizetype at = offsets_.value(number);
    const QByteArray head = QByteArray::number(number) + " 0 obj";
    if (!bytes_.mid(at, head.size()).startsWith(head))
      throw PdfError{QStringLiteral("object %1 is not where the table says").arg(number)};
    const qsizetype start = at + head.size();
    const qsizetype end = bytes_.indexOf("endobj", start);
    if (end < 0) throw PdfError{QStringLiteral("object %1 has no end").arg(number)};
    const qsizetype length = end - start;
    return bytes_.mid(start, limit < 0 ? length : std::min(limit, length));
  }

  // The object an entry of a dictionary refers to ("/Pages 3 0 R").
  int reference(int number, const QString& key) const {
    return static_cast<int>(
        this->number(QRegularExpression(QStringLiteral(R"(/%1\s+(\d+)\s+0\s+R)").arg(key)), object(number)));
  }

 private:
  static qint64 number(const QRegularExpression& pattern, const QByteArray& text) {
    const QRegularExpressionMatch match = pattern.match(QString::fromLatin1(text.left(4096)));
    if (!match.hasMatch()) throw PdfError{QStringLiteral("no %1").arg(pattern.pattern())};
    return match.captured(1).toLongLong();
  }

  // The classic table QPdfWriter writes: "xref", then sections of a first
  // number and a count, each entry "offset generation n|f".
  void readTable() {
    if (!bytes_.mid(xref_, 4).startsWith("xref")) throw PdfError{QStringLiteral("no cross-reference table")};
    qsizetype at = bytes_.indexOf('\n', xref_) + 1;
    static const QRegularExpression section(QStringLiteral(R"(^(\d+) (\d+)\s*$)"));
    static const QRegularExpression entry(QStringLiteral(R"(^(\d{10}) (\d{5}) ([nf]))"));
    while (at > 0 && at < bytes_.size()) {
      const qsizetype lineEnd = bytes_.indexOf('\n', at);
      const QRegularExpressionMatch head = section.match(QString::fromLatin1(bytes_.mid(at, lineEnd - at)));
      if (!head.hasMatch()) break;  // the trailer
      at = lineEnd + 1;
      const int first = head.captured(1).toInt();
      for (int i = 0; i < head.captured(2).toInt(); ++i, at += 20) {
        const QRegularExpressionMatch row = entry.match(QString::fromLatin1(bytes_.mid(at, 20)));
        if (!row.hasMatch()) throw PdfError{QStringLiteral("a damaged cross-reference entry")};
        if (row.captured(3) == QLatin1String("n")) offsets_.insert(first + i, row.captured(1).toLongLong());
      }
    }
  }

  QByteArray bytes_;
  qint64 xref_ = 0;
  int size_ = 0;
  int root_ = 0;
  std::optional<int> info_;
  QMap<int, qint64> offsets_;
};

// A text string of the outline: UTF-16 with its byte order mark, in hex.
QByteArray pdfText(const QString& text) {
  QByteArray utf16("\xFE\xFF", 2);
  for (const QChar c : text) {
    utf16.append(static_cast<char>(c.unicode() >> 8));
    utf16.append(static_cast<char>(c.unicode() & 0xFF));
  }
  return "<" + utf16.toHex().toUpper() + ">";
}

QByteArray points(double value) {
  return QByteArray::number(value, 'f', 2);
}

// Writes the appended objects and their cross-reference section.
class Update {
 public:
  explicit Update(const PdfObjects& pdf) : pdf_(pdf), next_(pdf.size()) {
    if (!pdf.bytes().endsWith('\n')) text_ = "\n";
  }

  int newObject() { return next_++; }

  void write(int number, const QByteArray& dictionary) {
    written_.insert(number, pdf_.bytes().size() + text_.size());
    text_ += QByteArray::number(number) + " 0 obj\n" + dictionary + "\nendobj\n";
  }

  QByteArray finish() {
    const qint64 xref = pdf_.bytes().size() + text_.size();
    QByteArray table = "xref\n";
    for (auto it = written_.cbegin(); it != written_.cend(); ++it)
      table += QByteArray::number(it.key()) + " 1\n" +
               QByteArray::number(it.value()).rightJustified(10, '0') + " 00000 n \n";
    QByteArray trailer = "trailer\n<<\n/Size " + QByteArray::number(next_) + "\n/Root " +
                         QByteArray::number(pdf_.root()) + " 0 R\n";
    if (pdf_.info()) trailer += "/Info " + QByteArray::number(*pdf_.info()) + " 0 R\n";
    trailer += "/Prev " + QByteArray::number(pdf_.xref()) + "\n>>\nstartxref\n" + QByteArray::number(xref) +
               "\n%%EOF\n";
    return text_ + table + trailer;
  }

 private:
  const PdfObjects& pdf_;
  int next_;
  QByteArray text_;
  QMap<int, qint64> written_;
};

// The pages' objects, in order, and each page's height.
struct Pages {
  QList<int> objects;
  QList<double> heights;
};

Pages pagesOf(const PdfObjects& pdf) {
  const QByteArray kids = pdf.object(pdf.reference(pdf.root(), QStringLiteral("Pages")));
  const qsizetype open = kids.indexOf('[', kids.indexOf("/Kids"));
  const qsizetype close = kids.indexOf(']', open);
  if (open < 0 || close < 0) throw PdfError{QStringLiteral("no list of pages")};
  static const QRegularExpression ref(QStringLiteral(R"((\d+)\s+0\s+R)"));
  static const QRegularExpression box(
      QStringLiteral(R"(/MediaBox\s*\[\s*([-\d.]+)\s+([-\d.]+)\s+([-\d.]+)\s+([-\d.]+))"));
  Pages pages;
  for (auto it = ref.globalMatch(QString::fromLatin1(kids.mid(open, close - open))); it.hasNext();) {
    const int page = it.next().captured(1).toInt();
    const QRegularExpressionMatch size = box.match(QString::fromLatin1(pdf.object(page)));
    if (!size.hasMatch()) throw PdfError{QStringLiteral("page %1 has no size").arg(pages.objects.size() + 1)};
    pages.objects << page;
    pages.heights << size.captured(4).toDouble() - size.captured(2).toDouble();
  }
  return pages;
}

// The link annotations whose address is "#<number>".
QList<HeadingLink> headingLinks(const PdfObjects& pdf) {
  static const QRegularExpression link(
      QStringLiteral(
          R"(^\s*<<\s*/Type /Annot\s*/Subtype /Link\s*/Rect (\[[^\]]*\]).*/S /URI\s*/URI \(#(\d+)\))"),
      QRegularExpression::DotMatchesEverythingOption);
  QList<HeadingLink> links;
  for (const int number : pdf.numbers()) {
    const QRegularExpressionMatch match = link.match(QString::fromLatin1(pdf.object(number, 512)));
    if (match.hasMatch()) links.append({number, match.captured(1).toLatin1(), match.captured(2).toInt()});
  }
  return links;
}

QByteArray destination(const Pages& pages, const PdfHeading& heading) {
  if (heading.page < 0 || heading.page >= pages.objects.size())
    throw PdfError{QStringLiteral("\"%1\" is on page %2 of %3")
                       .arg(heading.title)
                       .arg(heading.page + 1)
                       .arg(pages.objects.size())};
  return "[" + QByteArray::number(pages.objects[heading.page]) + " 0 R /XYZ 0 " +
         points(pages.heights[heading.page] - heading.top) + " null]";
}

// The outline: each chapter with its sections under it, all open.
int writeOutline(Update& update, const Pages& pages, const QList<PdfHeading>& headings) {
  const int root = update.newObject();
  QList<int> objects;
  for (qsizetype i = 0; i < headings.size(); ++i) objects << update.newObject();
  // The parent of each heading, and the items of each parent in order.
  QHash<int, QList<qsizetype>> children;
  QList<int> parentOf;
  int chapter = root;
  for (qsizetype i = 0; i < headings.size(); ++i) {
    const bool section = headings[i].level > 1 && chapter != root;
    if (!section) chapter = objects[i];
    parentOf << (section ? chapter : root);
    children[parentOf.last()] << i;
  }
  const auto ref = [](int object) { return QByteArray::number(object) + " 0 R"; };
  for (qsizetype i = 0; i < headings.size(); ++i) {
    const QList<qsizetype>& siblings = children.value(parentOf[i]);
    const qsizetype at = siblings.indexOf(i);
    QByteArray item = "<<\n/Title " + pdfText(headings[i].title) + "\n/Parent " + ref(parentOf[i]) +
                      "\n/Dest " + destination(pages, headings[i]);
    if (at > 0) item += "\n/Prev " + ref(objects[siblings[at - 1]]);
    if (at + 1 < siblings.size()) item += "\n/Next " + ref(objects[siblings[at + 1]]);
    const QList<qsizetype> own = children.value(objects[i]);
    if (!own.isEmpty())
      item += "\n/First " + ref(objects[own.first()]) + "\n/Last " + ref(objects[own.last()]) + "\n/Count " +
              QByteArray::number(own.size());
    update.write(objects[i], item + "\n>>");
  }
  const QList<qsizetype> top = children.value(root);
  QByteArray outlines = "<<\n/Type /Outlines";
  if (!top.isEmpty())
    outlines += "\n/First " + ref(objects[top.first()]) + "\n/Last " + ref(objects[top.last()]) +
                "\n/Count " + QByteArray::number(headings.size());
  update.write(root, outlines + "\n>>");
  return root;
}

}  // namespace

QString addNavigation(const QString& pdfPath, const QList<PdfHeading>& headings) {
  try {
    QFile file(pdfPath);
    if (!file.open(QIODevice::ReadOnly)) return file.errorString();
    const PdfObjects pdf(file.readAll());
    const Pages pages = pagesOf(pdf);
    Update update(pdf);
    for (const HeadingLink& link : headingLinks(pdf)) {
      if (link.heading >= headings.size()) return QStringLiteral("a link to heading %1").arg(link.heading);
      update.write(link.object, "<<\n/Type /Annot\n/Subtype /Link\n/Rect " + link.rect +
                                    "\n/Border [0 0 0]\n/Dest " + destination(pages, headings[link.heading]) +
                                    "\n>>");
    }
    // The catalog as it was, with the outline shown when the file opens.
    QByteArray catalog = pdf.object(pdf.root()).trimmed();
    if (!catalog.endsWith(">>") || catalog.contains("/Outlines")) return QStringLiteral("an unknown catalog");
    catalog.chop(2);
    update.write(pdf.root(), catalog + "/Outlines " +
                                 QByteArray::number(writeOutline(update, pages, headings)) +
                                 " 0 R\n/PageMode /UseOutlines\n>>");
    QSaveFile out(pdfPath);
    if (!out.open(QIODevice::WriteOnly) || out.write(pdf.bytes() + update.finish()) < 0 || !out.commit())
      return out.errorString();
    return QString();
  } catch (const PdfError& error) {
    return error.why;
  }
}
