#include "production/SnapshotMailCards.h"

namespace production {

bool SnapshotMailCards::writeSide(int side, const QString& path) {
  const QImage picture = snapshot_.sideImage(side == 1 ? CardSide::Back : CardSide::Front);
  return !picture.isNull() && picture.save(path);
}

}  // namespace production
