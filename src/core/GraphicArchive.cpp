#include "core/GraphicArchive.h"

#include <QBuffer>
#include <QFileInfo>
#include <QHash>
#include <QImageWriter>
#include <QtDebug>
#include <cmath>
#include <functional>
#include <limits>
#include <type_traits>
#include <utility>
#include <variant>

#include "core/Card_Property.h"
#include "core/PictureFile.h"
#include "core/SKTImage.h"
#include "core/SKTLine.h"
#include "core/globals.h"
#include "platform/KeyedArchive.h"
#include "platform/Messages.h"
#include "platform/PropertyList.h"
#include "platform/QuotedValue.h"

namespace {

using G = SKTGraphic;

// A double field stored as a 32-bit float.
struct NarrowedDouble {
  double G::*member;
};

using FieldMember = std::variant<QRectF G::*, bool G::*, QColor G::*, NarrowedDouble, float G::*,
                                 QString G::*, int G::*, CardFont G::*, SKTTextStoragePtr G::*, QImage G::*>;

struct Field {
  const char* key;
  FieldMember member;
};

// The 93 keys in the order they are written and read.
const std::vector<Field>& fields() {
  static const std::vector<Field> table = {
      {"_bounds", &G::_bounds},
      {"ctrl_is_locked", &G::ctrl_is_locked},
      {"_isDrawingFill", &G::_isDrawingFill},
      {"_fillColor", &G::_fillColor},
      {"_isDrawingStroke", &G::_isDrawingStroke},
      {"_strokeColor", &G::_strokeColor},
      {"_strokeWidth", NarrowedDouble{&G::_strokeWidth}},
      {"_stroke_border_type", &G::_stroke_border_type},
      {"_fill_type", &G::_fill_type},
      {"_fill_Grad_clr1", &G::_fill_Grad_clr1},
      {"_fill_Grad_clr2", &G::_fill_Grad_clr2},
      {"_fill_grad_angle", NarrowedDouble{&G::_fill_grad_angle}},
      {"_fill_htch_clr", &G::_fill_htch_clr},
      {"_fill_hatch_type", &G::_fill_hatch_type},
      {"_isFlippedHorizontally", &G::_isFlippedHorizontally},
      {"_isFlippedVertically", &G::_isFlippedVertically},
      {"invert_clr", &G::invert_clr},
      {"gray_Scale", &G::gray_Scale},
      {"Sepia", &G::Sepia},
      {"img_trnsp_val", &G::img_trnsp_val},
      {"hue_val", &G::hue_val},
      {"sat_val", &G::sat_val},
      {"brt_val", &G::brt_val},
      {"con_val", &G::con_val},
      {"srp_val", &G::srp_val},
      {"ev_val", &G::ev_val},
      {"blr_val", &G::blr_val},
      {"data_source_type", &G::data_source_type},
      {"rotate_image", &G::rotate_image},
      {"_file_path", &G::_file_path},
      {"sign_or_fingureprint", &G::sign_or_fingureprint},
      {"batch_list_name", &G::batch_list_name},
      {"batch_list_index", &G::batch_list_index},
      {"_line_ori", &G::_line_ori},
      {"_line_cap_style", &G::_line_cap_style},
      {"alpha_val", &G::alpha_val},
      {"alpha_val_stroke", &G::alpha_val_stroke},
      {"text_ctrl_font", &G::text_ctrl_font},
      {"txt_clr", &G::txt_clr},
      {"_Text_contents", &G::_Text_contents},
      {"_shape_type", &G::_shape_type},
      {"cor_rad_val_val", &G::cor_rad_val_val},
      {"_barcode_image", &G::_barcode_image},
      {"linear_or_2d", &G::linear_or_2d},
      {"barcode_font_index", &G::barcode_font_index},
      {"linear_font_val", &G::linear_font_val},
      {"two_d_font_val", &G::two_d_font_val},
      {"header_val", &G::header_val},
      {"footer_val", &G::footer_val},
      {"show_hide_hdr", &G::show_hide_hdr},
      {"show_hide_ftr", &G::show_hide_ftr},
      {"show_hide_val", &G::show_hide_val},
      {"show_val_on_top", &G::show_val_on_top},
      {"align_hdr_index", &G::align_hdr_index},
      {"align_ftr_index", &G::align_ftr_index},
      {"linear_height_val", &G::linear_height_val},
      {"linear_width_val", &G::linear_width_val},
      {"qr_size_val", &G::qr_size_val},
      {"qr_version_index", &G::qr_version_index},
      {"qr_ec_index", &G::qr_ec_index},
      {"pdf_hgt_val", &G::pdf_hgt_val},
      {"pdf_wdt_val", &G::pdf_wdt_val},
      {"pdf_ec_val", &G::pdf_ec_val},
      {"dm_module_val", &G::dm_module_val},
      {"dm_format_index", &G::dm_format_index},
      {"dm_encoding_index", &G::dm_encoding_index},
      {"hdr_margin_val", &G::hdr_margin_val},
      {"ftr_margin_val", &G::ftr_margin_val},
      {"val_margin_val", &G::val_margin_val},
      {"TB_marging_val", &G::TB_marging_val},
      {"LR_margin_val", &G::LR_margin_val},
      {"value_font_val", &G::value_font_val},
      {"header_font_val", &G::header_font_val},
      {"footer_font_val", &G::footer_font_val},
      {"barcode_hdr_clr_val", &G::barcode_hdr_clr_val},
      {"barcode_ftr_clr_val", &G::barcode_ftr_clr_val},
      {"barcode_val_clr_val", &G::barcode_val_clr_val},
      {"barcode_back_clr_val", &G::barcode_back_clr_val},
      {"barcode_clr_val", &G::barcode_clr_val},
      {"dpi_val_index", &G::dpi_val_index},
      {"dpi_custom_val", &G::dpi_custom_val},
      {"barcode_unit_val", &G::barcode_unit_val},
      {"text_alignmnet", &G::text_alignmnet},
      {"text_transfrom_case", &G::text_transfrom_case},
      {"text_kerning", &G::text_kerning},
      {"print_object", &G::print_object},
      {"control_ID", &G::control_ID},
      {"excel_binding", &G::excel_binding},
      {"excel_col_indx", &G::excel_col_indx},
      {"Text_Value", &G::Text_Value},
      {"ctrl_is_visible", &G::ctrl_is_visible},
      {"double_star_type", &G::double_star_type},
      {"polygon_type", &G::polygon_type},
  };
  return table;
}

const QString kPointsRightKey = QStringLiteral("_pointsRight");
const QString kPointsDownKey = QStringLiteral("_pointsDown");

// Geometry beyond this is not a card's; such values are refused.
constexpr double kMaxCoordinate = 1.0e7;

bool isSaneRect(const QRectF& r) {
  for (double v : {r.x(), r.y(), r.width(), r.height()})
    if (!std::isfinite(v) || std::abs(v) > kMaxCoordinate) return false;
  return true;
}

// ---- Value conversions -----------------------------------------------------------

platform::KeyedFont toKeyedFont(const CardFont& font) {
  return platform::KeyedFont{font.name, font.size, 16};
}

std::optional<CardFont> fromKeyedFont(const platform::KeyedFont& font) {
  if (font.name.isEmpty() || !std::isfinite(font.size) || font.size < 0.0 || font.size > 10000.0)
    return std::nullopt;
  return CardFont{font.name, font.size};
}

QByteArray encodePicture(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "png");
  if (!writer.write(image)) return {};
  return bytes;
}

