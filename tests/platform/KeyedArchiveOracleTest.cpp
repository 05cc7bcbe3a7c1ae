// GNUstep's NSKeyedUnarchiver reads our archives, and our reader reads
// archives made by GNUstep's NSKeyedArchiver.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "support/TestFiles.h"
#include "platform/KeyedArchive.h"
#include "support/GnustepOracle.h"

using namespace platform;

namespace {

// Our classes are decoded by small stand-ins registered under the archived
// class names; strings, data, arrays and dictionaries are Foundation's own.
const char* const kOracleSource = R"OBJC(
#import <Foundation/Foundation.h>
#include <stdio.h>
#include <string.h>

static NSString* colorText(NSCoder* coder) {
  NSUInteger len = 0;
  const uint8_t* bytes = [coder decodeBytesForKey:@"NSRGB" returnedLength:&len];
  char buf[256] = {0};
  if (len > 0 && len < sizeof buf) memcpy(buf, bytes, len);
  float c[4] = {0, 0, 0, 1};
  int n = sscanf(buf, "%f %f %f %f", &c[0], &c[1], &c[2], &c[3]);
  return [NSString stringWithFormat:@"color(%d; %.9g %.9g %.9g %.9g; n=%d nul=%d)",
      [coder decodeIntForKey:@"NSColorSpace"], c[0], c[1], c[2], c[3], n, (int)(len > 0 && bytes[len - 1] == 0)];
}

@interface OValue : NSObject <NSCoding> { @public NSString* text; }
@end
@implementation OValue
- (void)encodeWithCoder:(NSCoder*)coder {}
- (NSString*)description { return text; }
@end

@interface OColor : OValue
@end
@implementation OColor
- (id)initWithCoder:(NSCoder*)coder { self = [super init]; text = [colorText(coder) retain]; return self; }
@end

@interface OFont : OValue
@end
@implementation OFont
- (id)initWithCoder:(NSCoder*)coder {
  self = [super init];
  text = [[NSString stringWithFormat:@"font(%@ %.17g %d)", [coder decodeObjectForKey:@"NSName"],
      [coder decodeDoubleForKey:@"NSSize"], [coder decodeIntForKey:@"NSfFlags"]] retain];
  return self;
}
@end

@interface OText : OValue
@end
@implementation OText
- (id)initWithCoder:(NSCoder*)coder {
  self = [super init];
  NSDictionary* attrs = [coder decodeObjectForKey:@"NSAttributes"];
  text = [[NSString stringWithFormat:@"text(%@ | %@ | %@ | %d)", [coder decodeObjectForKey:@"NSString"],
      [attrs objectForKey:@"NSFont"], [attrs objectForKey:@"NSColor"], (int)[attrs isKindOfClass:[NSDictionary class]]] retain];
  return self;
}
@end

@interface OImage : OValue
@end
@implementation OImage
- (id)initWithCoder:(NSCoder*)coder {
  self = [super init];
  NSData* d = [coder decodeObjectForKey:@"NSImageData"];
  NSSize s = [coder decodeSizeForKey:@"NSSize"];
  text = [[NSString stringWithFormat:@"image(%lu bytes %g x %g)", (unsigned long)[d length], s.width, s.height] retain];
  return self;
}
@end

@interface OGraphic : OValue
@end
@implementation OGraphic
- (id)initWithCoder:(NSCoder*)coder {
  self = [super init];
  NSMutableString* s = [NSMutableString string];
  NSRect r = [coder decodeRectForKey:@"_bounds"];
  [s appendFormat:@"_bounds=%.17g %.17g %.17g %.17g\n", r.origin.x, r.origin.y, r.size.width, r.size.height];
  [s appendFormat:@"ctrl_is_locked=%d\n", (int)[coder decodeBoolForKey:@"ctrl_is_locked"]];
  [s appendFormat:@"ctrl_is_visible=%d\n", (int)[coder decodeBoolForKey:@"ctrl_is_visible"]];
  [s appendFormat:@"batch_list_index=%d\n", [coder decodeIntForKey:@"batch_list_index"]];
  [s appendFormat:@"alpha_val=%.9g\n", [coder decodeFloatForKey:@"alpha_val"]];
  [s appendFormat:@"_strokeWidth=%.9g\n", [coder decodeFloatForKey:@"_strokeWidth"]];
  [s appendFormat:@"exact=%.17g\n", [coder decodeDoubleForKey:@"exact"]];
  NSPoint p = [coder decodePointForKey:@"pt"];
  [s appendFormat:@"pt=%g %g\n", p.x, p.y];
  [s appendFormat:@"Text_Value=%@\n", [coder decodeObjectForKey:@"Text_Value"]];
  [s appendFormat:@"nothing=%@\n", [coder decodeObjectForKey:@"nothing"]];
  [s appendFormat:@"blob=%lu\n", (unsigned long)[[coder decodeObjectForKey:@"blob"] length]];
  [s appendFormat:@"txt_clr=%@\n", [coder decodeObjectForKey:@"txt_clr"]];
  [s appendFormat:@"text_ctrl_font=%@\n", [coder decodeObjectForKey:@"text_ctrl_font"]];
  [s appendFormat:@"_Text_contents=%@\n", [coder decodeObjectForKey:@"_Text_contents"]];
  [s appendFormat:@"_barcode_image=%@\n", [coder decodeObjectForKey:@"_barcode_image"]];
  NSArray* names = [coder decodeObjectForKey:@"names"];
  [s appendFormat:@"names=%@ (%lu)\n", [names componentsJoinedByString:@","], (unsigned long)[names count]];
  NSDictionary* map = [coder decodeObjectForKey:@"map"];
  [s appendFormat:@"map=%@ %@\n", [map objectForKey:@"one"], [map objectForKey:@"two"]];
  text = [s retain];
  return self;
}
@end

int main(int argc, char** argv) {
  NSAutoreleasePool* pool = [NSAutoreleasePool new];
  if (argc == 3 && strcmp(argv[1], "decode") == 0) {
    NSData* data = [NSData dataWithContentsOfFile:[NSString stringWithUTF8String:argv[2]]];
    NSKeyedUnarchiver* u = [[NSKeyedUnarchiver alloc] initForReadingWithData:data];
    [u setClass:[OGraphic class] forClassName:@"SKTText"];
    [u setClass:[OColor class] forClassName:@"NSColor"];
    [u setClass:[OFont class] forClassName:@"NSFont"];
    [u setClass:[OText class] forClassName:@"NSTextStorage"];
    [u setClass:[OImage class] forClassName:@"NSImage"];
    id root = [u decodeObjectForKey:@"root"];
    [u finishDecoding];
    printf("%s%s", [NSStringFromClass([root class]) UTF8String], "\n");
    printf("%s", [[root description] UTF8String]);
  } else if (argc == 3 && strcmp(argv[1], "encode") == 0) {
    NSMutableData* data = [NSMutableData data];
    NSKeyedArchiver* a = [[NSKeyedArchiver alloc] initForWritingWithMutableData:data];
    [a setOutputFormat:NSPropertyListBinaryFormat_v1_0];
    NSDictionary* dict = [NSDictionary dictionaryWithObjectsAndKeys:@"uno", @"one", [NSNumber numberWithInt:2], @"two", nil];
    NSArray* list = [NSArray arrayWithObjects:@"x", @"y", @"z", nil];
    NSDictionary* rootObject = [NSDictionary dictionaryWithObjectsAndKeys:dict, @"dict", list, @"list",
        @"Grüße", @"text", [NSData dataWithBytes:"abc" length:3], @"data", nil];
    [a encodeObject:rootObject forKey:@"root"];
    [a finishEncoding];
    [data writeToFile:[NSString stringWithUTF8String:argv[2]] atomically:NO];
  } else {
    return 2;
  }
  [pool release];
  return 0;
}
)OBJC";

}  // namespace

