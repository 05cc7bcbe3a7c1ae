// Property lists: round trips through our reader and writers, Python's
// plistlib as an independent reader, and hostile inputs.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTimeZone>
#include <cmath>

#include "platform/PropertyList.h"
#include "support/TestFiles.h"
#include "support/WorkGrowth.h"

using namespace platform;

namespace {

PlistValue sample() {
  PlistDict inner;
  inner.insert("flag", PlistValue::boolean(true));
  inner.insert("off", PlistValue::boolean(false));
  PlistArray list{PlistValue::string("one"), PlistValue::integer(-7), PlistValue::real(0.1),
                  PlistValue(std::move(inner))};
  PlistDict d;
  d.insert("Zeta", PlistValue::string(QString::fromUtf8("Grüße \xF0\x9F\x8E\x82 & <tag>")));
  d.insert("Alpha", PlistValue::integer(4294967296LL * 3 + 5));
  d.insert("Negative", PlistValue::integer(-123456789012LL));
  d.insert("Float", PlistValue::real(static_cast<double>(0.3f)));
  d.insert("Double", PlistValue::real(1.0 / 3.0));
  d.insert("Bytes", PlistValue::data(QByteArray("\x00\x01\xff binary", 10)));
  d.insert("When", PlistValue::date(QDateTime(QDate(2024, 2, 29), QTime(13, 45, 10), QTimeZone::utc())));
  d.insert("Before", PlistValue::date(QDateTime(QDate(1999, 12, 31), QTime(23, 59, 58), QTimeZone::utc())));
  d.insert("List", PlistValue(std::move(list)));
  d.insert("Empty", PlistValue(PlistDict()));
  d.insert("EmptyList", PlistValue(PlistArray()));
  return PlistValue(std::move(d));
}

}  // namespace

TEST(PropertyList, RoundTripsXmlAndBinaryKeepingKeyOrder) {
  const PlistValue v = sample();
  for (const QByteArray& bytes : {toXmlPropertyList(v), toBinaryPropertyList(v)}) {
    ASSERT_FALSE(bytes.isEmpty());
    QString error;
    auto back = parsePropertyList(bytes, &error);
    ASSERT_TRUE(back.has_value()) << error.toStdString();
    EXPECT_EQ(*back, v);
    EXPECT_EQ(back->dict()->keyAt(0), "Zeta");
  }
}

TEST(PropertyList, DictionaryLookupsAreTyped) {
  PlistDict d;
  d.insert("n", PlistValue::integer(3));
  d.insert("s", PlistValue::string("x"));
  d.insert("n", PlistValue::integer(4));  // replaces in place
  EXPECT_EQ(d.size(), 2);
  EXPECT_EQ(d.integer("n"), 4);
  EXPECT_EQ(d.real("n"), 4.0);
  EXPECT_FALSE(d.integer("s"));
  EXPECT_FALSE(d.string("missing"));
  EXPECT_FALSE(d.boolean("n"));
  EXPECT_TRUE(d.remove("n"));
  EXPECT_FALSE(d.contains("n"));
}

