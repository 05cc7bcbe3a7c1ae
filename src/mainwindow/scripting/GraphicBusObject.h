#pragma once
// One graphic of the front side on the bus (/Document/graphics/<id>, interface
// com.quvo.Gratulo.Graphic): its kind, its position, its scripting colours
// and stroke width, and the characters of a text. Colours travel as 6 bytes (big-endian 16-bit red,
// green, blue), none as an empty array; the width as one double or none.

#include <QByteArray>
#include <QList>
#include <memory>
#include <variant>

#include "core/SKTGraphic.h"
#include "core/scripting/SKTGraphicScripting.h"
#include "mainwindow/scripting/ScriptingBusObject.h"

class GraphicBusObject : public ScriptingBusObject {
  Q_OBJECT
 public:
  GraphicBusObject(const SKTGraphicPtr& graphic, CardHost& host, QObject* parent = nullptr);

 public slots:
  QString Kind();
  int Index();
  QByteArray FillColor();
  void SetFillColor(const QByteArray& color);
  QByteArray StrokeColor();
  void SetStrokeColor(const QByteArray& color);
  QList<double> StrokeWidth();
  void SetStrokeWidth(const QList<double>& width);
  QString Contents();
  void SetContents(const QString& contents);

 private:
  // The graphic while a document holds it in its front list; otherwise the
  // call is answered with an error and nothing.
  SKTGraphicPtr liveGraphic();
  using ColorSetter = std::optional<SKTScriptError> (SKTGraphicScripting::*)(const std::optional<QColor>&);
  void setColor(const QByteArray& color, ColorSetter setter);

  // The value of an answer into `out`, or its error as the call's reply.
  template <typename T>
  void take(const std::variant<T, SKTScriptError>& answer, T& out) {
    if (const auto* error = std::get_if<SKTScriptError>(&answer))
      fail(*error);
    else
      out = std::get<T>(answer);
  }

  std::weak_ptr<SKTGraphic> graphic_;
};
