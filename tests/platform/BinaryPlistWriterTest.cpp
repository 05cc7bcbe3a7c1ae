#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "platform/ChildProcess.h"
#include "platform/KeyedArchive.h"
#include "platform/PropertyList.h"

using platform::PlistArray;
using platform::PlistDict;
using platform::PlistValue;

namespace {

// A value with every type, long containers (counts past the 4-bit marker),
// more than 256 objects (two-byte references) and repeated scalars.
PlistValue sample() {
  PlistArray many;
  for (int i = 0; i < 400; ++i) many.push_back(PlistValue::string(QString("item %1").arg(i % 50)));
  PlistDict d;
  d.insert("text", PlistValue::string("Gr\u00fc\u00dfe \U0001F382"));
  d.insert("ascii", PlistValue::string("Happy Birthday"));
  d.insert("small", PlistValue::integer(7));
  d.insert("wide", PlistValue::integer(70000));
  d.insert("huge", PlistValue::integer(0x123456789LL));
  d.insert("negative", PlistValue::integer(-3));
  d.insert("float32", PlistValue::real(static_cast<double>(1.1f)));
  d.insert("double", PlistValue::real(0.1));
  d.insert("yes", PlistValue::boolean(true));
  d.insert("no", PlistValue::boolean(false));
  d.insert("bytes", PlistValue::data(QByteArray(300, 'x')));
  d.insert("ref", PlistValue::uid(300));
  d.insert("many", PlistValue(std::move(many)));
  for (int i = 0; i < 20; ++i) d.insert(QString("k%1").arg(i), PlistValue::integer(i));
  return PlistValue(std::move(d));
}

}  // namespace

TEST(BinaryPlistWriter, SameValueGivesTheSameBytesAndReadsBackEqual) {
  const QByteArray first = platform::toBinaryPropertyList(sample());
  for (int i = 0; i < 5; ++i) EXPECT_EQ(platform::toBinaryPropertyList(sample()), first);

  ASSERT_TRUE(first.startsWith("bplist00"));
  QString error;
  const auto back = platform::parsePropertyList(first, &error);
  ASSERT_TRUE(back.has_value()) << error.toStdString();
  EXPECT_EQ(*back, sample());
}

TEST(BinaryPlistWriter, PythonReadsEveryType) {
  QTemporaryDir dir;
  const QString file = dir.filePath("sample.plist");
  QFile out(file);
  ASSERT_TRUE(out.open(QIODevice::WriteOnly));
  out.write(platform::toBinaryPropertyList(sample()));
  out.close();

  const char* script =
      "import plistlib, sys, struct\n"
      "d = plistlib.load(open(sys.argv[1], 'rb'))\n"
      "assert d['text'] == 'Gr\\u00fc\\u00dfe \\U0001F382', d['text']\n"
      "assert d['ascii'] == 'Happy Birthday'\n"
      "assert (d['small'], d['wide'], d['huge'], d['negative']) == (7, 70000, 0x123456789, -3)\n"
      "assert d['float32'] == struct.unpack('f', struct.pack('f', 1.1))[0]\n"
      "assert d['double'] == 0.1\n"
      "assert d['yes'] is True and d['no'] is False\n"
      "assert d['bytes'] == b'x' * 300\n"
      "assert d['ref'] == plistlib.UID(300)\n"
      "assert len(d['many']) == 400 and d['many'][399] == 'item 49'\n"
      "assert [d['k%d' % i] for i in range(20)] == list(range(20))\n"
      "print('ok')\n";
  const platform::ChildResult python = platform::runChild("/usr/bin/python3", {"-c", script, file});
  EXPECT_EQ(python.exitCode, 0) << python.err.toStdString();
  EXPECT_EQ(python.out.trimmed(), "ok");
}

TEST(BinaryPlistWriter, BinaryPropertyListLeavesOutOnlyTheNulOfAText) {
  using namespace platform;
  const QString text = QString("Dear ") + QChar(0) + "Anna";
  PlistDict d;
  d.insert(QString("key") + QChar(0) + "tail", PlistValue::string(text));
  const auto back = parsePropertyList(toBinaryPropertyList(PlistValue(d)));
  ASSERT_TRUE(back && back->dict());
  EXPECT_EQ(back->dict()->string("keytail"), "Dear Anna");
  // Through a keyed archive, as texts of card objects travel.
  KeyedArchiveWriter w;
  w.root("SKTText").setString("Text_Value", text);
  KeyedArchiveReader r;
  ASSERT_TRUE(r.load(w.finish())) << r.errorString().toStdString();
  EXPECT_EQ(r.root().getString("Text_Value"), "Dear Anna");
}
