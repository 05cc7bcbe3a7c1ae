#pragma once
// The mail account the program-wide settings hold, as a test wants it.
#include <QString>

#include "production/globals.h"

namespace testing_support {

inline void useMailAccount(const QString& email, const QString& password, const QString& server,
                           const QString& port, const QString& ssl) {
  sender_email.set(email);
  sender_pwd.set(password);
  sending_server.set(server);
  sending_port.set(port);
  send_enable_ssl.set(ssl);
}

}  // namespace testing_support
