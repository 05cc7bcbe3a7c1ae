// Feeds arbitrary bytes to the property-list reader and the keyed-archive
// reader: they must answer (a value or an error) and never crash, and what
// they accept must write back out and read every key safely.
#include <cstddef>
#include <cstdint>

#include "platform/KeyedArchive.h"
#include "platform/PropertyList.h"

namespace {

// Reads every key of an object with every accessor, and the objects it
// refers to a few levels down.
void readAll(const platform::KeyedObject& object, int levels) {
  (void)object.className();
  (void)object.toString();
  (void)object.toData();
  (void)object.toReal();
  (void)object.toArray();
  (void)object.toDictionary();
  (void)object.toColor();
  (void)object.toFont();
  (void)object.toAttributedString();
  (void)object.toImage();
  for (const QString& key : object.keys()) {
    (void)object.getString(key);
    (void)object.getInt(key);
    (void)object.getBool(key);
    (void)object.getFloat(key);
    (void)object.getRect(key);
    (void)object.getPoint(key);
    (void)object.getSize(key);
    (void)object.getData(key);
    (void)object.getBytes(key);
    (void)object.getColor(key);
    (void)object.getFont(key);
    (void)object.getAttributedString(key);
    (void)object.getImage(key);
    (void)object.getStringArray(key);
    if (levels > 0)
      if (auto child = object.getObject(key)) readAll(*child, levels - 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  if (auto value = platform::parsePropertyList(bytes)) {
    platform::toXmlPropertyList(*value);
    platform::toBinaryPropertyList(*value);
  }
  platform::KeyedArchiveReader reader;
  if (reader.load(bytes)) {
    readAll(reader.root(), 3);
    // Every entry, also those that no key refers to.
    for (quint64 i = 0; i < 64; ++i)
      if (auto o = reader.object(i)) readAll(*o, 0);
  }
  return 0;
}
