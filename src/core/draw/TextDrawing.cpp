// Drawing of the SKTText kind: box fill and border, then the trimmed,
// case-transformed characters in the object's font, colour, alignment and
// kerning; and its natural size, measured by the same layout as the drawing.
#include <QPainter>

#include "core/SKTText.h"
#include "core/render/PaintStyle.h"
#include "core/render/TextLook.h"
#include "platform/StringHelpers.h"

void SKTText::drawContentsInView(QPainter& painter, bool isBeingCreateOrEdited) {
  if (!ctrl_is_visible) return;
  const QRectF box = bounds();
  if (isBeingCreateOrEdited) {
    // A text being created shows only a thin frame just outside its bounds.
    painter.save();
    QPen frame(paint::knobColor(), 1.0);
    frame.setJoinStyle(Qt::MiterJoin);
    painter.setPen(frame);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box.adjusted(-0.5, -0.5, 0.5, 0.5));
    painter.restore();
    render::graphicDrawn();
    return;
  }
  const QString s = drawnCharacters();
  if (s.isEmpty()) return;

  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  if (isDrawingFill()) {
    QPainterPath boxPath;
    boxPath.addRect(box);
    if (_fill_type == QLatin1String("G"))
      painter.fillPath(
          boxPath, paint::angledGradient(box, fill_grad_angle(), paint::withAlpha(_fill_Grad_clr1, alpha_val),
                                         paint::withAlpha(_fill_Grad_clr2, alpha_val)));
    else
      painter.fillPath(boxPath, paint::withAlpha(_fillColor, alpha_val));
  }
  if (isDrawingStroke()) {
    QPainterPath boxPath;
    boxPath.addRect(box);
    painter.strokePath(boxPath, paint::strokePen(paint::withAlpha(_strokeColor, alpha_val_stroke),
                                                 strokeWidth(), strokeBorderType()));
  }
  text_look::drawTextInRect(painter, s, box, drawnStyle(), Text_Color_Value());
  painter.restore();
  render::graphicDrawn();
}

QString SKTText::drawnCharacters() const {
  // The characters of the text storage; a storage not made yet would be made
  // from Text_Value, so that is read instead (drawing never writes into the graphic).
  const QString s = Trim_Str(_Text_contents ? _Text_contents->string : Text_Value);
  return text_look::applyCaseTransform(s, text_transfrom_case);
}

text_look::TextStyle SKTText::drawnStyle() const {
  return {Text_Font_value(), text_alignmnet, text_kerning};
}

QSizeF SKTText::naturalSize() const {
  const QString s = drawnCharacters();
  if (s.isEmpty()) return bounds().size();  // nothing is drawn, so nothing asks for room
  return text_look::naturalSize(s, drawnStyle(), bounds().width());
}

bool SKTText::isContentsCut() const {
  return !text_look::fitsInRect(drawnCharacters(), bounds(), drawnStyle());
}

void SKTText::setHeightToMatchContents() {
  const QSizeF natural = naturalSize();
  ChangeScope change(*this);  // the watched key set and the bounds: one change
  setBoundsBeingChangedToMatchContents(true);
  const QRectF b = bounds();
  setBounds(QRectF(b.x(), b.y(), b.width(), natural.height()));
  setBoundsBeingChangedToMatchContents(false);
}

void SKTText::makeNaturalSize() {
  if (ctrl_is_locked) return;
  const QSizeF natural = naturalSize();
  setBounds(QRectF(bounds().topLeft(), natural));
}
