#include "platform/PropertyList.h"

#include <plist/plist.h>

#include <QTimeZone>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

#include "platform/BinaryPropertyListWriter.h"

namespace platform {

// ---------------------------------------------------------------- PlistDict

namespace {
constexpr size_t kIndexedDictSize = 16;
}

qsizetype PlistDict::indexOf(const QString& key) const {
  if (keys_.size() > kIndexedDictSize) return index_.value(key, -1);
  for (size_t i = 0; i < keys_.size(); ++i)
    if (keys_[i] == key) return static_cast<qsizetype>(i);
  return -1;
}

void PlistDict::rebuildIndex() {
  index_.clear();
  if (keys_.size() <= kIndexedDictSize) return;
  for (size_t i = 0; i < keys_.size(); ++i) index_.insert(keys_[i], static_cast<qsizetype>(i));
}

void PlistDict::insert(const QString& key, PlistValue value) {
  const qsizetype i = indexOf(key);
  if (i >= 0) {
    values_[static_cast<size_t>(i)] = std::move(value);
    return;
  }
  keys_.push_back(key);
  values_.push_back(std::move(value));
  if (keys_.size() == kIndexedDictSize + 1)
    rebuildIndex();
  else if (keys_.size() > kIndexedDictSize)
    index_.insert(key, static_cast<qsizetype>(keys_.size() - 1));
}

bool PlistDict::remove(const QString& key) {
  const qsizetype i = indexOf(key);
  if (i < 0) return false;
  keys_.erase(keys_.begin() + i);
  values_.erase(values_.begin() + i);
  rebuildIndex();
  return true;
}

const PlistValue* PlistDict::value(const QString& key) const {
  const qsizetype i = indexOf(key);
  return i < 0 ? nullptr : &values_[static_cast<size_t>(i)];
}

PlistValue* PlistDict::value(const QString& key) {
  const qsizetype i = indexOf(key);
  return i < 0 ? nullptr : &values_[static_cast<size_t>(i)];
}

const PlistValue& PlistDict::valueAt(qsizetype i) const {
  return values_[static_cast<size_t>(i)];
}
PlistValue& PlistDict::valueAt(qsizetype i) {
  return values_[static_cast<size_t>(i)];
}

std::optional<QString> PlistDict::string(const QString& key) const {
  const PlistValue* v = value(key);
  return v ? v->toString() : std::nullopt;
}
std::optional<qint64> PlistDict::integer(const QString& key) const {
  const PlistValue* v = value(key);
  return v ? v->toInteger() : std::nullopt;
}
std::optional<double> PlistDict::real(const QString& key) const {
  const PlistValue* v = value(key);
  return v ? v->toReal() : std::nullopt;
}
std::optional<bool> PlistDict::boolean(const QString& key) const {
  const PlistValue* v = value(key);
  return v ? v->toBoolean() : std::nullopt;
}
std::optional<QByteArray> PlistDict::data(const QString& key) const {
  const PlistValue* v = value(key);
  return v ? v->toData() : std::nullopt;
}
const PlistArray* PlistDict::array(const QString& key) const {
  const PlistValue* v = value(key);
  return v ? v->array() : nullptr;
}
const PlistDict* PlistDict::dict(const QString& key) const {
  const PlistValue* v = value(key);
  return v ? v->dict() : nullptr;
}

bool PlistDict::operator==(const PlistDict& other) const {
  return keys_ == other.keys_ && values_ == other.values_;
}

// ---------------------------------------------------------------- PlistValue

std::optional<QString> PlistValue::toString() const {
  if (auto* p = std::get_if<QString>(&v_)) return *p;
  return std::nullopt;
}
std::optional<qint64> PlistValue::toInteger() const {
  if (auto* p = std::get_if<qint64>(&v_)) return *p;
  return std::nullopt;
}
std::optional<double> PlistValue::toReal() const {
  if (auto* p = std::get_if<double>(&v_)) return *p;
  if (auto* p = std::get_if<qint64>(&v_)) return static_cast<double>(*p);
  return std::nullopt;
}
std::optional<bool> PlistValue::toBoolean() const {
  if (auto* p = std::get_if<bool>(&v_)) return *p;
  return std::nullopt;
}
std::optional<QByteArray> PlistValue::toData() const {
  if (auto* p = std::get_if<QByteArray>(&v_)) return *p;
  return std::nullopt;
}
std::optional<QDateTime> PlistValue::toDate() const {
  if (auto* p = std::get_if<QDateTime>(&v_)) return *p;
  return std::nullopt;
}
std::optional<quint64> PlistValue::toUid() const {
  if (auto* p = std::get_if<PlistUid>(&v_)) return p->value;
  return std::nullopt;
}

// ---------------------------------------------------------------- libplist glue

namespace {

struct PlistFree {
  void operator()(plist_t p) const {
    if (p != nullptr) plist_free(p);
  }
};
using PlistPtr = std::unique_ptr<void, PlistFree>;

const QDateTime& referenceDate() {
  static const QDateTime epoch(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());
  return epoch;
}

void setError(QString* error, const QString& text) {
  if (error != nullptr) *error = text;
}

// Reads a big-endian unsigned integer of 1..8 bytes.
bool readBigEndian(const QByteArray& b, qint64 at, int size, quint64* out) {
  if (at < 0 || size < 1 || size > 8 || at + size > b.size()) return false;
  quint64 v = 0;
  for (int i = 0; i < size; ++i) v = (v << 8) | static_cast<uchar>(b[at + i]);
  *out = v;
  return true;
}

// Checks the object graph of a binary list before libplist expands it: every
// offset and reference in range, no cycle, a bounded depth and a bounded
// number of nodes once shared objects are copied out.
class BinaryShapeCheck {
 public:
  BinaryShapeCheck(const QByteArray& b, const PlistLimits& limits) : b_(b), limits_(limits) {}

