// The user guide against the program: every name the guide writes in bold is
// a menu item, tab, button, box or window of the real window and its dialogs,
// and the shortcuts it lists are the menu items' own.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSet>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

#include "barcode/dialog/Barcode_Gen.h"
#include "data/dialogs/BatchWizard.h"
#include "data/dialogs/Import_Excel.h"
#include "data/dialogs/Import_Excel_DataSheet.h"
#include "mainwindow/AuxWindows.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/WindowTestSupport.h"
#include "personalisation/Invitation_Wizard.h"
#include "platform/widgets/Open_Export_Log.h"
#include "production/Email_Setting.h"
#include "support/ScriptedHost.h"
#include "support/TestFiles.h"
#include "support/WindowWait.h"

namespace {

const QString kGuideFolder = QStringLiteral(QUVO_SOURCE_DIR "/guide");

QString guideText() {
  return QString::fromUtf8(testing_support::readFile(kGuideFolder + "/Guide.md"));
}

QStringList captures(const QString& text, const QString& pattern) {
  QStringList found;
  const QRegularExpression expression(pattern, QRegularExpression::MultilineOption);
  for (auto it = expression.globalMatch(text); it.hasNext();) found << it.next().captured(1);
  return found;
}

QString shown(QString text) {
  return text.remove(QLatin1Char('&')).trimmed();
}

// Every name a person reads in a window: its title, buttons, boxes, labels
// (with and without their colon), tabs, list items and actions.
void collectNames(const QWidget& window, QSet<QString>& names) {
  names << shown(window.windowTitle());
  for (const QWidget* w : window.findChildren<QWidget*>()) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
      names << shown(button->text());
    } else if (const auto* box = qobject_cast<const QGroupBox*>(w)) {
      names << shown(box->title());
    } else if (const auto* label = qobject_cast<const QLabel*>(w)) {
      names << shown(label->text());
      names << shown(label->text()).remove(QRegularExpression(QStringLiteral("\\s*:$")));
    } else if (const auto* tabs = qobject_cast<const QTabBar*>(w)) {
      for (int i = 0; i < tabs->count(); ++i) names << shown(tabs->tabText(i));
    } else if (const auto* combo = qobject_cast<const QComboBox*>(w)) {
      for (int i = 0; i < combo->count(); ++i) names << combo->itemText(i);
    }
  }
  for (const QAction* action : window.findChildren<QAction*>()) names << shown(action->text());
}

// The menus and their items by their path ("View > Zoom", "File > Save As…").
void collectMenuPaths(const QList<QAction*>& actions, const QString& prefix, QMap<QString, QAction*>& paths) {
  for (QAction* action : actions) {
    if (action->isSeparator()) continue;
    const QString path = prefix.isEmpty() ? shown(action->text()) : prefix + " > " + shown(action->text());
    paths.insert(path, action);
    if (action->menu() != nullptr) collectMenuPaths(action->menu()->actions(), path, paths);
  }
}

// A message host that takes the names of every window run modally and
// closes it at once.
class NameCollector : public testing_support::ScriptedHost {
 public:
  QSet<QString> names;
  int runModal(QDialog& dialog) override {
    collectNames(dialog, names);
    return 0;
  }
};

class UserGuide : public ::testing::Test {
 protected:
  void SetUp() override {
    resources = window_test::useSeededResources(dir);
    window = std::make_unique<SKTWindowController>();
    window->show();
    ASSERT_TRUE(testing_support::waitUntilShown(window.get()));
  }
  void TearDown() override {
    window.reset();
    Card_Front_Or_Back = 0;
  }

  QTemporaryDir dir;
  QString resources;
  NameCollector host;
  std::unique_ptr<SKTWindowController> window;
};

