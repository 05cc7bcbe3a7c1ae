#include "data/dialogs/SeriesWriting.h"

#include <QLocale>

#include "data/dialogs/ProgressSheet.h"
#include "platform/Messages.h"
#include "platform/StringHelpers.h"

namespace series_writing {

namespace {
DesignBindingsProvider& provider() {
  static DesignBindingsProvider current;
  return current;
}

SeriesChangeListener& changeListener() {
  static SeriesChangeListener current;
  return current;
}
}  // namespace

QString seriesNameFrom(const QString& typed) {
  const QString name = Remove_Reserve_Char_In_File_Name(typed);
  return DataSeriesStore::isPlainName(name) ? name : QString();
}

QString nameRefusal(const QString& typed) {
  return Trim_Str(Remove_Reserve_Char_In_File_Name(typed)).isEmpty()
             ? QStringLiteral("Please enter list name.")
             : QString(DataSeriesStore::kFileAccessError);
}

bool mayReplace(const DataSeriesStore& store, const QString& name) {
  return !store.seriesExists(name) || Show_YES_NO_MessageBox(kReplaceQuestion);
}

QString acceptTypedName(const DataSeriesStore& store, const QString& typedName) {
  const QString name = seriesNameFrom(typedName);
  if (name.isEmpty()) {
    Show_MessageBox(nameRefusal(typedName));
    return QString();
  }
  return mayReplace(store, name) ? name : QString();
}

bool writeOnWorker(QWidget* owner, const DataSeriesStore& store, const QString& name,
                   const SeriesValues& values, SeriesWriteMode mode) {
  bool written = false;
  QString failure;
  runWithProgress(owner, [&](TaskProgress&) {
    written = store.writeSeriesValues(name, values, mode, SeriesFailureReport::Silent, &failure);
  });
  if (!written) {
    Show_MessageBox(failure);
    return false;
  }
  seriesChanged();
  return true;
}

bool refuseOverLimit(const SeriesValues& values) {
  if (!values.overLimit()) return false;
  Show_MessageBox(
      QStringLiteral("A series can hold at most %1 values, and this import gives more. Nothing was "
                     "imported.")
          .arg(QLocale(QLocale::English).toString(values.limit())));
  return true;
}

void setDesignBindingsProvider(DesignBindingsProvider source) {
  provider() = std::move(source);
}

bool seriesInUse(const DataSeriesStore& store, const QString& name) {
  if (!provider()) return false;
  return store.Check_Batch_File_In_Use_Validation(name, provider()());
}

void setSeriesChangeListener(SeriesChangeListener listener) {
  changeListener() = std::move(listener);
}

void seriesChanged() {
  // A copy: the listener may install another one while it runs.
  if (const SeriesChangeListener listener = changeListener()) listener();
}

}  // namespace series_writing