  bool run(QString* error) {
    const qint64 n = b_.size();
    if (n < 8 + 32) return fail(error, "binary property list is truncated");
    const qint64 t = n - 32;
    offsetSize_ = static_cast<uchar>(b_[t + 6]);
    refSize_ = static_cast<uchar>(b_[t + 7]);
    quint64 count = 0, top = 0, table = 0;
    readBigEndian(b_, t + 8, 8, &count);
    readBigEndian(b_, t + 16, 8, &top);
    readBigEndian(b_, t + 24, 8, &table);
    if (offsetSize_ < 1 || offsetSize_ > 8 || refSize_ < 1 || refSize_ > 8)
      return fail(error, "binary property list has a bad trailer");
    if (count == 0 || count > static_cast<quint64>(n) || top >= count || table < 8 ||
        table > static_cast<quint64>(t) || count * offsetSize_ > static_cast<quint64>(t) - table)
      return fail(error, "binary property list has a bad offset table");
    count_ = count;
    table_ = static_cast<qint64>(table);
    return walk(top, error);
  }

 private:
  bool fail(QString* error, const QString& why) {
    setError(error, why);
    return false;
  }

  bool offsetOf(quint64 index, qint64* at) {
    quint64 off = 0;
    if (index >= count_ ||
        !readBigEndian(b_, table_ + static_cast<qint64>(index) * offsetSize_, offsetSize_, &off))
      return false;
    if (off < 8 || off >= static_cast<quint64>(table_)) return false;
    *at = static_cast<qint64>(off);
    return true;
  }

  // The count that follows a marker at `at` (in its low four bits, or as an
  // integer object after it when they are all set); *p moves past it.
  bool markerCount(qint64 at, quint64* count, qint64* p) {
    *count = static_cast<uchar>(b_[at]) & 0x0F;
    *p = at + 1;
    if (*count != 0x0F) return true;
    if (*p >= table_) return false;
    const uchar intMarker = static_cast<uchar>(b_[*p]);
    if ((intMarker >> 4) != 0x1 || (intMarker & 0x0F) > 3) return false;
    const int size = 1 << (intMarker & 0x0F);
    if (!readBigEndian(b_, *p + 1, size, count)) return false;
    *p += 1 + size;
    return true;
  }

