#pragma once
// Text forms of the design file's scalar items: flags "Y"/"N", whole numbers
// "%d", fractions "%0.2f", points "{x, y}" and sizes "{w, h}". Reading is
// lenient in the way people editing a file by hand expect (leading blanks,
// trailing garbage after a number), writing is exact.

#include <QPointF>
#include <QSizeF>
#include <QString>
#include <optional>

namespace designfile {

QString flagText(bool on);
// True only for exactly "Y".
bool flagFromText(const QString& text);

QString intText(int value);
// The leading whole number of the text (blanks skipped, optional sign);
// 0 when there is none; saturated at the 32-bit limits.
int intFromText(const QString& text);

QString fractionText(double value);  // "%0.2f"
// The leading decimal number of the text; 0 when there is none. May be
// infinite or NaN when the text says so: callers check.
double doubleFromText(const QString& text);

// "{x, y}" with the shortest text that reads back to the same doubles.
QString pointText(QPointF p);
QString sizeText(QSizeF s);
// Parses "{a, b}" (braces optional, blanks allowed). nullopt when the two
// numbers are not there or not finite.
std::optional<QPointF> pointFromText(const QString& text);
std::optional<QSizeF> sizeFromText(const QString& text);

}  // namespace designfile
