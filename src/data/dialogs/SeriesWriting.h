#pragma once
// What every dialog that writes a series shares: the typed name made into a
// series name, the replace question, the in-use check against the design in
// the main window, and the texts these steps show.

#include <QString>
#include <QStringList>
#include <functional>

#include "data/DataSeriesStore.h"

class QWidget;

namespace series_writing {

// Asked before a new series file replaces one of the same name; a constant
// array like DataSeriesStore::kFileAccessError, which the failures show.
inline constexpr char kReplaceQuestion[] =
    "Batch Processing Series already exists. Do you want to replace it?";

// The typed name with reserved characters and blanks trimmed from its ends;
// empty when what is left cannot be a file name of the series folder.
QString seriesNameFrom(const QString& typed);

// What to tell the user about a typed name that `seriesNameFrom` refused:
// "Please enter list name." when nothing but blanks and reserved characters
// was typed, "Error in file accessing." otherwise.
QString nameRefusal(const QString& typed);

// Before a new series file replaces one of the same name: true when there is
// none, or the user answered Yes to the replace question.
bool mayReplace(const DataSeriesStore& store, const QString& name);

// The series name a typed name is written under, as every import and the
// generator take it (GUI thread): empty when nothing is to be written,
// because the name cannot be a file name (`nameRefusal` is shown) or because the series exists and the user
// answered No to the replace question.
QString acceptTypedName(const DataSeriesStore& store, const QString& typedName);

// Writes the values on a worker while the please-wait sheet covers `owner`;
// the old file stays until the new one is complete. A failed write shows
// "Error in file accessing." (or, appending to a file beyond the size every
// reader takes, DataSeriesStore::refusedSeriesMessage) and answers false; a
// write made is announced (seriesChanged).
bool writeOnWorker(QWidget* owner, const DataSeriesStore& store, const QString& name,
                   const SeriesValues& values, SeriesWriteMode mode = SeriesWriteMode::Replace);

// Shown when an import would give more values than `values` may hold
// (SeriesValues::overLimit); answers whether it was shown.
bool refuseOverLimit(const SeriesValues& values);

// The main window tells the dialogs which card objects are bound to which
// series; without it no series counts as in use.
using DesignBindingsProvider = std::function<SeriesBindingList()>;
void setDesignBindingsProvider(DesignBindingsProvider provider);
// Whether a card object of the current design is bound to the series.
bool seriesInUse(const DataSeriesStore& store, const QString& name);

// The main window shows in every bound object the value card 1 takes from
// its series. Each dialog that writes or deletes series files says so once
// its files are written (GUI thread), and the window shows the new values;
// without a listener nothing happens.
using SeriesChangeListener = std::function<void()>;
void setSeriesChangeListener(SeriesChangeListener listener);
void seriesChanged();

}  // namespace series_writing
