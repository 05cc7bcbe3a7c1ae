#pragma once
// The rules of the series generator, without any window: consecutive numbers
// with a prefix and a suffix (optionally padded with zeros), one value
// repeated, or random numbers of a chosen number of digits. The dialog reads
// its fields into a GeneratorInput, checks it, and generates on a worker.

#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <optional>

namespace series_generator {

enum class Mode { Sequential, Constant, Random };

// The fields whose text a refusal points at.
enum class Field { From, To, Value, Count, RandomCount, RandomLength };

// Highest count a count field takes, and the most values one run of the
// generator makes (a sequential range above it is refused).
constexpr int kMaxCount = 10000;
constexpr qint64 kMaxValues = 1'000'000;

struct GeneratorInput {
  Mode mode = Mode::Sequential;
  // sequential
  QString prefix, suffix, from, to;
  bool padWithZeros = false;
  // constant
  QString value, count;
  // random
  QString randomPrefix, randomSuffix, randomLength, randomCount;
};

struct Refusal {
  QString message;
  Field field;
};

// The leading integer of a text as a field reads it: blanks skipped, an
// optional sign, the digits up to the first other character; 0 without digits.
// nullopt when the number does not fit a signed 32-bit integer.
std::optional<qint32> fieldInteger(const QString& text);

// The first reason the input cannot be generated, in the order the dialog
// checks its fields; nullopt when it can. Numbers that do not fit, counts
// above kMaxCount, lengths other than 1 to 9 and ranges of more than
// kMaxValues values are refused here, before anything is generated.
std::optional<Refusal> check(const GeneratorInput& input);

// How many values an accepted input gives.
qint64 valueCount(const GeneratorInput& input);

// "0" put in front of the text until it is at least `length` characters long.
QString PadZero(const QString& text, int length);

// A uniformly drawn integer from min to max inclusive.
qint32 getRandomNumberBetweenMin(qint32 min, qint32 max);

// Makes the values of an accepted input in order, handing each to `sink`.
// Stops early, answering false, when `cancel` becomes set; `made` counts the
// values handed on so far (both may be null).
bool generate(const GeneratorInput& input, const std::function<void(const QString&)>& sink,
              const std::atomic<bool>* cancel = nullptr, std::atomic<qint64>* made = nullptr);
// All values at once.
QStringList generateAll(const GeneratorInput& input);

// The clamp applied while the user types in a count field (1 to 10000, at
// most 5 characters) and in the length field (1 to 9, one character); the
// text the field shows afterwards.
QString clampCountText(const QString& typed);
QString clampLengthText(const QString& typed);

}  // namespace series_generator
