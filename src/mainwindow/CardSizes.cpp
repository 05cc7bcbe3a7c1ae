#include "mainwindow/CardSizes.h"

#include <array>
#include <cmath>

namespace {

struct Inches {
  float width, height;
};

constexpr std::array<Inches, 7> kPvc = {{{3.37f, 2.13f},
                                         {3.31f, 2.06f},
                                         {3.62f, 2.38f},
                                         {3.88f, 2.62f},
                                         {3.5f, 1.75f},
                                         {3.25f, 2.34f},
                                         {2.88f, 2.12f}}};
constexpr std::array<Inches, 8> kPaper = {{{2.36f, 1.58f},
                                           {2.95f, 1.58f},
                                           {2.95f, 1.58f},
                                           {3.54f, 2.13f},
                                           {3.54f, 2.36f},
                                           {2.36f, 3.54f},
                                           {3.94f, 4.09f},
                                           {5.91f, 4.96f}}};

float toMillimetres(float inches) {
  return static_cast<float>(static_cast<double>(inches) * 25.4);
}

}  // namespace

const QStringList& paper_card_arry() {
  static const QStringList names = {
      QStringLiteral("Durable 1452 - Name Badge"), QStringLiteral("Durable 1453 - Name Badge"),
      QStringLiteral("Durable 1454 - Name Badge"), QStringLiteral("Durable 1455 - Name Badge"),
      QStringLiteral("Durable 1456 - Name Badge"), QStringLiteral("Durable 1457 - Name Badge"),
      QStringLiteral("Durable 1458 - Name Badge"), QStringLiteral("Durable 1459 - Name Badge")};
  return names;
}

const QStringList& pvc_card_arry() {
  static const QStringList names = {QStringLiteral("CR80-Credit Card Size"),
                                    QStringLiteral("CR79"),
                                    QStringLiteral("CR90-Over Sized"),
                                    QStringLiteral("CR100-Military Size"),
                                    QStringLiteral("CR50"),
                                    QStringLiteral("CR60"),
                                    QStringLiteral("CR70")};
  return names;
}

QSizeF Get_My_card_Size(const QString& category, const QString& preset, int list_index) {
  const bool pvc = category == QLatin1String("PVC Card");
  const int count = pvc ? static_cast<int>(kPvc.size()) : static_cast<int>(kPaper.size());
  float width = 30.0f, height = 30.0f;
  if (list_index >= 0 && list_index < count) {
    const Inches size = pvc ? kPvc[list_index] : kPaper[list_index];
    width = size.width;
    height = size.height;
  }
  if (list_index != -1) {
    width = toMillimetres(width);
    height = toMillimetres(height);
  }
  if (preset == QLatin1String("V")) std::swap(width, height);
  return {width, height};
}

int cardSizePresetRow(const QString& category, const QString& preset, QSizeF points, int preferred) {
  constexpr double kTolerance = 1.0;
  const int count = static_cast<int>(category == QLatin1String("PVC Card") ? kPvc.size() : kPaper.size());
  auto fits = [&](int row) {
    if (row < 0 || row >= count) return false;
    const QSizeF size = Get_My_card_Size(category, preset, row);
    return std::abs(MM_to_Points_Convert(static_cast<float>(size.width())) - points.width()) < kTolerance &&
           std::abs(MM_to_Points_Convert(static_cast<float>(size.height())) - points.height()) < kTolerance;
  };
  if (fits(preferred)) return preferred;
  for (int row = 0; row < count; ++row)
    if (fits(row)) return row;
  return -1;
}

float Points_to_MM_Convert(float points) {
  return static_cast<float>(static_cast<double>(points) * 0.3527777777778);
}

float MM_to_Points_Convert(float millimetres) {
  return static_cast<float>(static_cast<double>(millimetres) * 2.834645669291);
}