TEST_F(UserGuide, EveryNameTheGuideWritesInBoldIsInTheProgramAndEveryShortcutIsTheMenuItemsOwn) {
  QMap<QString, QAction*> menuPaths;
  collectMenuPaths(window->menuBar()->actions(), QString(), menuPaths);
  QSet<QString>& names = host.names;
  collectNames(*window, names);
  // The tabs of each kind of object, as the tools place them (the library
  // picture's library is closed unanswered).
  host.queueOpenPanel({resources + "/LibraryImage/flowers/Daisy.png"});
  for (int tool = 1; tool < SKTWindowController::kToolCount; ++tool) {
    window->toolAction(static_cast<DrawingTool>(tool))->trigger();
    collectNames(*window, names);
  }
  // Every window of the Card and Help menus, and the dialogs they lead to.
  for (const QString& menu : {QStringLiteral("Card"), QStringLiteral("Help")})
    for (auto it = menuPaths.cbegin(); it != menuPaths.cend(); ++it)
      if (it.key().startsWith(menu + " > ") && it.value()->menu() == nullptr) it.value()->trigger();
  // The thank-you window shows on quitting only.
  for (const QDialog* dialog : std::initializer_list<const QDialog*>{
           &Invitation_Wizard::defaultInstance(), &Barcode_Gen::defaultInstance(),
           &Email_Setting::defaultInstance(), &Import_Excel_DataSheet::defaultInstance(),
           &Review_Form::defaultInstance()})
    collectNames(*dialog, names);
  // Windows and tabs that show only in a state of their own: the designer's
  // Resolution tab (two-dimensional symbols), the value editor of the series
  // manager, the spreadsheet picker of the profile window, the window after
  // an export (for a folder and for a file).
  Barcode_Gen& designer = Barcode_Gen::defaultInstance();
  designer.barcodeTypePopup->setCurrentIndex(designer.barcodeTypePopup->findText(QStringLiteral("QR Code")));
  collectNames(designer, names);
  collectNames(Update_Ex_Num(), names);
  collectNames(Import_Excel::defaultInstance(), names);
  Open_Export_Log exported;
  exported.openFor(dir.path(), QStringLiteral("done"));
  exported.openFor(dir.filePath(QStringLiteral("Card.png")), QStringLiteral("done"));

  const QString guide = guideText();
  const QStringList bold = captures(guide, QStringLiteral(R"(\*\*([^*]+)\*\*)"));
  EXPECT_GT(bold.size(), 150);  // the guide names what it describes
  QStringList unknown;
  for (const QString& name : bold) {
    const bool found = name.contains(" > ") ? menuPaths.contains(name) : names.contains(name);
    if (!found && !unknown.contains(name)) unknown << name;
  }
  EXPECT_EQ(unknown.join(" | ").toStdString(), "");

  // The shortcut table: | **Menu > Item** | `keys` |
  const QRegularExpression row(QStringLiteral(R"(^\| \*\*([^*]+)\*\* \| `([^`]+)` \|$)"),
                               QRegularExpression::MultilineOption);
  int rows = 0;
  for (auto it = row.globalMatch(guide); it.hasNext(); ++rows) {
    const QRegularExpressionMatch match = it.next();
    QAction* action = menuPaths.value(match.captured(1));
    ASSERT_NE(action, nullptr) << match.captured(1).toStdString();
    const QKeySequence keys = QKeySequence::fromString(match.captured(2), QKeySequence::PortableText);
    EXPECT_TRUE(action->shortcuts().contains(keys))
        << match.captured(1).toStdString() << " has not " << match.captured(2).toStdString();
  }
  EXPECT_GE(rows, 20);
}

// The tallest band of rows of a picture that are nearly all one colour: an
// empty list, text box or panel area.
int tallestEmptyBand(const QImage& image) {
  int tallest = 0;
  int run = 0;
  for (int y = 0; y < image.height(); ++y) {
    QHash<QRgb, int> colours;
    int most = 0;
    for (int x = 0; x < image.width(); x += 2) most = std::max(most, ++colours[image.pixel(x, y)]);
    run = most >= 0.9 * ((image.width() + 1) / 2) ? run + 1 : 0;
    tallest = std::max(tallest, run);
  }
  return tallest;
}

// Panels and windows are pictured cut to what they hold: no picture has an
// empty band taller than about 4 cm on a screen.
TEST(UserGuidePictures, NoPictureHoldsALargeEmptyArea) {
  const QDir folder(kGuideFolder + "/pictures");
  const QStringList names = folder.entryList({QStringLiteral("*.png")}, QDir::Files);
  EXPECT_GE(names.size(), 20);
  for (const QString& name : names) {
    const QImage image(folder.filePath(name));
    ASSERT_FALSE(image.isNull()) << name.toStdString();
    EXPECT_LE(tallestEmptyBand(image), 150) << name.toStdString() << " is much empty area";
  }
}

}  // namespace
