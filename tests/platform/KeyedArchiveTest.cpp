// Keyed archives: every value kind round-trips, Python reads the layout,
// and hostile archives fail cleanly.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cmath>
#include <cstring>

#include "platform/KeyedArchive.h"
#include "support/TestFiles.h"

using namespace platform;

namespace {

QByteArray sampleArchive() {
  KeyedArchiveWriter w;
  auto& root = w.root("SKTText", {"SKTText", "SKTGraphic", "NSObject"});
  root.setRect("_bounds", QRectF(10.25, -20, 123.456789, 0.1));
  root.setBool("ctrl_is_locked", false);
  root.setBool("ctrl_is_visible", true);
  root.setInt("batch_list_index", -3);
  root.setInt("big", 1LL << 40);
  root.setFloat("alpha_val", 0.7f);
  root.setFloat("_strokeWidth", static_cast<float>(1.1));
  root.setDouble("exact", 1.0 / 3.0);
  root.setPoint("pt", QPointF(1.5, -2));
  root.setSize("sz", QSizeF(3, 4));
  root.setString("Text_Value", QString::fromUtf8("Grüße"));
  root.setString("empty", QString(""));
  root.setString("nothing", QString());
  root.setString("$weird", "dollar");
  root.setData("blob", QByteArray("\x00\x01\x02", 3));
  root.setColor("txt_clr", KeyedColor{0.1f, 0.2f, 0.3f, 0.4f, KeyedColor::CalibratedRGB});
  root.setColor("dev", KeyedColor{1, 0, 0.5f, 1, KeyedColor::DeviceRGB});
  root.setFont("text_ctrl_font", KeyedFont{"TimesNewRomanPS-ItalicMT", 13.5, 16});
  root.setAttributedString("_Text_contents",
                           KeyedAttributedString{"Happy birthday", KeyedFont{"ArialMT", 24, 16},
                                                 KeyedColor{0, 0, 1, 1, KeyedColor::CalibratedRGB}},
                           "NSTextStorage");
  root.setImage("_barcode_image", KeyedImage{QByteArray("\x89PNG\r\n\x1a\n", 8), QSizeF(40, 20)});
  root.setStringArray("names", {"a", "b"});
  auto& child = root.setObject("child", "Inner");
  child.setInt("n", 9);
  return w.finish();
}

}  // namespace

TEST(KeyedArchive, EveryValueKindRoundTrips) {
  KeyedArchiveReader r;
  ASSERT_TRUE(r.load(sampleArchive())) << r.errorString().toStdString();
  EXPECT_EQ(r.rootClassName(), "SKTText");
  const KeyedObject o = r.root();
  EXPECT_EQ(o.classes(), (QStringList{"SKTText", "SKTGraphic", "NSObject"}));
  EXPECT_EQ(o.getRect("_bounds"), QRectF(10.25, -20, 123.456789, 0.1));
  EXPECT_EQ(o.getBool("ctrl_is_locked"), false);
  EXPECT_EQ(o.getBool("ctrl_is_visible"), true);
  EXPECT_EQ(o.getInt("batch_list_index"), -3);
  EXPECT_EQ(o.getInt("big"), 1LL << 40);
  EXPECT_EQ(o.getFloat("alpha_val"), 0.7f);
  EXPECT_EQ(o.getFloat("_strokeWidth"), static_cast<float>(1.1));
  EXPECT_EQ(o.getDouble("exact"), 1.0 / 3.0);
  EXPECT_EQ(o.getPoint("pt"), QPointF(1.5, -2));
  EXPECT_EQ(o.getSize("sz"), QSizeF(3, 4));
  EXPECT_EQ(o.getString("Text_Value"), QString::fromUtf8("Grüße"));
  EXPECT_EQ(o.getString("empty"), QString(""));
  EXPECT_FALSE(o.getString("nothing"));
  ASSERT_TRUE(o.getObject("nothing"));
  EXPECT_TRUE(o.getObject("nothing")->isNull());
  EXPECT_EQ(o.getString("$weird"), "dollar");
  EXPECT_TRUE(o.keys().contains("$weird"));
  EXPECT_EQ(o.getData("blob"), QByteArray("\x00\x01\x02", 3));
  EXPECT_EQ(o.getColor("txt_clr"), (KeyedColor{0.1f, 0.2f, 0.3f, 0.4f, KeyedColor::CalibratedRGB}));
  EXPECT_EQ(o.getColor("dev"), (KeyedColor{1, 0, 0.5f, 1, KeyedColor::DeviceRGB}));
  EXPECT_EQ(o.getFont("text_ctrl_font"), (KeyedFont{"TimesNewRomanPS-ItalicMT", 13.5, 16}));
  auto text = o.getAttributedString("_Text_contents");
  ASSERT_TRUE(text);
  EXPECT_EQ(text->text, "Happy birthday");
  EXPECT_EQ(text->font, (KeyedFont{"ArialMT", 24, 16}));
  EXPECT_EQ(text->color, (KeyedColor{0, 0, 1, 1, KeyedColor::CalibratedRGB}));
  EXPECT_TRUE(o.getObject("_Text_contents")->isKindOf("NSAttributedString"));
  EXPECT_EQ(o.getImage("_barcode_image"), (KeyedImage{QByteArray("\x89PNG\r\n\x1a\n", 8), QSizeF(40, 20)}));
  EXPECT_EQ(o.getStringArray("names"), (QStringList{"a", "b"}));
  EXPECT_EQ(o.getObject("child")->className(), "Inner");
  EXPECT_EQ(o.getObject("child")->getInt("n"), 9);
}

