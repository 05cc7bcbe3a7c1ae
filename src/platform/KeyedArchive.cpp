#include "platform/KeyedArchive.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace platform {

struct KeyedArchiveData {
  PlistArray objects;
};

namespace {

const char* const kArchiver = "NSKeyedArchiver";
constexpr qint64 kArchiveVersion = 100000;

// Keys that begin with "$" are escaped with a second "$", so that no
// caller's key can stand in for "$class".
QString escapedKey(const QString& key) {
  return key.startsWith('$') ? "$" + key : key;
}

QStringList classesFor(const QString& className, const QStringList& given) {
  if (!given.isEmpty()) return given;
  static const std::vector<std::pair<QString, QStringList>> known = {
      {"NSColor", {"NSColor", "NSObject"}},
      {"NSFont", {"NSFont", "NSObject"}},
      {"NSImage", {"NSImage", "NSObject"}},
      {"NSArray", {"NSArray", "NSObject"}},
      {"NSMutableArray", {"NSMutableArray", "NSArray", "NSObject"}},
      {"NSDictionary", {"NSDictionary", "NSObject"}},
      {"NSMutableDictionary", {"NSMutableDictionary", "NSDictionary", "NSObject"}},
      {"NSAttributedString", {"NSAttributedString", "NSObject"}},
      {"NSMutableAttributedString", {"NSMutableAttributedString", "NSAttributedString", "NSObject"}},
      {"NSTextStorage", {"NSTextStorage", "NSMutableAttributedString", "NSAttributedString", "NSObject"}},
  };
  for (const auto& [name, classes] : known)
    if (name == className) return classes;
  return {className, "NSObject"};
}

// Shortest text that reads back as the same number.
template <typename T>
QString shortestNumber(T value) {
  if (!std::isfinite(value)) value = 0;
  if (value == 0) value = 0;  // no "-0"
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, value);
  return QString::fromLatin1(buf, res.ptr - buf);
}

// Reads numbers separated by braces, commas and blanks.
std::optional<std::vector<double>> numbersIn(const QString& text, size_t expected) {
  const QByteArray s = text.toLatin1();
  std::vector<double> out;
  const char* p = s.constData();
  const char* end = p + s.size();
  while (p < end) {
    const char c = *p;
    if (c == '{' || c == '}' || c == ',' || c == ' ' || c == '\t' || c == '\n') {
      ++p;
      continue;
    }
    if (*p == '+') ++p;
    double v = 0;
    auto res = std::from_chars(p, end, v);
    if (res.ec != std::errc() || !std::isfinite(v) || out.size() >= expected) return std::nullopt;
    out.push_back(v);
    p = res.ptr;
  }
  if (out.size() != expected) return std::nullopt;
  return out;
}

QByteArray colorBytes(const KeyedColor& c) {
  const QString text = shortestNumber(c.red) + ' ' + shortestNumber(c.green) + ' ' + shortestNumber(c.blue) +
                       ' ' + shortestNumber(c.alpha);
  QByteArray bytes = text.toLatin1();
  bytes.append('\0');
  return bytes;
}

std::optional<std::vector<float>> colorComponents(QByteArray bytes) {
  while (bytes.endsWith('\0')) bytes.chop(1);
  if (bytes.size() > 256) return std::nullopt;
  std::vector<float> out;
  const char* p = bytes.constData();
  const char* end = p + bytes.size();
  while (p < end) {
    if (*p == ' ' || *p == '\t' || *p == '\n') {
      ++p;
      continue;
    }
    float v = 0;
    auto res = std::from_chars(p, end, v);
    if (res.ec != std::errc() || !std::isfinite(v) || out.size() >= 4) return std::nullopt;
    out.push_back(v);
    p = res.ptr;
  }
  return out;
}

bool isArchivedObject(const PlistValue& v) {
  const PlistDict* d = v.dict();
  return d != nullptr && d->contains("$class");
}

// Every UID inside a value points into $objects.
bool uidsInRange(const PlistValue& v, quint64 count) {
  if (auto uid = v.toUid()) return *uid < count;
  if (const PlistArray* a = v.array()) {
    for (const PlistValue& item : *a)
      if (!uidsInRange(item, count)) return false;
  } else if (const PlistDict* d = v.dict()) {
    for (qsizetype i = 0; i < d->size(); ++i)
      if (!uidsInRange(d->valueAt(i), count)) return false;
  }
  return true;
}

