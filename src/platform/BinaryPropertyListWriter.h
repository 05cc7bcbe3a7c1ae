#pragma once
// Writer of the binary property list form ("bplist00").
//
// The output is a pure function of the value: the same value always gives the
// same bytes, so a design saved twice is the same file twice. Equal scalars
// (strings, numbers, data, references) are stored once and shared.

#include <QByteArray>

namespace platform {

class PlistValue;

QByteArray writeBinaryPropertyList(const PlistValue& value);

}  // namespace platform
