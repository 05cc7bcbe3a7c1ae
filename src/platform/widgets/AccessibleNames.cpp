#include "platform/widgets/AccessibleNames.h"

#include <QAbstractButton>
#include <QFormLayout>
#include <QLabel>
#include <QLayout>

namespace platform {
namespace {

QString spokenText(QString text) {
  text.remove(QLatin1Char('&'));
  text = text.trimmed();
  for (const QString& tail : {QStringLiteral(":"), QStringLiteral("…"), QStringLiteral("...")})
    if (text.endsWith(tail)) text.chop(tail.size());
  return text.trimmed();
}

void nameIfUnnamed(QWidget* control, const QString& text) {
  if (control != nullptr && control->accessibleName().isEmpty() && !text.isEmpty())
    control->setAccessibleName(spokenText(text));
}

// The first widget of a layout item, looking into nested layouts.
QWidget* firstWidget(QLayoutItem* item) {
  if (item == nullptr) return nullptr;
  if (QWidget* widget = item->widget()) return widget;
  if (QLayout* layout = item->layout())
    for (int i = 0; i < layout->count(); ++i)
      if (QWidget* widget = firstWidget(layout->itemAt(i))) return widget;
  return nullptr;
}

}  // namespace

void nameControlsFromLabels(QWidget& dialog) {
  nameIfUnnamed(&dialog, dialog.windowTitle());
  for (QFormLayout* form : dialog.findChildren<QFormLayout*>()) {
    for (int row = 0; row < form->rowCount(); ++row) {
      auto* label = qobject_cast<QLabel*>(firstWidget(form->itemAt(row, QFormLayout::LabelRole)));
      if (label != nullptr)
        nameIfUnnamed(firstWidget(form->itemAt(row, QFormLayout::FieldRole)), label->text());
    }
  }
  for (QLabel* label : dialog.findChildren<QLabel*>()) nameIfUnnamed(label->buddy(), label->text());
  for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
    nameIfUnnamed(button, button->text());
}

}  // namespace platform
