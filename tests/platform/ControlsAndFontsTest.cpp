#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/widgets/Controls.h"
#include "platform/FontNames.h"

TEST(Controls, BoxDisablesEverythingInsideAndGreysTextFields) {
  QWidget window;
  auto* box = new QGroupBox("Outer", &window);
  auto* label = new QLabel("Name", box);
  auto* edit = new QLineEdit(box);
  auto* inner = new QGroupBox("Inner", box);
  auto* check = new QCheckBox("Tick", inner);
  auto* innerLabel = new QLabel("Deep", inner);
  const QColor normal = label->palette().color(QPalette::Active, QPalette::WindowText);

  SetObjEnabled(box, false);
  for (QWidget* w : std::initializer_list<QWidget*>{box, label, edit, inner, check, innerLabel})
    EXPECT_FALSE(w->isEnabled()) << w->metaObject()->className();
  const QColor grey = label->palette().color(QPalette::Active, QPalette::WindowText);
  EXPECT_NE(grey, normal);
  EXPECT_EQ(innerLabel->palette().color(QPalette::Active, QPalette::WindowText), grey);
  EXPECT_NE(edit->palette().color(QPalette::Active, QPalette::Text),
            QLineEdit().palette().color(QPalette::Active, QPalette::Text));

  SetObjEnabled(box, true);
  EXPECT_TRUE(check->isEnabled());
  EXPECT_EQ(label->palette().color(QPalette::Active, QPalette::WindowText), normal);
  SetObjEnabled(nullptr, false);  // nothing
}

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