bool isClassDict(const PlistValue& v) {
  const PlistDict* d = v.dict();
  if (d == nullptr || !d->string("$classname")) return false;
  if (const PlistValue* classes = d->value("$classes")) {
    const PlistArray* a = classes->array();
    if (a == nullptr) return false;
    for (const PlistValue& name : *a)
      if (!name.toString()) return false;
  }
  return true;
}

}  // namespace

// ---------------------------------------------------------------- geometry strings

QString keyedPointString(QPointF p) {
  return "{" + shortestNumber(p.x()) + ", " + shortestNumber(p.y()) + "}";
}

QString keyedSizeString(QSizeF s) {
  return "{" + shortestNumber(s.width()) + ", " + shortestNumber(s.height()) + "}";
}

QString keyedRectString(const QRectF& r) {
  return "{" + keyedPointString(r.topLeft()) + ", " + keyedSizeString(r.size()) + "}";
}

std::optional<QPointF> parseKeyedPoint(const QString& s) {
  auto n = numbersIn(s, 2);
  if (!n) return std::nullopt;
  return QPointF((*n)[0], (*n)[1]);
}

std::optional<QSizeF> parseKeyedSize(const QString& s) {
  auto n = numbersIn(s, 2);
  if (!n) return std::nullopt;
  return QSizeF((*n)[0], (*n)[1]);
}

std::optional<QRectF> parseKeyedRect(const QString& s) {
  auto n = numbersIn(s, 4);
  if (!n) return std::nullopt;
  return QRectF((*n)[0], (*n)[1], (*n)[2], (*n)[3]);
}

// ---------------------------------------------------------------- KeyedColor

KeyedColor KeyedColor::fromQColor(const QColor& c, int space) {
  const QColor rgb = c.toRgb();
  KeyedColor k;
  k.red = rgb.redF();
  k.green = rgb.greenF();
  k.blue = rgb.blueF();
  k.alpha = rgb.alphaF();
  k.colorSpace = space;
  return k;
}

QColor KeyedColor::toQColor() const {
  auto unit = [](float v) { return std::clamp(v, 0.0f, 1.0f); };
  return QColor::fromRgbF(unit(red), unit(green), unit(blue), unit(alpha));
}

// ---------------------------------------------------------------- writer

void KeyedObjectWriter::put(const QString& key, PlistValue value) {
  writer_.objectDict(index_).insert(escapedKey(key), std::move(value));
}

void KeyedObjectWriter::setInt(const QString& key, qint64 value) {
  put(key, PlistValue::integer(value));
}
void KeyedObjectWriter::setBool(const QString& key, bool value) {
  put(key, PlistValue::boolean(value));
}
void KeyedObjectWriter::setFloat(const QString& key, float value) {
  put(key, PlistValue::real(static_cast<double>(value)));
}
void KeyedObjectWriter::setDouble(const QString& key, double value) {
  put(key, PlistValue::real(value));
}
void KeyedObjectWriter::setPoint(const QString& key, QPointF value) {
  setString(key, keyedPointString(value));
}
void KeyedObjectWriter::setSize(const QString& key, QSizeF value) {
  setString(key, keyedSizeString(value));
}
void KeyedObjectWriter::setRect(const QString& key, const QRectF& value) {
  setString(key, keyedRectString(value));
}
void KeyedObjectWriter::setBytes(const QString& key, const QByteArray& value) {
  put(key, PlistValue::data(value));
}

void KeyedObjectWriter::setString(const QString& key, const QString& value) {
  setRef(key, writer_.string(value));
}
void KeyedObjectWriter::setData(const QString& key, const QByteArray& value) {
  setRef(key, writer_.data(value));
}
void KeyedObjectWriter::setColor(const QString& key, const KeyedColor& value) {
  setRef(key, writer_.color(value));
}
void KeyedObjectWriter::setFont(const QString& key, const KeyedFont& value) {
  setRef(key, writer_.font(value));
}
void KeyedObjectWriter::setAttributedString(const QString& key, const KeyedAttributedString& value,
                                            const QString& className) {
  setRef(key, writer_.attributedString(value, className));
}
void KeyedObjectWriter::setImage(const QString& key, const KeyedImage& value) {
  setRef(key, writer_.image(value));
}
void KeyedObjectWriter::setStringArray(const QString& key, const QStringList& values) {
  std::vector<KeyedRef> refs;
  for (const QString& s : values) refs.push_back(writer_.string(s));
  setRef(key, writer_.array(refs));
}
void KeyedObjectWriter::setNull(const QString& key) {
  setRef(key, KeyedRef{0});
}
void KeyedObjectWriter::setRef(const QString& key, KeyedRef ref) {
  put(key, PlistValue::uid(ref.uid));
}

