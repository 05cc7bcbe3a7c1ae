#include "core/scripting/SKTGraphicScripting.h"

#include <QCoreApplication>

#include "core/SKTDocument.h"
#include "core/SKTText.h"
#include "core/scripting/SKTDocumentScripting.h"

struct SKTGraphicScripting::Setting {
  const QString& flagKey;
  bool (SKTGraphic::*canSetFlag)() const;
  const QString& valueKey;
  const char* setRefused;
  const char* removeRefused;
};

namespace {

const char* const kRemoveStroke =
    QT_TRANSLATE_NOOP("SKTGraphic", "You can't remove the stroke from this kind of graphic.");

SKTScriptError refusal(const char* text) {
  // The program's own wording of the refusal when a translation provides one.
  return {SKTScriptError::Kind::Refused, QCoreApplication::translate("SKTGraphic", text),
          SKTScriptRefusedErrorNumber};
}

}  // namespace

std::optional<QColor> SKTGraphicScripting::scriptingFillColor() const {
  if (!graphic_.isDrawingFill()) return std::nullopt;
  return graphic_.fillColor();
}

std::optional<QColor> SKTGraphicScripting::scriptingStrokeColor() const {
  if (!graphic_.isDrawingStroke()) return std::nullopt;
  return graphic_.strokeColor();
}

std::optional<double> SKTGraphicScripting::scriptingStrokeWidth() const {
  if (!graphic_.isDrawingStroke()) return std::nullopt;
  return graphic_.strokeWidth();
}

std::optional<SKTScriptError> SKTGraphicScripting::setScriptingFillColor(const std::optional<QColor>& color) {
  static const Setting fill{
      SKTKeys::drawingFill, &SKTGraphic::canSetDrawingFill, SKTKeys::fillColor,
      QT_TRANSLATE_NOOP("SKTGraphic", "You can't set the fill color of this kind of graphic."),
      QT_TRANSLATE_NOOP("SKTGraphic", "You can't remove the fill from this kind of graphic.")};
  return apply(fill, color ? std::optional<QVariant>(*color) : std::nullopt);
}

std::optional<SKTScriptError> SKTGraphicScripting::setScriptingStrokeColor(
    const std::optional<QColor>& color) {
  static const Setting stroke{
      SKTKeys::drawingStroke, &SKTGraphic::canSetDrawingStroke, SKTKeys::strokeColor,
      QT_TRANSLATE_NOOP("SKTGraphic", "You can't set the stroke color of this kind of graphic."),
      kRemoveStroke};
  return apply(stroke, color ? std::optional<QVariant>(*color) : std::nullopt);
}

std::optional<SKTScriptError> SKTGraphicScripting::setScriptingStrokeWidth(
    const std::optional<double>& width) {
  static const Setting thickness{
      SKTKeys::drawingStroke, &SKTGraphic::canSetDrawingStroke, SKTKeys::strokeWidth,
      QT_TRANSLATE_NOOP("SKTGraphic", "You can't set the stroke thickness of this kind of graphic."),
      kRemoveStroke};
  return apply(thickness, width ? std::optional<QVariant>(*width) : std::nullopt);
}

std::optional<SKTScriptError> SKTGraphicScripting::apply(const Setting& setting,
                                                         const std::optional<QVariant>& value) {
  const bool flagOn = graphic_.valueForKey(setting.flagKey).toBool();
  const bool canSet = (graphic_.*setting.canSetFlag)();
  // One command, one undo entry.
  std::optional<SKTUndoGroup> group;
  if (SKTDocument* document = graphic_.scriptingContainer()) group.emplace(document->undoRecorder());
  if (value) {
    if (!flagOn && !canSet) return refusal(setting.setRefused);
    if (!flagOn) graphic_.setValueForKey(setting.flagKey, true);
    graphic_.setValueForKey(setting.valueKey, *value);
  } else if (flagOn) {
    if (!canSet) return refusal(setting.removeRefused);
    graphic_.setValueForKey(setting.flagKey, false);
  }
  return std::nullopt;
}

std::variant<QString, SKTScriptError> SKTGraphicScripting::scriptingContents() const {
  if (graphic_.kind() != GraphicKind::Text)
    return refusal(QT_TRANSLATE_NOOP("SKTGraphic", "You can't get the text of this kind of graphic."));
  return graphic_.Text_contents()->string;
}

std::optional<SKTScriptError> SKTGraphicScripting::setScriptingContents(const QString& contents) {
  if (graphic_.kind() != GraphicKind::Text)
    return refusal(QT_TRANSLATE_NOOP("SKTGraphic", "You can't set the text of this kind of graphic."));
  std::optional<SKTUndoGroup> group;
  if (SKTDocument* document = graphic_.scriptingContainer()) group.emplace(document->undoRecorder());
  static_cast<SKTText&>(graphic_).setScriptingContents(contents);
  return std::nullopt;
}

std::variant<int, SKTScriptError> SKTGraphicScripting::objectSpecifier() const {
  if (SKTDocument* document = graphic_.scriptingContainer())
    if (std::optional<int> index = SKTDocumentScripting(*document).objectSpecifierForGraphic(graphic_))
      return *index;
  return SKTScriptError{SKTScriptError::Kind::NoContainer,
                        QStringLiteral("The graphic is not on the front side of a card document.")};
}
