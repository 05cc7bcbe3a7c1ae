#include "mainwindow/scripting/GraphicIds.h"

#include <iterator>

quint64 GraphicIds::idOf(const SKTGraphicPtr& graphic) {
  auto it = entries_.find(graphic.get());
  // A dead graphic's address may have been taken by a new one.
  if (it != entries_.end() && it->second.graphic.lock() == graphic) return it->second.id;
  const quint64 id = next_++;
  entries_[graphic.get()] = Entry{graphic, id};
  return id;
}

void GraphicIds::forgetDead() {
  std::erase_if(entries_, [](const auto& entry) { return entry.second.graphic.expired(); });
}