KeyedObjectWriter& KeyedObjectWriter::setObject(const QString& key, const QString& className,
                                                const QStringList& classes) {
  KeyedObjectWriter& child = writer_.newObject(className, classes);
  setRef(key, child.ref());
  return child;
}

KeyedArchiveWriter::KeyedArchiveWriter() {
  objects_.push_back(PlistValue::string("$null"));
}

quint64 KeyedArchiveWriter::add(PlistValue value) {
  objects_.push_back(std::move(value));
  return objects_.size() - 1;
}

quint64 KeyedArchiveWriter::classRef(const QString& className, const QStringList& classes) {
  for (const auto& [name, index] : classes_)
    if (name == className) return index;
  PlistArray names;
  for (const QString& c : classesFor(className, classes)) names.push_back(PlistValue::string(c));
  PlistDict d;
  d.insert("$classes", PlistValue(std::move(names)));
  d.insert("$classname", PlistValue::string(className));
  const quint64 index = add(PlistValue(std::move(d)));
  classes_.emplace_back(className, index);
  return index;
}

KeyedObjectWriter& KeyedArchiveWriter::makeObject(const QString& className, const QStringList& classes) {
  // The object comes before its class in $objects, as the archiver lays them out.
  PlistDict d;
  d.insert("$class", PlistValue::uid(0));
  const quint64 index = add(PlistValue(std::move(d)));
  const quint64 cls = classRef(className, classes);
  objects_[index].dict()->insert("$class", PlistValue::uid(cls));
  writers_.push_back(std::unique_ptr<KeyedObjectWriter>(new KeyedObjectWriter(*this, index)));
  return *writers_.back();
}

PlistDict& KeyedArchiveWriter::objectDict(quint64 index) {
  return *objects_[index].dict();
}

KeyedObjectWriter& KeyedArchiveWriter::root(const QString& className, const QStringList& classes) {
  KeyedObjectWriter& o = makeObject(className, classes);
  root_ = o.ref().uid;
  return o;
}

KeyedObjectWriter& KeyedArchiveWriter::newObject(const QString& className, const QStringList& classes) {
  return makeObject(className, classes);
}

KeyedRef KeyedArchiveWriter::string(const QString& value) {
  if (value.isNull()) return null();
  return {add(PlistValue::string(value))};
}
KeyedRef KeyedArchiveWriter::data(const QByteArray& value) {
  return {add(PlistValue::data(value))};
}
KeyedRef KeyedArchiveWriter::integerNumber(qint64 value) {
  return {add(PlistValue::integer(value))};
}
KeyedRef KeyedArchiveWriter::realNumber(double value) {
  return {add(PlistValue::real(value))};
}
KeyedRef KeyedArchiveWriter::booleanNumber(bool value) {
  return {add(PlistValue::boolean(value))};
}

KeyedRef KeyedArchiveWriter::color(const KeyedColor& value) {
  KeyedObjectWriter& o = newObject("NSColor");
  o.setInt("NSColorSpace", value.colorSpace);
  o.setBytes("NSRGB", colorBytes(value));
  return o.ref();
}

KeyedRef KeyedArchiveWriter::font(const KeyedFont& value) {
  KeyedObjectWriter& o = newObject("NSFont");
  o.setString("NSName", value.name.isNull() ? QString("") : value.name);
  o.setDouble("NSSize", value.size);
  o.setInt("NSfFlags", value.flags);
  return o.ref();
}

KeyedRef KeyedArchiveWriter::attributedString(const KeyedAttributedString& value, const QString& className) {
  std::vector<std::pair<QString, KeyedRef>> attributes;
  if (value.font) attributes.emplace_back("NSFont", font(*value.font));
  if (value.color) attributes.emplace_back("NSColor", color(*value.color));
  KeyedObjectWriter& o = newObject(className);
  o.setString("NSString", value.text.isNull() ? QString("") : value.text);
  o.setRef("NSAttributes", dictionary(attributes));
  return o.ref();
}