// A key holding the archive's null object ("none").
bool holdsNull(const platform::KeyedObject& o, const QString& key) {
  if (!o.contains(key)) return false;
  const auto object = o.getObject(key);
  return object && object->isNull();
}

// ---- Encoding ------------------------------------------------------------------------

void encodeField(const SKTGraphic& g, const Field& field, platform::KeyedObjectWriter& coder) {
  const QString key = QString::fromLatin1(field.key);
  std::visit(
      [&](auto member) {
        using M = decltype(member);
        if constexpr (std::is_same_v<M, NarrowedDouble>) {
          coder.setFloat(key, static_cast<float>(g.*(member.member)));
        } else {
          const auto& value = g.*member;
          using V = std::decay_t<decltype(value)>;
          if constexpr (std::is_same_v<V, QRectF>) {
            coder.setRect(key, value);
          } else if constexpr (std::is_same_v<V, bool>) {
            coder.setBool(key, value);
          } else if constexpr (std::is_same_v<V, int>) {
            coder.setInt(key, value);
          } else if constexpr (std::is_same_v<V, float>) {
            coder.setFloat(key, value);
          } else if constexpr (std::is_same_v<V, QString>) {
            // A string field is never "none": an empty string is written as one.
            coder.setString(key, value.isNull() ? QStringLiteral("") : value);
          } else if constexpr (std::is_same_v<V, QColor>) {
            if (value.isValid())
              coder.setColor(key, value);
            else
              coder.setNull(key);
          } else if constexpr (std::is_same_v<V, CardFont>) {
            if (!value.isNull())
              coder.setFont(key, toKeyedFont(value));
            else
              coder.setNull(key);
          } else if constexpr (std::is_same_v<V, SKTTextStoragePtr>) {
            if (value) {
              platform::KeyedAttributedString text{value->string, std::nullopt, std::nullopt};
              if (!value->font.isNull()) text.font = toKeyedFont(value->font);
              if (value->foregroundColor.isValid())
                text.color = platform::KeyedColor::fromQColor(value->foregroundColor);
              coder.setAttributedString(key, text, QStringLiteral("NSTextStorage"));
            } else {
              coder.setNull(key);
            }
          } else if constexpr (std::is_same_v<V, QImage>) {
            const QByteArray png = value.isNull() ? QByteArray() : encodePicture(value);
            if (!png.isEmpty())
              coder.setImage(key, platform::KeyedImage{png, value.deviceIndependentSize()});
            else
              coder.setNull(key);
          }
        }
      },
      field.member);
}

