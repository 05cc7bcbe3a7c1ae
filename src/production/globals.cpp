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

std::atomic<bool> Use_Data_Sheet_Values{false};
std::atomic<bool> Use_Excel_Binding_Values{false};
std::atomic<int> Total_Batch_Excel_Card{0};
std::atomic<bool> Card_Value_In_Process{false};
QString export_card_side = QStringLiteral("F");
GuardedString Export_File_Path{QStringLiteral("")};
GuardedString Export_File_Message{QStringLiteral("")};
const QString unable_saving_Msg = QStringLiteral(
    "Unable to continue saving barcode image.\n\nEither Destination Drive is inaccessible or there is no "
    "free "
    "space available in drive to save barcode image.");