KeyedRef KeyedArchiveWriter::image(const KeyedImage& value) {
  KeyedObjectWriter& o = newObject("NSImage");
  o.setSize("NSSize", value.size);
  o.setData("NSImageData", value.encoded);
  return o.ref();
}

KeyedRef KeyedArchiveWriter::array(const std::vector<KeyedRef>& items, const QString& className) {
  PlistArray uids;
  for (KeyedRef r : items) uids.push_back(PlistValue::uid(r.uid));
  KeyedObjectWriter& o = newObject(className);
  o.put("NS.objects", PlistValue(std::move(uids)));
  return o.ref();
}

KeyedRef KeyedArchiveWriter::dictionary(const std::vector<std::pair<QString, KeyedRef>>& items,
                                        const QString& className) {
  PlistArray keys, values;
  for (const auto& [key, ref] : items) {
    keys.push_back(PlistValue::uid(string(key.isNull() ? QString("") : key).uid));
    values.push_back(PlistValue::uid(ref.uid));
  }
  KeyedObjectWriter& o = newObject(className);
  o.put("NS.keys", PlistValue(std::move(keys)));
  o.put("NS.objects", PlistValue(std::move(values)));
  return o.ref();
}

PlistValue KeyedArchiveWriter::archive() const {
  PlistDict top;
  top.insert("root", PlistValue::uid(root_));
  PlistDict d;
  d.insert("$version", PlistValue::integer(kArchiveVersion));
  d.insert("$archiver", PlistValue::string(kArchiver));
  d.insert("$top", PlistValue(std::move(top)));
  d.insert("$objects", PlistValue(objects_));
  return PlistValue(std::move(d));
}

QByteArray KeyedArchiveWriter::finish() const {
  return toBinaryPropertyList(archive());
}
QByteArray KeyedArchiveWriter::finishXml() const {
  return toXmlPropertyList(archive());
}

QByteArray archivedDataWithRootColor(const KeyedColor& color) {
  KeyedArchiveWriter writer;
  writer.setRoot(writer.color(color));
  return writer.finish();
}

QByteArray archivedDataWithRootFont(const KeyedFont& font) {
  KeyedArchiveWriter writer;
  writer.setRoot(writer.font(font));
  return writer.finish();
}

// ---------------------------------------------------------------- reader

bool KeyedArchiveReader::load(const QByteArray& bytes, qsizetype byteLimit) {
  data_.reset();
  root_ = 0;
  error_.clear();
  auto fail = [this](const QString& why) {
    error_ = why;
    return false;
  };
  QString plistError;
  std::optional<PlistValue> value = parsePropertyList(bytes, &plistError, byteLimit);
  if (!value) return fail("not a keyed archive: " + plistError);
  PlistDict* top = value->dict();
  if (top == nullptr) return fail("not a keyed archive: the property list is not a dictionary");
  if (top->string("$archiver") != QString(kArchiver)) return fail("not a keyed archive: unknown archiver");
  if (top->integer("$version") != kArchiveVersion) return fail("keyed archive of an unknown version");
  PlistValue* objectsValue = top->value("$objects");
  PlistArray* objects = objectsValue != nullptr ? objectsValue->array() : nullptr;
  if (objects == nullptr || objects->empty() || objects->front().toString() != QString("$null"))
    return fail("keyed archive has no object table");
  const quint64 count = objects->size();
  const PlistDict* roots = top->dict("$top");
  const PlistValue* rootRef = roots != nullptr ? roots->value("root") : nullptr;
  std::optional<quint64> root = rootRef != nullptr ? rootRef->toUid() : std::nullopt;
  if (!root || *root == 0 || *root >= count) return fail("keyed archive has no root object");
  for (const PlistValue& entry : *objects) {
    if (!uidsInRange(entry, count)) return fail("keyed archive refers to a missing object");
    const PlistDict* d = entry.dict();
    if (d == nullptr) continue;
    if (d->contains("$classname")) {
      // A class description is no archived object: it has no "$class" of its own.
      if (!isClassDict(entry) || d->contains("$class"))
        return fail("keyed archive has a bad class description");
      continue;
    }
    const PlistValue* cls = d->value("$class");
    if (cls == nullptr) continue;
    std::optional<quint64> ci = cls->toUid();
    if (!ci || !isClassDict((*objects)[*ci])) return fail("keyed archive has an object without a class");
  }
  if (isClassDict((*objects)[*root])) return fail("keyed archive root is a class description");
  auto data = std::make_shared<KeyedArchiveData>();
  data->objects = std::move(*objects);
  data_ = std::move(data);
  root_ = *root;
  return true;
}

