#include "data/dialogs/ListImport.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <functional>
#include <optional>
#include <utility>

#include "data/dialogs/RtfText.h"
#include "platform/RegularFile.h"
#include "platform/StringHelpers.h"

namespace list_import {

namespace {

constexpr qint64 kChunkBytes = 1 << 20;

// Takes one piece of text; false to stop the reading.
using PieceSink = std::function<bool(QStringView piece)>;

// Text cut at each line feed, fed in chunks of any size.
class LineSplitter {
 public:
  explicit LineSplitter(PieceSink sink) : sink_(std::move(sink)) {}

  bool feed(QStringView text) {
    qsizetype start = 0;
    for (qsizetype end; (end = text.indexOf(u'\n', start)) >= 0; start = end + 1)
      if (!endPiece(text.sliced(start, end - start))) return false;
    pending_.append(text.sliced(start));
    return true;
  }
  bool finish() { return endPiece({}); }

 private:
  bool endPiece(QStringView tail) {
    if (pending_.isEmpty()) return sink_(tail);
    pending_.append(tail);
    const bool more = sink_(pending_);
    pending_.clear();
    return more;
  }

  PieceSink sink_;
  QString pending_;  // the piece begun in an earlier chunk
};

// CSV text cut into fields, fed in chunks of any size.
class CsvSplitter {
 public:
  explicit CsvSplitter(PieceSink sink) : sink_(std::move(sink)) {}

  bool feed(QStringView text) {
    for (const QChar c : text)
      if (!take(c)) return false;
    return true;
  }
  bool finish() { return (!fieldStarted_ && field_.isEmpty()) || endField(); }

 private:
  bool take(QChar c) {
    if (afterCr_) {
      afterCr_ = false;
      if (c == '\n') return true;  // CR LF ends one record
    }
    if (quoteSeen_) {
      quoteSeen_ = false;
      if (c == '"') {  // a doubled quote inside quotes
        field_.append(c);
        return true;
      }
      quoted_ = false;  // the quote closed the quoted part; c is read as outside it
    }
    if (quoted_) {
      if (c == '"') {
        quoteSeen_ = true;
      } else {
        field_.append(c);
      }
      return true;
    }
    if (c == '"' && field_.isEmpty()) {
      quoted_ = true;
      fieldStarted_ = true;
    } else if (c == ',') {
      if (!endField()) return false;
      fieldStarted_ = true;  // a comma always starts another field
    } else if (c == '\r' || c == '\n') {
      if ((fieldStarted_ || !field_.isEmpty()) && !endField()) return false;
      fieldStarted_ = false;
      afterCr_ = c == '\r';
    } else {
      field_.append(c);
      fieldStarted_ = true;
    }
    return true;
  }
  bool endField() {
    const bool more = sink_(field_);
    field_.clear();
    return more;
  }

  PieceSink sink_;
  QString field_;
  bool quoted_ = false;        // inside a quoted part of the field
  bool quoteSeen_ = false;     // a quote inside a quoted part: closing, or the first of two
  bool fieldStarted_ = false;  // the record holds a field begun at this position
  bool afterCr_ = false;       // the last character was a CR that ended a record
};

// Either splitter, chosen by the file's type.
class Splitter {
 public:
  Splitter(bool csv, PieceSink sink) {
    if (csv) {
      csv_.emplace(std::move(sink));
    } else {
      lines_.emplace(std::move(sink));
    }
  }
  bool feed(QStringView text) { return csv_ ? csv_->feed(text) : lines_->feed(text); }
  bool finish() { return csv_ ? csv_->finish() : lines_->finish(); }