TEST(KeyedArchive, MissingOrMistypedKeysLeaveTheDefaultToTheCaller) {
  KeyedArchiveReader r;
  ASSERT_TRUE(r.load(sampleArchive()));
  const KeyedObject o = r.root();
  EXPECT_FALSE(o.getBool("no_such_key"));
  EXPECT_TRUE(o.getBool("no_such_key").value_or(true));
  EXPECT_FALSE(o.getInt("Text_Value"));        // a string is no number
  EXPECT_FALSE(o.getColor("text_ctrl_font"));  // a font is no colour
  EXPECT_FALSE(o.getFont("txt_clr"));
  EXPECT_FALSE(o.getString("alpha_val"));
  EXPECT_FALSE(o.getRect("Text_Value"));
  EXPECT_EQ(o.getDouble("ctrl_is_visible"), 1.0);  // numbers convert
}

TEST(KeyedArchive, FloatsAreStoredAsThirtyTwoBitRealsAndColoursAsText) {
  KeyedArchiveWriter w;
  auto& root = w.root("SKTLine");
  const std::vector<float> samples = {0.1f, 1e-30f, 3.4028235e38f, -7.25f, 0.3f, 1.0f / 3.0f};
  for (size_t i = 0; i < samples.size(); ++i) root.setFloat(QString("f%1").arg(i), samples[i]);
  root.setColor("c", KeyedColor{1.0f / 3.0f, 0.1f, 1e-7f, 0.999f, KeyedColor::CalibratedRGB});
  QTemporaryDir dir;
  const QString path = dir.filePath("a.archive");
  ASSERT_TRUE(testing_support::writeFile(path, w.finish()));
  // Python checks the layout, that each float is a 4-byte real, and the colour text.
  const QString script = R"PY(
import plistlib, sys, struct
raw = open(sys.argv[1], 'rb').read()
d = plistlib.loads(raw)
assert d['$archiver'] == 'NSKeyedArchiver' and d['$version'] == 100000
objs = d['$objects']
assert objs[0] == '$null'
root = objs[d['$top']['root'].data]
cls = objs[root['$class'].data]
assert cls['$classname'] == 'SKTLine' and cls['$classes'] == ['SKTLine', 'NSObject'], cls
for k in sorted(k for k in root if k.startswith('f')):
    v = root[k]
    assert struct.unpack('>f', struct.pack('>f', v))[0] == v
    assert b'\x22' + struct.pack('>f', v) in raw, k   # marker 0x22: 4-byte real
color = objs[root['c'].data]
assert objs[color['$class'].data]['$classname'] == 'NSColor'
assert color['NSColorSpace'] == 1
print(color['NSRGB'].decode('ascii').rstrip('\0'), color['NSRGB'][-1:] == b'\0')
)PY";
  EXPECT_EQ(testing_support::runPython(script, {path}).trimmed(), "0.33333334 0.1 1e-07 0.999 True");
  KeyedArchiveReader r;
  ASSERT_TRUE(r.load(testing_support::readFile(path)));
  for (size_t i = 0; i < samples.size(); ++i) EXPECT_EQ(r.root().getFloat(QString("f%1").arg(i)), samples[i]);
}

