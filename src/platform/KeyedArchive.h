#pragma once
// Keyed archives: the NSKeyedArchiver format, a binary property list
//
//   { "$archiver": "NSKeyedArchiver", "$version": 100000,
//     "$top": { "root": UID }, "$objects": [ "$null", ... ] }
//
// Every archived object is a dictionary in $objects whose "$class" refers
// (by UID) to a class dictionary { "$classname": name, "$classes": [name,
// superclasses..., "NSObject"] }. Plain values are stored as the archiver
// stores them:
//   - integers, booleans, floats and doubles inline in the object;
//     a float is a 32-bit real, so it reads back exactly;
//   - points, sizes and rectangles as string objects "{x, y}", "{w, h}",
//     "{{x, y}, {w, h}}" (numbers with the fewest digits that read back
//     the same double); readers also take them inline;
//   - strings as plain string objects, data as plain data objects,
//     referred to by UID; a null string is the UID of "$null";
//   - arrays as NSArray objects (NS.objects), dictionaries as NSDictionary
//     objects (NS.keys, NS.objects);
//   - a colour as NSColor { NSColorSpace: 1 (calibrated RGB) or 2 (device
//     RGB), NSRGB: data "r g b a" in ASCII with a trailing NUL }; each
//     component is written with the fewest digits that give back the same
//     32-bit float. (NSColorSpace 3/4 with NSWhite "w a" is also read.)
//   - a font as NSFont { NSName: string, NSSize: real, NSfFlags: integer };
//   - an attributed text as NSAttributedString (or a subclass such as
//     NSTextStorage) { NSString: string, NSAttributes: NSDictionary with
//     "NSFont" and "NSColor" }; a reader also accepts an NSAttributes array
//     (one dictionary per run) and takes the first run's attributes;
//   - a picture as NSImage { NSSize: "{w, h}", NSImageData: data (the PNG
//     or TIFF bytes of the picture) }.
//
// Writing:
//   platform::KeyedArchiveWriter w;
//   auto& root = w.root("SKTText", {"SKTText", "SKTGraphic", "NSObject"});
//   root.setRect("_bounds", QRectF(10, 20, 100, 50));
//   root.setBool("ctrl_is_visible", true);
//   root.setFloat("alpha_val", 0.5f);
//   root.setColor("txt_clr", platform::KeyedColor::fromQColor(Qt::red));
//   root.setFont("text_ctrl_font", {"ArialMT", 12});
//   QByteArray bytes = w.finish();
//
// Reading (a missing key or a key of another type gives nullopt, so the
// caller decides the default):
//   platform::KeyedArchiveReader r;
//   if (!r.load(bytes)) { r.errorString() ... }
//   if (r.rootClassName() == "SKTText") {
//     platform::KeyedObject o = r.root();
//     bool visible = o.getBool("ctrl_is_visible").value_or(true);
//   }
//
// The reader checks the whole archive when loading: the property list
// limits, the header, every UID in range and every "$class" a class
// dictionary. Views (KeyedObject) share the loaded data, so they stay valid
// after the reader is gone. Following references deeper than
// kMaxKeyedArchiveDepth gives nullopt, so cyclic archives end cleanly.

#include <QByteArray>
#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/PropertyList.h"

namespace platform {

inline constexpr int kMaxKeyedArchiveDepth = 64;

struct KeyedColor {
  enum Space { CalibratedRGB = 1, DeviceRGB = 2 };
  float red = 0, green = 0, blue = 0, alpha = 1;
  int colorSpace = CalibratedRGB;

  static KeyedColor fromQColor(const QColor& c, int space = CalibratedRGB);
  QColor toQColor() const;
  bool operator==(const KeyedColor&) const = default;
};

struct KeyedFont {
  QString name;  // PostScript name, e.g. "TimesNewRomanPSMT"
  double size = 12;
  int flags = 16;  // NSfFlags, kept as read
  bool operator==(const KeyedFont&) const = default;
};

struct KeyedAttributedString {
  QString text;
  std::optional<KeyedFont> font;    // attribute "NSFont"
  std::optional<KeyedColor> color;  // attribute "NSColor"
  bool operator==(const KeyedAttributedString&) const = default;
};

struct KeyedImage {
  QByteArray encoded;  // PNG or TIFF bytes
  QSizeF size;         // size in points
  bool operator==(const KeyedImage&) const = default;
};

// A reference to an entry of $objects (0 is "$null").
struct KeyedRef {
  quint64 uid = 0;
};

// Geometry strings as the archive stores them.
QString keyedPointString(QPointF p);
QString keyedSizeString(QSizeF s);
QString keyedRectString(const QRectF& r);
std::optional<QPointF> parseKeyedPoint(const QString& s);
std::optional<QSizeF> parseKeyedSize(const QString& s);
std::optional<QRectF> parseKeyedRect(const QString& s);

class KeyedArchiveWriter;

// An object being written. Made by KeyedArchiveWriter, lives as long as it.
// Setting a key again replaces its value.
class KeyedObjectWriter {
 public:
  KeyedObjectWriter(const KeyedObjectWriter&) = delete;
  KeyedObjectWriter& operator=(const KeyedObjectWriter&) = delete;

