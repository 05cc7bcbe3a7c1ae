#include "production/globals.h"

#include "production/Preferences.h"

GuardedString sender_email{QStringLiteral("")};
GuardedString sender_pwd{QStringLiteral("")};
GuardedString sending_server{QStringLiteral("")};
GuardedString sending_port{QStringLiteral("")};
GuardedString send_enable_ssl{QStringLiteral("")};

std::atomic<bool> Stop_SMS_Sending_Now{false};
std::atomic<int> list_count{0};
std::atomic<double> curr_barcode_count{0.0};
GuardedString curr_msg_count{QStringLiteral("")};
std::atomic<int> Pause_Delay_Time{0};

void Get_Email_Details() {
  const auto store = Preferences::sharedInstance();
  sender_email.set(store->send_email_SenderEmail());
  sender_pwd.set(store->send_email_Password());
  sending_server.set(store->send_email_SMTP_server());
  sending_port.set(store->send_email_PORT_num());
  send_enable_ssl.set(store->send_email_enable_ssl());
}

Q_LOGGING_CATEGORY(lcProduction, "quvo.production", QtWarningMsg)
