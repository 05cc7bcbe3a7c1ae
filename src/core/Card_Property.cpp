#include "core/Card_Property.h"

Card_Property::Card_Property() : Card_Content_font{Text_Ctrl_Font.get(), 14.0} {}

Card_Property Card_Property::copy() const {
  Card_Property c = *this;
  c.Card_BG_Image = Card_BG_Image.copy();
  return c;
}
