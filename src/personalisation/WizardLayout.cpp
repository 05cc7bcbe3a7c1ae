#include "personalisation/WizardLayout.h"

#include <algorithm>

#include "canvas/SKTGraphicView.h"
#include "canvas/SKTGrid.h"
#include "personalisation/ProfileHost.h"
#include "personalisation/globals.h"

InviteAnswers InviteAnswers::fromGlobals() {
  return {Invite_Title, Invite_To,    Invite_Message, Invite_Date,
          Invite_Time,  Invite_Venue, Invite_From,    Invite_BG_IMG};
}

namespace {

// Fits the stack (top to bottom, in list order) into a card too short for
// it. The room between the texts, and a margin under the last one as high as
// the top margin, shrinks first, all by one factor; the heights stay, so a
// box still holds the lines it was made for (a line that does not fit is not
// drawn). Only when the texts alone are taller than the card do the heights
// shrink too, by one factor, with no room left between them. A card of
// unknown height (0) keeps the fixed places.
void fitToHeight(QList<PartyTextPlacement>& texts, double cardHeight) {
  if (texts.isEmpty() || texts.last().rect.bottom() <= cardHeight || cardHeight <= 0) return;
  double room = kPartyTopMargin, heights = 0, above = 0;
  for (const PartyTextPlacement& p : texts) {
    room += p.rect.top() - above;
    heights += p.rect.height();
    above = p.rect.bottom();
  }
  const double roomScale = heights < cardHeight ? (cardHeight - heights) / room : 0.0;
  const double heightScale = heights < cardHeight ? 1.0 : cardHeight / heights;
  double y = 0;
  above = 0;
  for (PartyTextPlacement& p : texts) {
    y += (p.rect.top() - above) * roomScale;
    above = p.rect.bottom();
    p.rect = QRectF(p.rect.x(), y, p.rect.width(), std::min(p.rect.height() * heightScale, cardHeight - y));
    y = p.rect.bottom();
  }
}

}  // namespace

QList<PartyTextPlacement> Party_Invitation_Layout(const InviteAnswers& a, QSizeF card) {
  QList<PartyTextPlacement> out;
  const double cardWidth = card.width();
  const float w = std::max(static_cast<float>(cardWidth - 80.0), static_cast<float>(kMinPartyTextWidth));
  const float xc = static_cast<float>((cardWidth - w) / 2.0);
  double y = kPartyTopMargin;
  auto place = [&out, cardWidth](const char* id, const QString& text, double x, double top, double width,
                                 double height) {
    // Only a box widened past the card's margins can reach over its edge.
    x = std::max(0.0, std::min(x, cardWidth - width));
    out.push_back({QLatin1String(id), text, QRectF(x, top, width, height)});
  };
  if (!a.title.isEmpty()) {
    place("PARTY_TITLE", a.title, xc, y, w, 30);
    y += 50;
  }
  if (!a.to.isEmpty()) {
    place("PARTY_TO", QStringLiteral("Dear ") + a.to + QStringLiteral(","), 30, y, w, 20);
    y += 30;
  }
  if (!a.message.isEmpty()) {
    place("PARTY_MSG", a.message, 50, y, w, 80);
    y += 80;
  }
  if (!a.date.isEmpty()) {
    QString text = a.date;
    if (!a.time.isEmpty()) text += QStringLiteral(" at ") + a.time;
    place("PARTY_DATE", text, 30, y, w, 20);
    y += 30;
  } else {
    if (!a.time.isEmpty()) {
      place("PARTY_TIME", QStringLiteral("AT ") + a.time, 30, y, w, 20);
      y += 30;
    }
    y += 30;
  }
  if (!a.venue.isEmpty()) {
    place("PARTY_VENUE", QStringLiteral("Venue:\n") + a.venue, 30, y, w, 60);
    y += 70;
  } else {
    y += 20;
  }
  if (!a.from.isEmpty()) place("PARTY_FROM", QStringLiteral("From:\n") + a.from, xc, y, w, 40);
  fitToHeight(out, card.height());
  return out;
}

void Fill_Party_Invidation_Details(SKTGraphicView& front, const InviteAnswers& answers) {
  ProfileHost& host = profileHost();
  host.Set_Selected_Control_Tool(DrawingTool::Text);
  for (const PartyTextPlacement& p : Party_Invitation_Layout(answers, host.Front_Card_Size()))
    front.createGraphicOfClass(GraphicKind::Text, nullptr, true, p.rect, QStringLiteral("F"), p.text,
                               p.ctrl_ID);
  host.set_Front_BG_Image(answers.background);
}