  // Inline scalars (geometry as string objects).
  void setInt(const QString& key, qint64 value);
  void setBool(const QString& key, bool value);
  void setFloat(const QString& key, float value);
  void setDouble(const QString& key, double value);
  void setPoint(const QString& key, QPointF value);
  void setSize(const QString& key, QSizeF value);
  void setRect(const QString& key, const QRectF& value);
  void setBytes(const QString& key, const QByteArray& value);  // inline data

  // Objects in $objects, referred to by UID.
  void setString(const QString& key, const QString& value);  // null QString -> $null
  void setData(const QString& key, const QByteArray& value);
  void setColor(const QString& key, const KeyedColor& value);
  void setColor(const QString& key, const QColor& value) { setColor(key, KeyedColor::fromQColor(value)); }
  void setFont(const QString& key, const KeyedFont& value);
  void setAttributedString(const QString& key, const KeyedAttributedString& value,
                           const QString& className = "NSAttributedString");
  void setImage(const QString& key, const KeyedImage& value);
  void setStringArray(const QString& key, const QStringList& values);
  void setNull(const QString& key);
  void setRef(const QString& key, KeyedRef ref);
  // A new child object stored under the key.
  KeyedObjectWriter& setObject(const QString& key, const QString& className, const QStringList& classes = {});

  KeyedRef ref() const { return {index_}; }

 private:
  friend class KeyedArchiveWriter;
  KeyedObjectWriter(KeyedArchiveWriter& writer, quint64 index) : writer_(writer), index_(index) {}
  void put(const QString& key, PlistValue value);
  KeyedArchiveWriter& writer_;
  quint64 index_;
};

class KeyedArchiveWriter {
 public:
  KeyedArchiveWriter();
  KeyedArchiveWriter(const KeyedArchiveWriter&) = delete;
  KeyedArchiveWriter& operator=(const KeyedArchiveWriter&) = delete;

  // The root object. `classes` is the class and its superclasses; when empty
  // it is {className, "NSObject"}. Call once.
  KeyedObjectWriter& root(const QString& className, const QStringList& classes = {});
  // Another object, to be referred to with setRef or setObject.
  KeyedObjectWriter& newObject(const QString& className, const QStringList& classes = {});

  // Values stored as entries of $objects.
  KeyedRef null() const { return {0}; }
  KeyedRef string(const QString& value);  // null QString -> $null
  KeyedRef data(const QByteArray& value);
  KeyedRef integerNumber(qint64 value);
  KeyedRef realNumber(double value);
  KeyedRef booleanNumber(bool value);
  KeyedRef color(const KeyedColor& value);
  KeyedRef font(const KeyedFont& value);
  KeyedRef attributedString(const KeyedAttributedString& value,
                            const QString& className = "NSAttributedString");
  KeyedRef image(const KeyedImage& value);
  KeyedRef array(const std::vector<KeyedRef>& items, const QString& className = "NSArray");
  KeyedRef dictionary(const std::vector<std::pair<QString, KeyedRef>>& items,
                      const QString& className = "NSDictionary");

  // Makes an object stored with one of the calls above the root.
  void setRoot(KeyedRef ref) { root_ = ref.uid; }

  // The archive as a binary property list.
  QByteArray finish() const;
  // The same archive as an XML property list (for reading by eye).
  QByteArray finishXml() const;

 private:
  friend class KeyedObjectWriter;
  PlistValue archive() const;
  quint64 add(PlistValue value);
  quint64 classRef(const QString& className, const QStringList& classes);
  KeyedObjectWriter& makeObject(const QString& className, const QStringList& classes);
  PlistDict& objectDict(quint64 index);

