#pragma once
// How outside data becomes a list of series values, without any window: text,
// rich-text and CSV files, pasted text and picture folders. The list import
// wizard runs these on a worker and writes or hands on what they give.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <atomic>
#include <optional>

namespace list_import {

// Text files larger than this are refused as unreadable.
constexpr qint64 kMaxSourceBytes = qint64{256} * 1024 * 1024;

// Why a source gave no values.
enum class SourceFailure {
  None,
  Unreadable,  // "Please select a valid file."
  NoText,      // "Either file is corrupted or selected file contains invalid characters."
};

struct SourceValues {
  QStringList values;
  SourceFailure failure = SourceFailure::None;
};

// The message the wizard shows for a failure ("" for None).
QString failureMessage(SourceFailure failure);

// The text of a plain text file: UTF-8 with or without a byte-order mark, or
// UTF-16 with one. Anything else (invalid UTF-8, a UTF-32 mark) gives nullopt.
std::optional<QString> decodeText(const QByteArray& bytes);

// A piece of imported text as a value: every backslash, "{" and "}" removed,
// then trimmed.
QString chk_and_insert_validation(const QString& text);

// The fields of CSV text in reading order: records end at CR LF, CR or LF; a
// field in double quotes keeps its commas, line breaks and doubled quotes (the
// enclosing quotes are removed); a record without a comma is one field.
QStringList csvFields(const QString& text);

// Values of a text, rich-text or CSV file as the wizard imports them: the
// file's type comes from its extension (rtf, csv, anything else is text).
// Each value went through chk_and_insert_validation; empty ones are left out.
// `cancel`, when given and set, stops the reading early.
SourceValues valuesFromFile(const QString& path, const std::atomic<bool>* cancel = nullptr);
// The same on bytes already read.
SourceValues valuesFromBytes(const QByteArray& bytes, const QString& extension);

// Pasted text for a series file: the whole text trimmed, split at line feeds,
// every non-empty line kept as typed.
QStringList pastedLines(const QString& text);

// Full paths of the picture files (jpg, jpeg, jpe, jfif, gif, bmp, png, tif,
// tiff, in any case) directly inside the folder, in name order; folders,
// links that lead nowhere and special files are left out.
QStringList picturePaths(const QString& folder);

}  // namespace list_import