QString KeyedArchiveReader::rootClassName() const {
  return data_ ? root().className() : QString();
}

KeyedObject KeyedArchiveReader::root() const {
  if (!data_) return {};
  return KeyedObject(data_, root_, 0);
}

std::optional<KeyedObject> KeyedArchiveReader::object(quint64 index) const {
  if (!data_ || index >= data_->objects.size()) return std::nullopt;
  return KeyedObject(data_, index, 0);
}

// ---------------------------------------------------------------- KeyedObject

const PlistValue* KeyedObject::entry() const {
  if (!data_ || index_ >= data_->objects.size()) return nullptr;
  return &data_->objects[index_];
}

const PlistDict* KeyedObject::objectDict() const {
  const PlistValue* e = entry();
  if (e == nullptr || !isArchivedObject(*e)) return nullptr;
  return e->dict();
}

bool KeyedObject::isNull() const {
  return data_ != nullptr && index_ == 0;
}

QString KeyedObject::className() const {
  const PlistDict* d = objectDict();
  if (d == nullptr) return {};
  const quint64 ci = *d->value("$class")->toUid();  // checked on load
  return data_->objects[ci].dict()->string("$classname").value_or(QString());
}

QStringList KeyedObject::classes() const {
  const PlistDict* d = objectDict();
  if (d == nullptr) return {};
  const PlistDict* cls = data_->objects[*d->value("$class")->toUid()].dict();
  QStringList out;
  if (const PlistArray* a = cls->array("$classes"))
    for (const PlistValue& v : *a) out << v.toString().value_or(QString());
  if (out.isEmpty()) out << cls->string("$classname").value_or(QString());
  return out;
}

bool KeyedObject::isKindOf(const QString& className) const {
  return classes().contains(className);
}

const PlistValue* KeyedObject::raw(const QString& key) const {
  const PlistDict* d = objectDict();
  return d != nullptr ? d->value(escapedKey(key)) : nullptr;
}

bool KeyedObject::contains(const QString& key) const {
  return raw(key) != nullptr;
}

QStringList KeyedObject::keys() const {
  QStringList out;
  if (const PlistDict* d = objectDict())
    for (const QString& k : d->keys()) {
      if (k == "$class") continue;
      out << (k.startsWith("$$") ? k.mid(1) : k);
    }
  return out;
}

std::optional<KeyedObject> KeyedObject::follow(const PlistValue* value) const {
  if (value == nullptr) return std::nullopt;
  std::optional<quint64> uid = value->toUid();
  if (!uid || depth_ + 1 > kMaxKeyedArchiveDepth || *uid >= data_->objects.size()) return std::nullopt;
  return KeyedObject(data_, *uid, depth_ + 1);
}

std::optional<double> KeyedObject::number(const QString& key) const {
  const PlistValue* v = raw(key);
  if (v == nullptr) return std::nullopt;
  if (v->toUid()) {
    auto o = follow(v);
    return o ? o->toReal() : std::nullopt;
  }
  if (auto b = v->toBoolean()) return *b ? 1.0 : 0.0;
  return v->toReal();
}

std::optional<qint64> KeyedObject::getInt(const QString& key) const {
  const PlistValue* v = raw(key);
  if (v == nullptr) return std::nullopt;
  if (auto i = v->toInteger()) return i;
  if (v->toUid()) {
    auto o = follow(v);
    if (o) {
      if (auto i = o->toInteger()) return i;
    }
  }
  std::optional<double> d = number(key);
  if (!d || !std::isfinite(*d) || std::fabs(*d) >= 9.2e18) return std::nullopt;
  return static_cast<qint64>(*d);
}

std::optional<bool> KeyedObject::getBool(const QString& key) const {
  std::optional<double> d = number(key);
  if (!d) return std::nullopt;
  return *d != 0;
}

std::optional<double> KeyedObject::getDouble(const QString& key) const {
  return number(key);
}

std::optional<float> KeyedObject::getFloat(const QString& key) const {
  std::optional<double> d = number(key);
  if (!d) return std::nullopt;
  return static_cast<float>(*d);
}

