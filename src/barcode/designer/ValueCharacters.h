#pragma once
// What the characters of a barcode value allow, and how a refusal names them.
//
// QR Code, PDF417 and DataMatrix carry any text as its bytes (UTF-8), so only
// a character that has no bytes (half of a surrogate pair, left alone) stops
// them; whether the bytes fit is the encoder's answer. The designer holds
// every linear symbology to plain ASCII (7-bit) characters. A refusal names
// the characters a person has to find in the value: a visible one in quotes,
// an invisible one (a space other than the plain one, a control or format
// character, a combining mark) by its U+ code.

#include <QList>
#include <QString>

namespace barcode {

// The characters of the value that plain ASCII does not hold, each once, in
// the order they first stand.
QList<char32_t> charactersBeyondAscii(const QString& value);

// "\"ë\"", "\"ë\" and U+00A0", "\"a\", \"b\" and \"c\"": at most six
// characters, then "and 3 more".
QString characterList(const QList<char32_t>& characters);

// Why a linear symbology refuses the value for its characters ("" when it
// holds plain ASCII only).
QString linearCharacterRefusal(const QString& symbology, const QString& value);

// Why a 2D symbology cannot take the value's characters ("" when every one of
// them has a UTF-8 form).
QString twoDCharacterRefusal(const QString& value);

}  // namespace barcode
