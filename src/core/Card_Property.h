#pragma once
// Card_Property: the page settings of one card side (border, background fill
// or picture, outline shape, name, preset, category, size and location, and the
// colour and font offered for new content). It draws nothing and checks no
// values: every field accepts whatever it is given. Copying a record copies
// every field (Qt values are copied on write, so a copy never shares a change).

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QSizeF>
#include <QString>

#include "core/CardTypes.h"
#include "core/globals.h"

class Card_Property {
 public:
  Card_Property();

  bool Card_border_chk = false;
  bool Card_fill_chk = false;
  QColor Card_bordr_clr = Qt::black;
  QColor Card_fill_clr = Qt::white;
  QColor Card_fill_Grd_1_clr = Qt::white;
  QColor Card_fill_Grd_2_clr = Qt::white;
  QColor Card_hatch_bk_clr = Qt::white;
  int Card_bor_Stepper = 1;
  int Card_grad_Stepper = 0;
  int Card_Cat_index = 0;
  float Card_alpha_Stepper = 100.0f;
  QString Card_border_style = QStringLiteral("S");
  QString Card_fill_style = QStringLiteral("S");
  QString Card_hatch_style;
  QString Card_Side = QStringLiteral("2");
  QString Card_Side_Name = QStringLiteral("F");
  QString Card_Shape = QStringLiteral("R");
  QString Card_Name = QStringLiteral("Untitled");
  QString Card_Preset = QStringLiteral("Horizontal");
  QString Card_Category = QStringLiteral("PVC Card");
  QString Card_Sub_Category = QStringLiteral("CR80-Credit Card Size");
  QString Card_Create_Mode = QStringLiteral("W");
  QString Card_BG_Image_Path;
  QString Card_BG_Image_Layout = QStringLiteral("Stretch");
  QImage Card_BG_Image;
  QPointF Card_Location{0.0, 0.0};
  QSizeF Card_Size{0.0, 0.0};
  QColor Card_Content_clr = Qt::black;
  CardFont Card_Content_font;  // Text_Ctrl_Font at 14.0 points

  // Setters under the field names (plain stores, no checks).
  void setCard_border_chk(bool v) { Card_border_chk = v; }
  void setCard_fill_chk(bool v) { Card_fill_chk = v; }
  void setCard_bordr_clr(const QColor& v) { Card_bordr_clr = v; }
  void setCard_fill_clr(const QColor& v) { Card_fill_clr = v; }
  void setCard_fill_Grd_1_clr(const QColor& v) { Card_fill_Grd_1_clr = v; }
  void setCard_fill_Grd_2_clr(const QColor& v) { Card_fill_Grd_2_clr = v; }
  void setCard_hatch_bk_clr(const QColor& v) { Card_hatch_bk_clr = v; }
  void setCard_bor_Stepper(int v) { Card_bor_Stepper = v; }
  void setCard_grad_Stepper(int v) { Card_grad_Stepper = v; }
  void setCard_Cat_index(int v) { Card_Cat_index = v; }
  void setCard_alpha_Stepper(float v) { Card_alpha_Stepper = v; }
  void setCard_border_style(const QString& v) { Card_border_style = v; }
  void setCard_fill_style(const QString& v) { Card_fill_style = v; }
  void setCard_hatch_style(const QString& v) { Card_hatch_style = v; }
  void setCard_Side(const QString& v) { Card_Side = v; }
  void setCard_Side_Name(const QString& v) { Card_Side_Name = v; }
  void setCard_Shape(const QString& v) { Card_Shape = v; }
  void setCard_Name(const QString& v) { Card_Name = v; }
  void setCard_Preset(const QString& v) { Card_Preset = v; }
  void setCard_Category(const QString& v) { Card_Category = v; }
  void setCard_Sub_Category(const QString& v) { Card_Sub_Category = v; }
  void setCard_Create_Mode(const QString& v) { Card_Create_Mode = v; }
  void setCard_BG_Image_Path(const QString& v) { Card_BG_Image_Path = v; }
  void setCard_BG_Image_Layout(const QString& v) { Card_BG_Image_Layout = v; }
  void setCard_BG_Image(const QImage& v) { Card_BG_Image = v; }
  void setCard_Location(const QPointF& v) { Card_Location = v; }
  void setCard_Size(const QSizeF& v) { Card_Size = v; }
  void setCard_Content_clr(const QColor& v) { Card_Content_clr = v; }
  void setCard_Content_font(const CardFont& v) { Card_Content_font = v; }

  // A deep copy (the background picture is detached).
  Card_Property copy() const;

  friend bool operator==(const Card_Property&, const Card_Property&) = default;
};