std::optional<QPointF> KeyedObject::getPoint(const QString& key) const {
  auto s = getString(key);
  return s ? parseKeyedPoint(*s) : std::nullopt;
}
std::optional<QSizeF> KeyedObject::getSize(const QString& key) const {
  auto s = getString(key);
  return s ? parseKeyedSize(*s) : std::nullopt;
}
std::optional<QRectF> KeyedObject::getRect(const QString& key) const {
  auto s = getString(key);
  return s ? parseKeyedRect(*s) : std::nullopt;
}

std::optional<QByteArray> KeyedObject::getBytes(const QString& key) const {
  const PlistValue* v = raw(key);
  return v != nullptr ? v->toData() : std::nullopt;
}

std::optional<KeyedObject> KeyedObject::getObject(const QString& key) const {
  return follow(raw(key));
}

std::optional<QString> KeyedObject::getString(const QString& key) const {
  const PlistValue* v = raw(key);
  if (v == nullptr) return std::nullopt;
  if (auto s = v->toString()) return s;  // geometry strings are stored inline
  auto o = follow(v);
  if (!o || o->isNull()) return std::nullopt;
  return o->toString();
}

std::optional<QByteArray> KeyedObject::getData(const QString& key) const {
  const PlistValue* v = raw(key);
  if (v == nullptr) return std::nullopt;
  if (auto d = v->toData()) return d;
  auto o = follow(v);
  if (!o || o->isNull()) return std::nullopt;
  return o->toData();
}

std::optional<KeyedColor> KeyedObject::getColor(const QString& key) const {
  auto o = getObject(key);
  return o ? o->toColor() : std::nullopt;
}
std::optional<KeyedFont> KeyedObject::getFont(const QString& key) const {
  auto o = getObject(key);
  return o ? o->toFont() : std::nullopt;
}
std::optional<KeyedAttributedString> KeyedObject::getAttributedString(const QString& key) const {
  auto o = getObject(key);
  return o ? o->toAttributedString() : std::nullopt;
}
std::optional<KeyedImage> KeyedObject::getImage(const QString& key) const {
  auto o = getObject(key);
  return o ? o->toImage() : std::nullopt;
}

std::optional<QStringList> KeyedObject::getStringArray(const QString& key) const {
  auto o = getObject(key);
  if (!o) return std::nullopt;
  auto items = o->toArray();
  if (!items) return std::nullopt;
  QStringList out;
  for (const KeyedObject& item : *items) {
    auto s = item.toString();
    if (!s) return std::nullopt;
    out << *s;
  }
  return out;
}

std::optional<QString> KeyedObject::toString() const {
  const PlistValue* e = entry();
  if (e == nullptr || isNull()) return std::nullopt;
  if (auto s = e->toString()) return s;
  if (isKindOf("NSString")) return objectDict()->string("NS.string");
  return std::nullopt;
}

std::optional<QByteArray> KeyedObject::toData() const {
  const PlistValue* e = entry();
  if (e == nullptr || isNull()) return std::nullopt;
  if (auto d = e->toData()) return d;
  if (isKindOf("NSData")) return objectDict()->data("NS.data");
  return std::nullopt;
}

std::optional<qint64> KeyedObject::toInteger() const {
  const PlistValue* e = entry();
  if (e == nullptr) return std::nullopt;
  if (auto i = e->toInteger()) return i;
  if (auto b = e->toBoolean()) return *b ? 1 : 0;
  if (auto d = e->toReal(); d && std::isfinite(*d) && std::fabs(*d) < 9.2e18) return static_cast<qint64>(*d);
  return std::nullopt;
}

std::optional<double> KeyedObject::toReal() const {
  const PlistValue* e = entry();
  if (e == nullptr) return std::nullopt;
  if (auto b = e->toBoolean()) return *b ? 1.0 : 0.0;
  return e->toReal();
}

std::optional<bool> KeyedObject::toBool() const {
  auto d = toReal();
  if (!d) return std::nullopt;
  return *d != 0;
}

std::optional<std::vector<KeyedObject>> KeyedObject::toArray() const {
  if (!isKindOf("NSArray") && !isKindOf("NSSet") && !isKindOf("NSOrderedSet")) return std::nullopt;
  const PlistArray* items = objectDict()->array("NS.objects");
  if (items == nullptr) return std::nullopt;
  std::vector<KeyedObject> out;
  out.reserve(items->size());
  for (const PlistValue& v : *items) {
    auto o = follow(&v);
    if (!o) return std::nullopt;
    out.push_back(std::move(*o));
  }
  return out;
}