// ---- Decoding --------------------------------------------------------------------------

// What becomes of an archived picture: decoded into the graphic at once, or
// kept to be decoded once the whole reading was read. False when it does not
// fit in the reading's budget.
using PictureTaker = std::function<bool(SKTGraphic&, QImage G::*, const platform::KeyedImage&)>;

// Decodes a picture within the budget; false when it does not fit.
bool decodePicture(QImage& target, const QByteArray& encoded, QSizeF archivedSize, PictureBudget& pictures) {
  std::optional<QImage> decoded = pictures.decode(encoded);
  if (!decoded) return false;
  target = std::move(*decoded);
  // The archived size in points gives the picture's resolution (a barcode
  // picture holds more pixels than points).
  const double ratio = archivedSize.width() > 0 ? target.width() / archivedSize.width() : 1.0;
  if (!target.isNull() && std::isfinite(ratio) && ratio >= 0.01 && ratio <= 100.0)
    target.setDevicePixelRatio(ratio);
  return true;
}

// False only when the field's picture does not fit in the reading's budget.
bool decodeField(SKTGraphic& g, const Field& field, const platform::KeyedObject& o,
                 const PictureTaker& take) {
  const QString key = QString::fromLatin1(field.key);
  if (!o.contains(key)) return true;  // missing: the new graphic's value stays
  bool fits = true;
  std::visit(
      [&](auto member) {
        using M = decltype(member);
        if constexpr (std::is_same_v<M, NarrowedDouble>) {
          if (auto v = o.getFloat(key); v && std::isfinite(*v)) g.*(member.member) = static_cast<double>(*v);
        } else {
          auto& target = g.*member;
          using V = std::decay_t<decltype(target)>;
          if constexpr (std::is_same_v<V, QRectF>) {
            if (auto v = o.getRect(key); v && isSaneRect(*v)) target = *v;
          } else if constexpr (std::is_same_v<V, bool>) {
            if (auto v = o.getBool(key)) target = *v;
          } else if constexpr (std::is_same_v<V, int>) {
            if (auto v = o.getInt(key);
                v && *v >= std::numeric_limits<int>::min() && *v <= std::numeric_limits<int>::max())
              target = static_cast<int>(*v);
          } else if constexpr (std::is_same_v<V, float>) {
            if (auto v = o.getFloat(key); v && std::isfinite(*v)) target = *v;
          } else if constexpr (std::is_same_v<V, QString>) {
            if (auto v = o.getString(key))
              target = *v;
            else if (holdsNull(o, key))
              target = QString();
          } else if constexpr (std::is_same_v<V, QColor>) {
            if (auto v = o.getColor(key))
              target = v->toQColor();
            else if (holdsNull(o, key))
              target = QColor();
          } else if constexpr (std::is_same_v<V, CardFont>) {
            if (auto v = o.getFont(key)) {
              if (auto font = fromKeyedFont(*v)) target = *font;
            } else if (holdsNull(o, key)) {
              target = CardFont{};
            }
          } else if constexpr (std::is_same_v<V, SKTTextStoragePtr>) {
            if (auto v = o.getAttributedString(key)) {
              SKTTextStorage storage;
              storage.string = v->text;
              if (v->font)
                if (auto font = fromKeyedFont(*v->font)) storage.font = *font;
              if (v->color) storage.foregroundColor = v->color->toQColor();
              target = std::make_shared<SKTTextStorage>(std::move(storage));
            } else if (holdsNull(o, key)) {
              target = nullptr;
            }
          } else if constexpr (std::is_same_v<V, QImage>) {
            if (auto v = o.getImage(key))
              fits = take(g, member, *v);
            else if (holdsNull(o, key))
              target = QImage();
          }
        }
      },
      field.member);
  return fits;
}

