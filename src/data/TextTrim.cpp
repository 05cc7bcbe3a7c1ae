#include "data/TextTrim.h"

namespace data_text {

QString trim(const QString& text) {
  QString result = text.trimmed();
  qsizetype begin = 0;
  qsizetype end = result.size();
  while (begin < end && result.at(begin).category() == QChar::Other_Control) ++begin;
  while (end > begin && result.at(end - 1).category() == QChar::Other_Control) --end;
  return result.mid(begin, end - begin);
}

}  // namespace data_text
