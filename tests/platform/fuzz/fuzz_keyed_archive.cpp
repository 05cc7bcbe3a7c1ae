// Feeds arbitrary bytes to the property-list reader and the keyed-archive
// reader: they must answer (a value or an error) and never crash, and what
// they accept must write back out and read every key safely.
#include <cstddef>
#include <cstdint>

#include "platform/KeyedArchive.h"
#include "platform/PropertyList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  if (auto value = platform::parsePropertyList(bytes)) {
    platform::toXmlPropertyList(*value);
    platform::toBinaryPropertyList(*value);
  }
  platform::KeyedArchiveReader reader;
  if (reader.load(bytes)) {
    const platform::KeyedObject root = reader.root();
    for (const QString& key : root.keys()) {
      (void)root.getString(key);
      (void)root.getInt(key);
      (void)root.getRect(key);
      (void)root.getColor(key);
      (void)root.getFont(key);
      (void)root.getAttributedString(key);
      (void)root.getImage(key);
      (void)root.getStringArray(key);
      if (auto child = root.getObject(key)) {
        (void)child->toDictionary();
        (void)child->toArray();
      }
    }
  }
  return 0;
}
