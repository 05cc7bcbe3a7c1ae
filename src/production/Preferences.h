#pragma once
// The mail settings store: one loaded copy of "com.quvo.card.plist" in the
// resource folder. The file is a property list whose root dictionary holds
// strings; it keeps the SMTP password, so it is readable by its owner only.

#include <QString>
#include <memory>

#include "platform/PropertyList.h"

inline constexpr const char* send_email_RecipientKey = "SendEmailRecipient";
inline constexpr const char* send_email_SenderEmailKey = "SendEmailSender";
inline constexpr const char* send_email_PasswordKey = "SendEmailPwd";
inline constexpr const char* send_email_SMTP_serverKey = "SendEmailSMTP";
inline constexpr const char* send_email_PORT_numKey = "SendEmailPORT";
inline constexpr const char* send_email_Enable_SSLkey = "SendEnableSSL";

// Name of the settings file in the resource folder.
inline constexpr const char* kMailSettingsFileName = "com.quvo.card.plist";

class Preferences {
 public:
  // A new store loaded from the file as it is now; it replaces the previous
  // shared store, which is dropped without being written. GUI thread only.
  static std::shared_ptr<Preferences> sharedInstance();
  // The store sharedInstance() made last (none before the first). GUI thread only.
  static std::shared_ptr<Preferences> latest();

  // Loads the file. With a missing, empty, unreadable or non-dictionary
  // file the store holds the defaults; the file is left as it is (one that
  // cannot be read is reported once in the log). Only flush() writes it.
  Preferences();

  // "The E-mail settings file "PATH" could not be read: REASON." when the
  // file is there but could not be read; empty otherwise (also for an
  // empty file, which older versions left for "nothing saved yet").
  const QString& unreadable() const { return unreadable_; }

  // Writes the settings as an XML property list (temporary file, then
  // rename). False when the file could not be written.
  bool flush();
  // Sets the five keys other than "SendEnableSSL" to "".
  void setDefaults();

  // Getters give a null string when the key is absent.
  QString send_email_enable_ssl() const { return get(send_email_Enable_SSLkey); }
  void setsend_email_enable_ssl(const QString& v) { set(send_email_Enable_SSLkey, v); }
  QString send_email_Recipient() const { return get(send_email_RecipientKey); }
  void setsend_email_Recipient(const QString& v) { set(send_email_RecipientKey, v); }
  QString send_email_SenderEmail() const { return get(send_email_SenderEmailKey); }
  void setsend_email_SenderEmail(const QString& v) { set(send_email_SenderEmailKey, v); }
  QString send_email_Password() const { return get(send_email_PasswordKey); }
  void setsend_email_Password(const QString& v) { set(send_email_PasswordKey, v); }
  QString send_email_SMTP_server() const { return get(send_email_SMTP_serverKey); }
  void setsend_email_SMTP_server(const QString& v) { set(send_email_SMTP_serverKey, v); }
  QString send_email_PORT_num() const { return get(send_email_PORT_numKey); }
  void setsend_email_PORT_num(const QString& v) { set(send_email_PORT_numKey, v); }

  const QString& path() const { return mPreferencesPath; }

 private:
  QString get(const char* key) const;
  void set(const char* key, const QString& value);

  QString mPreferencesPath;
  platform::PlistDict mDict;
  QString unreadable_;
};
