#pragma once
// Card-size presets and the unit conversions of the card-size controls.

#include <QSizeF>
#include <QString>
#include <QStringList>

// The size names of the two preset lists, in list order.
const QStringList& paper_card_arry();
const QStringList& pvc_card_arry();

// The size of preset `list_index` of a category, in millimetres (single
// precision). Category "PVC Card" (exactly) takes the PVC list, any other
// the paper list. Index -1 gives 30 x 30, any other index outside the list
// 762 x 762. Preset "V" swaps width and height.
QSizeF Get_My_card_Size(const QString& category, const QString& preset, int list_index);

// The row of the preset list of a category and orientation (as for
// Get_My_card_Size) whose size is `points` to within less than a point (a new
// card is the credit card size in whole points): `preferred` when it has that
// size (two presets may share one), else the first that has it; -1 when none has.
int cardSizePresetRow(const QString& category, const QString& preset, QSizeF points, int preferred);

// Points to millimetres and back, in double precision, rounded to float.
float Points_to_MM_Convert(float points);
float MM_to_Points_Convert(float millimetres);

// Card sides typed in millimetres must lie in this range.
inline constexpr double kMinCardMillimetres = 10.0;
inline constexpr double kMaxCardMillimetres = 1000.0;