// A keyed archive of nothing: the archiver's form for a root of none, whose
// "$top" root refers to the "$null" entry. The archive reader takes only
// archives with a root object, so this form is recognised here.
bool isArchiveOfNothing(const QByteArray& data) {
  const std::optional<platform::PlistValue> plist = platform::parsePropertyList(data);
  const platform::PlistDict* top = plist ? plist->dict() : nullptr;
  if (top == nullptr || top->string(QStringLiteral("$archiver")) != QStringLiteral("NSKeyedArchiver"))
    return false;
  const platform::PlistArray* objects = top->array(QStringLiteral("$objects"));
  if (objects == nullptr || objects->empty() || objects->front().toString() != QStringLiteral("$null"))
    return false;
  const platform::PlistDict* roots = top->dict(QStringLiteral("$top"));
  const platform::PlistValue* root = roots != nullptr ? roots->value(QStringLiteral("root")) : nullptr;
  return root != nullptr && root->toUid() == std::optional<quint64>(0);
}

QStringList classChain(const SKTGraphic& graphic) {
  return {graphic.className(), QStringLiteral("SKTGraphic"), QStringLiteral("NSObject")};
}

}  // namespace

const std::vector<QString>& graphicArchiveKeys() {
  static const std::vector<QString> keys = [] {
    std::vector<QString> k;
    for (const Field& f : fields()) k.push_back(QString::fromLatin1(f.key));
    return k;
  }();
  return keys;
}

void encodeGraphicWithCoder(const SKTGraphic& graphic, platform::KeyedObjectWriter& coder) {
  for (const Field& field : fields()) encodeField(graphic, field, coder);
  if (graphic.kind() == GraphicKind::Line) {
    const auto& line = static_cast<const SKTLine&>(graphic);
    coder.setBool(kPointsRightKey, line._pointsRight);
    coder.setBool(kPointsDownKey, line._pointsDown);
  }
}

