#include "production/Preferences.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "platform/RegularFile.h"
#include "platform/globals.h"
#include "production/globals.h"

namespace {

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr qsizetype kMaxSettingsBytes = 1024 * 1024;

std::shared_ptr<Preferences>& sharedStore() {
  static std::shared_ptr<Preferences> s;
  return s;
}

// The settings in the file, or nothing with the reason in `why`.
std::optional<platform::PlistDict> readSettings(const QString& path, QString* why) {
  const std::optional<QByteArray> bytes = platform::readRegularFile(path, kMaxSettingsBytes, why);
  if (!bytes) return std::nullopt;
  if (bytes->isEmpty()) {
    *why = QStringLiteral("empty");
    return std::nullopt;
  }
  auto value = platform::parsePropertyList(*bytes, why, kMaxSettingsBytes);
  if (!value) return std::nullopt;
  if (!value->dict()) {
    *why = QStringLiteral("not a dictionary");
    return std::nullopt;
  }
  return *value->dict();
}

// Says once that the settings file cannot be read: the same file (path,
// size and time) met again by the next store is not reported again.
void reportUnreadable(const QString& path, const QString& why) {
  static QString reported;
  const QFileInfo info(path);
  const QString key = path + QLatin1Char('|') + QString::number(info.size()) + QLatin1Char('|') +
                      QString::number(info.lastModified().toMSecsSinceEpoch());
  if (key == reported) return;
  reported = key;
  qCWarning(lcProduction).noquote()
      << QStringLiteral(
             "The mail settings file %1 cannot be read (%2); it is left as it is and the "
             "E-mail settings are empty until they are saved.")
             .arg(path, why);
}

}  // namespace

std::shared_ptr<Preferences> Preferences::sharedInstance() {
  sharedStore().reset();
  sharedStore() = std::make_shared<Preferences>();
  return sharedStore();
}

std::shared_ptr<Preferences> Preferences::latest() {
  return sharedStore();
}

Preferences::Preferences() {
  const QString folder = Resource_Path();
  // Without a resource folder there is no file: the store holds the
  // defaults and writes nothing (never a file at the root of the disk).
  if (!folder.isEmpty()) mPreferencesPath = folder + QLatin1Char('/') + QLatin1String(kMailSettingsFileName);
  setDefaults();
  if (mPreferencesPath.isEmpty() || !QFileInfo::exists(mPreferencesPath)) return;
  // Only Save writes the file. One that cannot be read is left exactly as
  // it is (it may hold the only copy of the account); an empty one is what
  // earlier versions left for "nothing saved yet".
  QString why;
  auto dict = readSettings(mPreferencesPath, &why);
  if (!dict) {
    const QFileInfo info(mPreferencesPath);
    if (info.isFile() && info.size() == 0) return;
    unreadable_ = QStringLiteral("The E-mail settings file \"%1\" could not be read: %2.")
                      .arg(QDir::toNativeSeparators(mPreferencesPath), platform::reasonAfterColon(why));
    reportUnreadable(mPreferencesPath, why);
    return;
  }
  mDict = std::move(*dict);
  // The file holds the password: one left readable by others (an older
  // one, or one copied in) is closed to everyone but its owner.
  QFile file(mPreferencesPath);
  constexpr QFileDevice::Permissions kOthers = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                               QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                               QFileDevice::WriteOther | QFileDevice::ExeOther;
  if (file.permissions() & kOthers) file.setPermissions(kOwnerOnly);
}

bool Preferences::flush() {
  if (mPreferencesPath.isEmpty()) return false;
  const QByteArray bytes = platform::toXmlPropertyList(platform::PlistValue(mDict));
  if (bytes.isEmpty()) return false;
  QSaveFile file(mPreferencesPath);
  if (!file.open(QIODevice::WriteOnly)) return false;
  // The temporary file gets the final permissions before the password goes in.
  file.setPermissions(kOwnerOnly);
  if (file.write(bytes) != bytes.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

void Preferences::setDefaults() {
  for (const char* key : {send_email_RecipientKey, send_email_SenderEmailKey, send_email_PasswordKey,
                          send_email_SMTP_serverKey, send_email_PORT_numKey}) {
    set(key, QStringLiteral(""));
  }
}

QString Preferences::get(const char* key) const {
  return mDict.string(QLatin1String(key)).value_or(QString());
}

void Preferences::set(const char* key, const QString& value) {
  mDict.insert(QLatin1String(key), platform::PlistValue::string(value.isNull() ? QStringLiteral("") : value));
}