  PlistArray objects_;
  std::vector<std::pair<QString, quint64>> classes_;
  std::vector<std::unique_ptr<KeyedObjectWriter>> writers_;
  quint64 root_ = 0;
};

struct KeyedArchiveData;

// A read-only view of one entry of $objects.
class KeyedObject {
 public:
  KeyedObject() = default;
  bool isValid() const { return data_ != nullptr; }
  bool isNull() const;  // the "$null" entry
  // Class of an archived object; empty for plain strings, numbers and data.
  QString className() const;
  QStringList classes() const;
  bool isKindOf(const QString& className) const;
  bool contains(const QString& key) const;
  QStringList keys() const;  // keys of an archived object, without "$class"

  // Inline values under a key. Numbers convert between integer, real and
  // boolean; a number stored as an object (UID) is followed too.
  std::optional<qint64> getInt(const QString& key) const;
  std::optional<bool> getBool(const QString& key) const;
  std::optional<float> getFloat(const QString& key) const;
  std::optional<double> getDouble(const QString& key) const;
  std::optional<QPointF> getPoint(const QString& key) const;
  std::optional<QSizeF> getSize(const QString& key) const;
  std::optional<QRectF> getRect(const QString& key) const;
  std::optional<QByteArray> getBytes(const QString& key) const;

  // Objects under a key ($null gives nullopt, except for getObject).
  std::optional<KeyedObject> getObject(const QString& key) const;
  std::optional<QString> getString(const QString& key) const;
  std::optional<QByteArray> getData(const QString& key) const;
  std::optional<KeyedColor> getColor(const QString& key) const;
  std::optional<KeyedFont> getFont(const QString& key) const;
  std::optional<KeyedAttributedString> getAttributedString(const QString& key) const;
  std::optional<KeyedImage> getImage(const QString& key) const;
  std::optional<QStringList> getStringArray(const QString& key) const;

  // This entry as a value.
  std::optional<QString> toString() const;   // plain string, or NSString "NS.string"
  std::optional<QByteArray> toData() const;  // plain data, or NSData "NS.data"
  std::optional<qint64> toInteger() const;
  std::optional<double> toReal() const;
  std::optional<bool> toBool() const;
  std::optional<std::vector<KeyedObject>> toArray() const;                           // NSArray / NSSet family
  std::optional<std::vector<std::pair<QString, KeyedObject>>> toDictionary() const;  // string keys only
  std::optional<KeyedColor> toColor() const;
  std::optional<KeyedFont> toFont() const;
  std::optional<KeyedAttributedString> toAttributedString() const;
  std::optional<KeyedImage> toImage() const;

 private:
  friend class KeyedArchiveReader;
  KeyedObject(std::shared_ptr<const KeyedArchiveData> data, quint64 index, int depth)
      : data_(std::move(data)), index_(index), depth_(depth) {}
  const PlistValue* entry() const;
  const PlistDict* objectDict() const;
  const PlistValue* raw(const QString& key) const;
  std::optional<KeyedObject> follow(const PlistValue* value) const;
  std::optional<double> number(const QString& key) const;

  std::shared_ptr<const KeyedArchiveData> data_;
  quint64 index_ = 0;
  int depth_ = 0;
};

class KeyedArchiveReader {
 public:
  // Loads and checks an archive; false (with errorString()) for anything
  // that is not a sound keyed archive within the limits.
  bool load(const QByteArray& bytes, qsizetype byteLimit = kDefaultPlistByteLimit);
  QString errorString() const { return error_; }
  bool isLoaded() const { return data_ != nullptr; }

  QString rootClassName() const;
  KeyedObject root() const;
  // Any entry of $objects by index (for tests and tools).
  std::optional<KeyedObject> object(quint64 index) const;

 private:
  std::shared_ptr<const KeyedArchiveData> data_;
  quint64 root_ = 0;
  QString error_;
};

// Archives whose root is one colour or one font, laid out as the colours and
// fonts inside other archives. The readers give nullopt for anything but a
// sound archive whose root is an NSColor (NSFont).
QByteArray archivedDataWithRootColor(const KeyedColor& color);
QByteArray archivedDataWithRootFont(const KeyedFont& font);
std::optional<KeyedColor> unarchivedRootColor(const QByteArray& data);
std::optional<KeyedFont> unarchivedRootFont(const QByteArray& data);

}  // namespace platform
