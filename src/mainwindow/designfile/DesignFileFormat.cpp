#include "mainwindow/designfile/DesignFileFormat.h"

#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <exception>

#include "core/GraphicArchive.h"
#include "core/GraphicLimits.h"
#include "mainwindow/designfile/DesignText.h"
#include "mainwindow/globals.h"
#include "platform/KeyedArchive.h"
#include "platform/QuotedValue.h"

namespace designfile {

using platform::PlistArray;
using platform::PlistDict;
using platform::PlistValue;

// ---------------------------------------------------------------- colours and fonts

QByteArray archivedColor(const QColor& color) {
  return platform::archivedDataWithRootColor(
      platform::KeyedColor::fromQColor(color.isValid() ? color : QColor(Qt::black)));
}

QByteArray archivedFont(const CardFont& font) {
  return platform::archivedDataWithRootFont(platform::KeyedFont{font.name, font.size});
}

std::optional<QColor> colorFromArchive(const QByteArray& data) {
  const auto keyed = platform::unarchivedRootColor(data);
  if (!keyed) return std::nullopt;
  for (float component : {keyed->red, keyed->green, keyed->blue, keyed->alpha})
    if (!std::isfinite(component)) return std::nullopt;
  const QColor color = keyed->toQColor();
  if (!color.isValid()) return std::nullopt;
  return color;
}

std::optional<CardFont> fontFromArchive(const QByteArray& data) {
  const auto keyed = platform::unarchivedRootFont(data);
  if (!keyed) return std::nullopt;
  if (!std::isfinite(keyed->size) || keyed->size < 0.0 || keyed->size > kMaxFontSize) return std::nullopt;
  return CardFont{keyed->name, keyed->size};
}

// ---------------------------------------------------------------- writing

QString storedBackgroundPath(const Card_Property& side) {
  return side.Card_fill_style == QLatin1String("I") ? side.Card_BG_Image_Path : QString(QLatin1String(""));
}

namespace {

class ElementBuilder {
 public:
  void string(const QString& s) {
    elements_.push_back(PlistValue::string(s.isNull() ? QStringLiteral("") : s));
  }
  void data(const QByteArray& bytes) { elements_.push_back(PlistValue::data(bytes)); }
  void value(PlistValue v) { elements_.push_back(std::move(v)); }
  int size() const { return static_cast<int>(elements_.size()); }
  PlistArray take() { return std::move(elements_); }

