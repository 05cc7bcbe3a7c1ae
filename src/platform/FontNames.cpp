#include "platform/FontNames.h"

#include <QFontDatabase>
#include <QStringList>
#include <array>
#include <mutex>

namespace platform {
namespace {

struct FamilyNames {
  const char* family;                // the family as stored designs name it
  const char* drawWith;              // the family installed here
  std::array<const char*, 4> names;  // regular, bold, italic, bold italic
  bool standsFor = false;            // a font of drawWith maps back to this family
};

// Rows marked standsFor are the metric-compatible pairs: a Qt font of
// Liberation Serif maps back to Times New Roman, and so on.
const FamilyNames kFamilies[] = {
    {"Times New Roman",
     "Liberation Serif",
     {"TimesNewRomanPSMT", "TimesNewRomanPS-BoldMT", "TimesNewRomanPS-ItalicMT",
      "TimesNewRomanPS-BoldItalicMT"},
     true},
    {"Arial", "Liberation Sans", {"ArialMT", "Arial-BoldMT", "Arial-ItalicMT", "Arial-BoldItalicMT"}, true},
    {"Courier New",
     "Liberation Mono",
     {"CourierNewPSMT", "CourierNewPS-BoldMT", "CourierNewPS-ItalicMT", "CourierNewPS-BoldItalicMT"},
     true},
    {"Arial Narrow",
     "Liberation Sans Narrow",
     {"ArialNarrow", "ArialNarrow-Bold", "ArialNarrow-Italic", "ArialNarrow-BoldItalic"},
     true},
    {"Times", "Liberation Serif", {"Times-Roman", "Times-Bold", "Times-Italic", "Times-BoldItalic"}},
    {"Helvetica",
     "Liberation Sans",
     {"Helvetica", "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique"}},
    {"Helvetica Neue",
     "Liberation Sans",
     {"HelveticaNeue", "HelveticaNeue-Bold", "HelveticaNeue-Italic", "HelveticaNeue-BoldItalic"}},
    {"Courier", "Liberation Mono", {"Courier", "Courier-Bold", "Courier-Oblique", "Courier-BoldOblique"}},
    {"Lucida Grande", "DejaVu Sans", {"LucidaGrande", "LucidaGrande-Bold", nullptr, nullptr}},
    {"Verdana", "DejaVu Sans", {"Verdana", "Verdana-Bold", "Verdana-Italic", "Verdana-BoldItalic"}},
    {"Georgia", "DejaVu Serif", {"Georgia", "Georgia-Bold", "Georgia-Italic", "Georgia-BoldItalic"}},
    {"Menlo", "DejaVu Sans Mono", {"Menlo-Regular", "Menlo-Bold", "Menlo-Italic", "Menlo-BoldItalic"}},
};

FontFace faceOf(const FamilyNames& f, int style) {
  return FontFace{QString::fromLatin1(f.drawWith), (style & 1) ? QFont::Bold : QFont::Normal,
                  (style & 2) != 0};
}

struct StyleSuffix {
  const char* suffix;
  QFont::Weight weight;
  bool italic;
};

const StyleSuffix kSuffixes[] = {
    {"BoldItalic", QFont::Bold, true}, {"BoldOblique", QFont::Bold, true},
    {"Bold", QFont::Bold, false},      {"Italic", QFont::Normal, true},
    {"Oblique", QFont::Normal, true},  {"Regular", QFont::Normal, false},
    {"Roman", QFont::Normal, false},   {"Medium", QFont::Medium, false},
    {"Light", QFont::Light, false},    {"Semibold", QFont::DemiBold, false},
    {"Black", QFont::Black, false},
};

QString withoutBlanks(QString s) {
  return s.remove(' ');
}

// Installed families by their name without blanks ("DejaVuSans" -> "DejaVu Sans").
QString installedFamilyFor(const QString& compact) {
  static std::mutex mutex;
  static QStringList families;
  std::lock_guard lock(mutex);
  if (families.isEmpty()) families = QFontDatabase::families();
  for (const QString& f : families)
    if (f.compare(compact, Qt::CaseInsensitive) == 0 ||
        withoutBlanks(f).compare(compact, Qt::CaseInsensitive) == 0)
      return f;
  return {};
}

}  // namespace

FontFace fontFaceForName(const QString& postScriptName) {
  const QString name = postScriptName.trimmed();
  for (const FamilyNames& f : kFamilies) {
    for (int style = 0; style < 4; ++style)
      if (f.names[style] != nullptr && name == QLatin1String(f.names[style])) return faceOf(f, style);
    if (name.compare(QLatin1String(f.family), Qt::CaseInsensitive) == 0) return faceOf(f, 0);
  }
  // "<Family>-<Style>" of an installed family, e.g. "DejaVuSans-Bold".
  const qsizetype dash = name.lastIndexOf('-');
  if (dash > 0) {
    const QString style = name.mid(dash + 1);
    for (const StyleSuffix& s : kSuffixes) {
      if (style.compare(QLatin1String(s.suffix), Qt::CaseInsensitive) != 0) continue;
      const QString family = installedFamilyFor(name.left(dash));
      if (!family.isEmpty()) return FontFace{family, s.weight, s.italic};
    }
  }
  const QString installed = installedFamilyFor(name);
  return FontFace{installed.isEmpty() ? name : installed, QFont::Normal, false};
}

QFont fontForName(const QString& postScriptName, double pointSize) {
  const FontFace face = fontFaceForName(postScriptName);
  QFont font(face.family);
  font.setWeight(face.weight);
  font.setItalic(face.italic);
  if (pointSize > 0) font.setPointSizeF(pointSize);
  return font;
}

QString postScriptNameForFont(const QFont& font) {
  const bool bold = font.weight() >= QFont::DemiBold;
  const bool italic = font.italic();
  const int style = (bold ? 1 : 0) | (italic ? 2 : 0);
  const QString family = font.family();
  for (const FamilyNames& f : kFamilies) {
    if (family.compare(QLatin1String(f.family), Qt::CaseInsensitive) != 0 &&
        !(f.standsFor && family.compare(QLatin1String(f.drawWith), Qt::CaseInsensitive) == 0))
      continue;
    if (f.names[style] != nullptr) return QString::fromLatin1(f.names[style]);
    return QString::fromLatin1(f.names[style & 1] != nullptr ? f.names[style & 1] : f.names[0]);
  }
  QString name = withoutBlanks(family);
  if (bold && italic)
    name += "-BoldItalic";
  else if (bold)
    name += "-Bold";
  else if (italic)
    name += "-Italic";
  return name;
}

}  // namespace platform
