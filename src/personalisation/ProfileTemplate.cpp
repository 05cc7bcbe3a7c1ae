#include "personalisation/ProfileTemplate.h"

#include "personalisation/ProfileHost.h"
#include "personalisation/globals.h"
#include "platform/Messages.h"

namespace {

const ProfilePlaceholderLayout* installed = nullptr;

// A frame in the dialog's upward coordinates from where it should land on the card.
QRectF frameForCardTop(double H, double x, double top, double w, double h) {
  return QRectF(x, H - top, w, h);
}

ProfilePlaceholderLayout makeDefaultLayout() {
  ProfilePlaceholderLayout layout;
  const double H = 243.0;
  layout.horzTemplateHeight = H;
  // Text boxes are 18 points high, enough for a line of the 14-point card
  // font, stacked 16 points apart.
  constexpr double kLine = 18, kStep = 16;
  // Landscape, 243 x 153 points: photo left, texts to its right.
  for (int i = 0; i < 9; ++i) layout.landscape[i] = frameForCardTop(H, 80, 6 + kStep * i, 155, kLine);
  layout.landscape[9] = frameForCardTop(H, 10, 86, 65, kLine);  // unique number under the photo
  layout.landscape[10] = frameForCardTop(H, 10, 10, 60, 70);    // photo
  // Portrait, 153 x 243 points: photo at the top, texts beneath it.
  for (int i = 0; i < 9; ++i) layout.portrait[i] = frameForCardTop(H, 10, 90 + kStep * i, 133, kLine);
  layout.portrait[9] = frameForCardTop(H, 80, 40, 63, kLine);  // unique number beside the photo
  layout.portrait[10] = frameForCardTop(H, 10, 10, 60, 70);
  return layout;
}

QString sizeText(const QSizeF& size) {
  return QStringLiteral("{%1, %2}").arg(size.width()).arg(size.height());
}

}  // namespace

const ProfilePlaceholderLayout& defaultProfilePlaceholderLayout() {
  static const ProfilePlaceholderLayout layout = makeDefaultLayout();
  return layout;
}

const ProfilePlaceholderLayout& profilePlaceholderLayout() {
  return installed ? *installed : defaultProfilePlaceholderLayout();
}

void setProfilePlaceholderLayout(const ProfilePlaceholderLayout* layout) {
  installed = layout;
}

QRectF Get_Control_Rect_From_Template(const QString& ctrl_ID) {
  return Get_Control_Rect_From_Template(ctrl_ID, profilePlaceholderLayout());
}

QRectF Get_Control_Rect_From_Template(const QString& ctrl_ID, const ProfilePlaceholderLayout& layout) {
  QRectF rect;
  const QSizeF size = profileHost().Front_Card_Size();
  qCDebug(lcPersonalisation).noquote() << sizeText(size);
  const bool landscape = size.width() >= size.height();
  const auto& fields = userProfileFields();
  for (int i = 0; i < kUserProfileFieldCount; ++i) {
    if (ctrl_ID != QLatin1String(fields[i].defaultId)) continue;
    const std::optional<QRectF>& frame = landscape ? layout.landscape[i] : layout.portrait[i];
    if (frame) rect = *frame;
    break;
  }
  rect.moveTop(layout.horzTemplateHeight - rect.y());
  return rect;
}
