// GNUstep's Foundation reads a design file we write: the XML property list,
// the point and size texts (NSPointFromString / NSSizeFromString), the
// archived colours and fonts and the graphic archives (NSKeyedUnarchiver).

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "DesignFileTestSupport.h"
#include "mainwindow/designfile/DesignFile.h"
#include "mainwindow/designfile/PlainDesignHost.h"
#include "support/GnustepOracle.h"

namespace {

const char* const kReader = R"OBJC(
#import <Foundation/Foundation.h>
#include <stdio.h>
#include <string.h>

@interface OColor : NSObject <NSCoding> { @public NSString* text; }
@end
@implementation OColor
- (void)encodeWithCoder:(NSCoder*)coder {}
- (id)initWithCoder:(NSCoder*)coder {
  self = [super init];
  NSUInteger len = 0;
  const uint8_t* bytes = [coder decodeBytesForKey:@"NSRGB" returnedLength:&len];
  char buf[256] = {0};
  if (len > 0 && len < sizeof buf) memcpy(buf, bytes, len);
  float c[4] = {0, 0, 0, 1};
  sscanf(buf, "%f %f %f %f", &c[0], &c[1], &c[2], &c[3]);
  text = [[NSString stringWithFormat:@"color %d %.0f %.0f %.0f %.0f", [coder decodeIntForKey:@"NSColorSpace"],
      c[0] * 255, c[1] * 255, c[2] * 255, c[3] * 255] retain];
  return self;
}
- (NSString*)description { return text; }
@end

@interface OFont : OColor
@end
@implementation OFont
- (id)initWithCoder:(NSCoder*)coder {
  self = [super init];
  text = [[NSString stringWithFormat:@"font %@ %g", [coder decodeObjectForKey:@"NSName"],
      [coder decodeDoubleForKey:@"NSSize"]] retain];
  return self;
}
@end

@interface OGraphic : OColor
@end
@implementation OGraphic
- (id)initWithCoder:(NSCoder*)coder {
  self = [super init];
  NSRect r = [coder decodeRectForKey:@"_bounds"];
  text = [[NSString stringWithFormat:@"%g %g %g %g %@", r.origin.x, r.origin.y, r.size.width, r.size.height,
      [coder decodeObjectForKey:@"Text_Value"]] retain];
  return self;
}
@end

static NSString* unarchived(NSData* data) {
  NSKeyedUnarchiver* u = [[[NSKeyedUnarchiver alloc] initForReadingWithData:data] autorelease];
  [u setClass:[OColor class] forClassName:@"NSColor"];
  [u setClass:[OFont class] forClassName:@"NSFont"];
  NSArray* kinds = [NSArray arrayWithObjects:@"SKTText", @"SKTImage", @"SKTLine", @"Shape_Control",
      @"SKTSignature", @"SKTBarcode", nil];
  NSUInteger k;
  for (k = 0; k < [kinds count]; ++k) [u setClass:[OGraphic class] forClassName:[kinds objectAtIndex:k]];
  [u setClass:[OColor class] forClassName:@"NSTextStorage"];
  [u setClass:[OColor class] forClassName:@"NSImage"];
  id root = [u decodeObjectForKey:@"root"];
  [u finishDecoding];
  return [root description];
}

int main(int argc, char** argv) {
  NSAutoreleasePool* pool = [NSAutoreleasePool new];
  NSArray* e = [NSArray arrayWithContentsOfFile:[NSString stringWithUTF8String:argv[1]]];
  printf("count %lu\n", (unsigned long)[e count]);
  printf("%s %s %s\n", [[e objectAtIndex:0] UTF8String], [[e objectAtIndex:15] UTF8String],
      [[e objectAtIndex:43] UTF8String]);
  NSPoint p = NSPointFromString([e objectAtIndex:18]);
  NSSize s = NSSizeFromString([e objectAtIndex:19]);
  printf("location %.17g %.17g size %.17g %.17g\n", p.x, p.y, s.width, s.height);
  printf("%s\n", [unarchived([e objectAtIndex:2]) UTF8String]);
  printf("%s\n", [unarchived([e objectAtIndex:28]) UTF8String]);
  printf("titles %s\n", [[[e objectAtIndex:59] componentsJoinedByString:@","] UTF8String]);
  NSDictionary* row = [[e objectAtIndex:60] objectAtIndex:0];
  printf("row %s %s\n", [[row objectForKey:@"Extension"] UTF8String], [[row objectForKey:@"Column1"] UTF8String]);
  NSUInteger i = 61;
  int side, n, k;
  for (side = 0; side < 2; ++side) {
    n = [[e objectAtIndex:i++] intValue];
    printf("objects %d\n", n);
    for (k = 0; k < n; ++k) printf("  %s\n", [unarchived([e objectAtIndex:i++]) UTF8String]);
  }
  [pool release];
  return 0;
}
)OBJC";

TEST(DesignFileGnustep, FoundationReadsTheWholeFile) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  designfile::PlainDesignHost host;
  designfile_test::fillFullDesign(host, QDir(dir.path()));
  const QString file = dir.filePath("full.dcard");
  ASSERT_TRUE(designfile_test::writeFile(file, designfile::designFileBytes(designfile::currentDesign(host))));

  const auto run = testing_support::runGnustepProgram(kReader, {file});
  ASSERT_TRUE(run.ok) << run.problem.toStdString() << run.err.toStdString();
  const QStringList lines = QString::fromUtf8(run.out).split('\n', Qt::SkipEmptyParts);
  ASSERT_GE(lines.size(), 9) << run.out.toStdString();
  EXPECT_EQ(lines[0], "count 77");
  EXPECT_EQ(lines[1], "QUVOCARDDESIGNLOGFILE F B");
  EXPECT_EQ(lines[2], "location 0.5 -12.25 size 297.63779527559058 419.52755905511816");
  EXPECT_EQ(lines[3], "color 1 200 10 20 255");
  EXPECT_EQ(lines[4], "font ArialMT 17.5");
  EXPECT_EQ(lines[5], "titles Row,Name,City");
  EXPECT_EQ(lines[6], "row 1 Ann");
  EXPECT_EQ(lines[7], "objects 11");
  EXPECT_EQ(lines[8].trimmed(), "11 22 101.5 40.25 Value 1");
  EXPECT_TRUE(lines.contains("objects 3")) << run.out.toStdString();
  EXPECT_EQ(lines.last().trimmed(), "32 64 122.5 40.25 Value 22");
}

}  // namespace
