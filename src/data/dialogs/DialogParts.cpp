#include "data/dialogs/DialogParts.h"

#include <QCheckBox>
#include <QDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <algorithm>
#include <functional>
#include <vector>

#include "platform/Messages.h"
#include "platform/StringHelpers.h"
#include "platform/widgets/DialogLook.h"

namespace dialog_parts {

void setUpDialog(QDialog& dialog, const QString& title) {
  dialog.setModal(true);
  dialog.setWindowTitle(title);
  dialog.setAccessibleName(title);
  platform::applyDialogLook(dialog);
}

QHBoxLayout* okCancelRow(QWidget* parent, QPushButton** ok, QPushButton** cancel) {
  // Made in the order they stand, so that Tab comes to Cancel before OK.
  *cancel = button(parent, QStringLiteral("Cancel"));
  *ok = button(parent, QStringLiteral("OK"));
  (*ok)->setDefault(true);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(*cancel);
  row->addWidget(*ok);
  return row;
}

QLabel* label(QWidget* parent, const QString& text) {
  auto* control = new QLabel(text, parent);
  control->setAccessibleName(text);
  return control;
}

QLineEdit* lineEdit(QWidget* parent, const QString& accessibleName) {
  auto* control = new QLineEdit(parent);
  control->setAccessibleName(accessibleName);
  return control;
}

QPushButton* button(QWidget* parent, const QString& text) {
  auto* control = new QPushButton(text, parent);
  control->setAccessibleName(text);
  control->setAutoDefault(false);
  return control;
}

QRadioButton* radioButton(QWidget* parent, const QString& text) {
  auto* control = new QRadioButton(text, parent);
  control->setAccessibleName(text);
  return control;
}

QCheckBox* checkBox(QWidget* parent, const QString& text) {
  auto* control = new QCheckBox(text, parent);
  control->setAccessibleName(text);
  return control;
}

QTableView* tableView(QWidget* parent, QAbstractItemModel* model, const QString& accessibleName) {
  auto* table = new QTableView(parent);
  table->setAccessibleName(accessibleName);
  table->setModel(model);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setAlternatingRowColors(true);
  table->horizontalHeader()->setStretchLastSection(true);
  table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  // Fixed row heights keep long lists fast: nothing is measured per row.
  table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
  return table;
}

void tabInReadingOrder(QDialog& dialog) {
  // Place every control now: each widget's own layout after its parent's.
  std::function<void(QWidget*)> place = [&place](QWidget* widget) {
    if (widget->layout() != nullptr) widget->layout()->activate();
    for (QWidget* child : widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) place(child);
  };
  place(&dialog);
  struct Stop {
    QWidget* widget;
    QRect place;
  };
  std::vector<Stop> stops;
  for (QWidget* widget : dialog.findChildren<QWidget*>()) {
    // The parts of a spin box or a combo box pass their focus to it.
    if (!(widget->focusPolicy() & Qt::TabFocus) || widget->focusProxy() != nullptr) continue;
    stops.push_back({widget, QRect(widget->mapTo(&dialog, QPoint(0, 0)), widget->size())});
  }
  // Rows first: by the top edge; then the controls whose middle lies within
  // the first one's height share its row and go left to right.
  std::stable_sort(stops.begin(), stops.end(),
                   [](const Stop& a, const Stop& b) { return a.place.top() < b.place.top(); });
  for (auto row = stops.begin(); row != stops.end();) {
    const int bottom = row->place.bottom();
    auto end =
        std::find_if(row, stops.end(), [bottom](const Stop& s) { return s.place.center().y() > bottom; });
    if (end == row) ++end;
    std::stable_sort(row, end, [](const Stop& a, const Stop& b) { return a.place.left() < b.place.left(); });
    row = end;
  }
  for (size_t i = 1; i < stops.size(); ++i) QWidget::setTabOrder(stops[i - 1].widget, stops[i].widget);
}

bool Check_And_Validate_File_Path(const QString& path) {
  const QString trimmed = Trim_Str(path);
  if (!trimmed.isEmpty() && QFileInfo::exists(trimmed)) return false;
  Show_MessageBox(QStringLiteral("Please select valid file path."));
  return true;
}

}  // namespace dialog_parts
