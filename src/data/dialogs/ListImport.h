#pragma once
// How outside data becomes a list of series values, without any window: text,
// rich-text and CSV files, pasted text and picture folders. The list import
// wizard runs these on a worker and writes or hands on what they give.
//
// Each reader fills a SeriesValues and stops at the first value that the list
// refuses (it is over its limit): a file or folder that would give more values
// than a series may hold costs no more work and memory than one at the limit.
// Text files are read and decoded chunk by chunk and never split into a list
// of all their pieces.

#include <QByteArray>
#include <QString>
#include <atomic>

#include "data/SeriesValues.h"

namespace list_import {

// Text files larger than this are refused as unreadable.
constexpr qint64 kMaxSourceBytes = qint64{256} * 1024 * 1024;

// Why a source gave no values.
enum class SourceFailure {
  None,
  Unreadable,  // "Please select a valid file."
  NoText,      // "Either file is corrupted or selected file contains invalid characters."
};

// The message the wizard shows for a failure ("" for None).
QString failureMessage(SourceFailure failure);

// A piece of imported text as a value: every backslash, "{" and "}" removed,
// then trimmed.
QString chk_and_insert_validation(const QString& text);

// Adds the values of a text, rich-text or CSV file as the wizard imports
// them to `values`: the file's type comes from its extension (rtf, csv,
// anything else is text). A text file is UTF-8 with or without a byte-order
// mark, or UTF-16 with one. CSV records end at CR LF, CR or LF; a field in
// double quotes keeps its commas, line breaks and doubled quotes (the
// enclosing quotes are removed); a record without a comma is one field. Each
// value went through chk_and_insert_validation; empty ones are left out. `cancel`, when given and set, stops
// the reading early. On a failure the values added so far mean nothing.
SourceFailure valuesFromFile(const QString& path, SeriesValues& values,
                             const std::atomic<bool>* cancel = nullptr);

// Adds pasted text to `values`. As typed (for a series file): the whole text
// trimmed, split at line feeds, every non-empty line kept as it is. Otherwise
// (for the manager's list): every line trimmed, empty ones left out.
void pastedValues(const QString& text, bool asTyped, SeriesValues& values);

// Adds the full paths of the picture files (jpg, jpeg, jpe, jfif, gif, bmp,
// png, tif, tiff, in any case) directly inside the folder, in name order, to
// `values`; folders, links that lead nowhere and special files are left out.
void picturePaths(const QString& folder, SeriesValues& values);

}  // namespace list_import
