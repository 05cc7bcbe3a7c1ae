#include "data/dialogs/SeriesGenerator.h"

#include <QRandomGenerator>
#include <limits>

#include "platform/StringHelpers.h"

namespace series_generator {

namespace {

// The random ranges by length text: k digits, no leading zero.
std::optional<std::pair<qint32, qint32>> randomRange(const QString& lengthText) {
  if (lengthText.size() != 1 || lengthText[0] < '1' || lengthText[0] > '9') return std::nullopt;
  const int digits = lengthText[0].unicode() - '0';
  qint32 smallest = 1;
  for (int i = 1; i < digits; ++i) smallest *= 10;
  const qint32 largest = digits == 9 ? 999'999'999 : smallest * 10 - 1;
  return std::make_pair(smallest, largest);
}

// The clamp of a count or length field: empty or zero gives "1", the text is
// cut to `maxChars` characters, a value above `maxValue` gives that value.
QString clampText(const QString& typed, int maxChars, int maxValue) {
  const QString s = Trim_Str(typed);
  QString field = typed;
  const std::optional<qint32> number = fieldInteger(s);
  if (s.isEmpty() || (number && *number == 0)) field = QStringLiteral("1");
  if (s.size() > maxChars) field = s.left(maxChars);
  const std::optional<qint32> now = fieldInteger(field);
  if (!now || *now > maxValue) field = QString::number(maxValue);
  return field;
}

}  // namespace

std::optional<qint32> fieldInteger(const QString& text) {
  qsizetype i = 0;
  const qsizetype size = text.size();
  while (i < size && text[i].isSpace()) ++i;
  bool negative = false;
  if (i < size && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  qint64 value = 0;
  for (; i < size && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i].unicode() - '0');
    if (value > qint64{std::numeric_limits<qint32>::max()} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<qint32>::max() || value < std::numeric_limits<qint32>::min())
    return std::nullopt;
  return qint32(value);
}

std::optional<Refusal> check(const GeneratorInput& input) {
  const auto refuse = [](const char* message, Field field) {
    return std::optional<Refusal>(Refusal{QString::fromUtf8(message), field});
  };
  switch (input.mode) {
    case Mode::Sequential: {
      const std::optional<qint32> from = fieldInteger(input.from);
      const std::optional<qint32> to = fieldInteger(input.to);
      if (input.from.isEmpty() || !from) return refuse("Please enter valid 'From' value.", Field::From);
      if (input.to.isEmpty() || !to) return refuse("Please enter valid 'To' value.", Field::To);
      if (*from >= *to) return refuse("'From' value must be smaller than 'To' value.", Field::From);
      if (qint64{*to} - *from + 1 > kMaxValues) return refuse("Please enter valid 'To' value.", Field::To);
      return std::nullopt;
    }
    case Mode::Constant: {
      if (input.value.isEmpty()) return refuse("Please enter valid 'Value'.", Field::Value);
      const std::optional<qint32> count = fieldInteger(input.count);
      if (input.count.isEmpty() || !count || *count > kMaxCount)
        return refuse("Please enter valid 'Count' value.", Field::Count);
      return std::nullopt;
    }
    case Mode::Random: {
      const std::optional<qint32> count = fieldInteger(input.randomCount);
      if (input.randomCount.isEmpty() || !count || *count > kMaxCount)
        return refuse("Please enter valid 'Count' value.", Field::RandomCount);
      if (!randomRange(input.randomLength))
        return refuse("Please enter valid 'Length' value.", Field::RandomLength);
      return std::nullopt;
    }
  }
  return std::nullopt;
}

qint64 valueCount(const GeneratorInput& input) {
  switch (input.mode) {
    case Mode::Sequential:
      return qint64{fieldInteger(input.to).value_or(0)} - fieldInteger(input.from).value_or(0) + 1;
    case Mode::Constant:
      return std::max<qint64>(0, fieldInteger(input.count).value_or(0));
    case Mode::Random:
      return std::max<qint64>(0, fieldInteger(input.randomCount).value_or(0));
  }
  return 0;
}

QString PadZero(const QString& text, int length) {
  if (text.size() >= length) return text;
  return QString(length - text.size(), QChar('0')) + text;
}

qint32 getRandomNumberBetweenMin(qint32 min, qint32 max) {
  // Uniform over the range: no bias towards its low end.
  return qint32(QRandomGenerator::global()->bounded(qint64{min}, qint64{max} + 1));
}

bool generate(const GeneratorInput& input, const std::function<void(const QString&)>& sink,
              const std::atomic<bool>* cancel, std::atomic<qint64>* made) {
  if (check(input)) return false;
  const qint64 count = valueCount(input);
  const qint32 from = fieldInteger(input.from).value_or(0);
  const int padLength = int(std::max(input.from.size(), input.to.size()));
  const auto range = randomRange(input.randomLength);
  for (qint64 i = 0; i < count; ++i) {
    if (cancel != nullptr && (i & 255) == 0 && cancel->load()) return false;
    switch (input.mode) {
      case Mode::Sequential: {
        QString number = QString::number(qint64{from} + i);
        if (input.padWithZeros) number = PadZero(number, padLength);
        sink(input.prefix + number + input.suffix);
        break;
      }
      case Mode::Constant:
        sink(input.value);
        break;
      case Mode::Random:
        sink(input.randomPrefix + QString::number(getRandomNumberBetweenMin(range->first, range->second)) +
             input.randomSuffix);
        break;
    }
    if (made != nullptr) made->store(i + 1);
  }
  return true;
}

QStringList generateAll(const GeneratorInput& input) {
  QStringList values;
  if (check(input)) return values;
  values.reserve(valueCount(input));
  generate(input, [&values](const QString& value) { values.append(value); });
  return values;
}

QString clampCountText(const QString& typed) {
  return clampText(typed, 5, kMaxCount);
}

QString clampLengthText(const QString& typed) {
  return clampText(typed, 1, 9);
}

}  // namespace series_generator
