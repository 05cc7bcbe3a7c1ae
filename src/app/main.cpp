// The program: sets up the resource folder and opens the main window.
#include <QApplication>

#include "mainwindow/SKTWindowController.h"
#include "platform/MessageHost.h"
#include "platform/ResourceFolder.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("QUVO Gratulo");
  QApplication::setOrganizationName("QUVO");
  QString error;
  if (!platform::initResourceFolder(&error)) {
    platform::messageHost().showMessage(QStringLiteral("Can not access Vexmo Data file."));
    return 1;
  }
  SKTWindowController window;
  window.show();
  return app.exec();
}
