#pragma once
// Ids of graphics for their object paths on the bus: a graphic keeps its id
// for its whole life (also while it is off the list, for example removed and
// held by the undo history, and after it comes back); ids are never reused.

#include <QtGlobal>
#include <memory>
#include <unordered_map>

#include "core/SKTGraphic.h"

class GraphicIds {
 public:
  quint64 idOf(const SKTGraphicPtr& graphic);
  // Drops the ids of graphics that no longer exist.
  void forgetDead();

 private:
  struct Entry {
    std::weak_ptr<SKTGraphic> graphic;
    quint64 id;
  };
  std::unordered_map<const SKTGraphic*, Entry> entries_;
  quint64 next_ = 1;
};
