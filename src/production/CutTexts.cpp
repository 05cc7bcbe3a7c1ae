#include "production/CutTexts.h"

#include <QFileInfo>
#include <cmath>

#include "barcode/designer/GraphicBarcodeSettings.h"
#include "core/PictureFile.h"
#include "core/SKTBarcode.h"
#include "core/SKTImage.h"
#include "core/SKTText.h"
#include "data/DataSourceTable.h"
#include "platform/QuotedValue.h"

namespace production {

namespace {

constexpr int kSeriesSource = 1;
constexpr int kExcelSource = 2;
// Characters of a text or value a note quotes.
constexpr qsizetype kQuoted = 24;
// How far a barcode may reach past the card's edge unseen: the half pixel
// by which an export puts it on whole pixels.
constexpr double kEdgeTolerance = 0.5;

QString shortened(const QString& text) {
  return text.size() > kQuoted ? text.left(kQuoted) + QChar(0x2026) : text;
}

QString sideName(CardSide which) {
  return which == CardSide::Back ? QStringLiteral("back") : QStringLiteral("front");
}

bool isBound(const SKTGraphic& object) {
  return object.data_source_type == kSeriesSource || object.data_source_type == kExcelSource;
}

bool isOnCards(const SKTGraphic& object) {
  return object.print_object == 0 && object.ctrl_is_visible;
}

// The source as the window names it: a column by the title the data-source
// tab and the table window show, by its number only when it has none.
QString sourceOf(const SKTGraphic& object) {
  if (object.data_source_type == kSeriesSource)
    return QStringLiteral("data series \"%1\"").arg(platform::quotedValue(object.batch_list_name));
  const QString title = Data_From_Excel_Table().columnTitles().value(object.excel_col_indx).trimmed();
  if (title.isEmpty()) return QStringLiteral("spreadsheet column %1").arg(object.excel_col_indx);
  return QStringLiteral("spreadsheet column \"%1\"").arg(platform::quotedValue(title));
}

QString lostPart(CardSide which, const char* kind, const QString& shown, const SKTGraphic& object) {
  return QStringLiteral("%1 %2 \"%3\" (%4)")
      .arg(sideName(which), QLatin1String(kind), shortened(shown.simplified()), sourceOf(object));
}

DrawnBarcode drawnBarcode(const SKTGraphic& object, const DrawnBarcodeOf& barcodes) {
  if (barcodes)
    if (std::optional<DrawnBarcode> drawn = barcodes(object)) return *drawn;
  const QImage& picture = object._barcode_image;
  return {picture.isNull() ? SKTBarcode::kSampleSize : picture.deviceIndependentSize(),
          barcode::barcodeSettingsOf(object).value()};
}

bool runsPastEdge(const QRectF& drawn, const QSizeF& card) {
  const QRectF room =
      QRectF(QPointF(0, 0), card).adjusted(-kEdgeTolerance, -kEdgeTolerance, kEdgeTolerance, kEdgeTolerance);
  return !room.contains(drawn);
}

// What the picture loader's failure to give a picture means to the user.
QString verdictOf(const QString& path) {
  return QFileInfo::exists(standardizedPicturePath(path)) ? QStringLiteral("could not be read")
                                                          : QStringLiteral("was not found");
}

long wholeMillimetres(double points) {
  return std::lround(points * 25.4 / 72.0);
}

QStringList missingPictures(const SKTGraphicList& side, CardSide which, const QString& missingBackground,
                            bool onCardsOnly) {
  QStringList lines;
  if (!missingBackground.isEmpty())
    lines << QStringLiteral("The background picture \"%1\" of the %2 %3; the card shows no background.")
                 .arg(missingBackground, sideName(which), verdictOf(missingBackground));
  for (const SKTGraphicPtr& object : side) {
    if (!object || object->kind() != GraphicKind::Image || isBound(*object)) continue;
    if (onCardsOnly && !isOnCards(*object)) continue;
    const QString path = object->FilePath();
    if (path.isEmpty() || !static_cast<const SKTImage&>(*object)._contents.isNull()) continue;
    const QPointF at = object->bounds().topLeft();
    lines << QStringLiteral(
                 "The picture \"%1\" of the picture object at %2, %3 mm on the %4 %5; the card shows no "
                 "picture there.")
                 .arg(path)
                 .arg(wholeMillimetres(at.x()))
                 .arg(wholeMillimetres(at.y()))
                 .arg(sideName(which), verdictOf(path));
  }
  return lines;
}

// The parts a card lost start with its side; the lines of missing pictures do not.
bool isPartOfACard(const QString& line) {
  return line.startsWith(QLatin1String("front ")) || line.startsWith(QLatin1String("back "));
}

bool isBarcodePart(const QString& line) {
  return line.section(QLatin1Char(' '), 1, 1) == QLatin1String("barcode");
}

}  // namespace

QStringList lostParts(const SKTGraphicList& side, CardSide which, const SidePaintContext& context,
                      const DrawnBarcodeOf& barcodes) {
  QStringList lost;
  for (const SKTGraphicPtr& object : side) {
    if (!object || !isBound(*object) || !isOnCards(*object)) continue;
    if (object->kind() == GraphicKind::Text) {
      const auto& text = static_cast<const SKTText&>(*object);
      if (text.isContentsCut()) lost << lostPart(which, "text", text.drawnCharacters(), text);
    } else if (object->kind() == GraphicKind::Barcode) {
      const DrawnBarcode drawn = drawnBarcode(*object, barcodes);
      if (runsPastEdge(QRectF(object->bounds().topLeft(), drawn.size), context.size))
        lost << lostPart(which, "barcode", drawn.value, *object);
    }
  }
  return lost + missingPictures(side, which, context.missingBackground, /*onCardsOnly=*/true);
}

QStringList missingPictureLines(const SKTGraphicList& side, CardSide which,
                                const QString& missingBackground) {
  return missingPictures(side, which, missingBackground, /*onCardsOnly=*/false);
}

void CutTexts::add(int row, const QStringList& parts) {
  bool counted = false;
  for (const QString& part : parts) {
    if (!isPartOfACard(part)) {
      if (!missing_.contains(part)) missing_ << part;
      continue;
    }
    if (!counted && (cards_ == 0 || row != lastRow_)) ++cards_;
    counted = true;
    lastRow_ = row;
    (isBarcodePart(part) ? barcodes_ : texts_) = true;
    if (named_.size() < kNamed)
      named_ << QStringLiteral("card %1: %2").arg(row + 1).arg(part);
    else
      ++more_;
  }
}

QString CutTexts::note() const {
  QStringList paragraphs;
  if (cards_ > 0) {
    const QString what = !barcodes_ ? QStringLiteral("a bound text that does not fit its box")
                         : !texts_  ? QStringLiteral("a bound barcode that runs past the card's edge")
                                    : QStringLiteral(
                                          "a bound text that does not fit its box or of a bound barcode "
                                           "that runs past the card's edge");
    QString text = (cards_ == 1 ? QStringLiteral("1 card") : QStringLiteral("%1 cards").arg(cards_)) +
                   QStringLiteral(" lost part of %1:\n").arg(what) + named_.join(QLatin1Char('\n'));
    if (more_ > 0) text += QStringLiteral("\nand %1 more.").arg(more_);
    paragraphs << text;
  }
  if (!missing_.isEmpty()) paragraphs << missing_.join(QLatin1Char('\n'));
  return paragraphs.join(QStringLiteral("\n\n"));
}

}  // namespace production
