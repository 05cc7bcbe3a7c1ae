#include "GuideStage.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTabWidget>
#include <QTest>

#include "barcode/dialog/Barcode_Gen.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/tools/WalkSupport.h"
#include "personalisation/ProfileDialog.h"
#include "platform/FileHelpers.h"
#include "platform/globals.h"
#include "production/print/Print_Wnd.h"

QString seedGuideResources(const QTemporaryDir& home) {
  const QString resources = home.filePath(QStringLiteral("resources"));
  if (!platform::seedFolder(QStringLiteral(QUVO_SOURCE_DIR "/resources"), resources)) qFatal("no resources");
  Set_Resource_Path(resources);
  Check_Path_And_Create_Files();
  return resources;
}

void showGuideWindow(SKTWindowController& window) {
  window.resize(1280, 860);
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) qFatal("the window was not shown");
  walk::settle(300);
}

namespace {

// Whether a widget is one a person reads or works: a button, a field, a
// list, a label or a box of them (not a page or a layout's filler).
bool isControl(const QWidget* widget) {
  return qobject_cast<const QAbstractButton*>(widget) != nullptr ||
         qobject_cast<const QComboBox*>(widget) != nullptr ||
         qobject_cast<const QLineEdit*>(widget) != nullptr ||
         qobject_cast<const QAbstractSpinBox*>(widget) != nullptr ||
         qobject_cast<const QAbstractScrollArea*>(widget) != nullptr ||
         qobject_cast<const QLabel*>(widget) != nullptr ||
         qobject_cast<const QGroupBox*>(widget) != nullptr || qobject_cast<const QSlider*>(widget) != nullptr;
}

}  // namespace

QRect rectIn(const QWidget* widget, const QWidget* ancestor) {
  return QRect(widget->mapTo(ancestor, QPoint(0, 0)), widget->size());
}

int lastControlBottom(QWidget* area) {
  int bottom = 0;
  for (const QWidget* w : area->findChildren<QWidget*>())
    if (isControl(w) && w->isVisibleTo(area)) bottom = std::max(bottom, rectIn(w, area).bottom());
  return bottom;
}

void shootPart(QWidget* widget, const QRect& part, const QString& name) {
  walk::settle();
  const QString path = walk::g_shots + "/" + name + ".png";
  widget->grab(part.intersected(widget->rect())).save(path);
  qInfo("screenshot %s", qPrintable(path));
}

void shootPrintSettings(QDialog& dialog, const QString& name) {
  auto& print = static_cast<Print_Wnd&>(dialog);
  const int right = print.Print_sclview->x() - kCropMargin / 2;
  const int bottom = rectIn(print.test_image_view, &dialog).bottom() + kCropMargin;
  shootPart(&dialog, QRect(0, 0, right, bottom), name);
}

void shootDesignerSettings(QDialog& dialog, const QString& name) {
  QTabWidget* tabs = static_cast<Barcode_Gen&>(dialog).sett_tab;
  const QRect settings = rectIn(tabs, &dialog);
  // Down to the last control of the tab shown: a tab of few settings
  // leaves the rest of its page empty.
  const int bottom = rectIn(tabs->currentWidget(), &dialog).top() + lastControlBottom(tabs->currentWidget());
  shootPart(&dialog, QRect(0, 0, settings.right() + kCropMargin, bottom + 2 * kCropMargin), name);
}

void shootProfileFields(QDialog& dialog, const QString& name) {
  auto& profile = static_cast<ProfileDialog&>(dialog);
  const int right = rectIn(profile.view_excel_btn, &dialog).right() + kCropMargin;
  shootPart(&dialog, QRect(0, 0, right, dialog.height()), name);
}
