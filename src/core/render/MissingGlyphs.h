#pragma once
// Characters that no installed font can draw. Where the font a text names
// lacks a character, the font engine takes it from another installed font
// that has it; where none has it, the engine draws the missing-glyph shape
// (an empty box) in its place. Only the latter is missing.

#include <QString>
#include <QStringList>

#include "core/CardTypes.h"

namespace text_look {

// The characters of `text` for which no installed font has a glyph when the
// text is drawn in `font` (its own face first, then the faces the font
// engine falls back to, then for an italic the upright faces: see
// UprightFallback), each once, in the order they first appear. Spaces,
// line breaks, control and format characters and combining marks are never
// counted: they draw no shape of their own. Any thread.
QStringList charactersWithoutFont(const QString& text, const CardFont& font);

// The characters as a message names them: each as itself, but a private-use,
// unassigned or surrogate code point, which has no look of its own, as
// "U+E000"; joined by ", ", the ones past `shown` only counted (" and 3 more").
QString namedCharacters(const QStringList& characters, qsizetype shown = 10);

}  // namespace text_look
