// Document data read back by Python's plistlib; PDF and TIFF of the front list.
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "RenderFixture.h"
#include "core/render/DocumentData.h"

using namespace render_test;

class RenderDocumentData : public SampleDocumentTest {
 protected:
  QString save(const QByteArray& data, const QString& name) {
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
    return path;
  }
};

TEST_F(RenderDocumentData, DesignDataIsAPlistWithVersionGraphicsAndPrintInfo) {
  for (const char* type : {"QUVO CARD document", SKTDocumentNewTypeName}) {
    const QString path = save(document_data::dataOfType(doc, type), "doc.plist");
    int code = -1;
    const QString out = runTool(
        "/usr/bin/python3",
        {"-c",
         "import plistlib,sys\n"
         "d=plistlib.load(open(sys.argv[1],'rb'))\n"
         "print(sorted(d.keys()), d['version'], len(d['graphics']), type(d['printInfo']).__name__)\n"
         "for g in d['graphics']:\n"
         "  a=plistlib.loads(g)\n"
         "  top=a['$objects'][a['$top']['root'].data]\n"
         "  print(a['$archiver'], a['$objects'][top['$class'].data]['$classname'], top['_shape_type'] if "
         "isinstance(top['_shape_type'], str) else a['$objects'][top['_shape_type'].data])\n"
         "p=plistlib.loads(d['printInfo'])\n"
         "print(p['paperName'], p['orientation'])\n",
         path},
        &code);
    EXPECT_EQ(code, 0) << out.toStdString();
    const QStringList lines = out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << out.toStdString();
    EXPECT_EQ(lines[0], "['graphics', 'printInfo', 'version'] 2 2 bytes");  // the back is not in it
    EXPECT_EQ(lines[1], "NSKeyedArchiver Shape_Control S");
    EXPECT_EQ(lines[2], "NSKeyedArchiver Shape_Control C");
    EXPECT_EQ(lines[3], "A4 0");
  }
}

TEST_F(RenderDocumentData, PrintInfoRoundTrips) {
  document_data::PrintInfo info;
  info.layout = QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Landscape, QMarginsF(10, 20, 30, 40),
                            QPageLayout::Point);
  const auto back = document_data::printInfoFromData(document_data::printInfoData(info));
  EXPECT_EQ(back.layout.orientation(), QPageLayout::Landscape);
  EXPECT_NEAR(back.layout.pageSize().size(QPageSize::Point).width(), 612, 0.5);
  EXPECT_EQ(back.layout.margins(QPageLayout::Point), QMarginsF(10, 20, 30, 40));
  // Rubbish gives the defaults.
  EXPECT_EQ(document_data::printInfoFromData("rubbish").layout.pageSize().id(), QPageSize::A4);
}

TEST_F(RenderDocumentData, PdfAndTiffOfTheFrontList) {
  const QString pdf = save(document_data::dataOfType(doc, "application/pdf"), "front.pdf");
  int code = -1;
  const QString info = runTool("pdfinfo", {pdf}, &code);
  EXPECT_EQ(code, 0) << "pdfinfo (poppler-utils) must be installed";
  EXPECT_TRUE(info.contains(QRegularExpression("Page size:\\s+243 x 154 pts"))) << info.toStdString();
  SKTError error;
  const QByteArray tiff = document_data::dataOfType(doc, "image/tiff", &error);
  const QImage img = QImage::fromData(tiff, "TIFF");
  // Union of (10,10,50,50) and (70,10,50,30) drawing bounds: x 7..124, y 7..64.
  EXPECT_EQ(img.size(), QSize(117, 57));
  EXPECT_EQ(error.code, 0);
}

TEST_F(RenderDocumentData, UnknownTypeIsAProgrammingError) {
  try {
    document_data::dataOfType(doc, "image/jpeg");
    FAIL() << "no exception";
  } catch (const std::invalid_argument& e) {
    EXPECT_EQ(QString(e.what()),
              "Invalid parameter not satisfying: the type is a design, PDF or TIFF type "
              "(\"image/jpeg\" is none of them)");
  }
}

TEST_F(RenderDocumentData, TiffFailureGivesCodeThree) {
  FakeCardHost none;  // no canvas
  ScopedCardHost use(none);
  SKTDocument empty;
  SKTError error;
  EXPECT_TRUE(document_data::dataOfType(empty, "image/tiff", &error).isEmpty());
  EXPECT_EQ(error.code, 3);
  EXPECT_EQ(error.domain, "CardDrawingErrorDomain");
}