  // The references an object holds (empty for scalars), whether it is an
  // array, set or dictionary, and the bytes of text or data it holds itself
  // (as UTF-8 for texts); false when malformed.
  bool children(quint64 index, std::vector<quint64>* refs, bool* container, qint64* payload) {
    refs->clear();
    *container = false;
    *payload = 0;
    qint64 at = 0;
    if (!offsetOf(index, &at)) return false;
    const int kind = static_cast<uchar>(b_[at]) >> 4;
    quint64 items = 0;
    qint64 p = 0;
    if (kind == 0x4 || kind == 0x5 || kind == 0x6) {  // data, ASCII and UTF-16 text
      if (!markerCount(at, &items, &p) || items > static_cast<quint64>(table_)) return false;
      *payload = static_cast<qint64>(items) * (kind == 0x6 ? 3 : 1);
      return true;
    }
    if (kind != 0xA && kind != 0xC && kind != 0xD) return true;  // other scalars: libplist bounds-checks them
    *container = true;
    if (!markerCount(at, &items, &p)) return false;
    const quint64 refCount = kind == 0xD ? items * 2 : items;
    if (items > static_cast<quint64>(b_.size()) || p + static_cast<qint64>(refCount) * refSize_ > table_)
      return false;
    refs->reserve(refCount);
    for (quint64 i = 0; i < refCount; ++i) {
      quint64 r = 0;
      readBigEndian(b_, p + static_cast<qint64>(i) * refSize_, refSize_, &r);
      if (r >= count_) return false;
      if (kind == 0xD && i < items && !isPlainKey(r)) return false;
      refs->push_back(r);
    }
    return true;
  }

  // Dictionary keys must be strings without NUL characters (libplist
  // cannot represent them and stops the program on one).
  bool isPlainKey(quint64 index) {
    qint64 at = 0;
    if (!offsetOf(index, &at)) return false;
    const int kind = static_cast<uchar>(b_[at]) >> 4;
    if (kind != 0x5 && kind != 0x6) return false;
    quint64 length = 0;
    qint64 p = 0;
    if (!markerCount(at, &length, &p)) return false;
    const int unit = kind == 0x6 ? 2 : 1;
    if (length > static_cast<quint64>(table_) || p + static_cast<qint64>(length) * unit > table_)
      return false;
    for (quint64 i = 0; i < length; ++i) {
      const qint64 c = p + static_cast<qint64>(i) * unit;
      if (b_[c] == 0 && (unit == 1 || b_[c + 1] == 0)) return false;
    }
    return true;
  }

  bool walk(quint64 top, QString* error) {
    enum : uchar { Unseen, Open, Done };
    std::vector<uchar> state(count_, Unseen);
    std::vector<qint64> nodes(count_, 0);
    std::vector<qint64> bytes(count_, 0);
    std::vector<int> depth(count_, 0);
    struct Frame {
      quint64 index;
      std::vector<quint64> refs;
      size_t next = 0;
      bool container = false;
      qint64 payload = 0;
    };
    std::vector<Frame> stack;
    auto open = [&](quint64 index) {
      Frame f{index, {}, 0, false, 0};
      if (!children(index, &f.refs, &f.container, &f.payload)) return false;
      state[index] = Open;
      stack.push_back(std::move(f));
      return true;
    };
    if (!open(top)) return fail(error, "binary property list has a bad object");
    while (!stack.empty()) {
      Frame& f = stack.back();
      if (f.next < f.refs.size()) {
        const quint64 child = f.refs[f.next++];
        if (state[child] == Open) return fail(error, "binary property list refers to itself");
        if (state[child] == Unseen) {
          if (static_cast<int>(stack.size()) > limits_.depth)
            return fail(error, "property list is nested too deeply");
          if (!open(child)) return fail(error, "binary property list has a bad object");
        }
        continue;
      }
      // Every reference becomes a copy of what it refers to: the counts are
      // those of the list once copied out.
      qint64 total = 1;
      qint64 held = f.payload;
      int deepest = 0;
      for (quint64 r : f.refs) {
        total += nodes[r];
        held += bytes[r];
        deepest = std::max(deepest, depth[r]);
        if (total > limits_.nodes) return fail(error, "property list expands to too many values");
        if (held > limits_.bytes) return fail(error, "property list expands to too much data");
      }
      if (held > limits_.bytes) return fail(error, "property list expands to too much data");
      nodes[f.index] = total;
      bytes[f.index] = held;
      depth[f.index] = deepest + (f.container ? 1 : 0);  // nesting of containers, as in the XML form
      if (depth[f.index] > limits_.depth) return fail(error, "property list is nested too deeply");
      state[f.index] = Done;
      stack.pop_back();
    }
    return true;
  }

