// Font names: PostScript names mapped to faces and back.
#include <gtest/gtest.h>

#include <QFontInfo>

#include "platform/FontNames.h"

TEST(FontNames, PostScriptNamesMapToFacesAndBack) {
  using platform::FontFace;
  struct Case {
    const char* name;
    FontFace face;
  };
  const Case cases[] = {
      {"TimesNewRomanPSMT", {"Liberation Serif", QFont::Normal, false}},
      {"TimesNewRomanPS-ItalicMT", {"Liberation Serif", QFont::Normal, true}},
      {"TimesNewRomanPS-BoldMT", {"Liberation Serif", QFont::Bold, false}},
      {"TimesNewRomanPS-BoldItalicMT", {"Liberation Serif", QFont::Bold, true}},
      {"ArialMT", {"Liberation Sans", QFont::Normal, false}},
      {"Arial-BoldMT", {"Liberation Sans", QFont::Bold, false}},
      {"Arial-ItalicMT", {"Liberation Sans", QFont::Normal, true}},
      {"Arial-BoldItalicMT", {"Liberation Sans", QFont::Bold, true}},
      {"CourierNewPSMT", {"Liberation Mono", QFont::Normal, false}},
      {"CourierNewPS-BoldItalicMT", {"Liberation Mono", QFont::Bold, true}},
      {"Helvetica-Bold", {"Liberation Sans", QFont::Bold, false}},
      {"LucidaGrande", {"DejaVu Sans", QFont::Normal, false}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::fontFaceForName(c.name), c.face) << c.name;
    const QFont font = platform::fontForName(c.name, 14);
    EXPECT_EQ(font.pointSizeF(), 14.0);
    EXPECT_EQ(font.italic(), c.face.italic);
    if (QString(c.name).contains("MT")) EXPECT_EQ(platform::postScriptNameForFont(font), c.name);
  }
  // A family name, as stored for barcode captions.
  EXPECT_EQ(platform::fontFaceForName("Times New Roman"),
            (FontFace{"Liberation Serif", QFont::Normal, false}));
  // Installed families and their PostScript-like names go both ways.
  QFont dejavu("DejaVu Sans");
  dejavu.setBold(true);
  EXPECT_EQ(platform::postScriptNameForFont(dejavu), "DejaVuSans-Bold");
  EXPECT_EQ(platform::fontFaceForName("DejaVuSans-Bold"), (FontFace{"DejaVu Sans", QFont::Bold, false}));
  // Unknown names are a family name.
  EXPECT_EQ(platform::fontFaceForName("NoSuchFont-Bold").family, "NoSuchFont-Bold");
  // The drawing family really is installed, so Times New Roman metrics hold.
  EXPECT_EQ(QFontInfo(platform::fontForName("TimesNewRomanPSMT", 12)).family(), "Liberation Serif");
}
