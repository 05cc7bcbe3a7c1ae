#pragma once
// The card document on the session bus: /Document (interface
// com.quvo.Gratulo.Document, described in com.quvo.Gratulo.Document.xml) and
// one /Document/graphics/<id> object per graphic of the front side, kept in
// step with the front list.

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QList>
#include <QRectF>
#include <map>

#include "core/SKTDocument.h"
#include "mainwindow/scripting/GraphicIds.h"
#include "mainwindow/scripting/ScriptingBusObject.h"

class GraphicBusObject;
class SKTWindowController;

class DocumentBusObject : public ScriptingBusObject {
  Q_OBJECT
 public:
  DocumentBusObject(SKTDocument& document, CardHost& host, const QDBusConnection& connection,
                    QObject* parent = nullptr);
  ~DocumentBusObject() override;

  // Publishes the document and its graphics, then takes the service name.
  // False (with the reason) when the bus refuses either.
  bool publish(QString* reason);

  // The object path of a graphic (its id is made on first use).
  QDBusObjectPath pathOf(const SKTGraphicPtr& graphic);

 public slots:
  QList<QDBusObjectPath> Elements(const QString& collection);
  QDBusObjectPath Insert(const QString& collection, int index, const QRectF& bounds);
  void Remove(const QString& collection, int index);
  QList<int> EvaluateRange(const QString& key, const QString& startKey, int startIndex, const QString& endKey,
                           int endIndex);
  QList<int> EvaluateRelative(const QString& key, const QString& position, const QString& baseKey,
                              int baseIndex);

 private:
  // Registers an object for every front graphic without one and withdraws
  // those of graphics that left the front list.
  void syncGraphicObjects();
  QList<int> answerPositions(const std::optional<std::vector<int>>& positions);

  SKTDocument& document_;
  CardHost& host_;
  QDBusConnection connection_;
  GraphicIds ids_;
  std::map<quint64, GraphicBusObject*> published_;  // children of this object
};

// Offers the window's document for scripting on the session bus as
// com.quvo.Gratulo. Without a session bus (or when another program holds the
// name) the program goes on without it, and one line says so in the log.
// Called once at start-up, right after the main window is made and before
// any other window opens.
bool registerDocumentScripting(SKTWindowController& window);