TEST(KeyedArchive, HostileArchivesFailCleanly) {
  KeyedArchiveReader r;
  EXPECT_FALSE(r.load("garbage"));
  const QByteArray good = sampleArchive();
  for (qsizetype n = 0; n < good.size(); n += 7) EXPECT_FALSE(r.load(good.left(n)));
  for (qsizetype i = 0; i < good.size(); ++i) {
    QByteArray b = good;
    b[i] = static_cast<char>(b[i] ^ 0x21);
    if (r.load(b)) {  // a harmless change: reading anything must stay safe
      const KeyedObject o = r.root();
      for (const QString& k : o.keys()) {
        o.getString(k), o.getColor(k), o.getFont(k), o.getAttributedString(k), o.getImage(k), o.getRect(k);
      }
    }
  }

  auto archiveWith = [](const std::function<void(PlistDict&)>& edit) {
    PlistDict cls;
    cls.insert("$classes", PlistValue(PlistArray{PlistValue::string("X"), PlistValue::string("NSObject")}));
    cls.insert("$classname", PlistValue::string("X"));
    PlistDict obj;
    obj.insert("$class", PlistValue::uid(2));
    obj.insert("k", PlistValue::uid(1));
    PlistDict top;
    top.insert("root", PlistValue::uid(1));
    PlistDict d;
    d.insert("$version", PlistValue::integer(100000));
    d.insert("$archiver", PlistValue::string("NSKeyedArchiver"));
    d.insert("$top", PlistValue(std::move(top)));
    d.insert("$objects", PlistValue(PlistArray{PlistValue::string("$null"), PlistValue(std::move(obj)),
                                               PlistValue(std::move(cls))}));
    edit(d);
    return toBinaryPropertyList(PlistValue(std::move(d)));
  };
  // The unedited archive is sound, and its self-reference ends by depth.
  ASSERT_TRUE(r.load(archiveWith([](PlistDict&) {})));
  std::optional<KeyedObject> o = r.root();
  int steps = 0;
  while (o) {
    o = o->getObject("k");
    ++steps;
  }
  EXPECT_EQ(steps, kMaxKeyedArchiveDepth + 1);
  EXPECT_FALSE(r.root().getString("k"));

  auto objects = [](PlistDict& d) -> PlistArray& { return *d.value("$objects")->array(); };
  EXPECT_FALSE(
      r.load(archiveWith([&](PlistDict& d) { objects(d)[1].dict()->insert("k", PlistValue::uid(3)); })));
  EXPECT_EQ(r.errorString(), "keyed archive refers to a missing object");
  EXPECT_FALSE(
      r.load(archiveWith([&](PlistDict& d) { objects(d)[1].dict()->insert("$class", PlistValue::uid(1)); })));
  EXPECT_FALSE(r.load(
      archiveWith([&](PlistDict& d) { objects(d)[1].dict()->insert("$class", PlistValue::integer(2)); })));
  EXPECT_FALSE(r.load(archiveWith([&](PlistDict& d) { d.insert("$top", PlistValue(PlistDict())); })));
  EXPECT_FALSE(r.load(archiveWith([&](PlistDict& d) {
    d.dict("$top");
    d.value("$top")->dict()->insert("root", PlistValue::uid(9));
  })));
  EXPECT_FALSE(r.load(
      archiveWith([&](PlistDict& d) { d.value("$top")->dict()->insert("root", PlistValue::uid(2)); })));
  EXPECT_FALSE(
      r.load(archiveWith([&](PlistDict& d) { d.insert("$archiver", PlistValue::string("Other")); })));
  EXPECT_FALSE(r.load(archiveWith([&](PlistDict& d) { d.insert("$version", PlistValue::integer(5)); })));
  EXPECT_FALSE(r.load(archiveWith([&](PlistDict& d) { objects(d)[0] = PlistValue::string("x"); })));
  EXPECT_FALSE(r.load(
      archiveWith([&](PlistDict& d) { objects(d)[2].dict()->insert("$classes", PlistValue::integer(1)); })));
  // A dictionary root that is no archive at all.
  PlistDict plain;
  plain.insert("root", PlistValue::string("x"));
  EXPECT_FALSE(r.load(toBinaryPropertyList(PlistValue(plain))));
  EXPECT_FALSE(r.load(toBinaryPropertyList(PlistValue(PlistArray{}))));
  EXPECT_FALSE(r.isLoaded());
}

