#include "core/globals.h"

std::atomic<int> Card_Front_Or_Back{0};
GuardedString Text_Ctrl_Font{QStringLiteral("TimesNewRomanPS-ItalicMT")};
GuardedString Library_Selected_Image;

namespace {
std::atomic<int> notDrawOnlyPropChangeDepth{0};
}

QString currentCardSideCode() {
  return Card_Front_Or_Back.load() == 1 ? QStringLiteral("B") : QStringLiteral("F");
}

bool Not_Draw_Only_Prop_Change() {
  return notDrawOnlyPropChangeDepth.load() > 0;
}

ScopedNotDrawOnlyPropChange::ScopedNotDrawOnlyPropChange() {
  ++notDrawOnlyPropChangeDepth;
}
ScopedNotDrawOnlyPropChange::~ScopedNotDrawOnlyPropChange() {
  --notDrawOnlyPropChangeDepth;
}

Q_LOGGING_CATEGORY(lcDrawing, "quvo.drawing", QtWarningMsg)