namespace {

// A graphic from an archive object; `refusal` is the reason when a picture
// does not fit.
SKTGraphicPtr decodeGraphic(const platform::KeyedObject& coder, QString* why, const PictureTaker& take,
                            const QString& refusal) {
  const QString className = coder.className();
  const std::optional<GraphicKind> kind = graphicKindForClassName(className);
  if (!kind) {
    if (why) *why = QStringLiteral("not a card object: \"%1\"").arg(platform::quotedValue(className));
    return nullptr;
  }
  SKTGraphicPtr graphic = SKTGraphic::makeGraphic(*kind);
  for (const Field& field : fields()) {
    if (!decodeField(*graphic, field, coder, take)) {
      if (why) *why = refusal;
      return nullptr;
    }
  }
  if (*kind == GraphicKind::Line) {
    auto& line = static_cast<SKTLine&>(*graphic);
    if (auto v = coder.getBool(kPointsRightKey)) line._pointsRight = *v;
    if (auto v = coder.getBool(kPointsDownKey)) line._pointsDown = *v;
  }
  return graphic;
}

// Reads one archive (see graphicWithArchivedData).
GraphicArchiveResult readArchive(const QByteArray& data, SKTGraphicPtr* graphic, QString* why,
                                 const PictureTaker& take, const QString& refusal) {
  platform::KeyedArchiveReader reader;
  if (!reader.load(data)) {
    if (isArchiveOfNothing(data)) return GraphicArchiveResult::Nothing;
    if (why) *why = reader.errorString();
    return GraphicArchiveResult::Failed;
  }
  const platform::KeyedObject root = reader.root();
  if (!root.isValid()) {
    if (why) *why = QStringLiteral("no root object");
    return GraphicArchiveResult::Failed;
  }
  if (root.isNull()) return GraphicArchiveResult::Nothing;
  SKTGraphicPtr decoded = decodeGraphic(root, why, take, refusal);
  if (!decoded) return GraphicArchiveResult::Failed;
  if (graphic) *graphic = std::move(decoded);
  return GraphicArchiveResult::Graphic;
}

// Pictures decoded at once within the budget.
PictureTaker decodingInto(PictureBudget& budget) {
  return [&budget](SKTGraphic& g, QImage G::*member, const platform::KeyedImage& picture) {
    return decodePicture(g.*member, picture.encoded, picture.size, budget);
  };
}

}  // namespace

SKTGraphicPtr decodeGraphicWithCoder(const platform::KeyedObject& coder, QString* why,
                                     PictureBudget* pictures) {
  PictureBudget ownBudget;
  PictureBudget& budget = pictures ? *pictures : ownBudget;
  return decodeGraphic(coder, why, decodingInto(budget), budget.refusal());
}

QByteArray archivedDataWithGraphic(const SKTGraphic& graphic) {
  platform::KeyedArchiveWriter writer;
  encodeGraphicWithCoder(graphic, writer.root(graphic.className(), classChain(graphic)));
  return writer.finish();
}

GraphicArchiveResult graphicWithArchivedData(const QByteArray& data, SKTGraphicPtr* graphic, QString* why,
                                             PictureBudget* pictures) {
  PictureBudget ownBudget;
  PictureBudget& budget = pictures ? *pictures : ownBudget;
  return readArchive(data, graphic, why, decodingInto(budget), budget.refusal());
}

std::vector<QByteArray> propertiesWithGraphics(const SKTGraphicList& graphics) {
  std::vector<QByteArray> archives;
  archives.reserve(graphics.size());
  for (const auto& g : graphics)
    if (g) archives.push_back(archivedDataWithGraphic(*g));
  return archives;
}

