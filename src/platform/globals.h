#pragma once
// Program-wide values of the platform layer. Worker threads read the
// resource folder and the message texts, so the strings sit behind a mutex
// (read and write them through these functions) and the flag is atomic.

#include <QLoggingCategory>
#include <QString>
#include <atomic>

// The folder the program reads and writes (the per-user data folder, set at
// start-up by initResourceFolder()).
QString Resource_Path();
void Set_Resource_Path(const QString& path);
// Resource_Path()/"DataSet": the folder of the data series.
QString Data_Folder_Path();

// Title and text of the information box of Long_SMS_Dlg.
QString Cutom_Msg_Title();
void Set_Cutom_Msg_Title(const QString& title);
QString Cutom_Msg_Val();
void Set_Cutom_Msg_Val(const QString& text);

// State of the apply-to-all box when OK was last pressed in Long_SMS_Dlg.
extern std::atomic<bool> Msg_Apply_All_Chk;

// Set once the program has been asked to end (a termination signal, Quit):
// long work on the GUI thread stops instead of running on to its end.
extern std::atomic<bool> Program_Ending;

// The log of this subsystem: warnings and failures are written; the
// details of its work only when asked for (QT_LOGGING_RULES="quvo.platform.debug=true").
Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
