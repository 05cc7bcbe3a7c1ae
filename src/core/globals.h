#pragma once
// Program-wide state of the drawing core, kept together in one place.
// Everything here may be read from the export and mail workers as well as
// from the GUI thread, so each value is atomic or behind a mutex.

#include <QLoggingCategory>
#include <QString>
#include <atomic>

#include "platform/GuardedString.h"

// Current side: 0 front, 1 back. Selecting the temp side leaves it unchanged.
extern std::atomic<int> Card_Front_Or_Back;

// Side code of the current side: "B" when Card_Front_Or_Back is 1, else "F".
QString currentCardSideCode();

// Set while stored values are being loaded into controls: change handlers then
// neither write back into objects or page settings nor redraw. It can only be
// set through ScopedNotDrawOnlyPropChange, so an exception cannot leave it set;
// nested guards keep it set until the outermost one ends.
bool Not_Draw_Only_Prop_Change();

class ScopedNotDrawOnlyPropChange {
 public:
  ScopedNotDrawOnlyPropChange();
  ~ScopedNotDrawOnlyPropChange();
  ScopedNotDrawOnlyPropChange(const ScopedNotDrawOnlyPropChange&) = delete;
  ScopedNotDrawOnlyPropChange& operator=(const ScopedNotDrawOnlyPropChange&) = delete;
};

// PostScript name of the font of new text storages and of new page settings.
extern GuardedString Text_Ctrl_Font;  // "TimesNewRomanPS-ItalicMT"

// Path of the picture last chosen for a picture object.
extern GuardedString Library_Selected_Image;

// Pasteboard type of the graphic pasteboard data.
inline constexpr const char* SKTGraphicViewPasteboardType = "QUVO Card graphics pasteboard type";

// The log of this subsystem: warnings and failures are written; the
// details of its work only when asked for (QT_LOGGING_RULES="quvo.drawing.debug=true").
Q_DECLARE_LOGGING_CATEGORY(lcDrawing)