 private:
  PlistArray elements_;
};

void addPageSettings(ElementBuilder& out, const Card_Property& p) {
  out.string(flagText(p.Card_border_chk));         // 1
  out.data(archivedColor(p.Card_bordr_clr));       // 2
  out.string(intText(p.Card_bor_Stepper));         // 3
  out.string(p.Card_border_style);                 // 4
  out.string(flagText(p.Card_fill_chk));           // 5
  out.string(p.Card_fill_style);                   // 6
  out.data(archivedColor(p.Card_fill_clr));        // 7
  out.data(archivedColor(p.Card_fill_Grd_1_clr));  // 8
  out.data(archivedColor(p.Card_fill_Grd_2_clr));  // 9
  out.string(intText(p.Card_grad_Stepper));        // 10
  out.string(p.Card_hatch_style);                  // 11
  out.data(archivedColor(p.Card_hatch_bk_clr));    // 12
  out.string(fractionText(p.Card_alpha_Stepper));  // 13
  out.string(p.Card_Side);                         // 14
  out.string(p.Card_Side_Name);                    // 15
  out.string(p.Card_Shape);                        // 16
  out.string(p.Card_Name);                         // 17
  out.string(pointText(p.Card_Location));          // 18
  out.string(sizeText(p.Card_Size));               // 19
  out.string(p.Card_Preset);                       // 20
  out.string(p.Card_Category);                     // 21
  out.string(p.Card_Sub_Category);                 // 22
  out.string(intText(p.Card_Cat_index));           // 23
  out.string(p.Card_Create_Mode);                  // 24
  out.string(storedBackgroundPath(p));             // 25
  out.string(p.Card_BG_Image_Layout);              // 26
  out.data(archivedColor(p.Card_Content_clr));     // 27
  out.data(archivedFont(p.Card_Content_font));     // 28
}

void addGraphics(ElementBuilder& out, const SKTGraphicList& graphics) {
  out.string(QString::number(static_cast<qulonglong>(graphics.size())));
  for (const auto& graphic : graphics) {
    if (!graphic) throw std::invalid_argument("a side holds an empty object slot");
    out.data(archivedDataWithGraphic(*graphic));
  }
}

}  // namespace

PlistArray designElements(const Design& design) {
  ElementBuilder out;
  try {
    out.string(kMagic);
    addPageSettings(out, design.front);
    addPageSettings(out, design.back);
    out.string(flagText(design.excelBindingUse));
    out.string(design.excelSourcePath);
    PlistArray titles;
    for (const auto& title : design.columnTitles) titles.push_back(PlistValue::string(title));
    out.value(PlistValue(std::move(titles)));
    PlistArray rows;
    for (const auto& row : design.rows) {
      PlistDict dict;
      for (auto it = row.cbegin(); it != row.cend(); ++it)
        dict.insert(it.key(), PlistValue::string(it.value()));
      rows.push_back(PlistValue(std::move(dict)));
    }
    out.value(PlistValue(std::move(rows)));
    addGraphics(out, design.frontGraphics);
    addGraphics(out, design.backGraphics);
  } catch (const std::exception& e) {
    throw DesignBuildError(out.size(), QString::fromUtf8(e.what()));
  }
  return out.take();
}

platform::PlistLimits designFileLimits() {
  platform::PlistLimits limits;
  limits.bytes = static_cast<qsizetype>(Design_File_Byte_Limit.load());
  limits.nodes = Design_File_Value_Limit.load();
  return limits;
}

namespace {

// One part of a design as the person sees it, and its share of the file.
struct DesignPart {
  QString name;
  qsizetype bytes = 0;
  qint64 values = 0;
};

QString objectDescription(const SKTGraphic& graphic) {
  // A barcode and a signature keep their picture in the file.
  const auto withPicture = [&graphic](const QString& kind) {
    const QImage& picture = graphic._barcode_image;
    return picture.isNull() ? kind
                            : QStringLiteral("%1 (%2 \u00d7 %3 pixels)")
                                  .arg(kind)
                                  .arg(picture.width())
                                  .arg(picture.height());
  };
  switch (graphic.kind()) {
    case GraphicKind::Image:
      return QStringLiteral("picture \u201c%1\u201d").arg(QFileInfo(graphic.FilePath()).fileName());
    case GraphicKind::Text: {
      const QString text = graphic._Text_contents ? graphic._Text_contents->string : QString();
      QString start = text.left(24);
      for (QChar& c : start)
        if (c.isSpace()) c = u' ';  // one line in a message, whatever the text's lines
      return QStringLiteral("text \u201c%1\u201d (%2 characters)")
          .arg(text.size() > 24 ? start + u'\u2026' : start)
          .arg(text.size());
    }
    case GraphicKind::Barcode:
      return withPicture(QStringLiteral("barcode"));
    case GraphicKind::Signature:
      return withPicture(QStringLiteral("signature"));
    case GraphicKind::Line:
      return QStringLiteral("line");
    default:
      return QStringLiteral("shape");
  }
}

// The parts of a design a person knows by name, by the elements of its file
// (element 0 the mark, then both page settings, the binding, the
// spreadsheet, the objects): the spreadsheet and each object. Other elements
// have no name of their own.
std::vector<QString> namedElements(const Design& design) {
  std::vector<QString> names(kExcelBindingIndex + 2);
  names.push_back(QStringLiteral("spreadsheet column titles"));
  names.push_back(
      QStringLiteral("spreadsheet rows (%1)").arg(QLocale(QLocale::English).toString(design.rows.size())));
  for (const auto& [side, graphics] :
       {std::pair{"front", &design.frontGraphics}, std::pair{"back", &design.backGraphics}}) {
    names.emplace_back();  // the object count
    int number = 0;
    for (const auto& graphic : *graphics)
      names.push_back(QStringLiteral("%1 object %2, %3")
                          .arg(QLatin1String(side))
                          .arg(++number)
                          .arg(graphic ? objectDescription(*graphic) : QString()));
  }
  return names;
}

// The part of a design that an element of its file holds.
QString elementName(const Design& design, qsizetype index) {
  const std::vector<QString> names = namedElements(design);
  if (index >= 0 && index < static_cast<qsizetype>(names.size()) &&
      !names[static_cast<size_t>(index)].isEmpty())
    return names[static_cast<size_t>(index)];
  if (index >= 1 && index <= kPageSettingItems) return QStringLiteral("the front page settings");
  if (index > kPageSettingItems && index < kExcelBindingIndex)
    return QStringLiteral("the back page settings");
  if (index >= kExcelBindingIndex && index < kExcelBindingIndex + 2)
    return QStringLiteral("the spreadsheet binding");
  return QStringLiteral("the design");
}

std::vector<DesignPart> designParts(const Design& design, const std::vector<platform::PlistPart>& elements) {
  const std::vector<QString> names = namedElements(design);
  std::vector<DesignPart> parts;
  DesignPart rest{QStringLiteral("page settings and the rest")};
  for (size_t k = 0; k < elements.size(); ++k) {
    if (k < names.size() && !names[k].isEmpty()) {
      parts.push_back({names[k], elements[k].bytes, elements[k].values});
      continue;
    }
    rest.bytes += elements[k].bytes;
    rest.values += elements[k].values;
  }
  parts.push_back(rest);
  return parts;
}

// The message for a design beyond the limits: why it is not saved, and its
// largest parts by the measure that is over.
QString tooLargeMessage(const Design& design, const QByteArray& bytes, const platform::PlistLimits& limits) {
  const QLocale english(QLocale::English);
  const auto size = [&english](qint64 n) {
    return english.formattedDataSize(n, 1, QLocale::DataSizeTraditionalFormat);
  };
  const std::vector<platform::PlistPart> elements = platform::xmlRootArrayParts(bytes);
  std::vector<DesignPart> parts = designParts(design, elements);
  const bool bySize = bytes.size() > limits.bytes;
  QString text;
  if (bySize) {
    QString wouldTake = size(bytes.size());
    QString canHold = size(limits.bytes);
    if (wouldTake == canHold) {  // rounded alike: the bytes tell them apart
      wouldTake = QStringLiteral("%1 bytes").arg(english.toString(bytes.size()));
      canHold = QStringLiteral("%1 bytes").arg(english.toString(limits.bytes));
    }
    text = QStringLiteral(
               "The design was not saved: its file would take %1, more than the %2 a design file can "
               "hold, and could not be opened again.")
               .arg(wouldTake, canHold);
  } else {
    qint64 values = 1;  // the root array
    for (const auto& element : elements) values += element.values;
    text = QStringLiteral(
               "The design was not saved: its file would hold %1 values, more than the %2 a design "
               "file can hold, and could not be opened again.")
               .arg(english.toString(values), english.toString(limits.nodes));
  }
  const auto measure = [bySize](const DesignPart& part) { return bySize ? part.bytes : part.values; };
  std::stable_sort(parts.begin(), parts.end(),
                   [&measure](const DesignPart& a, const DesignPart& b) { return measure(a) > measure(b); });
  text += QStringLiteral("\n\nWhat makes it large:");
  // The five largest, leaving out parts of less than a hundredth of the largest.
  constexpr int kPartsNamed = 5;
  for (int k = 0; k < kPartsNamed && k < static_cast<int>(parts.size()); ++k) {
    const DesignPart& part = parts[static_cast<size_t>(k)];
    if (measure(part) == 0 || measure(part) * 100 < measure(parts.front())) break;
    text += QStringLiteral("\n\u2022 %1: %2")
                .arg(part.name, bySize ? size(part.bytes)
                                       : QStringLiteral("%1 values").arg(english.toString(part.values)));
  }
  return text;
}

}  // namespace

QByteArray designFileBytes(const Design& design) {
  PlistArray elements = designElements(design);
  const int count = static_cast<int>(elements.size());
  QByteArray bytes = platform::toXmlPropertyList(PlistValue(std::move(elements)));
  if (bytes.isEmpty())
    throw DesignBuildError(count, QStringLiteral("the property list could not be written"));
  // Whatever is written must read back: the reader reads these very bytes
  // first, with all of its checks.
  DesignFileFault fault;
  if (parseDesignFile(bytes, &fault)) return bytes;
  qCWarning(lcMainWindow).noquote() << QStringLiteral("Design not written: element %1: %2 (%3 bytes)")
                                           .arg(fault.element)
                                           .arg(fault.reason)
                                           .arg(bytes.size());
  // Beyond the limits of size the message names what makes it large,
  // otherwise the part the reader refuses, and why.
  const platform::PlistLimits limits = designFileLimits();
  if (!platform::propertyListWithinLimits(bytes, limits))
    throw DesignRefusedError(tooLargeMessage(design, bytes, limits));
  QString part = elementName(design, fault.element);
  part[0] = part[0].toUpper();
  throw DesignRefusedError(
      QStringLiteral("The design was not saved: it could not be opened again.\n\n%1: %2.")
          .arg(part, fault.reason));
}

// ---------------------------------------------------------------- reading

namespace {

// A reason the reader refuses a file, at the element it was reading (by
// default the element it took last).
struct ParseError : std::runtime_error {
  explicit ParseError(const QString& why, qsizetype at = -1)
      : std::runtime_error(why.toStdString()), element(at) {}
  qsizetype element;
};

// Walks the element array front to back; every access is checked.
class ElementReader {
 public:
  explicit ElementReader(const PlistArray& elements) : elements_(elements) {}

