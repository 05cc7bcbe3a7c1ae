#include "core/scripting/SKTScriptingColor.h"

#include <QRgba64>
#include <algorithm>
#include <cmath>

namespace {

quint16 component(double value) {
  if (std::isnan(value)) return 0;
  return static_cast<quint16>(std::trunc(std::clamp(value, 0.0, 1.0) * 65535.0));
}

void appendBigEndian(QByteArray& data, quint16 value) {
  data.append(static_cast<char>(value >> 8));
  data.append(static_cast<char>(value & 0xff));
}

quint16 readBigEndian(const QByteArray& data, int offset) {
  return static_cast<quint16>((static_cast<quint8>(data[offset]) << 8) |
                              static_cast<quint8>(data[offset + 1]));
}

}  // namespace

std::optional<QColor> scriptingRGBColorWithDescriptor(const SKTScriptingDescriptor& descriptor) {
  if (descriptor.descriptorType != typeRGBColor || descriptor.data.size() != 6) return std::nullopt;
  const QByteArray& d = descriptor.data;
  // 16-bit components stand exactly for value / 65535.0.
  return QColor(QRgba64::fromRgba64(readBigEndian(d, 0), readBigEndian(d, 2), readBigEndian(d, 4), 65535));
}

SKTScriptingDescriptor scriptingRGBColorDescriptor(double red, double green, double blue) {
  SKTScriptingDescriptor descriptor{typeRGBColor, {}};
  descriptor.data.reserve(6);
  for (double c : {red, green, blue}) appendBigEndian(descriptor.data, component(c));
  return descriptor;
}

SKTScriptingDescriptor scriptingRGBColorDescriptor(const QColor& color) {
  // The exact 16-bit components (QColor::redF() is only a float).
  const QRgba64 rgb = color.toRgb().rgba64();
  return scriptingRGBColorDescriptor(rgb.red() / 65535.0, rgb.green() / 65535.0, rgb.blue() / 65535.0);
}
