#include "core/CardTypes.h"

namespace {
struct KindName {
  GraphicKind kind;
  const char* name;
};
constexpr KindName kKindNames[] = {
    {GraphicKind::Graphic, "SKTGraphic"},  {GraphicKind::Text, "SKTText"},
    {GraphicKind::Image, "SKTImage"},      {GraphicKind::Line, "SKTLine"},
    {GraphicKind::Shape, "Shape_Control"}, {GraphicKind::Signature, "SKTSignature"},
    {GraphicKind::Barcode, "SKTBarcode"},
};
}  // namespace

QString graphicClassName(GraphicKind kind) {
  for (const auto& entry : kKindNames)
    if (entry.kind == kind) return QString::fromLatin1(entry.name);
  return {};
}

std::optional<GraphicKind> graphicKindForClassName(const QString& className) {
  for (const auto& entry : kKindNames)
    if (entry.kind != GraphicKind::Graphic && className == QLatin1String(entry.name)) return entry.kind;
  return std::nullopt;
}
