#pragma once
// PostScript font names, as design files and archives store them
// ("TimesNewRomanPS-ItalicMT" ...), and the Qt fonts that draw them.
// Times New Roman, Arial and Courier New (and Times, Helvetica and Courier)
// are drawn with the metric-compatible Liberation fonts. A name the table
// does not know is taken as "<Family>-<Style>" of an installed family, else
// as a family name. The stored name always stays the one given.

#include <QFont>
#include <QString>

namespace platform {

struct FontFace {
  QString family;  // the family Qt draws with
  QFont::Weight weight = QFont::Normal;
  bool italic = false;
  bool operator==(const FontFace&) const = default;
};

// Family, weight and style for a PostScript name (or a family name).
FontFace fontFaceForName(const QString& postScriptName);
// A font for the name at a size in points.
QFont fontForName(const QString& postScriptName, double pointSize);
// The PostScript name for a font: the table's name for the known families
// (Liberation Serif is Times New Roman ...), otherwise the family without
// blanks with "-Bold", "-Italic" or "-BoldItalic" as needed.
QString postScriptNameForFont(const QFont& font);

}  // namespace platform