  const QByteArray& b_;
  const PlistLimits& limits_;
  int offsetSize_ = 0;
  int refSize_ = 0;
  quint64 count_ = 0;
  qint64 table_ = 0;
};

// Counts the values of an XML list and the nesting of its arrays and
// dictionaries by a plain scan of its tags, before the library builds
// anything: every start tag but the outer "plist" is one value, as the
// library makes one node of it. Comments, character data sections,
// declarations and quoted attribute values are skipped whole, so that
// nothing can hide a tag from the count. With `marks`, the scan also notes
// where each element of the root array begins (and where the root ends),
// with the values counted before it.
class XmlShapeCheck {
 public:
  using Mark = std::pair<qsizetype, qint64>;  // offset, values before it
  XmlShapeCheck(const QByteArray& b, const PlistLimits& limits, std::vector<Mark>* marks = nullptr)
      : b_(b), limits_(limits), marks_(marks) {}

  bool run(QString* error) {
    const char* s = b_.constData();
    const qsizetype n = b_.size();
    qint64 nodes = 0;
    int depth = 0;
    for (qsizetype i = 0; i < n;) {
      const void* open = std::memchr(s + i, '<', static_cast<size_t>(n - i));
      if (open == nullptr) break;
      i = static_cast<const char*>(open) - s;
      if (startsWith(i, "<!--")) {
        i = skipPast(i + 4, "-->");
      } else if (startsWith(i, "<![CDATA[")) {
        i = skipPast(i + 9, "]]>");
      } else if (startsWith(i, "<?")) {
        i = skipPast(i + 2, "?>");
      } else if (startsWith(i, "<!")) {
        i = skipPast(i + 2, ">");
      } else if (startsWith(i, "</")) {
        if (isContainer(i + 2) && --depth == 0 && marks_) marks_->emplace_back(i, nodes);
        i = skipPast(i + 2, ">");
      } else {
        const bool container = isContainer(i + 1);
        const bool counted = !isName(i + 1, "plist");
        if (counted && depth == 1 && marks_) marks_->emplace_back(i, nodes);
        bool selfClosing = false;
        i = tagEnd(i + 1, &selfClosing);
        if (counted && ++nodes > limits_.nodes) {
          setError(error, "property list expands to too many values");
          return false;
        }
        if (container && !selfClosing && ++depth > limits_.depth) {
          setError(error, "property list is nested too deeply");
          return false;
        }
      }
    }
    return true;
  }

 private:
  bool startsWith(qsizetype at, const char* word) const {
    const auto len = static_cast<qsizetype>(std::strlen(word));
    return at + len <= b_.size() && std::memcmp(b_.constData() + at, word, static_cast<size_t>(len)) == 0;
  }
  // The tag name at `at` is exactly `word`.
  bool isName(qsizetype at, const char* word) const {
    if (!startsWith(at, word)) return false;
    const qsizetype after = at + static_cast<qsizetype>(std::strlen(word));
    if (after >= b_.size()) return true;
    const char c = b_[after];
    return c == '>' || c == '/' || c == ' ' || c == '\t' || c == '\n' || c == '\r';
  }
  bool isContainer(qsizetype at) const { return isName(at, "array") || isName(at, "dict"); }
  // The position after the first `end` from `at` on (the end of the input when there is none).
  qsizetype skipPast(qsizetype at, const char* end) const {
    const qsizetype found = b_.indexOf(end, at);
    return found < 0 ? b_.size() : found + static_cast<qsizetype>(std::strlen(end));
  }
  // The position after the '>' that ends a start tag, quoted values skipped.
  qsizetype tagEnd(qsizetype at, bool* selfClosing) const {
    const char* s = b_.constData();
    char quote = 0;
    char last = 0;
    for (; at < b_.size(); ++at) {
      const char c = s[at];
      if (quote != 0) {
        if (c == quote) quote = 0;
      } else if (c == '"' || c == '\'') {
        quote = c;
      } else if (c == '>') {
        *selfClosing = last == '/';
        return at + 1;
      }
      last = c;
    }
    return at;
  }

