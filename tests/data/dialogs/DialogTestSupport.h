#pragma once
// What the data dialog tests share: a resource folder of their own with its
// series folder, the scripted message host, and short ways to read and write
// series files and to drive a dialog that the program runs modally.

#include <gtest/gtest.h>

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <ostream>

#include "../DataTestSupport.h"
#include "data/dialogs/SeriesWriting.h"
#include "data/globals.h"
#include "platform/globals.h"
#include "support/ScriptedHost.h"

// Readable texts in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace dialog_test {

// Lowers the most values one import may give while it lives.
class LoweredValueLimit {
 public:
  explicit LoweredValueLimit(qint64 limit) : previous_(Series_Value_Limit.exchange(limit)) {}
  ~LoweredValueLimit() { Series_Value_Limit = previous_; }

 private:
  qint64 previous_;
};

// The refusal of an import over the limit, written as the message writes it.
inline QString overLimitMessage(const char* limit) {
  return QStringLiteral(
             "A series can hold at most %1 values, and this import gives more. Nothing was imported.")
      .arg(limit);
}

// How a run refuses a series file it does not take (too large, not UTF-8),
// as every reader of series files refuses one.
inline QString refusedSeriesMessage(const char* name) {
  return QStringLiteral(
             "The data series \"%1\" cannot be used: its file is not a UTF-8 text file or is too large.")
      .arg(QLatin1String(name));
}

class DataDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(root.isValid());
    previousResources = Resource_Path();
    Set_Resource_Path(root.path());
    ASSERT_TRUE(QDir().mkpath(seriesFolder()));
    series_writing::setSeriesChangeListener([this] { ++seriesChanges; });
  }
  void TearDown() override {
    series_writing::setSeriesChangeListener({});
    Set_Resource_Path(previousResources);
  }

  QString seriesFolder() const { return root.path() + "/DataSet"; }
  QString seriesFile(const QString& name) const { return seriesFolder() + "/" + name + ".txt"; }
  QByteArray series(const QString& name) const { return data_test::readAll(seriesFile(name)); }
  void writeSeries(const QString& name, const QByteArray& bytes) const {
    data_test::writeAll(seriesFile(name), bytes);
  }
  QStringList seriesNames() const { return QDir(seriesFolder()).entryList(QDir::Files, QDir::Name); }
  // A series file of 300 MB, beyond what any reader takes; sparse, so that it
  // costs the disk nothing. The temporary folder removes it.
  void writeHugeSeries(const QString& name) const {
    QFile file(seriesFile(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.write("first\n") == 6 && file.resize(kHugeSeriesBytes));
  }
  static constexpr qint64 kHugeSeriesBytes = 300LL * 1024 * 1024;
  // Texts of the message boxes shown, without the box's leading line break.
  QStringList messages() const {
    QStringList texts;
    for (const QString& text : host.messages()) texts.append(text.trimmed());
    return texts;
  }
  // The next modal run of a dialog of type D is handed to `act`; the run
  // answers what the dialog's own buttons left as its result.
  template <typename D>
  void whenShown(std::function<void(D&)> act) {
    host.queueModal([act](QDialog& dialog) {
      dialog.setResult(-1);
      act(static_cast<D&>(dialog));
      return dialog.result();
    });
  }

  QTemporaryDir root;
  QString previousResources;
  // How often the dialogs told the main window that series changed.
  int seriesChanges = 0;
  testing_support::ScriptedHost host;
};

}  // namespace dialog_test
