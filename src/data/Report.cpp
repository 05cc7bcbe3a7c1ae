#include "data/Report.h"

#include "data/globals.h"
#include "platform/Messages.h"

namespace data_report {

void log(const QString& text) {
  if (!text.isEmpty()) qCWarning(lcData).noquote() << text;
}

void alert(const QString& text) {
  Show_MessageBox(text);
}

QString excerpt(const QString& text, qsizetype maxLength) {
  QString out = text.left(maxLength);
  if (!out.isEmpty() && out.back().isHighSurrogate()) out.chop(1);
  for (QChar& c : out)
    if (c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line ||
        c.category() == QChar::Separator_Paragraph)
      c = QChar::ReplacementCharacter;
  if (text.size() > maxLength) out += QChar(0x2026);
  return out;
}

}  // namespace data_report
