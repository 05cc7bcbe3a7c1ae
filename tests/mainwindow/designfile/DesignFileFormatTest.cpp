// The colour and font items of the design file: keyed archives of one object
// made by the program's keyed archive code (one layout for colours and fonts
// everywhere), and what a reader takes from them.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "DesignFileTestSupport.h"
#include "core/GraphicArchive.h"
#include "core/globals.h"
#include "mainwindow/designfile/DesignFile.h"
#include "mainwindow/designfile/DesignFileFormat.h"
#include "mainwindow/designfile/PlainDesignHost.h"
#include "mainwindow/globals.h"
#include "platform/KeyedArchive.h"
#include "support/ScriptedHost.h"

namespace {

using designfile::PlainDesignHost;
using namespace designfile_test;

// The archive of one colour written object by object, as the design file has
// always stored it: the NSColor first, then its class.
QByteArray handMadeColorArchive(const QByteArray& rgb, int space) {
  platform::KeyedArchiveWriter writer;
  auto& root = writer.root(QStringLiteral("NSColor"));
  root.setInt(QStringLiteral("NSColorSpace"), space);
  root.setBytes(QStringLiteral("NSRGB"), rgb);
  return writer.finish();
}

QByteArray handMadeFontArchive(const QString& name, double size) {
  platform::KeyedArchiveWriter writer;
  auto& root = writer.root(QStringLiteral("NSFont"));
  root.setString(QStringLiteral("NSName"), name);
  root.setDouble(QStringLiteral("NSSize"), size);
  root.setInt(QStringLiteral("NSfFlags"), 16);
  return writer.finish();
}

TEST(DesignFileFormat, ColourAndFontItemsKeepTheirBytes) {
  // Files written before the colour and font archives came from the keyed
  // archive module hold exactly these bytes; the writer must not change them.
  EXPECT_EQ(designfile::archivedColor(QColor(Qt::red)), handMadeColorArchive(QByteArray("1 0 0 1\0", 8), 1));
  EXPECT_EQ(designfile::archivedColor(QColor(51, 102, 153, 204)),
            handMadeColorArchive(QByteArray("0.2 0.4 0.6 0.8\0", 16), 1));
  // An invalid colour is stored as black.
  EXPECT_EQ(designfile::archivedColor(QColor()), handMadeColorArchive(QByteArray("0 0 0 1\0", 8), 1));
  EXPECT_EQ(designfile::archivedFont(CardFont{"TimesNewRomanPS-ItalicMT", 14.0}),
            handMadeFontArchive("TimesNewRomanPS-ItalicMT", 14.0));
  // A font without a name is stored with an empty name, never as none.
  EXPECT_EQ(designfile::archivedFont(CardFont{QString(), 9.5}), handMadeFontArchive("", 9.5));

  // The keyed archive module's root archives are the same bytes.
  EXPECT_EQ(platform::archivedDataWithRootColor(platform::KeyedColor::fromQColor(Qt::red)),
            designfile::archivedColor(QColor(Qt::red)));
  EXPECT_EQ(platform::archivedDataWithRootFont(platform::KeyedFont{"ArialMT", 12.0, 16}),
            designfile::archivedFont(CardFont{"ArialMT", 12.0}));
}

TEST(DesignFileFormat, RootColourAndFontReadersTakeOnlyTheirKind) {
  const QByteArray color = platform::archivedDataWithRootColor(
      platform::KeyedColor{0.5f, 0.25f, 1.0f, 0.75f, platform::KeyedColor::DeviceRGB});
  const auto keyed = platform::unarchivedRootColor(color);
  ASSERT_TRUE(keyed);
  EXPECT_EQ(*keyed, (platform::KeyedColor{0.5f, 0.25f, 1.0f, 0.75f, platform::KeyedColor::DeviceRGB}));
  const auto read = designfile::colorFromArchive(color);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->rgba(), QColor::fromRgbF(0.5f, 0.25f, 1.0f, 0.75f).rgba());

  const QByteArray font = platform::archivedDataWithRootFont(platform::KeyedFont{"Courier", 11.0, 16});
  ASSERT_TRUE(platform::unarchivedRootFont(font));
  EXPECT_EQ(platform::unarchivedRootFont(font)->name, "Courier");
  EXPECT_EQ(designfile::fontFromArchive(font), (CardFont{"Courier", 11.0}));

