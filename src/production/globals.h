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