  qsizetype position() const { return next_; }
  qsizetype remaining() const { return static_cast<qsizetype>(elements_.size()) - next_; }

  const PlistValue& next(const char* what) {
    if (next_ >= static_cast<qsizetype>(elements_.size()))
      throw ParseError(QStringLiteral("the file ends before the %1").arg(QLatin1String(what)), next_);
    return elements_[static_cast<size_t>(next_++)];
  }
  QString string(const char* what) {
    auto s = next(what).toString();
    if (!s) throw ParseError(QStringLiteral("the %1 is not a string").arg(QLatin1String(what)));
    return *s;
  }
  QByteArray data(const char* what) {
    auto d = next(what).toData();
    if (!d) throw ParseError(QStringLiteral("the %1 is not data").arg(QLatin1String(what)));
    return *d;
  }
  const PlistArray& array(const char* what) {
    const PlistArray* a = next(what).array();
    if (!a) throw ParseError(QStringLiteral("the %1 is not an array").arg(QLatin1String(what)));
    return *a;
  }
  QColor color(const char* what) {
    auto c = colorFromArchive(data(what));
    if (!c) throw ParseError(QStringLiteral("the %1 is no archived colour").arg(QLatin1String(what)));
    return *c;
  }
  CardFont font(const char* what) {
    auto f = fontFromArchive(data(what));
    if (!f)
      throw ParseError(QStringLiteral("the %1 is no archived font of at most %2 points")
                           .arg(QLatin1String(what))
                           .arg(kMaxFontSize));
    return *f;
  }

