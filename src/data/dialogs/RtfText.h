#pragma once
// A small reader that turns a rich-text (RTF) document into its plain text:
// groups, control words and symbols, paragraph and line breaks, tabs, bytes
// written as \'hh in the document's code page, \uN characters with their
// fallback skipped, and destinations that hold no body text (font, colour and
// style tables, document info, pictures, headers and footers, fields'
// instructions, anything marked \*) left out. Formatting is dropped.

#include <QByteArray>
#include <QString>
#include <optional>

namespace rich_text {

// The document's text, paragraphs ending in "\n"; nullopt when the bytes are
// no rich-text document (they must begin with "{\rtf") or nest groups deeper
// than a document sensibly does.
std::optional<QString> plainText(const QByteArray& document);

}  // namespace rich_text
