// Counted work and limits of the property-list reader on generated hostile
// inputs: what the reader asks of the library is counted (see
// support/PlistLibraryWork.h), never the time it takes.
#include <gtest/gtest.h>

#include "platform/PropertyList.h"
#include "support/PlistLibraryWork.h"

using namespace platform;
using testing_support::plistLibraryWork;

namespace {

struct Counted {
  std::optional<PlistValue> value;
  QString error;
  qint64 itemWork = 0;
  qint64 parses = 0;
};

Counted countedParse(const QByteArray& bytes, const PlistLimits& limits = {}) {
  Counted c;
  const auto before = plistLibraryWork();
  c.value = parsePropertyList(bytes, &c.error, limits);
  const auto work = plistLibraryWork() - before;
  c.itemWork = work.itemWork;
  c.parses = work.parses;
  return c;
}

// n shared references in one list: about one byte an item in the binary form.
PlistValue sharedItems(int n) {
  return PlistValue(PlistArray(static_cast<size_t>(n), PlistValue::string("x")));
}

// Arrays nested `levels` deep around one text.
PlistValue nested(int levels) {
  PlistValue v = PlistValue::string("core");
  for (int i = 0; i < levels; ++i) v = PlistValue(PlistArray{std::move(v)});
  return v;
}

}  // namespace

TEST(PropertyListWork, ItemFetchesAreLinearInTheItemsOfBothForms) {
  const int n = 100000;
  const PlistValue list = sharedItems(n);
  for (const QByteArray& bytes : {toBinaryPropertyList(list), toXmlPropertyList(list)}) {
    const Counted c = countedParse(bytes);
    ASSERT_TRUE(c.value) << c.error.toStdString();
    EXPECT_EQ(c.value->array()->size(), static_cast<size_t>(n));
    EXPECT_LE(c.itemWork, n + 1) << "form " << bytes.left(6).toStdString();
  }
}

TEST(PropertyListWork, BothFormsMeetTheSameLimitsBeforeTheLibraryBuildsAnything) {
  // 1 list + 99 texts = 100 values; 20 arrays around a text = 21 values, depth 20.
  PlistArray texts;
  for (int i = 0; i < 99; ++i) texts.push_back(PlistValue::string(QString::number(i)));
  const PlistValue wide(std::move(texts));
  const PlistValue deep = nested(20);
  for (bool binary : {true, false}) {
    auto bytesOf = [binary](const PlistValue& v) {
      return binary ? toBinaryPropertyList(v) : toXmlPropertyList(v);
    };
    const std::string form = binary ? "binary" : "XML";
    PlistLimits limits;
    limits.nodes = 100;
    EXPECT_TRUE(countedParse(bytesOf(wide), limits).value) << form;
    limits.nodes = 99;
    Counted refused = countedParse(bytesOf(wide), limits);
    EXPECT_FALSE(refused.value) << form;
    EXPECT_EQ(refused.error, "property list expands to too many values") << form;
    EXPECT_EQ(refused.parses, 0) << form;

    limits = PlistLimits{};
    limits.depth = 20;
    EXPECT_TRUE(countedParse(bytesOf(deep), limits).value) << form;
    limits.depth = 19;
    refused = countedParse(bytesOf(deep), limits);
    EXPECT_FALSE(refused.value) << form;
    EXPECT_EQ(refused.error, "property list is nested too deeply") << form;
    EXPECT_EQ(refused.parses, 0) << form;
  }

  // Data copied out of shared references counts against the size limit:
  // 1000 references to one 10 kB block hold 10 MB in either form.
  const PlistValue copies(PlistArray(1000, PlistValue::data(QByteArray(10000, 'd'))));
  PlistLimits sized;
  sized.bytes = 9'000'000;
  const QByteArray sharedBinary = toBinaryPropertyList(copies);
  EXPECT_LT(sharedBinary.size(), 20000);
  Counted big = countedParse(sharedBinary, sized);
  EXPECT_EQ(big.error, "property list expands to too much data");
  EXPECT_EQ(big.parses, 0);
  EXPECT_EQ(countedParse(toXmlPropertyList(copies), sized).error, "property list is too large");
  sized.bytes = 20'000'000;
  EXPECT_TRUE(countedParse(sharedBinary, sized).value);

  // Tags hidden in comments, declarations, character data or quoted values
  // neither escape the count nor undo the nesting.
  QByteArray tricky = "<?xml version=\"1.0\"?><!DOCTYPE plist><plist version=\"1.0\">";
  for (int i = 0; i < 300; ++i) tricky += "<array note=\"/>\"><!-- </array> --><![CDATA[</array>]]>";
  for (int i = 0; i < 300; ++i) tricky += "</array>";
  tricky += "</plist>";
  Counted c = countedParse(tricky);
  EXPECT_FALSE(c.value);
  EXPECT_EQ(c.error, "property list is nested too deeply");
  EXPECT_EQ(c.parses, 0);
}
