#include "production/CutTexts.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <cmath>

#include "barcode/designer/GraphicBarcodeSettings.h"
#include "core/PictureFile.h"
#include "core/SKTBarcode.h"
#include "core/SKTImage.h"
#include "core/SKTText.h"
#include "core/render/MissingGlyphs.h"
#include "data/DataSourceTable.h"
#include "platform/QuotedValue.h"
#include "platform/RegularFile.h"

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

QString lostPart(CardSide which, const QString& kind, const QString& shown, const SKTGraphic& object) {
  const QString part =
      QStringLiteral("%1 %2 \"%3\"").arg(sideName(which), kind, shortened(shown.simplified()));
  return isBound(object) ? part + QStringLiteral(" (%1)").arg(sourceOf(object)) : part;
}

// A barcode by its kind: "Code 128 barcode", "QR Code", "Data Matrix code".
QString barcodeKind(const SKTGraphic& object) {
  const QString symbology = barcode::barcodeSettingsOf(object).symbology();
  if (symbology.isEmpty()) return QStringLiteral("barcode");
  if (symbology == QLatin1String("DataMatrix")) return QStringLiteral("Data Matrix code");
  if (symbology.endsWith(QLatin1String("Code"))) return symbology;
  return symbology + QStringLiteral(" barcode");
}

// What a text part adds when a character of it has no font.
constexpr char kNoFont[] = "no installed font has ";
constexpr char kAlsoCut[] = "does not fit its box, and ";

// A text drawn on the card: cut (a bound one that does not show all its
// lines) and the characters no installed font has.
std::optional<QString> textPart(CardSide which, const SKTText& text) {
  const QString characters = text.drawnCharacters();
  const bool cut = isBound(text) && text.isContentsCut();
  const QStringList missing = text_look::charactersWithoutFont(characters, text.drawnStyle().font);
  if (!cut && missing.isEmpty()) return std::nullopt;
  QString part = lostPart(which, QStringLiteral("text"), characters, text);
  if (!missing.isEmpty())
    part += QStringLiteral(": %1%2%3")
                .arg(cut ? QLatin1String(kAlsoCut) : QLatin1String(), QLatin1String(kNoFont),
                     text_look::namedCharacters(missing));
  return part;
}