TEST(KeyedArchiveOracle, GnustepDecodesOurArchive) {
  KeyedArchiveWriter w;
  auto& root = w.root("SKTText", {"SKTText", "SKTGraphic", "NSObject"});
  root.setRect("_bounds", QRectF(10.25, -20, 123.456789, 0.1));
  root.setBool("ctrl_is_locked", false);
  root.setBool("ctrl_is_visible", true);
  root.setInt("batch_list_index", -3);
  root.setFloat("alpha_val", 0.7f);
  root.setFloat("_strokeWidth", static_cast<float>(1.1));
  root.setDouble("exact", 1.0 / 3.0);
  root.setPoint("pt", QPointF(1.5, -2));
  root.setString("Text_Value", QString::fromUtf8("Grüße"));
  root.setString("nothing", QString());
  root.setData("blob", QByteArray("\x00\x01\x02", 3));
  root.setColor("txt_clr", KeyedColor{0.1f, 0.2f, 0.3f, 0.4f, KeyedColor::DeviceRGB});
  root.setFont("text_ctrl_font", KeyedFont{"TimesNewRomanPS-ItalicMT", 13.5, 16});
  root.setAttributedString("_Text_contents",
                           KeyedAttributedString{"Happy birthday", KeyedFont{"ArialMT", 24, 16},
                                                 KeyedColor{0, 0, 1, 1, KeyedColor::CalibratedRGB}},
                           "NSTextStorage");
  root.setImage("_barcode_image", KeyedImage{QByteArray(100, 'x'), QSizeF(40, 20)});
  root.setStringArray("names", {"a", "b"});
  root.setRef("map", w.dictionary({{"one", w.string("uno")}, {"two", w.integerNumber(2)}}));

  QTemporaryDir dir;
  const QString path = dir.filePath("graphic.archive");
  ASSERT_TRUE(testing_support::writeFile(path, w.finish()));
  const auto run = testing_support::runGnustepProgram(kOracleSource, {"decode", path});
  ASSERT_TRUE(run.ok) << run.problem.toStdString();
  const QString expected = QString::fromUtf8(
      "OGraphic\n"
      "_bounds=10.25 -20 123.456789 0.10000000000000001\n"
      "ctrl_is_locked=0\n"
      "ctrl_is_visible=1\n"
      "batch_list_index=-3\n"
      "alpha_val=0.699999988\n"
      "_strokeWidth=1.10000002\n"
      "exact=0.33333333333333331\n"
      "pt=1.5 -2\n"
      "Text_Value=Grüße\n"
      "nothing=(null)\n"
      "blob=3\n"
      "txt_clr=color(2; 0.100000001 0.200000003 0.300000012 0.400000006; n=4 nul=1)\n"
      "text_ctrl_font=font(TimesNewRomanPS-ItalicMT 13.5 16)\n"
      "_Text_contents=text(Happy birthday | font(ArialMT 24 16) | color(1; 0 0 1 1; n=4 nul=1) | 1)\n"
      "_barcode_image=image(100 bytes 40 x 20)\n"
      "names=a,b (2)\n"
      "map=uno 2\n");
  EXPECT_EQ(QString::fromUtf8(run.out), expected) << run.err.toStdString();
}

