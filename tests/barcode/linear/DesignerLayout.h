#pragma once
// Sizes a linear barcode object the way the designer does before it draws:
// texts and flags, bar width, font sizes, total height from the bar height and
// the printed texts, then the width of the picture. Shared by the tests and by
// the barcode_render tool (header only, so the tool needs no test library).

#include <QString>
#include <algorithm>
#include <memory>

#include "barcode/BarcodeDrawingState.h"
#include "barcode/BarcodePicture.h"
#include "barcode/linear/LinearSymbologies.h"
#include "barcode/linear/QVBBarcodeOffscreenView.h"

namespace barcode::testing {

struct LayoutOptions {
  float barWidth = 1.0f;    // points per module; 0 keeps the symbology's own
  float barHeight = 36.0f;  // points
  bool caption = true;
  QString header;
  QString footer;
};

// Like the designer, sets the margins of texts that are not printed to 0 in the
// state that will draw the object.
inline void layOut(QVBBarcode& b, BarcodeDrawingState& state, const LayoutOptions& options) {
  b.setHeader(options.header);
  b.setFooter(options.footer);
  b.setPrintsCaption(options.caption);
  b.setPrintsHeader(!options.header.isEmpty());
  b.setPrintsFooter(!options.footer.isEmpty());
  if (!b.printsCaption()) state.value_margin = 0;
  if (!b.printsHeader()) state.header_margin = 0;
  if (!b.printsFooter()) state.footer_margin = 0;
  if (options.barWidth > 0) b.setBarWidth(options.barWidth);
  b.setCaptionFontSize(static_cast<float>(state.value_font.pointSizeF()), state);
  b.setHeaderFontSize(static_cast<float>(state.header_font.pointSizeF()), state);
  b.setFooterFontSize(static_cast<float>(state.footer_font.pointSizeF()), state);
  b.setHeight(options.barHeight);
  if (b.printsCaption()) b.setHeight(b.height() + b.captionHeight() * 72.0f + state.value_margin);
  if (b.printsHeader()) b.setHeight(b.height() + b.headerHeight() * 72.0f + state.header_margin);
  if (b.printsFooter()) b.setHeight(b.height() + b.footerHeight() * 72.0f + state.footer_margin);
  b.setHeight(b.height() + 2.0f * state.TB_margin);
  b.calculateWidth();
  const float headerWidth = b.printsHeader() ? b.headerWidth() : 0.0f;
  const float footerWidth = b.printsFooter() ? b.footerWidth() : 0.0f;
  float w = std::max({headerWidth, footerWidth, b.width()});
  w += 2.0f * state.LR_margin + (state.LR_margin > 0 ? 15.0f : 0.0f);
  b.setWidth(w);
}

// A drawing state with quiet zones wide enough for decoders.
inline BarcodeDrawingState decoderState() {
  BarcodeDrawingState state;
  state.LR_margin = 12.0f;
  state.TB_margin = 4.0f;
  state.value_margin = 2.0f;
  state.header_margin = 2.0f;
  state.footer_margin = 2.0f;
  return state;
}

}  // namespace barcode::testing
