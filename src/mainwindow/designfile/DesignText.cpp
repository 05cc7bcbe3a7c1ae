#include "mainwindow/designfile/DesignText.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace designfile {

namespace {

// Skips leading white space and returns the rest as Latin-1 digits-and-signs
// friendly C string (non-Latin-1 characters end any number anyway).
QByteArray leadingAscii(const QString& text) {
  qsizetype i = 0;
  while (i < text.size() && text[i].isSpace()) ++i;
  return text.mid(i).toLatin1();
}

QString numberText(double v) {
  if (v == 0.0) v = 0.0;  // no "-0"
  return QString::number(v, 'g', QLocale::FloatingPointShortest);
}

std::optional<std::pair<double, double>> pairFromText(const QString& text) {
  QString body = text.trimmed();
  if (body.startsWith(u'{')) body.remove(0, 1);
  if (body.endsWith(u'}')) body.chop(1);
  const qsizetype comma = body.indexOf(u',');
  if (comma < 0) return std::nullopt;
  bool okA = false, okB = false;
  const double a = body.left(comma).trimmed().toDouble(&okA);
  const double b = body.mid(comma + 1).trimmed().toDouble(&okB);
  if (!okA || !okB || !std::isfinite(a) || !std::isfinite(b)) return std::nullopt;
  return std::make_pair(a, b);
}

}  // namespace

QString flagText(bool on) {
  return on ? QStringLiteral("Y") : QStringLiteral("N");
}

bool flagFromText(const QString& text) {
  return text == QLatin1String("Y");
}

QString intText(int value) {
  return QString::number(value);
}

int intFromText(const QString& text) {
  const QByteArray ascii = leadingAscii(text);
  qsizetype i = 0;
  bool negative = false;
  if (i < ascii.size() && (ascii[i] == '+' || ascii[i] == '-')) negative = ascii[i++] == '-';
  long long value = 0;
  for (; i < ascii.size() && ascii[i] >= '0' && ascii[i] <= '9'; ++i) {
    value = value * 10 + (ascii[i] - '0');
    if (value > static_cast<long long>(std::numeric_limits<int>::max()) + 1) break;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (value < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(value);
}

QString fractionText(double value) {
  return QString::asprintf("%0.2f", value);
}

double doubleFromText(const QString& text) {
  // The longest leading decimal number, always with a dot (the process
  // locale plays no part): [sign] digits [. digits] [e [sign] digits].
  const QByteArray ascii = leadingAscii(text);
  qsizetype i = 0;
  const auto digits = [&] {
    const qsizetype start = i;
    while (i < ascii.size() && ascii[i] >= '0' && ascii[i] <= '9') ++i;
    return i - start;
  };
  if (i < ascii.size() && (ascii[i] == '+' || ascii[i] == '-')) ++i;
  qsizetype mantissa = digits();
  if (i < ascii.size() && ascii[i] == '.') {
    ++i;
    mantissa += digits();
  }
  if (mantissa == 0) return 0.0;
  const qsizetype beforeExponent = i;
  if (i < ascii.size() && (ascii[i] == 'e' || ascii[i] == 'E')) {
    ++i;
    if (i < ascii.size() && (ascii[i] == '+' || ascii[i] == '-')) ++i;
    if (digits() == 0) i = beforeExponent;
  }
  bool ok = false;
  const double value = QLocale::c().toDouble(QLatin1String(ascii.constData(), i), &ok);
  if (ok) return value;
  // Out of range: not a usable number; callers refuse non-finite values.
  return std::numeric_limits<double>::quiet_NaN();
}

QString pointText(QPointF p) {
  return QStringLiteral("{%1, %2}").arg(numberText(p.x()), numberText(p.y()));
}

QString sizeText(QSizeF s) {
  return QStringLiteral("{%1, %2}").arg(numberText(s.width()), numberText(s.height()));
}

std::optional<QPointF> pointFromText(const QString& text) {
  const auto pair = pairFromText(text);
  if (!pair) return std::nullopt;
  return QPointF(pair->first, pair->second);
}

std::optional<QSizeF> sizeFromText(const QString& text) {
  const auto pair = pairFromText(text);
  if (!pair) return std::nullopt;
  return QSizeF(pair->first, pair->second);
}

}  // namespace designfile
