#pragma once
// The first card of the new-card wizard: the answers stacked as text
// objects from the top of the front side, each tagged with a "PARTY_"
// control ID, and the chosen picture as the front's background.

#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

class SKTGraphicView;

struct InviteAnswers {
  QString title, to, message, date, time, venue, from, background;
  // The wizard's answers as they stand in the Invite_ globals.
  static InviteAnswers fromGlobals();
};

struct PartyTextPlacement {
  QString ctrl_ID;  // "PARTY_TITLE" ...
  QString text;
  QRectF rect;  // card points, y down
};

// Texts narrower than this are widened to it, so a narrow card still gets
// boxes that can hold a word.
inline constexpr double kMinPartyTextWidth = 40.0;

// Top edge of the first text on a card tall enough for the fixed places.
inline constexpr double kPartyTopMargin = 40.0;

// Where each non-empty answer goes on a card of `card` points, in the order
// the objects are made. The texts stack from the top at fixed places, each
// box at least as tall as the text's lines need at the box's width (as the
// card draws it), the texts below a taller box moved down as far. When the
// last would end below the card, the room between them (and around them)
// shrinks until they fit; then the boxes taller than their lines need shrink
// towards that height. Only a card too short for the lines themselves gets
// boxes shorter than their lines (see Party_Text_Without_Room): every box
// lies on the card. A box widened to the least width is moved left as far as
// the card needs. With the spacing of a grid that snaps (0: none), the boxes
// then go on its lines where the card has room for that: the left and top
// edges on the nearest lines, no box over the one above, and the right and
// bottom edges out to the next lines, so that no box loses room.
QList<PartyTextPlacement> Party_Invitation_Layout(const InviteAnswers& answers, QSizeF card,
                                                  double gridSpacing = 0);

// The control ID of the text that does not fit on a card of `card` points,
// or an empty string when every text has room for all its lines: the text
// whose lines need the most height beyond its fixed place, or, when each
// keeps within its place, the first text from the top without room.
QString Party_Text_Without_Room(const InviteAnswers& answers, QSizeF card);

// Makes the texts on the front canvas (text tool selected first), on its
// grid's lines while the grid snaps and the card has room, and gives the
// front side the background picture (an empty path changes nothing).
// The card width is the front card's size as the profile host reports it.
void Fill_Party_Invidation_Details(SKTGraphicView& front, const InviteAnswers& answers);
