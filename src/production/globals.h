#pragma once
// Program-wide state of card production. The mail worker reads the account
// and the stop flag while the GUI thread writes them, and the progress panel
// reads the counters the worker writes, so every value is atomic or guarded.

#include <QLoggingCategory>
#include <QString>
#include <atomic>

#include "core/globals.h"

// The mail account, copied from the mail settings file by Get_Email_Details.
// Each starts as ""; send_enable_ssl is null until the settings hold a flag.
extern GuardedString sender_email;
extern GuardedString sender_pwd;
extern GuardedString sending_server;
extern GuardedString sending_port;
extern GuardedString send_enable_ssl;

// Copies the stored mail account into the five globals above.
void Get_Email_Details();

// Stop request of a running mail run; the run clears it at its start.
extern std::atomic<bool> Stop_SMS_Sending_Now;
// Number of items of the current run (the progress maximum).
extern std::atomic<int> list_count;
// Number of the item under way (i + 1); the progress value.
extern std::atomic<double> curr_barcode_count;
// The progress text "%d / %d ".
extern GuardedString curr_msg_count;
// Remaining pause in milliseconds, counted down once a second.
extern std::atomic<int> Pause_Delay_Time;

// The log of this subsystem: warnings and failures are written; the
// details of its work only when asked for (QT_LOGGING_RULES="quvo.production.debug=true").
Q_DECLARE_LOGGING_CATEGORY(lcProduction)

// ---- Data binding and image export ----------------------------------------------
// Set by the use checks on the GUI thread; a run takes them into its snapshot.
// Whether a production run fills bound objects from data series rows / spreadsheet rows.
extern std::atomic<bool> Use_Data_Sheet_Values;
extern std::atomic<bool> Use_Excel_Binding_Values;
// Number of cards of a production run: the larger of the two row counts in use.
extern std::atomic<int> Total_Batch_Excel_Card;
// Set while a batch export runs (one run at a time).
extern std::atomic<bool> Card_Value_In_Process;
// Side(s) an export writes: "F", "B" or "BOTH" (GUI thread).
extern QString export_card_side;
// Path of the last exported file, or the folder of a batch, and the text of the
// export-finished box.
extern GuardedString Export_File_Path;
extern GuardedString Export_File_Message;
// Shown when the batch folder cannot be made.
extern const QString unable_saving_Msg;