// Why a bound picture object shows no picture: the picture check's reason
// for its file ("no such file or directory", "it is a damaged or incomplete
// picture" ...); "" when it shows one or names no file.
QString boundPictureProblem(const SKTImage& image) {
  const QString path = image.FilePath();
  if (path.trimmed().isEmpty() || !image._contents.isNull()) return {};
  const QString message = pictureFileProblem(path);
  // Damage that only decoding finds.
  if (message.isEmpty()) return QLatin1String(platform::kDamagedPicture);
  const QString lead = QStringLiteral("The file \"%1\" could not be read: ")
                           .arg(QDir::toNativeSeparators(standardizedPicturePath(path)));
  if (!message.startsWith(lead)) return message;
  QString reason = message.mid(lead.size());
  if (reason.endsWith(QLatin1Char('.'))) reason.chop(1);
  return reason;
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
                            bool onCardsOnly, bool withBound) {
  QStringList lines;
  if (!missingBackground.isEmpty())
    lines << QStringLiteral("The background picture \"%1\" of the %2 %3; the card shows no background.")
                 .arg(missingBackground, sideName(which), verdictOf(missingBackground));
  for (const SKTGraphicPtr& object : side) {
    if (!object || object->kind() != GraphicKind::Image || (isBound(*object) && !withBound)) continue;
    if (onCardsOnly && !isOnCards(*object)) continue;
    const QString path = object->FilePath();
    if (path.isEmpty() || !static_cast<const SKTImage&>(*object)._contents.isNull()) continue;
    const QPointF at = object->bounds().topLeft();
    // A bound picture shows the file card 1 takes from its source.
    const QString role = isBound(*object)
                             ? QStringLiteral("that card 1 takes from %1 for").arg(sourceOf(*object))
                             : QStringLiteral("of");
    lines << QStringLiteral(
                 "The picture \"%1\" %2 the picture object at %3, %4 mm on the %5 %6; the card shows no "
                 "picture there.")
                 .arg(isBound(*object) ? platform::quotedValue(path) : path, role)
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

QString kindWord(const QString& part) {
  return part.section(QLatin1Char(' '), 1, 1);
}

bool lacksFont(const QString& part) {
  static const QRegularExpression reason(
      QStringLiteral("[\")]: (%1)?%2[^\"]*$").arg(QLatin1String(kAlsoCut), QLatin1String(kNoFont)));
  return reason.match(part).hasMatch();
}

}  // namespace

QStringList lostParts(const SKTGraphicList& side, CardSide which, const SidePaintContext& context,
                      const DrawnBarcodeOf& barcodes) {
  QStringList lost;
  for (const SKTGraphicPtr& object : side) {
    if (!object || !isOnCards(*object)) continue;
    if (object->kind() == GraphicKind::Text) {
      if (std::optional<QString> part = textPart(which, static_cast<const SKTText&>(*object))) lost << *part;
    } else if (!isBound(*object)) {
      continue;
    } else if (object->kind() == GraphicKind::Barcode) {
      const DrawnBarcode drawn = drawnBarcode(*object, barcodes);
      if (runsPastEdge(QRectF(object->bounds().topLeft(), drawn.size), context.size))
        lost << lostPart(which, barcodeKind(*object), drawn.value, *object);
    } else if (object->kind() == GraphicKind::Image) {
      const QString why = boundPictureProblem(static_cast<const SKTImage&>(*object));
      if (!why.isEmpty())
        lost << QStringLiteral("%1 picture \"%2\" (%3): %4")
                    .arg(sideName(which), platform::quotedValue(object->FilePath()), sourceOf(*object), why);
    }
  }
  return lost + missingPictures(side, which, context.missingBackground, /*onCardsOnly=*/true,
                                /*withBound=*/false);
}

QStringList missingPictureLines(const SKTGraphicList& side, CardSide which,
                                const QString& missingBackground) {
  return missingPictures(side, which, missingBackground, /*onCardsOnly=*/false, /*withBound=*/true);
}

void CutTexts::add(int row, const QStringList& parts) {
  QStringList own;
  for (const QString& part : parts) {
    if (!isPartOfACard(part)) {
      if (!missing_.contains(part)) missing_ << part;
    } else if (!own.contains(part)) {
      own << part;
    }
  }
  if (own.isEmpty()) return;
  // Both sides of a card may come one after the other: one card, one line.
  if (cards_ == 0 || row != lastRow_) {
    ++cards_;
    lastRow_ = row;
    lastParts_.clear();
    if (named_.size() < kNamed) named_ << QString();
    lastNamed_ = named_.size() == cards_;
  }
  for (const QString& part : own) {
    if (lastParts_.contains(part)) continue;
    lastParts_ << part;
    const QString kind = kindWord(part);
    if (kind == QLatin1String("text")) {
      const bool noFont = lacksFont(part);
      glyphs_ = glyphs_ || noFont;
      texts_ = texts_ || !noFont || part.contains(QLatin1String(kAlsoCut));
    } else if (kind == QLatin1String("picture")) {
      pictures_ = true;
    } else {
      barcodes_ = true;
    }
  }
  if (lastNamed_)
    named_.last() = QStringLiteral("card %1: %2").arg(row + 1).arg(lastParts_.join(QStringLiteral("; ")));
}

QString CutTexts::note() const {
  QStringList paragraphs;
  if (cards_ > 0) {
    QStringList what;
    if (texts_) what << QStringLiteral("a bound text that does not fit its box");
    if (barcodes_) what << QStringLiteral("a bound barcode that runs past the card's edge");
    if (pictures_) what << QStringLiteral("a bound picture whose file cannot be used");
    if (glyphs_) what << QStringLiteral("a text with characters that no installed font has");
    QString kinds = what.takeLast();
    if (!what.isEmpty()) kinds = what.join(QStringLiteral(", of ")) + QStringLiteral(" or of ") + kinds;
    QString text = (cards_ == 1 ? QStringLiteral("1 card") : QStringLiteral("%1 cards").arg(cards_)) +
                   QStringLiteral(" lost part of %1:\n").arg(kinds) + named_.join(QLatin1Char('\n'));
    const int more = cards_ - int(named_.size());
    if (more > 0) text += QStringLiteral("\nand %1 more.").arg(more);
    paragraphs << text;
  }
  if (!missing_.isEmpty()) paragraphs << missing_.join(QLatin1Char('\n'));
  return paragraphs.join(QStringLiteral("\n\n"));
}

}  // namespace production
