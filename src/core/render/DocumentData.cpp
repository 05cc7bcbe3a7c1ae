#include "core/render/DocumentData.h"

#include <stdexcept>

#include "core/GraphicArchive.h"
#include "core/render/SKTRenderingView.h"
#include "platform/PropertyList.h"

namespace document_data {

bool isDesignType(const QString& type) {
  return type == QLatin1String(SKTDocumentOldTypeName) || type == QLatin1String(SKTDocumentNewTypeName);
}
bool isPdfType(const QString& type) {
  return type == QLatin1String(kPdfType);
}
bool isTiffType(const QString& type) {
  return type == QLatin1String(kTiffType);
}

QByteArray printInfoData(const PrintInfo& info) {
  using platform::PlistValue;
  platform::PlistDict dict;
  const QPageLayout& l = info.layout;
  const QSizeF paper = l.pageSize().size(QPageSize::Point);
  const QMarginsF m = l.margins(QPageLayout::Point);
  dict.insert(QStringLiteral("paperName"), PlistValue::string(l.pageSize().name()));
  dict.insert(QStringLiteral("paperWidth"), PlistValue::real(paper.width()));
  dict.insert(QStringLiteral("paperHeight"), PlistValue::real(paper.height()));
  dict.insert(QStringLiteral("orientation"),
              PlistValue::integer(l.orientation() == QPageLayout::Landscape ? 1 : 0));
  dict.insert(QStringLiteral("leftMargin"), PlistValue::real(m.left()));
  dict.insert(QStringLiteral("topMargin"), PlistValue::real(m.top()));
  dict.insert(QStringLiteral("rightMargin"), PlistValue::real(m.right()));
  dict.insert(QStringLiteral("bottomMargin"), PlistValue::real(m.bottom()));
  return platform::toBinaryPropertyList(PlistValue(std::move(dict)));
}

PrintInfo printInfoFromData(const QByteArray& data) {
  PrintInfo info;
  const auto value = platform::parsePropertyList(data);
  const platform::PlistDict* dict = value ? value->dict() : nullptr;
  if (!dict) return info;
  const double w = dict->real(QStringLiteral("paperWidth")).value_or(0);
  const double h = dict->real(QStringLiteral("paperHeight")).value_or(0);
  if (!(w > 0 && h > 0 && w < 1e5 && h < 1e5)) return info;
  const QMarginsF m(dict->real(QStringLiteral("leftMargin")).value_or(0),
                    dict->real(QStringLiteral("topMargin")).value_or(0),
                    dict->real(QStringLiteral("rightMargin")).value_or(0),
                    dict->real(QStringLiteral("bottomMargin")).value_or(0));
  info.layout =
      QPageLayout(QPageSize(QSizeF(w, h), QPageSize::Point),
                  dict->integer(QStringLiteral("orientation")).value_or(0) == 1 ? QPageLayout::Landscape
                                                                                : QPageLayout::Portrait,
                  m, QPageLayout::Point);
  return info;
}

QByteArray dataOfType(const SKTDocument& document, const QString& type, SKTError* error,
                      const PrintInfo& printInfo) {
  if (isDesignType(type)) {
    using platform::PlistValue;
    platform::PlistArray graphics;
    for (const QByteArray& archive : propertiesWithGraphics(document.graphics()))
      graphics.push_back(PlistValue::data(archive));
    platform::PlistDict root;
    root.insert(QLatin1String(SKTDocumentVersionKey), PlistValue::integer(SKTDocumentCurrentVersion));
    root.insert(QLatin1String(SKTDocumentGraphicsKey), PlistValue(std::move(graphics)));
    root.insert(QLatin1String(SKTDocumentPrintInfoKey), PlistValue::data(printInfoData(printInfo)));
    return platform::toBinaryPropertyList(PlistValue(std::move(root)));
  }
  if (isPdfType(type)) return SKTRenderingView::pdfDataWithGraphics_data(document.graphics());
  if (!isTiffType(type))
    throw std::invalid_argument(
        "Invalid parameter not satisfying: the type is a design, PDF or TIFF type (\"" + type.toStdString() +
        "\" is none of them)");
  int code = 0;
  QByteArray tiff = SKTRenderingView::tiffDataWithGraphics(document.graphics(), &code);
  if (tiff.isEmpty() && error) *error = SKTErrorWithCode(code ? code : SKTErrorTiffFailed);
  return tiff;
}

}  // namespace document_data
