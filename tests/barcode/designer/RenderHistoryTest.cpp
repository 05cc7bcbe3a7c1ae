// A barcode's picture depends only on its settings and texts, not on what the
// thread drew before: workers keep laid-out texts from one card to the next,
// and what they keep must never leak into another picture.
#include <gtest/gtest.h>

#include <QImage>
#include <thread>
#include <vector>

#include "barcode/designer/BarcodeRenderer.h"
#include "barcode/designer/BarcodeSettings.h"

using namespace barcode;

namespace {

struct Case {
  BarcodeSettings settings;
  QString value;
};

std::vector<Case> cases() {
  std::vector<Case> out;
  const QStringList values = {"7", "GUEST-000001", "GUEST-000002", "12", "GUEST-000001"};
  for (const QString& symbology : {QStringLiteral("Code 128"), QStringLiteral("QR Code")}) {
    for (int variant = 0; variant < 3; ++variant) {
      for (const QString& value : values) {
        Case c;
        c.settings.barcode_font_index = static_cast<int>(symbologyNames().indexOf(symbology));
        c.settings.linear_or_2d = c.settings.isTwoD() ? 1 : 0;
        c.settings.align_hdr_index = variant;  // the header moves with the alignment
        c.settings.header_font_val.size = 10 + variant;
        c.settings.show_val_on_top = variant == 2 ? 1 : 0;
        c.value = value;
        out.push_back(c);
      }
    }
  }
  return out;
}

QImage pictureOf(const Case& c) {
  const BarcodeRender r = render(c.settings, c.value, c.settings.header_val, c.settings.footer_val);
  return r.ok() ? r.picture.toImage(150) : QImage();
}

}  // namespace

TEST(RenderHistory, APictureIsTheSameAfterAnyOtherPicture) {
  const std::vector<Case> all = cases();
  // Each picture on a thread of its own, with nothing drawn before it.
  std::vector<QImage> alone(all.size());
  for (size_t i = 0; i < all.size(); ++i) std::thread([&, i] { alone[i] = pictureOf(all[i]); }).join();
  // All of them one after the other on one thread, twice.
  std::vector<QImage> inTurn;
  std::thread([&] {
    for (int round = 0; round < 2; ++round)
      for (const Case& c : all) inTurn.push_back(pictureOf(c));
  }).join();
  ASSERT_EQ(inTurn.size(), 2 * all.size());
  for (size_t i = 0; i < inTurn.size(); ++i) {
    ASSERT_FALSE(inTurn[i].isNull()) << i;
    EXPECT_EQ(inTurn[i], alone[i % all.size()])
        << "case " << i % all.size() << " in round " << i / all.size();
  }
}