TEST(KeyedArchive, ClassDescriptionPosingAsAnObjectIsRefused) {
  using namespace platform;
  // An archived object whose key refers to a class description that carries
  // a "$class" of its own (here pointing at "$null", a plain string).
  auto archive = [](PlistValue evilClass) {
    PlistDict cls;
    cls.insert("$classes", PlistValue(PlistArray{PlistValue::string("X"), PlistValue::string("NSObject")}));
    cls.insert("$classname", PlistValue::string("X"));
    PlistDict obj;
    obj.insert("$class", PlistValue::uid(2));
    obj.insert("k", PlistValue::uid(3));
    PlistDict evil;
    evil.insert("$classname", PlistValue::string("NSString"));
    evil.insert("$classes", PlistValue(PlistArray{PlistValue::string("NSString")}));
    evil.insert("$class", std::move(evilClass));
    PlistDict top;
    top.insert("root", PlistValue::uid(1));
    PlistDict d;
    d.insert("$archiver", PlistValue::string("NSKeyedArchiver"));
    d.insert("$version", PlistValue::integer(100000));
    d.insert("$top", PlistValue(std::move(top)));
    d.insert("$objects", PlistValue(PlistArray{PlistValue::string("$null"), PlistValue(std::move(obj)),
                                               PlistValue(std::move(cls)), PlistValue(std::move(evil))}));
    return toBinaryPropertyList(PlistValue(std::move(d)));
  };
  for (PlistValue evilClass : {PlistValue::uid(0), PlistValue::uid(3), PlistValue::string("x")}) {
    KeyedArchiveReader r;
    if (r.load(archive(evilClass))) {
      // Should it load, reading the key must still be safe.
      EXPECT_FALSE(r.root().getString("k"));
      EXPECT_FALSE(r.root().getColor("k"));
      ADD_FAILURE() << "an archive with a class description that has a class was accepted";
    } else {
      EXPECT_EQ(r.errorString(), "keyed archive has a bad class description");
    }
  }
}

TEST(KeyedArchive, KeyedArchiveInTheXmlFormReadsBack) {
  using namespace platform;
  KeyedArchiveWriter w;
  KeyedObjectWriter& root = w.root("SKTText", {"SKTText", "SKTGraphic", "NSObject"});
  root.setString("Text_Value", "Happy birthday");
  root.setColor("txt_clr", KeyedColor{1, 0, 0, 1});
  root.setInt("text_alignmnet", 2);
  KeyedArchiveReader r;
  ASSERT_TRUE(r.load(w.finishXml())) << r.errorString().toStdString();
  EXPECT_EQ(r.rootClassName(), "SKTText");
  EXPECT_EQ(r.root().getString("Text_Value"), "Happy birthday");
  EXPECT_EQ(r.root().getColor("txt_clr"), (KeyedColor{1, 0, 0, 1}));
  EXPECT_EQ(r.root().getInt("text_alignmnet"), 2);
  // A dictionary that only looks like a reference stays a dictionary.
  const auto plain = parsePropertyList(
      "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><dict><key>CF$UID</key><string>1</string></dict>"
      "<dict><key>CF$UID</key><integer>3</integer><key>more</key><true/></dict>"
      "<dict><key>CF$UID</key><integer>5</integer></dict></array></plist>");
  ASSERT_TRUE(plain && plain->array());
  EXPECT_TRUE((*plain->array())[0].dict());
  EXPECT_TRUE((*plain->array())[1].dict());
  EXPECT_EQ((*plain->array())[2].toUid(), 5u);
}
