#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("QUVO Gratulo");
  QApplication::setOrganizationName("QUVO");
  QMainWindow window;
  window.setWindowTitle("QUVO Gratulo");
  window.resize(1200, 800);
  window.show();
  return app.exec();
}
