#include "mainwindow/scripting/DocumentBusObject.h"

#include <QDBusConnectionInterface>
#include <set>

#include "core/GraphicLimits.h"
#include "core/scripting/SKTDocumentScripting.h"
#include "documentadaptor.h"
#include "graphicadaptor.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/scripting/GraphicBusObject.h"

namespace {

// A script places a new graphic only where the model keeps graphics.
bool isSaneBounds(const QRectF& r) {
  return boundsWithinLimits(r) && r.width() >= 0.0 && r.height() >= 0.0;
}

QString unknownCollection(const QString& key) {
  return QStringLiteral(
             "There is no collection \"%1\"; the collections are graphics, rectangles, circles, "
             "rectangles_round, lines, textAreas and images.")
      .arg(key);
}

QString unusableKey(const QString& key) {
  return QStringLiteral(
             "\"%1\" is no collection a range or a relative position can name; those are graphics, "
             "rectangles, circles, lines, textAreas and images.")
      .arg(key);
}

QString graphicPath(quint64 id) {
  return QString::fromLatin1(scripting_bus::kGraphicsPath) + QString::number(id);
}

// An index specifier of the bus (key and index); none for an empty key.
std::optional<SKTObjectSpecifier> indexSpecifier(const QString& key, int index) {
  if (key.isEmpty()) return std::nullopt;
  return SKTObjectSpecifier::indexed(key, index);
}

}  // namespace

DocumentBusObject::DocumentBusObject(SKTDocument& document, CardHost& host, const QDBusConnection& connection,
                                     QObject* parent)
    : ScriptingBusObject(host, parent), document_(document), host_(host), connection_(connection) {
  new DocumentAdaptor(this);
  connect(&document_, &SKTDocument::graphicsChanged, this, [this](CardSide side) {
    if (side == CardSide::Front) syncGraphicObjects();
  });
}

DocumentBusObject::~DocumentBusObject() {
  for (const auto& entry : published_) connection_.unregisterObject(graphicPath(entry.first));
  connection_.unregisterObject(QString::fromLatin1(scripting_bus::kDocumentPath));
}

bool DocumentBusObject::publish(QString* reason) {
  if (!connection_.registerObject(QString::fromLatin1(scripting_bus::kDocumentPath), this)) {
    *reason =
        QStringLiteral("the object path %1 is taken").arg(QString::fromLatin1(scripting_bus::kDocumentPath));
    return false;
  }
  syncGraphicObjects();
  // The name comes last: a client that sees it finds every object in place.
  if (!connection_.registerService(QString::fromLatin1(scripting_bus::kServiceName))) {
    *reason = connection_.lastError().message();
    if (reason->isEmpty()) *reason = QStringLiteral("another program holds the name");
    return false;
  }
  return true;
}

QDBusObjectPath DocumentBusObject::pathOf(const SKTGraphicPtr& graphic) {
  return QDBusObjectPath(graphicPath(ids_.idOf(graphic)));
}

void DocumentBusObject::syncGraphicObjects() {
  std::set<quint64> live;
  for (const SKTGraphicPtr& graphic : document_.graphics()) {
    const quint64 id = ids_.idOf(graphic);
    live.insert(id);
    if (published_.count(id)) continue;
    auto* object = new GraphicBusObject(graphic, host_, this);
    new GraphicAdaptor(object);
    connection_.registerObject(pathOf(graphic).path(), object);
    published_[id] = object;
  }
  for (auto it = published_.begin(); it != published_.end();) {
    if (live.count(it->first)) {
      ++it;
      continue;
    }
    connection_.unregisterObject(graphicPath(it->first));
    it->second->deleteLater();  // it may be serving the call that removed it
    it = published_.erase(it);
  }
  ids_.forgetDead();
}

QList<QDBusObjectPath> DocumentBusObject::Elements(const QString& collection) {
  QList<QDBusObjectPath> paths;
  serve([&] {
    const auto which = scriptingCollectionForKey(collection);
    if (!which) return failInvalid(unknownCollection(collection));
    for (const SKTGraphicPtr& graphic : SKTDocumentScripting(document_).elements(*which))
      paths << pathOf(graphic);
  });
  return paths;
}

