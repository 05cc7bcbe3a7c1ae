#pragma once
// String helpers used all over the program. Lengths and indexes count
// UTF-16 code units, as QString does. A null string stays null where noted.

#include <QString>

// Trims blanks and line breaks, then control characters, from both ends.
// A null string gives null.
QString Trim_Str(const QString& text);
// Trims the reserved file-name characters / \ ? % * | " < > and blanks from
// both ends (inner ones stay). Blanks and reserved characters are trimmed
// together until neither is left at an end, so " /name/ " gives "name".
QString Remove_Reserve_Char_In_File_Name(const QString& name);
// The first n characters (n < 0 counts as 0); the whole string when n >= length.
QString Left_Str_substringToIndex(const QString& text, qint32 n);
// The last n characters (n < 0 counts as 0); the whole string when n >= length.
QString Right_Str_substringFromIndex(const QString& text, qint32 n);
// From index n to the end; "" when n is negative or beyond the length.
QString Read_Str_FromIndex(const QString& text, qint32 n);
// Every occurrence of `find` replaced (literal, case-sensitive).
QString Replace_char_in_string(const QString& text, const QString& find, const QString& replacement);
// True when `sought` is non-empty and occurs in `text` (case-sensitive).
bool Find_Str(const QString& text, const QString& sought);

namespace platform {
// A name that may become one component of a path: not empty, not "." or
// "..", and without "/", "\" or NUL.
bool isPlainFileName(const QString& name);
}  // namespace platform