GraphicArchiveResult GraphicArchiveMemo::read(const QByteArray& data, SKTGraphicPtr* graphic, QString* why) {
  const std::size_t reading = readings_++;
  if (const auto seen = read_.find(data); seen != read_.end()) {
    if (!seen->graphic) return GraphicArchiveResult::Nothing;
    SKTGraphicPtr copy = seen->graphic->clone();
    for (std::size_t i : seen->waiting) waiting_[i].graphics.push_back(copy);
    if (graphic) *graphic = std::move(copy);
    return GraphicArchiveResult::Graphic;
  }
  // Each picture is measured by its header and waits: none is decoded before all were read.
  Archive archive;
  const auto wait = [&](SKTGraphic& g, QImage G::*member, const platform::KeyedImage& picture) {
    if (!pictures_.admit(picture.encoded)) return false;
    archive.waiting.push_back(waiting_.size());
    waiting_.push_back({picture.encoded, picture.size, member, {g.shared_from_this()}, reading});
    return true;
  };
  SKTGraphicPtr decoded;
  const GraphicArchiveResult result = readArchive(data, &decoded, why, wait, pictures_.refusal());
  if (result == GraphicArchiveResult::Failed) return result;
  archive.graphic = decoded ? decoded->clone() : nullptr;
  read_.insert(data, std::move(archive));
  if (graphic) *graphic = std::move(decoded);
  return result;
}

bool GraphicArchiveMemo::decodePictures(std::size_t* reading) {
  for (WaitingPicture& picture : waiting_) {
    QImage decoded;
    if (!decodePicture(decoded, picture.encoded, picture.size, pictures_)) {
      if (reading) *reading = picture.reading;
      return false;
    }
    for (const SKTGraphicPtr& g : picture.graphics) (*g).*(picture.member) = decoded;
    picture.encoded.clear();
  }
  return true;
}

namespace {

std::optional<SKTGraphicList> readGraphics(const std::vector<QByteArray>& archives, GraphicArchiveMemo& memo,
                                           QString* why) {
  SKTGraphicList graphics;
  for (std::size_t i = 0; i < archives.size(); ++i) {
    SKTGraphicPtr graphic;
    QString reason;
    switch (memo.read(archives[i], &graphic, &reason)) {
      case GraphicArchiveResult::Nothing:
        continue;
      case GraphicArchiveResult::Failed:
        if (why) *why = QStringLiteral("graphic archive %1: %2").arg(i).arg(reason);
        return std::nullopt;
      case GraphicArchiveResult::Graphic:
        break;
    }
    graphics.push_back(std::move(graphic));
  }
  if (std::size_t reading = 0; !memo.decodePictures(&reading)) {
    if (why) *why = QStringLiteral("graphic archive %1: %2").arg(reading).arg(memo.pictures().refusal());
    return std::nullopt;
  }
  for (const SKTGraphicPtr& graphic : graphics) {
    if (graphic->kind() != GraphicKind::Image) continue;
    // A picture object's picture is not archived: load it again from its file.
    auto& image = static_cast<SKTImage&>(*graphic);
    const QString path = image.FilePath();
    if (!path.isEmpty() && QFileInfo::exists(standardizedPicturePath(path))) image.setFilePath(path);
  }
  return graphics;
}

}  // namespace

std::optional<SKTGraphicList> graphicsWithProperties(const std::vector<QByteArray>& archives, QString* why) {
  GraphicArchiveMemo memo;
  return readGraphics(archives, memo, why);
}

QByteArray pasteboardDataWithGraphics(const SKTGraphicList& graphics) {
  platform::PlistArray items;
  for (const QByteArray& archive : propertiesWithGraphics(graphics))
    items.push_back(platform::PlistValue::data(archive));
  return platform::toBinaryPropertyList(platform::PlistValue(std::move(items)));
}

