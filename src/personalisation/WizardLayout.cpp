#include "personalisation/WizardLayout.h"

#include <algorithm>
#include <cmath>

#include "canvas/SKTGraphicView.h"
#include "canvas/SKTGrid.h"
#include "core/SKTText.h"
#include "personalisation/ProfileHost.h"
#include "personalisation/globals.h"

InviteAnswers InviteAnswers::fromGlobals() {
  return {Invite_Title, Invite_To,    Invite_Message, Invite_Date,
          Invite_Time,  Invite_Venue, Invite_From,    Invite_BG_IMG};
}

namespace {

// One text of the stack: where it goes, the least height that shows all its
// lines, and the height of its fixed place.
struct StackedText {
  PartyTextPlacement placement;
  double least = 0;
  double fixed = 0;
};

// The height all the lines of the text need when the canvas places it with
// the control ID in a box of the width, as the card draws it.
double linesHeight(const QString& ctrl_ID, const QString& text, double width) {
  const SKTGraphicPtr graphic = SKTGraphic::makeGraphic(GraphicKind::Text);
  SKTGraphicView::setUpPlacedText(*graphic, text, ctrl_ID);
  graphic->setBounds(QRectF(0, 0, width, 1));
  return static_cast<const SKTText&>(*graphic).naturalSize().height();
}

// The texts at their fixed places, each box grown to its lines where they
// need more than its fixed height and the texts below it moved down as far.
QList<StackedText> stackAtFixedPlaces(const InviteAnswers& a, double cardWidth) {
  QList<StackedText> out;
  const float w = std::max(static_cast<float>(cardWidth - 80.0), static_cast<float>(kMinPartyTextWidth));
  const float xc = static_cast<float>((cardWidth - w) / 2.0);
  double y = kPartyTopMargin, grown = 0;
  auto place = [&out, &grown, cardWidth](const char* id, const QString& text, double x, double top,
                                         double width, double height) {
    // Only a box widened past the card's margins can reach over its edge.
    x = std::max(0.0, std::min(x, cardWidth - width));
    const QString ctrl_ID = QLatin1String(id);
    const double least = linesHeight(ctrl_ID, text, width);
    const double tall = std::max(height, least);
    out.push_back({{ctrl_ID, text, QRectF(x, top + grown, width, tall)}, least, height});
    grown += tall - height;
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
  return out;
}

// Fits the stack (top to bottom, in list order) into a card too short for
// it. The room between the texts, and a margin under the last one as high as
// the top margin, shrinks first, all by one factor. Then the boxes taller
// than their lines need shrink towards that height, by one factor of what
// they have more. Only when the lines themselves are taller than the card do
// the boxes shrink below them, in proportion, with no room left between; the
// index of the first text, from the top, that then has no room for all its
// lines is returned (-1 when every text has). A card of unknown height (0)
// keeps the places.
int fitToHeight(QList<StackedText>& texts, double cardHeight) {
  if (texts.isEmpty() || texts.last().placement.rect.bottom() <= cardHeight || cardHeight <= 0) return -1;
  double room = kPartyTopMargin, heights = 0, least = 0, above = 0;
  for (const StackedText& t : texts) {
    room += t.placement.rect.top() - above;
    heights += t.placement.rect.height();
    least += t.least;
    above = t.placement.rect.bottom();
  }
  const double roomScale = heights < cardHeight ? (cardHeight - heights) / room : 0.0;
  auto heightOf = [&](const StackedText& t) {
    const double tall = t.placement.rect.height();
    if (heights <= cardHeight) return tall;
    if (least <= cardHeight) return t.least + (tall - t.least) * (cardHeight - least) / (heights - least);
    return t.least * cardHeight / least;
  };
  int without = -1;
  double lines = 0, y = 0;
  above = 0;
  for (qsizetype i = 0; i < texts.size(); ++i) {
    QRectF& rect = texts[i].placement.rect;
    lines += texts[i].least;
    if (without < 0 && lines > cardHeight) without = static_cast<int>(i);
    y += (rect.top() - above) * roomScale;
    above = rect.bottom();
    rect = QRectF(rect.x(), y, rect.width(), std::min(heightOf(texts[i]), cardHeight - y));
    y = rect.bottom();
  }
  return without;
}

// Puts the fitted texts on the lines of a grid of the spacing: each box's
// left and top edges on the nearest lines (a top never above the bottom of
// the box before it), its right and bottom edges on the first lines that
// leave it at least its size. Where the card has no room for that, the
// texts stay as they are.
void putOnGrid(QList<StackedText>& texts, QSizeF card, double spacing) {
  if (spacing <= 0) return;
  auto nearest = [spacing](double v) { return std::floor(v / spacing + 0.5) * spacing; };
  auto atOrAfter = [spacing](double v) { return std::ceil(v / spacing - 1e-9) * spacing; };
  QList<StackedText> onGrid = texts;
  double below = 0;
  for (StackedText& t : onGrid) {
    QRectF& r = t.placement.rect;
    const double x = nearest(r.left()), y = std::max(nearest(r.top()), below);
    r = QRectF(QPointF(x, y), QPointF(atOrAfter(x + r.width()), atOrAfter(y + r.height())));
    if (r.right() > card.width() || r.bottom() > card.height()) return;
    below = r.bottom();
  }
  texts = onGrid;
}

}  // namespace

QList<PartyTextPlacement> Party_Invitation_Layout(const InviteAnswers& answers, QSizeF card,
                                                  double gridSpacing) {
  QList<StackedText> texts = stackAtFixedPlaces(answers, card.width());
  fitToHeight(texts, card.height());
  putOnGrid(texts, card, gridSpacing);
  QList<PartyTextPlacement> out;
  for (const StackedText& t : texts) out.push_back(t.placement);
  return out;
}

QString Party_Text_Without_Room(const InviteAnswers& answers, QSizeF card) {
  QList<StackedText> texts = stackAtFixedPlaces(answers, card.width());
  const int first = fitToHeight(texts, card.height());
  if (first < 0) return QString();
  // The text whose lines reach furthest beyond its place took the room the
  // others lack; the first text without room is named only when every text
  // keeps within its place.
  const StackedText* named = &texts[first];
  double beyond = 0;
  for (const StackedText& t : texts)
    if (t.least - t.fixed > beyond) {
      beyond = t.least - t.fixed;
      named = &t;
    }
  return named->placement.ctrl_ID;
}

void Fill_Party_Invidation_Details(SKTGraphicView& front, const InviteAnswers& answers) {
  ProfileHost& host = profileHost();
  host.Set_Selected_Control_Tool(DrawingTool::Text);
  const SKTGrid* grid = front.grid();
  const double snapping = grid && grid->isConstraining() && grid->isUsable() ? grid->spacing() : 0;
  for (const PartyTextPlacement& p : Party_Invitation_Layout(answers, host.Front_Card_Size(), snapping))
    front.createGraphicOfClass(GraphicKind::Text, nullptr, true, p.rect, QStringLiteral("F"), p.text,
                               p.ctrl_ID);
  host.set_Front_BG_Image(answers.background);
}