  // A colour is no font and a font no colour; a graphic archive (whose
  // colours sit inside it) is neither; noise is nothing.
  EXPECT_FALSE(platform::unarchivedRootFont(color));
  EXPECT_FALSE(platform::unarchivedRootColor(font));
  EXPECT_FALSE(designfile::fontFromArchive(color));
  EXPECT_FALSE(designfile::colorFromArchive(font));
  const QByteArray graphic = archivedDataWithGraphic(*SKTGraphic::makeGraphic(GraphicKind::Text));
  EXPECT_FALSE(platform::unarchivedRootColor(graphic));
  EXPECT_FALSE(platform::unarchivedRootFont(graphic));
  EXPECT_FALSE(platform::unarchivedRootColor(QByteArray("1 0 0 1")));
  EXPECT_FALSE(platform::unarchivedRootFont(QByteArray()));

  // A colour with a component that is no number, and a font size the card
  // cannot use, are refused by the design file.
  EXPECT_FALSE(designfile::colorFromArchive(handMadeColorArchive(QByteArray("1 nan 0 1\0", 10), 1)));
  EXPECT_FALSE(designfile::fontFromArchive(handMadeFontArchive("Big", 1.0e6)));
  EXPECT_FALSE(designfile::fontFromArchive(handMadeFontArchive("Negative", -3.0)));
  // A grey colour (white and alpha) is read as RGB.
  platform::KeyedArchiveWriter grey;
  auto& root = grey.root(QStringLiteral("NSColor"));
  root.setInt(QStringLiteral("NSColorSpace"), 3);
  root.setBytes(QStringLiteral("NSWhite"), QByteArray("0.5 1\0", 6));
  const auto greyColor = designfile::colorFromArchive(grey.finish());
  ASSERT_TRUE(greyColor);
  EXPECT_NEAR(greyColor->redF(), 0.5, 1e-4);
  EXPECT_NEAR(greyColor->blueF(), 0.5, 1e-4);
}

// Python's plistlib sees every colour and font element as an archive whose
// root is that one object, with nothing else in it but its class and name.
TEST(DesignFileFormat, PlistlibSeesOneObjectPerColourAndFontElement) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  testing_support::ScriptedHost messages;
  PlainDesignHost host;
  host.front.Card_fill_clr = QColor(10, 20, 30);
  host.back.Card_Content_font = CardFont{"Courier", 9.0};
  const QString file = dir.filePath("colours.dcard");
  Project_File_Name.clear();
  messages.queueSavePanel(file);
  ASSERT_TRUE(designfile::Save_project_file(host, true, false));
  Project_File_Name.clear();

  const char* script = R"PY(
import plistlib, sys
with open(sys.argv[1], 'rb') as f:
    root = plistlib.load(f)
for base in (0, 28):
    for item in (2, 7, 8, 9, 12, 27, 28):
        a = plistlib.loads(root[base + item])
        objs = a['$objects']
        top = objs[a['$top']['root'].data]
        cls = objs[top['$class'].data]
        keys = sorted(k for k in top if k != '$class')
        extra = [o for i, o in enumerate(objs) if i not in (0, a['$top']['root'].data, top['$class'].data)
                 and not isinstance(o, str)]
        print(base + item, cls['$classname'], ','.join(keys), len(extra),
              top.get('NSRGB', b'').rstrip(b'\0').decode(),
              objs[top['NSName'].data] if 'NSName' in top else '', top.get('NSSize', ''))
)PY";
  const QStringList lines = QString::fromUtf8(runPython(script, {file})).split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 14);
  EXPECT_EQ(lines[0], "2 NSColor NSColorSpace,NSRGB 0 0 0 0 1  ");
  EXPECT_EQ(lines[1], "7 NSColor NSColorSpace,NSRGB 0 0.039215688 0.078431375 0.11764706 1  ");
  EXPECT_EQ(lines[6], "28 NSFont NSName,NSSize,NSfFlags 0  TimesNewRomanPS-ItalicMT 14.0");
  EXPECT_EQ(lines[13], "56 NSFont NSName,NSSize,NSfFlags 0  Courier 9.0");

  PlainDesignHost reopened;
  ASSERT_EQ(designfile::Read_and_load_design_Log(reopened, file, "L"), 1);
  Project_File_Name.clear();
  EXPECT_EQ(reopened.front.Card_fill_clr.rgba(), QColor(10, 20, 30).rgba());
  EXPECT_EQ(reopened.back.Card_Content_font, (CardFont{"Courier", 9.0}));
}

}  // namespace
