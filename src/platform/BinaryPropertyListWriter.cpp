#include "platform/BinaryPropertyListWriter.h"

#include <QDateTime>
#include <QTimeZone>
#include <bit>
#include <cstring>
#include <map>
#include <vector>

#include "platform/PropertyList.h"

namespace platform {
namespace {

// Seconds of the binary form's dates count from 2001-01-01 00:00:00 UTC.
const QDateTime& referenceDate() {
  static const QDateTime reference(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());
  return reference;
}

void appendBigEndian(QByteArray& out, quint64 value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// Bytes needed for an unsigned value: 1, 2, 4 or 8.
int bytesFor(quint64 value) {
  if (value <= 0xFF) return 1;
  if (value <= 0xFFFF) return 2;
  if (value <= 0xFFFFFFFFULL) return 4;
  return 8;
}

int log2Of(int bytes) {
  return bytes == 1 ? 0 : bytes == 2 ? 1 : bytes == 4 ? 2 : 3;
}

void appendInteger(QByteArray& out, qint64 value) {
  // Readers take 1, 2 and 4 byte integers as unsigned and 8 byte ones as signed.
  const int bytes = value < 0 ? 8 : bytesFor(static_cast<quint64>(value));
  out.append(static_cast<char>(0x10 | log2Of(bytes)));
  appendBigEndian(out, static_cast<quint64>(value), bytes);
}

// A marker with its count: counts from 15 on follow as an integer object.
void appendMarker(QByteArray& out, int kind, qsizetype count) {
  if (count < 15) {
    out.append(static_cast<char>(kind | static_cast<int>(count)));
  } else {
    out.append(static_cast<char>(kind | 0x0F));
    appendInteger(out, count);
  }
}

void appendReal(QByteArray& out, double value) {
  // A value that a 32-bit float holds exactly is stored in 4 bytes.
  if (static_cast<double>(static_cast<float>(value)) == value) {
    out.append(static_cast<char>(0x22));
    appendBigEndian(out, std::bit_cast<quint32>(static_cast<float>(value)), 4);
  } else {
    out.append(static_cast<char>(0x23));
    appendBigEndian(out, std::bit_cast<quint64>(value), 8);
  }
}

void appendString(QByteArray& out, QString text) {
  // Text is written without NUL characters, as the readers end a text there.
  text.remove(QChar(0));
  bool ascii = true;
  for (QChar c : text) {
    if (c.unicode() >= 0x80) {
      ascii = false;
      break;
    }
  }
  if (ascii) {
    appendMarker(out, 0x50, text.size());
    out.append(text.toLatin1());
  } else {
    appendMarker(out, 0x60, text.size());
    for (QChar c : text) appendBigEndian(out, c.unicode(), 2);
  }
}

class Writer {
 public:
  QByteArray write(const PlistValue& top) {
    const quint64 root = add(top);
    const int refSize = bytesFor(objects_.size());
    QByteArray out("bplist00");
    std::vector<quint64> offsets;
    offsets.reserve(objects_.size());
    for (const Object& object : objects_) {
      offsets.push_back(static_cast<quint64>(out.size()));
      out.append(object.bytes);
      for (quint64 ref : object.refs) appendBigEndian(out, ref, refSize);
    }
    const quint64 tableOffset = static_cast<quint64>(out.size());
    const int offsetSize = bytesFor(tableOffset);
    for (quint64 offset : offsets) appendBigEndian(out, offset, offsetSize);
    out.append(QByteArray(6, '\0'));
    out.append(static_cast<char>(offsetSize));
    out.append(static_cast<char>(refSize));
    appendBigEndian(out, objects_.size(), 8);
    appendBigEndian(out, root, 8);
    appendBigEndian(out, tableOffset, 8);
    return out;
  }

 private:
  struct Object {
    QByteArray bytes;           // marker and payload
    std::vector<quint64> refs;  // references that follow, for arrays and dictionaries
  };

  quint64 addScalar(QByteArray bytes) {
    const auto found = shared_.find(bytes);
    if (found != shared_.end()) return found->second;
    const quint64 index = objects_.size();
    objects_.push_back(Object{bytes, {}});
    shared_.emplace(std::move(bytes), index);
    return index;
  }

  quint64 add(const PlistValue& value) {
    QByteArray bytes;
    switch (value.type()) {
      case PlistValue::Type::Null:
        appendString(bytes, QString());
        return addScalar(bytes);
      case PlistValue::Type::String:
        appendString(bytes, *value.toString());
        return addScalar(bytes);
      case PlistValue::Type::Integer:
        appendInteger(bytes, *value.toInteger());
        return addScalar(bytes);
      case PlistValue::Type::Real:
        appendReal(bytes, *value.toReal());
        return addScalar(bytes);
      case PlistValue::Type::Boolean:
        bytes.append(static_cast<char>(*value.toBoolean() ? 0x09 : 0x08));
        return addScalar(bytes);
      case PlistValue::Type::Data: {
        const QByteArray data = *value.toData();
        appendMarker(bytes, 0x40, data.size());
        bytes.append(data);
        return addScalar(bytes);
      }
      case PlistValue::Type::Date: {
        const double seconds = static_cast<double>(referenceDate().msecsTo(*value.toDate())) / 1000.0;
        bytes.append(static_cast<char>(0x33));
        appendBigEndian(bytes, std::bit_cast<quint64>(seconds), 8);
        return addScalar(bytes);
      }
      case PlistValue::Type::Uid: {
        const quint64 uid = *value.toUid();
        const int size = bytesFor(uid);
        bytes.append(static_cast<char>(0x80 | (size - 1)));
        appendBigEndian(bytes, uid, size);
        return addScalar(bytes);
      }
      case PlistValue::Type::Array: {
        const PlistArray& items = *value.array();
        const quint64 index = reserve();
        std::vector<quint64> refs;
        refs.reserve(items.size());
        for (const PlistValue& item : items) refs.push_back(add(item));
        appendMarker(objects_[index].bytes, 0xA0, static_cast<qsizetype>(items.size()));
        objects_[index].refs = std::move(refs);
        return index;
      }
      case PlistValue::Type::Dictionary: {
        const PlistDict& dict = *value.dict();
        const quint64 index = reserve();
        std::vector<quint64> keys;
        std::vector<quint64> values;
        for (qsizetype i = 0; i < dict.size(); ++i) {
          QByteArray key;
          appendString(key, dict.keyAt(i));
          keys.push_back(addScalar(key));
          values.push_back(add(dict.valueAt(i)));
        }
        appendMarker(objects_[index].bytes, 0xD0, dict.size());
        keys.insert(keys.end(), values.begin(), values.end());
        objects_[index].refs = std::move(keys);
        return index;
      }
    }
    return addScalar(bytes);
  }

  quint64 reserve() {
    objects_.push_back(Object{});
    return objects_.size() - 1;
  }

  std::vector<Object> objects_;
  std::map<QByteArray, quint64> shared_;
};

}  // namespace

QByteArray writeBinaryPropertyList(const PlistValue& value) {
  return Writer().write(value);
}

}  // namespace platform