TEST(PropertyList, PythonPlistlibReadsBothForms) {
  QTemporaryDir dir;
  const PlistValue v = sample();
  const QString xml = dir.filePath("a.plist"), bin = dir.filePath("b.plist");
  ASSERT_TRUE(testing_support::writeFile(xml, toXmlPropertyList(v)));
  ASSERT_TRUE(testing_support::writeFile(bin, toBinaryPropertyList(v)));
  const QString script = R"PY(
import plistlib, sys, struct, datetime
for path in sys.argv[1:]:
    with open(path, 'rb') as f:
        d = plistlib.load(f)
    assert list(d.keys())[0] == 'Zeta', list(d.keys())
    assert d['Zeta'] == 'Grüße \U0001F382 & <tag>', d['Zeta']
    assert d['Alpha'] == 4294967296 * 3 + 5
    assert d['Negative'] == -123456789012, d['Negative']
    assert d['Float'] == struct.unpack('f', struct.pack('f', 0.3))[0], repr(d['Float'])
    assert d['Double'] == 1.0 / 3.0, repr(d['Double'])
    assert d['Bytes'] == b'\x00\x01\xff binary'
    assert d['When'].replace(tzinfo=None) == datetime.datetime(2024, 2, 29, 13, 45, 10), d['When']
    assert d['Before'].replace(tzinfo=None) == datetime.datetime(1999, 12, 31, 23, 59, 58), d['Before']
    assert d['List'][0] == 'one' and d['List'][1] == -7 and d['List'][2] == 0.1
    assert d['List'][3] == {'flag': True, 'off': False}
    assert d['Empty'] == {} and d['EmptyList'] == []
print('ok')
)PY";
  const auto out = testing_support::runPython(script, {xml, bin});
  EXPECT_EQ(out.trimmed(), "ok");
}

TEST(PropertyList, XmlFormStaysWellFormedWithControlCharacters) {
  QTemporaryDir dir;
  PlistDict d;
  d.insert(QString("key") + QChar(2),
           PlistValue::string(QString("a") + QChar(1) + "b\tc" + QChar(0x0b) + "d"));
  const PlistValue v(std::move(d));
  ASSERT_TRUE(testing_support::writeFile(dir.filePath("c.plist"), toXmlPropertyList(v)));
  EXPECT_EQ(testing_support::runPython("import plistlib,sys; print(repr(plistlib.load(open(sys.argv[1],'rb'))))",
                                {dir.filePath("c.plist")})
                .trimmed(),
            "{'key': 'ab\\tcd'}");
  auto bin = parsePropertyList(toBinaryPropertyList(v));  // the binary form keeps them
  ASSERT_TRUE(bin);
  EXPECT_EQ(*bin, v);
}

TEST(PropertyList, ReadsWhatPythonWrites) {
  const QString script = R"PY(
import plistlib, sys
d = {'b': True, 'i': -5, 'r': 2.5, 's': 'text', 'a': [1, 'x'], 'd': b'xyz'}
sys.stdout.buffer.write(plistlib.dumps(d, fmt=plistlib.FMT_BINARY if sys.argv[1] == 'bin' else plistlib.FMT_XML))
)PY";
  for (const QString form : {"bin", "xml"}) {
    auto v = parsePropertyList(testing_support::runPython(script, {form}));
    ASSERT_TRUE(v) << form.toStdString();
    const PlistDict* d = v->dict();
    ASSERT_TRUE(d);
    EXPECT_EQ(d->boolean("b"), true);
    EXPECT_EQ(d->integer("i"), -5);
    EXPECT_EQ(d->real("r"), 2.5);
    EXPECT_EQ(d->string("s"), "text");
    EXPECT_EQ(d->data("d"), QByteArray("xyz"));
    ASSERT_TRUE(d->array("a"));
    EXPECT_EQ(d->array("a")->size(), 2u);
  }
}

