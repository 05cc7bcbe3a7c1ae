#include "mainwindow/designfile/PlainDesignHost.h"

#include <QFileInfo>

#include "core/PictureFile.h"

namespace designfile {

PlainDesignHost::PlainDesignHost() {
  back.Card_Side_Name = QStringLiteral("B");
}

void PlainDesignHost::resetForLoading() {
  ++resets;
  front = Card_Property();
  back = Card_Property();
  back.Card_Side_Name = QStringLiteral("B");
  excelUse = false;
  excelPath.clear();
  doc.Clear_All_Undo_Redo();
}

void PlainDesignHost::setBackgroundImage(CardSide side, const QString& path) {
  Card_Property& target = side == CardSide::Back ? back : front;
  target.Card_BG_Image = loadRegularPictureFile(path);
}

}  // namespace designfile
