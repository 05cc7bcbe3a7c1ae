#include "personalisation/StockTexts.h"

#include <QFileInfo>
#include <QStringDecoder>

#include "platform/RegularFile.h"
#include "platform/StringHelpers.h"
#include "platform/globals.h"

namespace {
constexpr qint64 kMaxStockFileBytes = 1 << 20;
}

std::optional<QStringList> Read_Stock_Text_File(const QString& path, QString* why) {
  if (why) why->clear();
  const auto refuse = [&](const QString& reason) -> std::optional<QStringList> {
    const QFileInfo info(path);
    if (why)
      *why = info.exists() || info.isSymLink() ? platform::unreadableFileMessage(path, reason) : QString();
    return std::nullopt;
  };
  QString reason;
  const std::optional<QByteArray> bytes = platform::readRegularFile(path, kMaxStockFileBytes, &reason);
  if (!bytes) return refuse(reason);
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = decoder(*bytes);
  if (decoder.hasError()) return refuse(QStringLiteral("it is not UTF-8 text"));
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  text = Trim_Str(text);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text.split(QLatin1Char('\n'));
}

void StockTextCycle::load(const QString& path) {
  setEntries(Read_Stock_Text_File(path, &unreadable_));
}

void StockTextCycle::setEntries(std::optional<QStringList> entries) {
  entries_ = std::move(entries);
  index_ = 0;
}

QString StockTextCycle::current() const {
  if (!entries_ || index_ < 0 || index_ >= entries_->size()) return QString();
  return entries_->at(index_);
}

QString StockTextCycle::next() {
  const int n = count();
  index_ = n > 0 ? (index_ + 1) % n : 0;
  return current();
}

QString StockTextCycle::back() {
  const int n = count();
  index_ = n > 0 ? (index_ - 1 + n) % n : 0;
  return current();
}

QString Stock_Title_File() {
  return Resource_Path() + QStringLiteral("/Title.txt");
}

QString Stock_Message_File() {
  return Resource_Path() + QStringLiteral("/Message.txt");
}

QString Limit_Text_Length(const QString& text, int limit) {
  if (limit < 0) limit = 0;
  if (text.size() <= limit) return text;
  int cut = limit;
  if (cut > 0 && text.at(cut - 1).isHighSurrogate() && text.at(cut).isLowSurrogate()) --cut;
  return text.left(cut);
}