TEST(KeyedArchiveOracle, WeReadGnustepsArchive) {
  QTemporaryDir dir;
  const QString path = dir.filePath("gnustep.archive");
  const auto run = testing_support::runGnustepProgram(kOracleSource, {"encode", path});
  ASSERT_TRUE(run.ok) << run.problem.toStdString();
  KeyedArchiveReader r;
  ASSERT_TRUE(r.load(testing_support::readFile(path))) << r.errorString().toStdString();
  EXPECT_TRUE(r.root().isKindOf("NSDictionary")) << r.rootClassName().toStdString();
  auto items = r.root().toDictionary();
  ASSERT_TRUE(items);
  QMap<QString, KeyedObject> byName;
  for (const auto& [k, v] : *items) byName.insert(k, v);
  ASSERT_EQ(byName.size(), 4);
  EXPECT_EQ(byName["text"].toString(), QString::fromUtf8("Grüße"));
  EXPECT_EQ(byName["data"].toData(), QByteArray("abc"));
  auto list = byName["list"].toArray();
  ASSERT_TRUE(list);
  ASSERT_EQ(list->size(), 3u);
  EXPECT_EQ((*list)[2].toString(), "z");
  auto dict = byName["dict"].toDictionary();
  ASSERT_TRUE(dict);
  for (const auto& [k, v] : *dict) {
    if (k == "one") EXPECT_EQ(v.toString(), "uno");
    if (k == "two") EXPECT_EQ(v.toInteger(), 2);
  }
}
