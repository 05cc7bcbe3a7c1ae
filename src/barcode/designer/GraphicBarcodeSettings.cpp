#include "barcode/designer/GraphicBarcodeSettings.h"

#include "core/SKTGraphic.h"

namespace barcode {

namespace {

// Visits the 38 fields of the record and of the graphic in the same order.
template <class Settings, class Graphic, class Visit>
void visitFields(Settings& s, Graphic& g, Visit&& visit) {
  visit(s.linear_or_2d, g.linear_or_2d);
  visit(s.barcode_font_index, g.barcode_font_index);
  visit(s.linear_font_val, g.linear_font_val);
  visit(s.two_d_font_val, g.two_d_font_val);
  visit(s.header_val, g.header_val);
  visit(s.footer_val, g.footer_val);
  visit(s.show_hide_hdr, g.show_hide_hdr);
  visit(s.show_hide_ftr, g.show_hide_ftr);
  visit(s.show_hide_val, g.show_hide_val);
  visit(s.show_val_on_top, g.show_val_on_top);
  visit(s.align_hdr_index, g.align_hdr_index);
  visit(s.align_ftr_index, g.align_ftr_index);
  visit(s.linear_height_val, g.linear_height_val);
  visit(s.linear_width_val, g.linear_width_val);
  visit(s.qr_size_val, g.qr_size_val);
  visit(s.qr_version_index, g.qr_version_index);
  visit(s.qr_ec_index, g.qr_ec_index);
  visit(s.pdf_hgt_val, g.pdf_hgt_val);
  visit(s.pdf_wdt_val, g.pdf_wdt_val);
  visit(s.pdf_ec_val, g.pdf_ec_val);
  visit(s.dm_module_val, g.dm_module_val);
  visit(s.dm_format_index, g.dm_format_index);
  visit(s.dm_encoding_index, g.dm_encoding_index);
  visit(s.hdr_margin_val, g.hdr_margin_val);
  visit(s.ftr_margin_val, g.ftr_margin_val);
  visit(s.val_margin_val, g.val_margin_val);
  visit(s.TB_marging_val, g.TB_marging_val);
  visit(s.LR_margin_val, g.LR_margin_val);
  visit(s.value_font_val, g.value_font_val);
  visit(s.header_font_val, g.header_font_val);
  visit(s.footer_font_val, g.footer_font_val);
  visit(s.barcode_hdr_clr_val, g.barcode_hdr_clr_val);
  visit(s.barcode_ftr_clr_val, g.barcode_ftr_clr_val);
  visit(s.barcode_val_clr_val, g.barcode_val_clr_val);
  visit(s.barcode_back_clr_val, g.barcode_back_clr_val);
  visit(s.barcode_clr_val, g.barcode_clr_val);
  visit(s.dpi_val_index, g.dpi_val_index);
  visit(s.dpi_custom_val, g.dpi_custom_val);
}

struct FromGraphic {
  template <class T>
  void operator()(T& field, const T& value) const {
    field = value;
  }
  void operator()(BarcodeFont& field, const CardFont& value) const { field = {value.name, value.size}; }
};

struct ToGraphic {
  template <class T>
  void operator()(const T& value, T& field) const {
    field = value;
  }
  void operator()(const BarcodeFont& value, CardFont& field) const { field = {value.name, value.size}; }
};

}  // namespace

BarcodeSettings barcodeSettingsOf(const SKTGraphic& graphic) {
  BarcodeSettings settings;
  visitFields(settings, graphic, FromGraphic{});
  return settings;
}

void setBarcodeSettings(SKTGraphic& graphic, const BarcodeSettings& settings) {
  visitFields(settings, graphic, ToGraphic{});
}

}  // namespace barcode