TEST(PropertyList, HostileInputFailsCleanly) {
  QString error;
  EXPECT_FALSE(parsePropertyList(QByteArray(), &error));
  EXPECT_FALSE(parsePropertyList("garbage that is not a list", &error));
  EXPECT_FALSE(parsePropertyList("bplist00", &error));
  EXPECT_FALSE(parsePropertyList("bplist17xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx", &error));
  EXPECT_FALSE(parsePropertyList("<?xml version=\"1.0\"?><plist><dict><key>a</key>", &error));
  // Every truncation of a valid binary list.
  const QByteArray bin = toBinaryPropertyList(sample());
  for (qsizetype n = 0; n < bin.size(); ++n) parsePropertyList(bin.left(n));
  // Flipped bytes of a valid binary list: no crash, whatever the answer.
  for (qsizetype i = 0; i < bin.size(); ++i) {
    QByteArray b = bin;
    b[i] = static_cast<char>(b[i] ^ 0x5A);
    parsePropertyList(b);
  }
  // Character references that decode to NUL, and XML byte flips.
  parsePropertyList(
      "<?xml version=\"1.0\"?><plist><dict><key>a&#0;b</key><string>x&#x0;y</string></dict></plist>");
  const QByteArray xml = toXmlPropertyList(sample());
  for (qsizetype i = 0; i < xml.size(); i += 3) {
    QByteArray b = xml;
    b[i] = static_cast<char>(b[i] ^ 0x0C);
    parsePropertyList(b);
    parsePropertyList(xml.left(i));
  }
  // Too large for the given cap.
  EXPECT_FALSE(parsePropertyList(toXmlPropertyList(sample()), &error, 100));
  EXPECT_EQ(error, "property list is too large");
  // Deep nesting of XML arrays.
  QByteArray deep = "<?xml version=\"1.0\"?><plist version=\"1.0\">";
  for (int i = 0; i < 5000; ++i) deep += "<array>";
  for (int i = 0; i < 5000; ++i) deep += "</array>";
  deep += "</plist>";
  EXPECT_FALSE(parsePropertyList(deep, &error));
  EXPECT_EQ(error, "property list is nested too deeply");
}

TEST(PropertyList, BinaryListWithSharedObjectsCannotExplode) {
  // Object i is an array holding object i+1 twice: 2^60 values once copied out.
  const int levels = 60;
  QByteArray b = "bplist00";
  std::vector<quint64> offsets;
  for (int i = 0; i < levels; ++i) {
    offsets.push_back(b.size());
    b += char(0xA2);
    b += char(i + 1);
    b += char(i + 1);
  }
  offsets.push_back(b.size());
  b += char(0x09);  // true
  const qint64 table = b.size();
  for (quint64 o : offsets) b += char(o);
  QByteArray trailer(32, '\0');
  trailer[6] = 1;
  trailer[7] = 1;
  trailer[15] = char(offsets.size());
  trailer[31] = char(table);
  b += trailer;
  QString error;
  EXPECT_FALSE(parsePropertyList(b, &error));
  EXPECT_EQ(error, "property list expands to too many values");

  // An array that holds itself.
  QByteArray cyc = "bplist00";
  cyc += char(0xA1);
  cyc += char(0);
  cyc += char(8);
  QByteArray t2(32, '\0');
  t2[6] = 1;
  t2[7] = 1;
  t2[15] = 1;
  t2[31] = 10;
  cyc += t2;
  EXPECT_FALSE(parsePropertyList(cyc, &error));
}

TEST(PropertyList, LargeDictionariesReadInLinearTime) {
  const auto dictionary = [](int keys) {
    PlistDict d;
    for (int i = 0; i < keys; ++i) d.insert(QString("k%1").arg(i), PlistValue::integer(i));
    d.insert("k5", PlistValue::integer(-5));  // replaces in place
    return toBinaryPropertyList(PlistValue(std::move(d)));
  };
  auto back = parsePropertyList(dictionary(50000));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->dict()->size(), 50000);
  EXPECT_EQ(back->dict()->integer("k5"), -5);
  EXPECT_EQ(back->dict()->integer("k49999"), 49999);
  EXPECT_EQ(back->dict()->keyAt(49999), "k49999");
  EXPECT_TRUE(back->dict()->remove("k0"));
  EXPECT_EQ(back->dict()->integer("k49999"), 49999);
  EXPECT_FALSE(back->dict()->contains("k0"));

  // Twenty times the keys written and read: twenty times the work when each
  // key is found through the index, four hundred times when each is checked
  // against the keys before it.
  const double growth = testing_support::workGrowth(
      [&](int keys) { EXPECT_EQ(parsePropertyList(dictionary(keys))->dict()->size(), keys); }, 1000, 20000);
  EXPECT_LT(growth, 80);
}
