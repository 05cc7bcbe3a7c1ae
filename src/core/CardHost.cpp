#include "core/CardHost.h"

#include <atomic>

#include "core/render/PaintStyle.h"

namespace {
CardHost& nullHost() {
  static CardHost host;
  return host;
}
std::atomic<CardHost*> installedHost{nullptr};
}  // namespace

CardHost& cardHost() {
  CardHost* host = installedHost.load();
  return host ? *host : nullHost();
}

void setCardHost(CardHost* host) {
  installedHost.store(host);
}

ScopedCardHost::ScopedCardHost(CardHost& host) : previous_(installedHost.load()) {
  setCardHost(&host);
}
ScopedCardHost::~ScopedCardHost() {
  setCardHost(previous_);
}

QString resourceFilePath(const QString& name) {
  QString root = render::resourcePath();
  if (root.isEmpty()) return name;
  if (!root.endsWith(QLatin1Char('/'))) root += QLatin1Char('/');
  return root + name;
}
