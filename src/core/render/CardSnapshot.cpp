#include "core/render/CardSnapshot.h"

CardSnapshot CardSnapshot::take(const SKTGraphicList& front, const SKTGraphicList& back,
                                SidePaintContext frontContext, SidePaintContext backContext) {
  return CardSnapshot{SKTGraphic::cloneGraphics(front), SKTGraphic::cloneGraphics(back),
                      std::move(frontContext), std::move(backContext)};
}

QImage CardSnapshot::sideImage(CardSide side) const {
  const bool isBack = side == CardSide::Back;
  const QImage picture =
      SKTRenderingView::image_From_Card_Graphics(isBack ? back : front, isBack ? backContext : frontContext);
  if (picture.isNull()) return {};
  return SKTRenderingView::opaqueOverWhite(picture);
}
