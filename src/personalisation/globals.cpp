#include "personalisation/globals.h"

std::atomic<bool> Fill_User_Profile{false};

const QString Title_Name = QStringLiteral("Name :");
const QString Title_Title = QStringLiteral("Position / Title :");
const QString Title_Company_name = QStringLiteral("Company Name :");
const QString Title_slogan = QStringLiteral("Company Slogan :");
const QString Title_address = QStringLiteral("Address :");
const QString Title_phone = QStringLiteral("Phone No. :");
const QString Title_fax = QStringLiteral("Fax No. :");
const QString Title_email = QStringLiteral("Email Id :");
const QString Title_website = QStringLiteral("Website :");
const QString Title_unique = QStringLiteral("Unique No. :");
const QString Title_image = QStringLiteral("Photo :");

QString Template_Msg_Val;

QString Invite_Title, Invite_Message, Invite_From, Invite_To, Invite_Venue, Invite_Date, Invite_Time,
    Invite_BG_IMG;

QString Selected_Template_Path;
quint64 User_Defined_File = 0;

Q_LOGGING_CATEGORY(lcPersonalisation, "quvo.personalisation", QtWarningMsg)