std::optional<SKTGraphicList> graphicsWithPasteboardData(const QByteArray& data, SKTError* error) {
  auto fail = [&](const QString& reason) -> std::optional<SKTGraphicList> {
    qCWarning(lcDrawing).noquote() << "Unreadable graphic pasteboard data:" << reason;
    if (error) *error = SKTErrorWithCode(SKTErrorUnreadablePasteboardData);
    return std::nullopt;
  };
  QString parseError;
  const std::optional<platform::PlistValue> list = platform::parsePropertyList(data, &parseError);
  if (!list) return fail(parseError);
  const platform::PlistArray* array = list->array();
  if (!array) return fail(QStringLiteral("the root is not an array"));
  std::vector<QByteArray> archives;
  archives.reserve(array->size());
  for (const platform::PlistValue& item : *array) {
    std::optional<QByteArray> bytes = item.toData();
    if (!bytes) return fail(QStringLiteral("an element is not data"));
    archives.push_back(std::move(*bytes));
  }
  QString why;
  GraphicArchiveMemo memo;
  std::optional<SKTGraphicList> graphics = readGraphics(archives, memo, &why);
  if (!graphics && memo.pictures().exceeded()) {
    qCWarning(lcDrawing).noquote() << "Graphic pasteboard data refused:" << why;
    if (error) {
      *error = SKTErrorWithCode(SKTErrorUnreadablePasteboardData);
      error->localizedFailureReason = memo.pictures().refusal();
      error->localizedDescription = PictureBudget::refusedMessage(
          QStringLiteral("What the clipboard holds cannot be pasted"), error->localizedFailureReason);
    }
    return std::nullopt;
  }
  if (!graphics) return fail(why);
  return graphics;
}

// ---- Card_Property -------------------------------------------------------------------

namespace {
const char* const kCardPropertyClass = "Card_Property";

template <typename T>
void readInto(T& target, std::optional<T> value) {
  if (value) target = *value;
}
}  // namespace

namespace {

// The page settings' keys of the archive, by kind, in the order they are
// written (writer and reader share these tables).
constexpr std::pair<const char*, int Card_Property::*> kPageIntegerKeys[] = {
    {"Card_bor_Stepper", &Card_Property::Card_bor_Stepper},
    {"Card_grad_Stepper", &Card_Property::Card_grad_Stepper},
    {"Card_Cat_index", &Card_Property::Card_Cat_index}};
constexpr std::pair<const char*, QColor Card_Property::*> kPageColourKeys[] = {
    {"Card_bordr_clr", &Card_Property::Card_bordr_clr},
    {"Card_fill_clr", &Card_Property::Card_fill_clr},
    {"Card_fill_Grd_1_clr", &Card_Property::Card_fill_Grd_1_clr},
    {"Card_fill_Grd_2_clr", &Card_Property::Card_fill_Grd_2_clr},
    {"Card_hatch_bk_clr", &Card_Property::Card_hatch_bk_clr}};
constexpr std::pair<const char*, QString Card_Property::*> kPageStringKeys[] = {
    {"Card_border_style", &Card_Property::Card_border_style},
    {"Card_fill_style", &Card_Property::Card_fill_style},
    {"Card_hatch_style", &Card_Property::Card_hatch_style},
    {"Card_Side", &Card_Property::Card_Side},
    {"Card_Side_Name", &Card_Property::Card_Side_Name},
    {"Card_Shape", &Card_Property::Card_Shape},
    {"Card_Name", &Card_Property::Card_Name},
    {"Card_Preset", &Card_Property::Card_Preset},
    {"Card_Category", &Card_Property::Card_Category},
    {"Card_Sub_Category", &Card_Property::Card_Sub_Category},
    {"Card_Create_Mode", &Card_Property::Card_Create_Mode},
    {"Card_BG_Image_Path", &Card_Property::Card_BG_Image_Path},
    {"Card_BG_Image_Layout", &Card_Property::Card_BG_Image_Layout}};

}  // namespace