QDBusObjectPath DocumentBusObject::Insert(const QString& collection, int index, const QRectF& bounds) {
  QDBusObjectPath path;
  serve([&] {
    const auto which = scriptingCollectionForKey(collection);
    if (!which) return failInvalid(unknownCollection(collection));
    if (!isSaneBounds(bounds))
      return failInvalid(QStringLiteral("Bounds are x, y, width and height in points, each finite and within "
                                        "%1, width and height 0 or more.")
                             .arg(kMaxGraphicCoordinate));
    const SKTGraphicPtr graphic = SKTDocumentScripting::newScriptingObject(*which);
    graphic->setBounds(bounds);
    if (const auto error = SKTDocumentScripting(document_).insertObject(*which, graphic, index))
      return fail(*error);
    path = pathOf(graphic);
  });
  return path;
}

void DocumentBusObject::Remove(const QString& collection, int index) {
  serve([&] {
    const auto which = scriptingCollectionForKey(collection);
    if (!which) return failInvalid(unknownCollection(collection));
    if (const auto error = SKTDocumentScripting(document_).removeObject(*which, index)) fail(*error);
  });
}

QList<int> DocumentBusObject::answerPositions(const std::optional<std::vector<int>>& positions) {
  if (!positions) {
    fail(QString::fromLatin1(scripting_bus::kRangeError),
         QStringLiteral("The given elements name no object of the graphics."));
    return {};
  }
  return QList<int>(positions->begin(), positions->end());
}

QList<int> DocumentBusObject::EvaluateRange(const QString& key, const QString& startKey, int startIndex,
                                            const QString& endKey, int endIndex) {
  QList<int> answer;
  serve([&] {
    if (!SKTDocumentScripting::isAcceptedSpecifierKey(key)) return failInvalid(unusableKey(key));
    for (const QString& k : {startKey, endKey})
      if (!k.isEmpty() && !SKTDocumentScripting::isAcceptedSpecifierKey(k))
        return failInvalid(unusableKey(k));
    if (startKey.isEmpty() && endKey.isEmpty())
      return failInvalid(QStringLiteral("A range needs a start or an end."));
    const auto specifier = SKTObjectSpecifier::range(key, indexSpecifier(startKey, startIndex),
                                                     indexSpecifier(endKey, endIndex));
    answer = answerPositions(
        SKTDocumentScripting(document_).indicesOfObjectsByEvaluatingObjectSpecifier(specifier));
  });
  return answer;
}

QList<int> DocumentBusObject::EvaluateRelative(const QString& key, const QString& position,
                                               const QString& baseKey, int baseIndex) {
  QList<int> answer;
  serve([&] {
    for (const QString& k : {key, baseKey})
      if (!SKTDocumentScripting::isAcceptedSpecifierKey(k)) return failInvalid(unusableKey(k));
    if (position != QLatin1String("before") && position != QLatin1String("after"))
      return failInvalid(QStringLiteral("The position is \"before\" or \"after\"."));
    const auto specifier = SKTObjectSpecifier::relative(key,
                                                        position == QLatin1String("before")
                                                            ? SKTObjectSpecifier::Position::Before
                                                            : SKTObjectSpecifier::Position::After,
                                                        SKTObjectSpecifier::indexed(baseKey, baseIndex));
    answer = answerPositions(
        SKTDocumentScripting(document_).indicesOfObjectsByEvaluatingObjectSpecifier(specifier));
  });
  return answer;
}

bool registerDocumentScripting(SKTWindowController& window) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  QString reason;
  if (!bus.isConnected()) {
    reason = bus.lastError().message();
    if (reason.isEmpty()) reason = QStringLiteral("no session bus");
  } else {
    auto* document = new DocumentBusObject(*window.document(), window, bus, &window);
    if (document->publish(&reason)) return true;
    delete document;
  }
  qCWarning(lcScripting).noquote() << "Document scripting is not offered on the session bus:" << reason;
  return false;
}