  const QByteArray& b_;
  const PlistLimits& limits_;
  std::vector<Mark>* marks_;
};

// The XML form writes a keyed-archive reference as a dictionary whose one
// key is "CF$UID" with the index; readers take it back as the reference.
std::optional<quint64> xmlUid(const PlistDict& dict) {
  if (dict.size() != 1 || dict.keyAt(0) != QLatin1String("CF$UID")) return std::nullopt;
  const std::optional<qint64> index = dict.valueAt(0).toInteger();
  if (!index || *index < 0 || *index > UINT32_MAX) return std::nullopt;
  return static_cast<quint64>(*index);
}

std::optional<PlistValue> fromNode(plist_t node, int depth, bool xml) {
  if (node == nullptr || depth > kMaxPlistDepth + 1) return std::nullopt;
  switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
      uint8_t b = 0;
      plist_get_bool_val(node, &b);
      return PlistValue::boolean(b != 0);
    }
    case PLIST_UINT: {
      uint64_t u = 0;
      plist_get_uint_val(node, &u);
      return PlistValue::integer(static_cast<qint64>(u));
    }
    case PLIST_REAL: {
      double d = 0;
      plist_get_real_val(node, &d);
      return PlistValue::real(d);
    }
    case PLIST_STRING: {
      uint64_t len = 0;
      const char* p = plist_get_string_ptr(node, &len);
      if (p == nullptr) return PlistValue::string(QString());
      return PlistValue::string(QString::fromUtf8(p, static_cast<qsizetype>(len)));
    }
    case PLIST_DATA: {
      uint64_t len = 0;
      const char* p = plist_get_data_ptr(node, &len);
      return PlistValue::data(p == nullptr ? QByteArray() : QByteArray(p, static_cast<qsizetype>(len)));
    }
    case PLIST_DATE: {
      int32_t sec = 0, usec = 0;
      plist_get_date_val(node, &sec, &usec);
      return PlistValue::date(referenceDate().addMSecs(static_cast<qint64>(sec) * 1000 + usec / 1000));
    }
    case PLIST_UID: {
      uint64_t u = 0;
      plist_get_uid_val(node, &u);
      return PlistValue::uid(u);
    }
    case PLIST_ARRAY: {
      // Items are walked with the library's iterator: a fetch by index walks
      // the list from its start every time, which makes long lists quadratic.
      PlistArray out;
      out.reserve(plist_array_get_size(node));
      plist_array_iter it = nullptr;
      plist_array_new_iter(node, &it);
      if (it == nullptr) return std::nullopt;
      bool ok = true;
      for (;;) {
        plist_t itemNode = nullptr;
        plist_array_next_item(node, it, &itemNode);
        if (itemNode == nullptr) break;
        auto item = fromNode(itemNode, depth + 1, xml);
        if (!item) {
          ok = false;
          break;
        }
        out.push_back(std::move(*item));
      }
      std::free(it);
      if (!ok) return std::nullopt;
      return PlistValue(std::move(out));
    }
    case PLIST_DICT: {
      PlistDict out;
      plist_dict_iter it = nullptr;
      plist_dict_new_iter(node, &it);
      if (it == nullptr) return std::nullopt;
      bool ok = true;
      for (;;) {
        char* key = nullptr;
        plist_t val = nullptr;
        plist_dict_next_item(node, it, &key, &val);
        if (val == nullptr) {
          std::free(key);
          break;
        }
        auto item = fromNode(val, depth + 1, xml);
        const QString k = QString::fromUtf8(key != nullptr ? key : "");
        std::free(key);
        if (!item) {
          ok = false;
          break;
        }
        out.insert(k, std::move(*item));
      }
      std::free(it);
      if (!ok) return std::nullopt;
      if (xml)
        if (std::optional<quint64> uid = xmlUid(out)) return PlistValue::uid(*uid);
      return PlistValue(std::move(out));
    }
    default:
      return std::nullopt;
  }
}

// XML 1.0 cannot carry most control characters, not even as references;
// they are left out of the XML form so that every reader can load it.
QByteArray xmlSafeUtf8(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (QChar c : text) {
    const char16_t u = c.unicode();
    const bool allowed = u == 0x9 || u == 0xA || u == 0xD || (u >= 0x20 && u != 0xFFFE && u != 0xFFFF);
    if (allowed) out += c;
  }
  return out.toUtf8();
}

// libplist takes strings NUL-terminated: a NUL inside a text would cut off
// everything after it, so only the NUL itself is left out.
QByteArray utf8For(const QString& text, bool xml) {
  if (xml) return xmlSafeUtf8(text);
  if (!text.contains(QChar(0))) return text.toUtf8();
  return QString(text).remove(QChar(0)).toUtf8();
}

