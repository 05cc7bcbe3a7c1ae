#pragma once
// Property lists: a small value model and the readers and writers for the
// XML and binary forms. This is the only place in the program that talks to
// libplist; everything above works with PlistValue.
//
//   platform::PlistDict d;
//   d.insert("Name", platform::PlistValue::string("Card"));
//   d.insert("Count", platform::PlistValue::integer(3));
//   QByteArray xml = platform::toXmlPropertyList(platform::PlistValue(std::move(d)));
//
//   QString error;
//   std::optional<platform::PlistValue> v = platform::parsePropertyList(bytes, &error);
//   if (!v) ...;                       // garbage, too large or too deep: never a crash
//   if (auto* dict = v->dict())
//     std::optional<qint64> n = dict->integer("Count");
//
// Dictionaries keep the order in which keys were inserted; that is the order
// the writers put them on disk.

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

namespace platform {

class PlistValue;

// A key reference of the keyed archive ("CF$UID" in the XML form).
struct PlistUid {
  quint64 value = 0;
  bool operator==(const PlistUid&) const = default;
};

using PlistArray = std::vector<PlistValue>;

// An ordered dictionary with string keys.
class PlistDict {
 public:
  // Sets the value of a key: replaces it in place when the key exists,
  // appends it otherwise.
  void insert(const QString& key, PlistValue value);
  bool remove(const QString& key);
  bool contains(const QString& key) const { return indexOf(key) >= 0; }
  // The value of a key, or null when it is missing.
  const PlistValue* value(const QString& key) const;
  PlistValue* value(const QString& key);

  // Typed look-ups: nullopt when the key is missing or holds another type.
  std::optional<QString> string(const QString& key) const;
  std::optional<qint64> integer(const QString& key) const;
  std::optional<double> real(const QString& key) const;  // a real, or an integer widened
  std::optional<bool> boolean(const QString& key) const;
  std::optional<QByteArray> data(const QString& key) const;
  const PlistArray* array(const QString& key) const;
  const PlistDict* dict(const QString& key) const;

  qsizetype size() const { return static_cast<qsizetype>(keys_.size()); }
  bool isEmpty() const { return keys_.empty(); }
  const QString& keyAt(qsizetype i) const { return keys_[static_cast<size_t>(i)]; }
  const PlistValue& valueAt(qsizetype i) const;
  PlistValue& valueAt(qsizetype i);
  const std::vector<QString>& keys() const { return keys_; }

  bool operator==(const PlistDict& other) const;

 private:
  qsizetype indexOf(const QString& key) const;
  void rebuildIndex();
  std::vector<QString> keys_;
  std::vector<PlistValue> values_;
  // Key positions, kept once the dictionary is large enough to need them.
  QHash<QString, qsizetype> index_;
};

class PlistValue {
 public:
  enum class Type { Null, String, Integer, Real, Boolean, Data, Date, Array, Dictionary, Uid };

  PlistValue() = default;  // Null: never written; only a placeholder
  PlistValue(PlistArray array) : v_(std::move(array)) {}
  PlistValue(PlistDict dict) : v_(std::move(dict)) {}

  static PlistValue string(const QString& s) { return PlistValue(Storage(s)); }
  static PlistValue integer(qint64 i) { return PlistValue(Storage(i)); }
  static PlistValue real(double d) { return PlistValue(Storage(d)); }
  static PlistValue boolean(bool b) { return PlistValue(Storage(b)); }
  static PlistValue data(const QByteArray& bytes) { return PlistValue(Storage(bytes)); }
  static PlistValue date(const QDateTime& when) { return PlistValue(Storage(when)); }
  static PlistValue uid(quint64 index) { return PlistValue(Storage(PlistUid{index})); }

  Type type() const { return static_cast<Type>(v_.index()); }
  bool isNull() const { return type() == Type::Null; }

  // Strict typed access: nullopt (or null) for any other type.
  std::optional<QString> toString() const;
  std::optional<qint64> toInteger() const;
  std::optional<double> toReal() const;  // a real, or an integer widened
  std::optional<bool> toBoolean() const;
  std::optional<QByteArray> toData() const;
  std::optional<QDateTime> toDate() const;
  std::optional<quint64> toUid() const;
  const PlistArray* array() const { return std::get_if<PlistArray>(&v_); }
  PlistArray* array() { return std::get_if<PlistArray>(&v_); }
  const PlistDict* dict() const { return std::get_if<PlistDict>(&v_); }
  PlistDict* dict() { return std::get_if<PlistDict>(&v_); }

  bool operator==(const PlistValue& other) const { return v_ == other.v_; }

 private:
  using Storage = std::variant<std::monostate, QString, qint64, double, bool, QByteArray, QDateTime,
                               PlistArray, PlistDict, PlistUid>;
  explicit PlistValue(Storage v) : v_(std::move(v)) {}
  Storage v_;
};

// Readers refuse inputs larger than this unless given another cap.
inline constexpr qsizetype kDefaultPlistByteLimit = 256 * 1024 * 1024;
// Nesting deeper than this (arrays and dictionaries) is refused.
inline constexpr int kMaxPlistDepth = 256;
// Values (dictionary keys included) a list may hold once every shared object
// of the binary form is copied out. Checked on the bytes before the library
// builds its tree, so that neither form can grow into gigabytes.
inline constexpr qint64 kMaxPlistNodes = 2'000'000;

// What a reader accepts. Both forms are held to the same limits, checked
// before anything is built.
struct PlistLimits {
  qsizetype bytes = kDefaultPlistByteLimit;
  qint64 nodes = kMaxPlistNodes;
  int depth = kMaxPlistDepth;
};

// Reads a property list in the XML or the binary form. Returns nullopt with a
// reason in *error for anything that is not a well-formed list within the
// limits. Reading takes time linear in the size of the input.
std::optional<PlistValue> parsePropertyList(const QByteArray& bytes, QString* error,
                                            const PlistLimits& limits);
std::optional<PlistValue> parsePropertyList(const QByteArray& bytes, QString* error = nullptr,
                                            qsizetype byteLimit = kDefaultPlistByteLimit);

// The checks of the readers above, made before they build anything: whether
// a list keeps to the limits (a writer refuses what could not be read back).
bool propertyListWithinLimits(const QByteArray& bytes, const PlistLimits& limits, QString* error = nullptr);

// The share of one element of a list's root array: its bytes (with the
// blanks before the next element) and the values it holds.
struct PlistPart {
  qsizetype bytes = 0;
  qint64 values = 0;
};
// The parts of the elements of an XML list's root array or dictionary (a
// key and its value are two), in order; what makes a list large.
std::vector<PlistPart> xmlRootArrayParts(const QByteArray& bytes);

// Writers. A Null value anywhere is written as an empty string. The XML
// form leaves out the control characters XML 1.0 cannot hold (all below
// U+0020 except tab, line feed and carriage return); the binary form keeps
// every character except NUL (left out, the rest of the text stays). Returns an
// empty array only if libplist fails to produce output.
QByteArray toXmlPropertyList(const PlistValue& value);
QByteArray toBinaryPropertyList(const PlistValue& value);

}  // namespace platform
