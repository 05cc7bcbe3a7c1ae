#include "production/Preferences.h"

#include <QFile>
#include <QSaveFile>

#include "platform/globals.h"

namespace {

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr qsizetype kMaxSettingsBytes = 1024 * 1024;

std::shared_ptr<Preferences>& sharedStore() {
  static std::shared_ptr<Preferences> s;
  return s;
}

std::optional<platform::PlistDict> readSettings(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  if (file.size() > kMaxSettingsBytes) return std::nullopt;
  const QByteArray bytes = file.read(kMaxSettingsBytes);
  if (bytes.isEmpty()) return std::nullopt;
  auto value = platform::parsePropertyList(bytes, nullptr, kMaxSettingsBytes);
  if (!value || !value->dict()) return std::nullopt;
  return *value->dict();
}

// Replaces whatever is at the path by an empty file only its owner can read.
void createEmptyFile(const QString& path) {
  QFile::remove(path);
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    file.setPermissions(kOwnerOnly);
  }
}

}  // namespace

std::shared_ptr<Preferences> Preferences::sharedInstance() {
  sharedStore().reset();
  sharedStore() = std::make_shared<Preferences>();
  return sharedStore();
}

Preferences::Preferences() {
  const QString folder = Resource_Path();
  // Without a resource folder there is no file: the store holds the
  // defaults and writes nothing (never a file at the root of the disk).
  if (!folder.isEmpty()) mPreferencesPath = folder + QLatin1Char('/') + QLatin1String(kMailSettingsFileName);
  if (auto dict = mPreferencesPath.isEmpty() ? std::nullopt : readSettings(mPreferencesPath)) {
    mDict = std::move(*dict);
    // The file holds the password: one left readable by others (an older
    // one, or one copied in) is closed to everyone but its owner.
    QFile file(mPreferencesPath);
    constexpr QFileDevice::Permissions kOthers = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                                 QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                                 QFileDevice::WriteOther | QFileDevice::ExeOther;
    if (file.permissions() & kOthers) file.setPermissions(kOwnerOnly);
  } else {
    if (!mPreferencesPath.isEmpty()) createEmptyFile(mPreferencesPath);
    setDefaults();
  }
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
