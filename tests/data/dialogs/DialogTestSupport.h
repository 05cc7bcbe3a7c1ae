#pragma once
// What the data dialog tests share: a resource folder of their own with its
// series folder, the scripted message host, and short ways to read and write
// series files and to drive a dialog that the program runs modally.

#include <gtest/gtest.h>

#include <QDialog>
#include <QDir>
#include <QTemporaryDir>
#include <functional>
#include <ostream>

#include "../DataTestSupport.h"
#include "platform/globals.h"
#include "support/ScriptedHost.h"

// Readable texts in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace dialog_test {

class DataDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(root.isValid());
    previousResources = Resource_Path();
    Set_Resource_Path(root.path());
    ASSERT_TRUE(QDir().mkpath(seriesFolder()));
  }
  void TearDown() override { Set_Resource_Path(previousResources); }

  QString seriesFolder() const { return root.path() + "/DataSet"; }
  QString seriesFile(const QString& name) const { return seriesFolder() + "/" + name + ".txt"; }
  QByteArray series(const QString& name) const { return data_test::readAll(seriesFile(name)); }
  void writeSeries(const QString& name, const QByteArray& bytes) const {
    data_test::writeAll(seriesFile(name), bytes);
  }
  QStringList seriesNames() const { return QDir(seriesFolder()).entryList(QDir::Files, QDir::Name); }
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
  testing_support::ScriptedHost host;
};

}  // namespace dialog_test
