#include "mainwindow/SeriesBindings.h"

#include <QPointer>

#include "data/dialogs/SeriesWriting.h"
#include "mainwindow/SKTWindowController.h"

namespace {

QList<SeriesBinding> bindingsOf(const SKTGraphicList& graphics) {
  QList<SeriesBinding> bindings;
  for (const SKTGraphicPtr& graphic : graphics)
    if (graphic)
      bindings.append(
          {graphic->className(), graphic->data_source_type_val(), graphic->batch_list_name_val()});
  return bindings;
}

}  // namespace

void installSeriesBindings(SKTWindowController& window) {
  QPointer<SKTWindowController> target(&window);
  series_writing::setDesignBindingsProvider([target] {
    if (!target || !target->document()) return SeriesBindingList({}, {}, QStringLiteral("1"));
    const SKTDocument& document = *target->document();
    // Both sides count: a series bound on the back is never rewritten under it.
    return SeriesBindingList(bindingsOf(document.graphics()), bindingsOf(document.graphics_back()),
                             QStringLiteral("2"));
  });
}