std::optional<std::vector<std::pair<QString, KeyedObject>>> KeyedObject::toDictionary() const {
  if (!isKindOf("NSDictionary")) return std::nullopt;
  const PlistArray* keys = objectDict()->array("NS.keys");
  const PlistArray* values = objectDict()->array("NS.objects");
  if (keys == nullptr || values == nullptr || keys->size() != values->size()) return std::nullopt;
  std::vector<std::pair<QString, KeyedObject>> out;
  out.reserve(keys->size());
  for (size_t i = 0; i < keys->size(); ++i) {
    auto k = follow(&(*keys)[i]);
    auto v = follow(&(*values)[i]);
    if (!k || !v) return std::nullopt;
    auto name = k->toString();
    if (!name) return std::nullopt;
    out.emplace_back(*name, std::move(*v));
  }
  return out;
}

std::optional<KeyedColor> KeyedObject::toColor() const {
  if (!isKindOf("NSColor")) return std::nullopt;
  const std::optional<qint64> space = getInt("NSColorSpace");
  if (!space) return std::nullopt;
  KeyedColor c;
  if (*space == 1 || *space == 2) {
    auto bytes = getBytes("NSRGB");
    if (!bytes) return std::nullopt;
    auto parts = colorComponents(*bytes);
    if (!parts || parts->size() < 3) return std::nullopt;
    c.red = (*parts)[0];
    c.green = (*parts)[1];
    c.blue = (*parts)[2];
    c.alpha = parts->size() == 4 ? (*parts)[3] : 1.0f;
    c.colorSpace = static_cast<int>(*space);
    return c;
  }
  if (*space == 3 || *space == 4) {
    auto bytes = getBytes("NSWhite");
    if (!bytes) return std::nullopt;
    auto parts = colorComponents(*bytes);
    if (!parts || parts->empty() || parts->size() > 2) return std::nullopt;
    c.red = c.green = c.blue = (*parts)[0];
    c.alpha = parts->size() == 2 ? (*parts)[1] : 1.0f;
    c.colorSpace = *space == 3 ? KeyedColor::CalibratedRGB : KeyedColor::DeviceRGB;
    return c;
  }
  return std::nullopt;
}

std::optional<KeyedFont> KeyedObject::toFont() const {
  if (!isKindOf("NSFont")) return std::nullopt;
  auto name = getString("NSName");
  if (!name) return std::nullopt;
  KeyedFont f;
  f.name = *name;
  f.size = getDouble("NSSize").value_or(12.0);
  if (!std::isfinite(f.size)) return std::nullopt;
  f.flags = static_cast<int>(getInt("NSfFlags").value_or(16));
  return f;
}

std::optional<KeyedAttributedString> KeyedObject::toAttributedString() const {
  if (!isKindOf("NSAttributedString")) return std::nullopt;
  auto text = getString("NSString");
  if (!text) return std::nullopt;
  KeyedAttributedString out;
  out.text = *text;
  std::optional<KeyedObject> attributes = getObject("NSAttributes");
  if (attributes && attributes->isKindOf("NSArray")) {
    auto runs = attributes->toArray();
    attributes = runs && !runs->empty() ? std::optional<KeyedObject>(runs->front()) : std::nullopt;
  }
  if (attributes) {
    if (auto items = attributes->toDictionary()) {
      for (const auto& [name, value] : *items) {
        if (name == "NSFont") out.font = value.toFont();
        if (name == "NSColor") out.color = value.toColor();
      }
    }
  }
  return out;
}

std::optional<KeyedImage> KeyedObject::toImage() const {
  if (!isKindOf("NSImage")) return std::nullopt;
  auto bytes = getData("NSImageData");
  if (!bytes) return std::nullopt;
  KeyedImage image;
  image.encoded = *bytes;
  image.size = getSize("NSSize").value_or(QSizeF());
  return image;
}

std::optional<KeyedColor> unarchivedRootColor(const QByteArray& data) {
  KeyedArchiveReader reader;
  if (!reader.load(data)) return std::nullopt;
  return reader.root().toColor();
}

std::optional<KeyedFont> unarchivedRootFont(const QByteArray& data) {
  KeyedArchiveReader reader;
  if (!reader.load(data)) return std::nullopt;
  return reader.root().toFont();
}

}  // namespace platform