 private:
  const PlistArray& elements_;
  qsizetype next_ = 0;
};

QPointF checkedLocation(const QString& text) {
  const auto p = pointFromText(text);
  if (!p || std::abs(p->x()) > kMaxCardOffset || std::abs(p->y()) > kMaxCardOffset)
    throw ParseError(QStringLiteral("the card location \"%1\" is no point within %2 points of the origin")
                         .arg(platform::quotedValue(text))
                         .arg(kMaxCardOffset));
  return *p;
}

QSizeF checkedSize(const QString& text) {
  const auto s = sizeFromText(text);
  if (!s || s->width() < 0.0 || s->height() < 0.0 || s->width() > kMaxCardExtent ||
      s->height() > kMaxCardExtent)
    throw ParseError(QStringLiteral("the card size \"%1\" is no size of at most %2 points a side")
                         .arg(platform::quotedValue(text))
                         .arg(kMaxCardExtent));
  return *s;
}

float checkedOpacity(const QString& text) {
  const double v = doubleFromText(text);
  if (!std::isfinite(v))
    throw ParseError(QStringLiteral("the opacity \"%1\" is no number").arg(platform::quotedValue(text)));
  return static_cast<float>(std::clamp(v, 0.0, 100.0));
}

Card_Property readPageSettings(ElementReader& in) {
  Card_Property p;
  p.Card_border_chk = flagFromText(in.string("border flag"));
  p.Card_bordr_clr = in.color("border colour");
  p.Card_bor_Stepper = std::clamp(intFromText(in.string("border width")), 0, kMaxBorderWidth);
  p.Card_border_style = in.string("border style");
  p.Card_fill_chk = flagFromText(in.string("fill flag"));
  p.Card_fill_style = in.string("fill style");
  p.Card_fill_clr = in.color("fill colour");
  p.Card_fill_Grd_1_clr = in.color("gradient colour 1");
  p.Card_fill_Grd_2_clr = in.color("gradient colour 2");
  p.Card_grad_Stepper = intFromText(in.string("gradient angle"));
  p.Card_hatch_style = in.string("hatch style");
  p.Card_hatch_bk_clr = in.color("hatch colour");
  p.Card_alpha_Stepper = checkedOpacity(in.string("opacity"));
  p.Card_Side = in.string("side count");
  p.Card_Side_Name = in.string("side name");
  p.Card_Shape = in.string("card shape");
  p.Card_Name = in.string("card name");
  p.Card_Location = checkedLocation(in.string("card location"));
  p.Card_Size = checkedSize(in.string("card size"));
  p.Card_Preset = in.string("preset");
  p.Card_Category = in.string("category");
  p.Card_Sub_Category = in.string("sub-category");
  p.Card_Cat_index = intFromText(in.string("size index"));
  p.Card_Create_Mode = in.string("create mode");
  p.Card_BG_Image_Path = in.string("background picture path");
  p.Card_BG_Image_Layout = in.string("background picture layout");
  p.Card_Content_clr = in.color("content colour");
  p.Card_Content_font = in.font("content font");
  return p;
}

QString cellText(const PlistValue& value) {
  if (auto s = value.toString()) return *s;
  if (auto b = value.toBoolean()) return *b ? QStringLiteral("1") : QStringLiteral("0");
  if (auto i = value.toInteger()) return QString::number(*i);
  if (auto d = value.toReal()) return QString::number(*d, 'g', QLocale::FloatingPointShortest);
  throw ParseError(QStringLiteral("a spreadsheet cell is neither text nor a number"));
}

QList<DataSourceRow> readRows(const PlistArray& rows) {
  QList<DataSourceRow> out;
  out.reserve(static_cast<qsizetype>(rows.size()));
  for (const auto& row : rows) {
    const PlistDict* dict = row.dict();
    if (!dict) throw ParseError(QStringLiteral("a spreadsheet row is not a dictionary"));
    DataSourceRow r;
    for (qsizetype i = 0; i < dict->size(); ++i) r.insert(dict->keyAt(i), cellText(dict->valueAt(i)));
    out.append(std::move(r));
  }
  return out;
}

// Where each object's archive lies: its element and the part of the design it is.
using ArchivePlaces = std::vector<std::pair<qsizetype, QString>>;

// The objects of one side, their pictures measured by their headers and not
// yet decoded (GraphicArchiveMemo::decodePictures).
SKTGraphicList readGraphics(ElementReader& in, const char* side, GraphicArchiveMemo& memo, QString& place,
                            ArchivePlaces& places) {
  place = QStringLiteral("the %1 object count").arg(QLatin1String(side));
  const QString countText = in.string("object count");
  bool ok = false;
  const qlonglong count = countText.trimmed().toLongLong(&ok);
  const qlonglong lenient = ok ? count : intFromText(countText);
  if (lenient < 0) throw ParseError(QStringLiteral("negative %1 object count").arg(QLatin1String(side)));
  if (lenient > in.remaining())
    throw ParseError(QStringLiteral("%1 %2 objects announced, %3 elements follow")
                         .arg(lenient)
                         .arg(QLatin1String(side))
                         .arg(in.remaining()));
  SKTGraphicList graphics;
  graphics.reserve(static_cast<size_t>(lenient));
  for (qlonglong i = 0; i < lenient; ++i) {
    place = QStringLiteral("%1 object %2").arg(QLatin1String(side)).arg(i + 1);
    SKTGraphicPtr graphic;
    QString why;
    places.emplace_back(in.position(), place);
    const auto result = memo.read(in.data("object archive"), &graphic, &why);
    if (result != GraphicArchiveResult::Graphic || !graphic)
      throw ParseError(why.isEmpty() ? QStringLiteral("the archive holds no object") : why);
    // Only what the model itself keeps: the same limits as every command.
    if (const auto beyond = graphicBeyondLimits(*graphic)) throw ParseError(*beyond);
    graphics.push_back(std::move(graphic));
  }
  return graphics;
}

}  // namespace

std::optional<Design> parseDesignFile(const QByteArray& bytes, DesignFileFault* fault) {
  QString place;
  GraphicArchiveMemo memo;
  auto fail = [&](const QString& reason, qsizetype element = -1) -> std::optional<Design> {
    if (fault) {
      const auto kind = memo.pictures().exceeded() ? DesignFileFault::Kind::TooManyPictures
                                                   : DesignFileFault::Kind::Damaged;
      *fault = {element, reason, place, kind};
    }
    return std::nullopt;
  };
  QString plistError;
  const auto root = platform::parsePropertyList(bytes, &plistError, designFileLimits());
  if (!root)
    return fail(plistError.startsWith(QLatin1String("not a property list"))
                    ? plistError
                    : QStringLiteral("not a property list: %1").arg(plistError));
  const PlistArray* elements = root->array();
  if (!elements) return fail(QStringLiteral("the property list is not an array"));
  if (elements->empty() || elements->front().toString() != kMagic)
    return fail(QStringLiteral("the first element is not the design file mark"));
  ElementReader in(*elements);
  try {
    in.string("mark");
    Design design;
    place = QStringLiteral("the front page settings");
    design.front = readPageSettings(in);
    place = QStringLiteral("the back page settings");
    design.back = readPageSettings(in);
    place = QStringLiteral("the spreadsheet binding");
    design.excelBindingUse = flagFromText(in.string("spreadsheet binding flag"));
    design.excelSourcePath = in.string("spreadsheet path");
    place = QStringLiteral("the spreadsheet column titles");
    for (const auto& title : in.array("list of column titles")) {
      auto text = title.toString();
      if (!text) throw ParseError(QStringLiteral("a column title is not a string"));
      design.columnTitles.append(*text);
    }
    place = QStringLiteral("the spreadsheet rows");
    design.rows = readRows(in.array("list of spreadsheet rows"));
    ArchivePlaces places;
    design.frontGraphics = readGraphics(in, "front", memo, place, places);
    design.backGraphics = readGraphics(in, "back", memo, place, places);
    // Every picture fitted by its header; one that told no size may still not.
    if (std::size_t reading = 0; !memo.decodePictures(&reading)) {
      place = places.at(reading).second;
      throw ParseError(memo.pictures().refusal(), places.at(reading).first);
    }
    return design;
  } catch (const ParseError& e) {
    return fail(QString::fromUtf8(e.what()), e.element >= 0 ? e.element : in.position() - 1);
  } catch (const std::exception& e) {
    return fail(QString::fromUtf8(e.what()), in.position() - 1);
  }
}

QString faultText(const DesignFileFault& fault) {
  return fault.element < 0 ? fault.reason
                           : QStringLiteral("element %1: %2").arg(fault.element).arg(fault.reason);
}

std::optional<Design> parseDesignFile(const QByteArray& bytes, QString* why) {
  DesignFileFault fault;
  std::optional<Design> design = parseDesignFile(bytes, &fault);
  if (!design && why) *why = faultText(fault);
  return design;
}

}  // namespace designfile