 private:
  std::optional<CsvSplitter> csv_;
  std::optional<LineSplitter> lines_;
};

// The encoding a text file's first bytes show, and the length of its mark;
// nullopt for a UTF-32 mark.
std::optional<std::pair<QStringDecoder::Encoding, int>> encodingOf(QByteArrayView start) {
  // UTF-32 marks begin like the UTF-16 ones: look for them first and refuse them.
  if (start.startsWith(QByteArrayView("\xFF\xFE\x00\x00", 4)) ||
      start.startsWith(QByteArrayView("\x00\x00\xFE\xFF", 4)))
    return std::nullopt;
  if (start.startsWith("\xEF\xBB\xBF")) return std::make_pair(QStringDecoder::Utf8, 3);
  if (start.startsWith("\xFF\xFE")) return std::make_pair(QStringDecoder::Utf16LE, 2);
  if (start.startsWith("\xFE\xFF")) return std::make_pair(QStringDecoder::Utf16BE, 2);
  return std::make_pair(QStringDecoder::Utf8, 0);
}

// Reads, decodes and splits a text or CSV file chunk by chunk: only the
// chunk at hand and the piece it ends are held, never the whole text.
SourceFailure splitTextFile(QFile& file, Splitter& splitter, const std::atomic<bool>* cancel) {
  QByteArray chunk = file.read(kChunkBytes);
  const auto encoding = encodingOf(chunk);
  if (!encoding) return SourceFailure::NoText;
  const bool wide = encoding->first != QStringDecoder::Utf8;
  QStringDecoder decoder(encoding->first);
  qint64 read = chunk.size();
  QByteArrayView bytes = QByteArrayView(chunk).sliced(encoding->second);
  bool sawText = false;
  while (!bytes.isEmpty()) {
    if (cancel != nullptr && cancel->load()) return SourceFailure::None;
    const QString text = decoder.decode(bytes);
    if (decoder.hasError()) return SourceFailure::NoText;
    sawText = sawText || !text.isEmpty();
    if (!splitter.feed(text)) return SourceFailure::None;  // the values are full
    chunk = file.read(kChunkBytes);
    if (chunk.isEmpty() && file.error() != QFileDevice::NoError) return SourceFailure::Unreadable;
    read += chunk.size();
    if (read > kMaxSourceBytes) return SourceFailure::Unreadable;
    bytes = chunk;
  }
  if (wide && read % 2 != 0) return SourceFailure::NoText;
  // A character left incomplete at the end shows once a line feed follows it:
  // the line feed does not come out alone.
  const QString end = decoder.decode(encoding->first == QStringDecoder::Utf16LE   ? QByteArrayView("\n\0", 2)
                                     : encoding->first == QStringDecoder::Utf16BE ? QByteArrayView("\0\n", 2)
                                                                                  : QByteArrayView("\n"));
  if (decoder.hasError() || end != QStringLiteral("\n") || !sawText) return SourceFailure::NoText;
  splitter.finish();
  return SourceFailure::None;
}

SourceFailure splitRichTextFile(QFile& file, Splitter& splitter) {
  std::optional<QString> text;
  {
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxSourceBytes)
      return SourceFailure::Unreadable;
    text = rich_text::plainText(bytes);
  }
  if (!text || text->isEmpty()) return SourceFailure::NoText;
  if (splitter.feed(*text)) splitter.finish();
  return SourceFailure::None;
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

QString chk_and_insert_validation(const QString& text) {
  QString value = text;
  value.remove('\\');
  value.remove('{');
  value.remove('}');
  return Trim_Str(value);
}

SourceFailure valuesFromFile(const QString& path, SeriesValues& values, const std::atomic<bool>* cancel) {
  const QFileInfo info(path);
  // Only a plain file: a named pipe or a device would block or never end.
  if (!info.isFile() || info.size() > kMaxSourceBytes) return SourceFailure::Unreadable;
  QFile file;
  if (!platform::openRegularFile(file, path)) return SourceFailure::Unreadable;
  const QString type = info.suffix().toUpper();
  Splitter splitter(type == "CSV", [&values](QStringView piece) {
    const QString value = chk_and_insert_validation(piece.toString());
    return value.isEmpty() || values.add(value);
  });
  return type == "RTF" ? splitRichTextFile(file, splitter) : splitTextFile(file, splitter, cancel);
}

void pastedValues(const QString& text, bool asTyped, SeriesValues& values) {
  const QString whole = asTyped ? Trim_Str(text) : text;
  LineSplitter lines([&](QStringView piece) {
    const QString value = asTyped ? piece.toString() : Trim_Str(piece.toString());
    return value.isEmpty() || values.add(value);
  });
  if (lines.feed(whole)) lines.finish();
}

void picturePaths(const QString& folder, SeriesValues& values) {
  static const QStringList kPictureTypes = {"jpg", "jpeg", "jpe", "jfif", "gif", "bmp", "png", "tif", "tiff"};
  const qint64 room = values.limit() - values.size();
  QStringList paths;
  // Files only (regular files and links to them), hidden ones included; no special files.
  // One picture past the room is enough to refuse the folder.
  QDirIterator entries(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
  while (entries.hasNext() && paths.size() <= room) {
    const QFileInfo entry = entries.nextFileInfo();
    if (entry.isFile() && kPictureTypes.contains(entry.suffix().toLower()))
      paths.append(entry.absoluteFilePath());
  }
  std::sort(paths.begin(), paths.end(), [](const QString& a, const QString& b) { return a.compare(b) < 0; });
  for (const QString& path : paths)
    if (!values.add(path)) break;
}

}  // namespace list_import
