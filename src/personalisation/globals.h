#pragma once
// Program-wide values of personalisation. The profile records and the fill
// run on the main thread only; the flag is atomic all the same so that a
// production worker may look at it safely.

#include <QLoggingCategory>
#include <QString>
#include <atomic>

// Set when a profile dialog ends with OK; back to false when a new project
// starts. The front and back fills change the canvas only while it is set.
extern std::atomic<bool> Fill_User_Profile;

// Captions of the eleven profile fields in the profile dialogs.
extern const QString Title_Name;          // "Name :"
extern const QString Title_Title;         // "Position / Title :"
extern const QString Title_Company_name;  // "Company Name :"
extern const QString Title_slogan;        // "Company Slogan :"
extern const QString Title_address;       // "Address :"
extern const QString Title_phone;         // "Phone No. :"
extern const QString Title_fax;           // "Fax No. :"
extern const QString Title_email;         // "Email Id :"
extern const QString Title_website;       // "Website :"
extern const QString Title_unique;        // "Unique No. :"
extern const QString Title_image;         // "Photo :"

// The text picked in the stock text picker at its last OK; "" after Cancel.
extern QString Template_Msg_Val;

// The new-card wizard's answers, each trimmed, set when the wizard finishes.
extern QString Invite_Title, Invite_Message, Invite_From, Invite_To, Invite_Venue, Invite_Date, Invite_Time,
    Invite_BG_IMG;

// The template browser's choice: while it runs the preview path of the
// selected item, after OK the chosen design file, after Cancel "".
extern QString Selected_Template_Path;
// Numbers the user templates' browser items; only grows.
extern quint64 User_Defined_File;

// The log of this subsystem: warnings and failures are written; the
// details of its work only when asked for (QT_LOGGING_RULES="quvo.personalisation.debug=true").
Q_DECLARE_LOGGING_CATEGORY(lcPersonalisation)
