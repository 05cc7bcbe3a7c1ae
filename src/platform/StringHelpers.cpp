#include "platform/StringHelpers.h"

namespace {

bool isBlank(QChar c) {
  // Blanks and line breaks: white space and the line/paragraph separators.
  return c.isSpace() || c == QChar(0x2028) || c == QChar(0x2029) || c == QChar(0x85);
}

bool isControl(QChar c) {
  const QChar::Category cat = c.category();
  return cat == QChar::Other_Control || cat == QChar::Other_Format;
}

bool isReserved(QChar c) {
  static const QString reserved = QStringLiteral("/\\?%*|\"<>");
  return reserved.contains(c);
}

template <typename Pred>
QString trimBy(const QString& text, Pred pred) {
  qsizetype start = 0, end = text.size();
  while (start < end && pred(text[start])) ++start;
  while (end > start && pred(text[end - 1])) --end;
  return text.mid(start, end - start);
}

}  // namespace

QString Trim_Str(const QString& text) {
  if (text.isNull()) return QString();
  QString out = trimBy(trimBy(text, isBlank), isControl);
  if (out.isNull()) out = QString("");
  return out;
}

QString Remove_Reserve_Char_In_File_Name(const QString& name) {
  if (name.isNull()) return QString();
  // Reserved characters first, then blanks: a blank at an end shields the
  // reserved characters behind it. Callers that make a path of the result
  // still check it with isPlainFileName().
  return Trim_Str(trimBy(name, isReserved));
}

QString Left_Str_substringToIndex(const QString& text, qint32 n) {
  const qsizetype count = n < 0 ? 0 : n;
  return count < text.size() ? text.left(count) : text;
}

QString Right_Str_substringFromIndex(const QString& text, qint32 n) {
  const qsizetype count = n < 0 ? 0 : n;
  return count >= text.size() ? text : text.right(count);
}

QString Read_Str_FromIndex(const QString& text, qint32 n) {
  if (n < 0 || n > text.size()) return QString("");
  return text.mid(n).isNull() ? QString("") : text.mid(n);
}

QString Replace_char_in_string(const QString& text, const QString& find, const QString& replacement) {
  if (find.isEmpty()) return text;
  QString out = text;
  return out.replace(find, replacement, Qt::CaseSensitive);
}

bool Find_Str(const QString& text, const QString& sought) {
  return !sought.isEmpty() && text.contains(sought, Qt::CaseSensitive);
}

namespace platform {

bool isPlainFileName(const QString& name) {
  if (name.isEmpty() || name == "." || name == "..") return false;
  return !name.contains('/') && !name.contains('\\') && !name.contains(QChar(0));
}

}  // namespace platform