plist_t toNode(const PlistValue& v, bool xml) {
  switch (v.type()) {
    case PlistValue::Type::Null:
      return plist_new_string("");
    case PlistValue::Type::String:
      return plist_new_string(utf8For(*v.toString(), xml).constData());
    case PlistValue::Type::Integer:
      return plist_new_uint(static_cast<uint64_t>(*v.toInteger()));
    case PlistValue::Type::Real:
      return plist_new_real(*v.toReal());
    case PlistValue::Type::Boolean:
      return plist_new_bool(*v.toBoolean() ? 1 : 0);
    case PlistValue::Type::Data: {
      const QByteArray d = *v.toData();
      return plist_new_data(d.constData(), static_cast<uint64_t>(d.size()));
    }
    case PlistValue::Type::Date: {
      // The binary form holds seconds in 32 bits here: about 1933 to 2069.
      const qint64 limit = static_cast<qint64>(INT32_MAX) * 1000;
      const qint64 ms = std::clamp(referenceDate().msecsTo(*v.toDate()), -limit, limit);
      const qint64 sec = ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
      return plist_new_date(static_cast<int32_t>(sec), static_cast<int32_t>((ms - sec * 1000) * 1000));
    }
    case PlistValue::Type::Uid:
      return plist_new_uid(*v.toUid());
    case PlistValue::Type::Array: {
      plist_t a = plist_new_array();
      for (const PlistValue& item : *v.array()) plist_array_append_item(a, toNode(item, xml));
      return a;
    }
    case PlistValue::Type::Dictionary: {
      plist_t d = plist_new_dict();
      const PlistDict& dict = *v.dict();
      for (qsizetype i = 0; i < dict.size(); ++i)
        plist_dict_set_item(d, utf8For(dict.keyAt(i), xml).constData(), toNode(dict.valueAt(i), xml));
      return d;
    }
  }
  return plist_new_string("");
}

}  // namespace

bool propertyListWithinLimits(const QByteArray& bytes, const PlistLimits& limits, QString* error) {
  if (bytes.isEmpty()) {
    setError(error, "property list is empty");
    return false;
  }
  if (bytes.size() > limits.bytes || bytes.size() > static_cast<qsizetype>(UINT32_MAX)) {
    setError(error, "property list is too large");
    return false;
  }
  // The readers never go deeper than the program's own depth limit.
  PlistLimits within = limits;
  within.depth = std::min(limits.depth, kMaxPlistDepth);
  if (bytes.startsWith("bplist00")) return BinaryShapeCheck(bytes, within).run(error);
  if (bytes.startsWith("bplist")) {
    setError(error, "unsupported binary property list version");
    return false;
  }
  return XmlShapeCheck(bytes, within).run(error);
}

std::vector<PlistPart> xmlRootArrayParts(const QByteArray& bytes) {
  PlistLimits unlimited;
  unlimited.bytes = bytes.size();
  unlimited.nodes = std::numeric_limits<qint64>::max();
  std::vector<XmlShapeCheck::Mark> marks;
  XmlShapeCheck(bytes, unlimited, &marks).run(nullptr);
  std::vector<PlistPart> parts;
  // A mark at each element's start, the last one at the root's end.
  for (size_t k = 0; k + 1 < marks.size(); ++k)
    parts.push_back({marks[k + 1].first - marks[k].first, marks[k + 1].second - marks[k].second});
  return parts;
}

std::optional<PlistValue> parsePropertyList(const QByteArray& bytes, QString* error,
                                            const PlistLimits& limits) {
  if (!propertyListWithinLimits(bytes, limits, error)) return std::nullopt;
  const bool binary = bytes.startsWith("bplist00");
  plist_t raw = nullptr;
  if (binary)
    plist_from_bin(bytes.constData(), static_cast<uint32_t>(bytes.size()), &raw);
  else
    plist_from_xml(bytes.constData(), static_cast<uint32_t>(bytes.size()), &raw);
  PlistPtr root(raw);
  if (!root) {
    setError(error, "not a property list");
    return std::nullopt;
  }
  auto value = fromNode(root.get(), 0, !binary);
  if (!value) setError(error, "property list holds an unsupported value");
  return value;
}

std::optional<PlistValue> parsePropertyList(const QByteArray& bytes, QString* error, qsizetype byteLimit) {
  PlistLimits limits;
  limits.bytes = byteLimit;
  return parsePropertyList(bytes, error, limits);
}

QByteArray toXmlPropertyList(const PlistValue& value) {
  PlistPtr root(toNode(value, true));
  char* out = nullptr;
  uint32_t len = 0;
  plist_to_xml(root.get(), &out, &len);
  if (out == nullptr) return {};
  QByteArray result(out, static_cast<qsizetype>(len));
  plist_to_xml_free(out);
  return result;
}

QByteArray toBinaryPropertyList(const PlistValue& value) {
  return writeBinaryPropertyList(value);
}

}  // namespace platform
