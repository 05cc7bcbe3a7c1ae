#include "data/dialogs/ListImport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>

#include "data/dialogs/RtfText.h"
#include "platform/StringHelpers.h"

namespace list_import {

namespace {

std::optional<QString> strictDecode(QStringDecoder::Encoding encoding, QByteArrayView bytes) {
  QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
  QString text = decoder(bytes);
  if (decoder.hasError()) return std::nullopt;
  return text;
}

QStringList valuesFromLines(const QString& text) {
  QStringList values;
  for (const QString& piece : text.split('\n')) {
    const QString value = chk_and_insert_validation(piece);
    if (!value.isEmpty()) values.append(value);
  }
  return values;
}

QStringList valuesFromCsv(const QString& text) {
  QStringList values;
  for (const QString& field : csvFields(text)) {
    const QString value = chk_and_insert_validation(field);
    if (!value.isEmpty()) values.append(value);
  }
  return values;
}

}  // namespace

QString failureMessage(SourceFailure failure) {
  switch (failure) {
    case SourceFailure::Unreadable:
      return QStringLiteral("Please select a valid file.");
    case SourceFailure::NoText:
      return QStringLiteral("Either file is corrupted or selected file contains invalid characters.");
    case SourceFailure::None:
      break;
  }
  return QString();
}

std::optional<QString> decodeText(const QByteArray& bytes) {
  const QByteArrayView view(bytes);
  // UTF-32 marks begin like the UTF-16 ones: look for them first and refuse them.
  if (view.startsWith(QByteArrayView("\xFF\xFE\x00\x00", 4)) ||
      view.startsWith(QByteArrayView("\x00\x00\xFE\xFF", 4)))
    return std::nullopt;
  if (view.startsWith("\xEF\xBB\xBF")) return strictDecode(QStringDecoder::Utf8, view.sliced(3));
  if (view.startsWith("\xFF\xFE") || view.startsWith("\xFE\xFF")) {
    if (view.size() % 2 != 0) return std::nullopt;
    const auto encoding = view.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE;
    return strictDecode(encoding, view.sliced(2));
  }
  return strictDecode(QStringDecoder::Utf8, view);
}

QString chk_and_insert_validation(const QString& text) {
  QString value = text;
  value.remove('\\');
  value.remove('{');
  value.remove('}');
  return Trim_Str(value);
}

QStringList csvFields(const QString& text) {
  QStringList fields;
  QString field;
  bool quoted = false;        // inside a quoted part of the field
  bool fieldStarted = false;  // the record holds a field begun at this position
  const qsizetype size = text.size();
  for (qsizetype i = 0; i < size; ++i) {
    const QChar c = text[i];
    if (quoted) {
      if (c == '"') {
        if (i + 1 < size && text[i + 1] == '"') {
          field.append('"');
          ++i;
        } else {
          quoted = false;
        }
      } else {
        field.append(c);
      }
      continue;
    }
    if (c == '"' && field.isEmpty()) {
      quoted = true;
      fieldStarted = true;
    } else if (c == ',') {
      fields.append(field);
      field.clear();
      fieldStarted = true;  // a comma always starts another field
    } else if (c == '\r' || c == '\n') {
      if (fieldStarted || !field.isEmpty()) fields.append(field);
      field.clear();
      fieldStarted = false;
      if (c == '\r' && i + 1 < size && text[i + 1] == '\n') ++i;
    } else {
      field.append(c);
      fieldStarted = true;
    }
  }
  if (fieldStarted || !field.isEmpty()) fields.append(field);
  return fields;
}

SourceValues valuesFromBytes(const QByteArray& bytes, const QString& extension) {
  const QString type = extension.toUpper();
  std::optional<QString> text = type == "RTF" ? rich_text::plainText(bytes) : decodeText(bytes);
  if (!text || text->isEmpty()) return {{}, SourceFailure::NoText};
  return {type == "CSV" ? valuesFromCsv(*text) : valuesFromLines(*text), SourceFailure::None};
}

SourceValues valuesFromFile(const QString& path, const std::atomic<bool>* cancel) {
  const QFileInfo info(path);
  // Only a plain file: a named pipe or a device would block or never end.
  if (!info.isFile() || info.size() > kMaxSourceBytes) return {{}, SourceFailure::Unreadable};
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {{}, SourceFailure::Unreadable};
  QByteArray bytes;
  while (!file.atEnd()) {
    if (cancel != nullptr && cancel->load()) return {};
    const QByteArray chunk = file.read(1 << 20);
    if (chunk.isEmpty() && file.error() != QFileDevice::NoError) return {{}, SourceFailure::Unreadable};
    if (bytes.size() + chunk.size() > kMaxSourceBytes) return {{}, SourceFailure::Unreadable};
    bytes.append(chunk);
    if (chunk.isEmpty()) break;
  }
  return valuesFromBytes(bytes, info.suffix());
}

QStringList pastedLines(const QString& text) {
  QStringList lines;
  for (const QString& piece : Trim_Str(text).split('\n'))
    if (!piece.isEmpty()) lines.append(piece);
  return lines;
}

QStringList picturePaths(const QString& folder) {
  static const QStringList kPictureTypes = {"jpg", "jpeg", "jpe", "jfif", "gif", "bmp", "png", "tif", "tiff"};
  QStringList paths;
  // Files only (regular files and links to them), hidden ones included; no special files.
  const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
  for (const QFileInfo& entry : entries) {
    if (entry.isFile() && kPictureTypes.contains(entry.suffix().toLower()))
      paths.append(entry.absoluteFilePath());
  }
  std::sort(paths.begin(), paths.end(), [](const QString& a, const QString& b) { return a.compare(b) < 0; });
  return paths;
}

}  // namespace list_import
