#include "mainwindow/scripting/GraphicBusObject.h"

#include <cmath>
#include <variant>

#include "core/GraphicLimits.h"
#include "core/scripting/SKTGraphicScripting.h"
#include "core/scripting/SKTScriptingColor.h"

namespace {

// The longest text a script may set, in characters.
constexpr qsizetype kMaxContentsLength = 100000;

QByteArray colorToBus(const std::optional<QColor>& color) {
  return color ? scriptingRGBColorDescriptor(*color).data : QByteArray();
}

// An empty array is none; 6 bytes a colour; anything else is no value at all.
std::optional<std::optional<QColor>> colorFromBus(const QByteArray& bytes) {
  if (bytes.isEmpty()) return std::optional<QColor>();
  if (std::optional<QColor> color = scriptingRGBColorWithDescriptor({typeRGBColor, bytes})) return color;
  return std::nullopt;
}

const QString kBadColor = QStringLiteral(
    "A colour is 6 bytes (red, green and blue as big-endian 16-bit numbers), or empty for none; %1 bytes "
    "were "
    "given.");

}  // namespace

GraphicBusObject::GraphicBusObject(const SKTGraphicPtr& graphic, CardHost& host, QObject* parent)
    : ScriptingBusObject(host, parent), graphic_(graphic) {}

SKTGraphicPtr GraphicBusObject::liveGraphic() {
  SKTGraphicPtr graphic = graphic_.lock();
  if (graphic && graphic->scriptingContainer()) return graphic;
  fail(SKTScriptError{SKTScriptError::Kind::NoContainer,
                      QStringLiteral("The graphic is no longer on the front side of the card.")});
  return nullptr;
}

QString GraphicBusObject::Kind() {
  const SKTGraphicPtr graphic = liveGraphic();
  return graphic ? graphic->className() : QString();
}

int GraphicBusObject::Index() {
  int index = -1;
  serve([&] {
    const SKTGraphicPtr graphic = liveGraphic();
    if (!graphic) return;
    take(SKTGraphicScripting(*graphic).objectSpecifier(), index);
  });
  return index;
}

QByteArray GraphicBusObject::FillColor() {
  const SKTGraphicPtr graphic = liveGraphic();
  return graphic ? colorToBus(SKTGraphicScripting(*graphic).scriptingFillColor()) : QByteArray();
}

QByteArray GraphicBusObject::StrokeColor() {
  const SKTGraphicPtr graphic = liveGraphic();
  return graphic ? colorToBus(SKTGraphicScripting(*graphic).scriptingStrokeColor()) : QByteArray();
}

QList<double> GraphicBusObject::StrokeWidth() {
  const SKTGraphicPtr graphic = liveGraphic();
  if (!graphic) return {};
  const std::optional<double> width = SKTGraphicScripting(*graphic).scriptingStrokeWidth();
  return width ? QList<double>{*width} : QList<double>{};
}

void GraphicBusObject::SetFillColor(const QByteArray& color) {
  setColor(color, &SKTGraphicScripting::setScriptingFillColor);
}

void GraphicBusObject::SetStrokeColor(const QByteArray& color) {
  setColor(color, &SKTGraphicScripting::setScriptingStrokeColor);
}

void GraphicBusObject::setColor(const QByteArray& color, ColorSetter setter) {
  serve([&] {
    const SKTGraphicPtr graphic = liveGraphic();
    if (!graphic) return;
    const auto value = colorFromBus(color);
    if (!value) return failInvalid(kBadColor.arg(color.size()));
    SKTGraphicScripting scripting(*graphic);
    if (const auto error = (scripting.*setter)(*value)) fail(*error);
  });
}

void GraphicBusObject::SetStrokeWidth(const QList<double>& width) {
  serve([&] {
    const SKTGraphicPtr graphic = liveGraphic();
    if (!graphic) return;
    if (width.size() > 1 || (width.size() == 1 && !(width[0] >= 0.0 && width[0] <= kMaxGraphicStrokeWidth)))
      return failInvalid(
          QStringLiteral("A stroke width is one number of points from 0 to %1, or empty for none.")
              .arg(kMaxGraphicStrokeWidth));
    const std::optional<double> value = width.isEmpty() ? std::nullopt : std::optional<double>(width[0]);
    if (const auto error = SKTGraphicScripting(*graphic).setScriptingStrokeWidth(value)) fail(*error);
  });
}

QString GraphicBusObject::Contents() {
  QString contents;
  serve([&] {
    const SKTGraphicPtr graphic = liveGraphic();
    if (!graphic) return;
    take(SKTGraphicScripting(*graphic).scriptingContents(), contents);
  });
  return contents;
}

void GraphicBusObject::SetContents(const QString& contents) {
  serve([&] {
    const SKTGraphicPtr graphic = liveGraphic();
    if (!graphic) return;
    if (contents.size() > kMaxContentsLength)
      return failInvalid(QStringLiteral("A text has at most %1 characters.").arg(kMaxContentsLength));
    if (const auto error = SKTGraphicScripting(*graphic).setScriptingContents(contents)) fail(*error);
  });
}
