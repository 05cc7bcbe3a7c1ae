// The mail settings file and the mail globals.

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "SmtpSink.h"
#include "platform/ChildProcess.h"
#include "platform/globals.h"
#include "production/Preferences.h"
#include "production/globals.h"
#include "support/ScriptedHost.h"

namespace {

class MailSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    saved_ = Resource_Path();
    Set_Resource_Path(dir_.path());
  }
  void TearDown() override { Set_Resource_Path(saved_); }
  QString file() const { return dir_.path() + "/com.quvo.card.plist"; }

  QTemporaryDir dir_;
  QString saved_;
};

// Reads the settings file with Python's plistlib and prints "key=value" lines.
QStringList readWithPlistlib(const QString& path) {
  const auto p = platform::runChild("/usr/bin/python3", {"-c",
                                                         "import plistlib,sys\n"
                                                         "d=plistlib.load(open(sys.argv[1],'rb'))\n"
                                                         "for k in sorted(d): print(k+'='+repr(d[k]))\n",
                                                         path});
  EXPECT_EQ(p.exitCode, 0) << "python3 with plistlib is needed for this test: " << p.err.toStdString();
  return QString::fromUtf8(p.out).split('\n', Qt::SkipEmptyParts);
}

TEST_F(MailSettings, LoadingWritesNothingAndLeavesAFileItCannotReadAsItIs) {
  auto store = Preferences::sharedInstance();
  EXPECT_EQ(store->path(), file());
  EXPECT_FALSE(QFileInfo::exists(file()));
  EXPECT_EQ(store->send_email_SenderEmail(), "");
  EXPECT_FALSE(store->send_email_SenderEmail().isNull());
  EXPECT_TRUE(store->send_email_enable_ssl().isNull());

  // Garbage, a list that is no dictionary and an empty file give the
  // defaults; each file stays byte for byte, whatever its permissions.
  for (const QByteArray& junk :
       {QByteArray("not a plist"), QByteArray("<?xml version=\"1.0\"?><plist><array/></plist>"),
        QByteArray()}) {
    QFile f(file());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(junk);
    f.close();
    ASSERT_TRUE(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
    const auto loaded = Preferences::sharedInstance();
    EXPECT_EQ(loaded->send_email_SMTP_server(), "");
    // The file is named as unreadable, except an empty one ("nothing saved yet").
    EXPECT_EQ(loaded->unreadable().startsWith("The E-mail settings file \"" + file() + "\" could not be read: "),
              !junk.isEmpty());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), junk);
    EXPECT_EQ(f.permissions() & QFile::ReadOther, QFile::ReadOther);
  }
}

TEST_F(MailSettings, SaveRoundTripsAllSixKeysAsTypedAndReadableByPlistlib) {
  {
    auto store = Preferences::sharedInstance();
    store->setsend_email_Recipient("To@Example.com");
    store->setsend_email_SenderEmail("Me@Example.com");
    store->setsend_email_Password("p\"w'; $(rm -rf /) <&>");
    store->setsend_email_SMTP_server("smtp.example.com");
    store->setsend_email_PORT_num("abc");
    store->setsend_email_enable_ssl("Y");
    ASSERT_TRUE(store->flush());
  }
  const QFileInfo info(file());
  EXPECT_EQ(
      info.permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
      QFile::Permissions());
  const QStringList lines = readWithPlistlib(file());
  EXPECT_EQ(lines, QStringList({"SendEmailPORT='abc'", "SendEmailPwd='p\"w\\'; $(rm -rf /) <&>'",
                                "SendEmailRecipient='To@Example.com'", "SendEmailSMTP='smtp.example.com'",
                                "SendEmailSender='Me@Example.com'", "SendEnableSSL='Y'"}));

  // A file left readable by others is closed to them as soon as it is read.
  QFile::setPermissions(file(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
  auto again = Preferences::sharedInstance();
  EXPECT_EQ(QFileInfo(file()).permissions() & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
  EXPECT_EQ(again->send_email_SenderEmail(), "Me@Example.com");
  EXPECT_EQ(again->send_email_Password(), "p\"w'; $(rm -rf /) <&>");
  EXPECT_EQ(again->send_email_enable_ssl(), "Y");

  // Setters alone write nothing.
  again->setsend_email_PORT_num("25");
  EXPECT_EQ(Preferences::sharedInstance()->send_email_PORT_num(), "abc");
}

TEST_F(MailSettings, NoResourceFolderMeansNoFile) {
  const bool existed = QFile::exists("/com.quvo.card.plist");
  Set_Resource_Path(QString());
  auto store = Preferences::sharedInstance();
  EXPECT_EQ(store->send_email_SenderEmail(), "");
  store->setsend_email_Password("secret");
  EXPECT_FALSE(store->flush());
  EXPECT_EQ(QFile::exists("/com.quvo.card.plist"), existed);
}

TEST_F(MailSettings, GetEmailDetailsCopiesTheAccountAndAPlistlibFileIsRead) {
  // A binary list written by someone else is read too.
  ASSERT_EQ(
      platform::runChild(
          "/usr/bin/python3",
          {"-c",
           "import plistlib,sys\n"
           "plistlib.dump({'SendEmailSender':'a@b.cc','SendEmailPwd':'secret','SendEmailSMTP':'mail.b.cc',"
           "'SendEmailPORT':'465','SendEnableSSL':'N'},open(sys.argv[1],'wb'),fmt=plistlib.FMT_BINARY)\n",
           file()})
          .exitCode,
      0);
  Get_Email_Details();
  EXPECT_EQ(sender_email.get(), "a@b.cc");
  EXPECT_EQ(sender_pwd.get(), "secret");
  EXPECT_EQ(sending_server.get(), "mail.b.cc");
  EXPECT_EQ(sending_port.get(), "465");
  EXPECT_EQ(send_enable_ssl.get(), "N");
  // The recipient key is missing: an empty string, like the defaults.
  EXPECT_EQ(Preferences::sharedInstance()->send_email_Recipient(), QString());

  QFile::remove(file());
  Get_Email_Details();
  EXPECT_EQ(sender_email.get(), "");
  EXPECT_TRUE(send_enable_ssl.get().isNull());
}

}  // namespace

// A settings file left world-readable (older files were made 0777) gets
// owner-only permissions when the password is saved into it.
TEST(MailSettingsFile, SavingIntoAnOpenSettingsFileMakesItPrivate) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString saved = Resource_Path();
  Set_Resource_Path(dir.path());
  const QString path = dir.path() + "/com.quvo.card.plist";
  {
    auto store = Preferences::sharedInstance();
    store->setsend_email_SenderEmail("me@example.com");
    ASSERT_TRUE(store->flush());
  }
  ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::Permissions(0x7777)));
  {
    auto store = Preferences::sharedInstance();
    EXPECT_EQ(store->send_email_SenderEmail(), "me@example.com");
    store->setsend_email_Password("secret");
    ASSERT_TRUE(store->flush());
  }
  const auto open = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther |
                    QFileDevice::WriteOther | QFileDevice::ExeGroup | QFileDevice::ExeOther;
  EXPECT_EQ(QFileInfo(path).permissions() & open, QFileDevice::Permissions());
  EXPECT_EQ(Preferences::sharedInstance()->send_email_Password(), "secret");
  Set_Resource_Path(saved);
}
