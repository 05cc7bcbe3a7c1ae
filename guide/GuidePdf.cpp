// The guide's PDF: the text of Guide.md with its pictures, printed to A4
// pages with page numbers.
#include "GuidePdf.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFontDatabase>
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
#include <QTextImageFormat>
#include <algorithm>

namespace {

// The PDF's resolution, the page's margins and footer, and the scale of the
// pictures against their size on a screen of 96 dpi.
constexpr int kPdfDpi = 300;
constexpr double kMarginMm = 20.0;
constexpr double kFooterMm = 10.0;
constexpr double kPictureScale = 0.6;

}  // namespace

void writePdf(const QString& guideFolder, const QString& pdfPath) {
  QFile source(guideFolder + "/Guide.md");
  if (!source.open(QIODevice::ReadOnly)) qFatal("cannot read %s", qPrintable(source.fileName()));
  const QString markdown = QString::fromUtf8(source.readAll());
  QPdfWriter pdf(pdfPath);
  pdf.setTitle(QStringLiteral("QUVO Gratulo User Guide"));
  pdf.setCreator(QStringLiteral("QUVO Gratulo"));
  pdf.setResolution(kPdfDpi);
  pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
  // The text is laid out for the PDF itself (its pixels): the page less its
  // margins and the footer with the page number.
  const double mm = kPdfDpi / 25.4;
  const QSizeF paper = pdf.pageLayout().fullRectPixels(kPdfDpi).size();
  const QSizeF body(paper.width() - 2 * kMarginMm * mm, paper.height() - (2 * kMarginMm + kFooterMm) * mm);

  QTextDocument document;
  document.documentLayout()->setPaintDevice(&pdf);
  document.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
  document.setPageSize(body);
  // The pictures the text names, from the guide folder.
  QHash<QString, QImage> pictures;
  static const QRegularExpression picture(QStringLiteral(R"(!\[[^\]]*\]\(([^)\s]+)\))"));
  for (auto it = picture.globalMatch(markdown); it.hasNext();) {
    const QString name = it.next().captured(1);
    QImage image(guideFolder + "/" + name);
    if (image.isNull()) qFatal("missing picture %s", qPrintable(name));
    // Shown smaller than on a screen of 96 dpi, no wider than the text and
    // no taller than half a page (a tall panel would fill one by itself).
    const double textWidthInScreenPixels = body.width() / kPdfDpi * 96.0;
    const double halfPageInScreenPixels = body.height() / 2 / kPdfDpi * 96.0;
    image.setDevicePixelRatio(std::max({1.0 / kPictureScale, image.width() / textWidthInScreenPixels,
                                        image.height() / halfPageInScreenPixels}));
    pictures.insert(name, image);
  }
  document.setResourceProvider(
      [&pictures](const QUrl& url) { return QVariant(pictures.value(url.toString())); });
  document.setMarkdown(markdown);
  // Each chapter starts on a page of its own.
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    if (block.blockFormat().headingLevel() != 2) continue;
    QTextBlockFormat format;
    format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    QTextCursor(block).mergeBlockFormat(format);
  }

  QPainter painter(&pdf);
  QFont footer(QStringLiteral("DejaVu Sans"), 9);
  for (int page = 0; page < document.pageCount(); ++page) {
    if (page > 0) pdf.newPage();
    painter.save();
    painter.translate(kMarginMm * mm, kMarginMm * mm - page * body.height());
    document.drawContents(&painter, QRectF(QPointF(0, page * body.height()), body));
    painter.restore();
    painter.setFont(footer);
    painter.drawText(QRectF(0, kMarginMm * mm + body.height(), paper.width(), kFooterMm * mm),
                     Qt::AlignCenter, QString::number(page + 1));
  }
  painter.end();
  qInfo("wrote %s", qPrintable(pdfPath));
}
