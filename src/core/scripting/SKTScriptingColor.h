#pragma once
// The colour value scripts exchange with the program: a descriptor of type
// 'cRGB' whose data is exactly 6 bytes, red, green and blue as unsigned 16-bit
// numbers (0 to 65535), each most significant byte first. The byte order is
// fixed, so that a value means the same colour on every machine it travels to.

#include <QByteArray>
#include <QColor>
#include <QtGlobal>
#include <optional>

inline constexpr quint32 typeRGBColor = 0x63524742;  // 'cRGB'

struct SKTScriptingDescriptor {
  quint32 descriptorType = 0;
  QByteArray data;
  friend bool operator==(const SKTScriptingDescriptor&, const SKTScriptingDescriptor&) = default;
};

// The opaque colour (red / 65535.0, green / 65535.0, blue / 65535.0) of a
// 'cRGB' descriptor with exactly 6 bytes of data; nothing for any other
// descriptor.
std::optional<QColor> scriptingRGBColorWithDescriptor(const SKTScriptingDescriptor& descriptor);

// The 'cRGB' descriptor of a colour: each of red, green and blue (clamped to
// 0..1) times 65535.0, cut towards zero. Alpha is dropped.
SKTScriptingDescriptor scriptingRGBColorDescriptor(double red, double green, double blue);
// The same for a colour of any colour model; a colour's own 16-bit
// components come out unchanged.
SKTScriptingDescriptor scriptingRGBColorDescriptor(const QColor& color);