void encodeCardPropertyWithCoder(const Card_Property& p, platform::KeyedObjectWriter& c) {
  auto color = [&](const char* key, const QColor& v) {
    if (v.isValid())
      c.setColor(QString::fromLatin1(key), v);
    else
      c.setNull(QString::fromLatin1(key));
  };
  c.setBool("Card_border_chk", p.Card_border_chk);
  c.setBool("Card_fill_chk", p.Card_fill_chk);
  for (const auto& [key, field] : kPageIntegerKeys) c.setInt(QString::fromLatin1(key), p.*field);
  c.setFloat("Card_alpha_Stepper", p.Card_alpha_Stepper);
  for (const auto& [key, field] : kPageColourKeys) color(key, p.*field);
  for (const auto& [key, field] : kPageStringKeys)
    c.setString(QString::fromLatin1(key), (p.*field).isNull() ? QStringLiteral("") : p.*field);
  const QByteArray png = p.Card_BG_Image.isNull() ? QByteArray() : encodePicture(p.Card_BG_Image);
  if (!png.isEmpty())
    c.setImage("Card_BG_Image", platform::KeyedImage{png, p.Card_BG_Image.deviceIndependentSize()});
  else
    c.setNull("Card_BG_Image");
  c.setPoint("Card_Location", p.Card_Location);
  c.setSize("Card_Size", p.Card_Size);
  color("Card_Content_clr", p.Card_Content_clr);
  if (!p.Card_Content_font.isNull())
    c.setFont("Card_Content_font", toKeyedFont(p.Card_Content_font));
  else
    c.setNull("Card_Content_font");
}

Card_Property decodeCardPropertyWithCoder(const platform::KeyedObject& c) {
  // A key that is missing or of another kind leaves the new record's value.
  Card_Property p;
  readInto(p.Card_border_chk, c.getBool("Card_border_chk"));
  readInto(p.Card_fill_chk, c.getBool("Card_fill_chk"));
  auto integer = [&](const char* key, int& target) {
    if (auto v = c.getInt(QString::fromLatin1(key));
        v && *v >= std::numeric_limits<int>::min() && *v <= std::numeric_limits<int>::max())
      target = static_cast<int>(*v);
  };
  for (const auto& [key, field] : kPageIntegerKeys) integer(key, p.*field);
  if (auto v = c.getFloat("Card_alpha_Stepper"); v && std::isfinite(*v)) p.Card_alpha_Stepper = *v;
  auto color = [&](const char* key, QColor& target) {
    const QString k = QString::fromLatin1(key);
    if (auto v = c.getColor(k))
      target = v->toQColor();
    else if (holdsNull(c, k))
      target = QColor();
  };
  for (const auto& [key, field] : kPageColourKeys) color(key, p.*field);
  for (const auto& [key, field] : kPageStringKeys) readInto(p.*field, c.getString(QString::fromLatin1(key)));
  if (auto v = c.getImage("Card_BG_Image"))
    p.Card_BG_Image = PictureBudget().decode(v->encoded).value_or(QImage());
  if (auto v = c.getPoint("Card_Location"); v && std::isfinite(v->x()) && std::isfinite(v->y()))
    p.Card_Location = *v;
  if (auto v = c.getSize("Card_Size"); v && std::isfinite(v->width()) && std::isfinite(v->height()))
    p.Card_Size = *v;
  color("Card_Content_clr", p.Card_Content_clr);
  if (auto v = c.getFont("Card_Content_font"))
    if (auto font = fromKeyedFont(*v)) p.Card_Content_font = *font;
  return p;
}

QByteArray archivedDataWithCardProperty(const Card_Property& property) {
  platform::KeyedArchiveWriter writer;
  encodeCardPropertyWithCoder(property, writer.root(QString::fromLatin1(kCardPropertyClass)));
  return writer.finish();
}

std::optional<Card_Property> cardPropertyWithArchivedData(const QByteArray& data, QString* why) {
  platform::KeyedArchiveReader reader;
  if (!reader.load(data)) {
    if (why) *why = reader.errorString();
    return std::nullopt;
  }
  const platform::KeyedObject root = reader.root();
  if (!root.isValid() || root.className() != QLatin1String(kCardPropertyClass)) {
    if (why) *why = QStringLiteral("not page settings");
    return std::nullopt;
  }
  return decodeCardPropertyWithCoder(root);
}
