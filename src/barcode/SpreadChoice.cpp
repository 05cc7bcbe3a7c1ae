#include "barcode/SpreadChoice.h"

#include <QSettings>

#include "barcode/BarcodeLog.h"
#include "barcode/globals.h"

namespace barcode {

namespace {
const QString kSpreadKey = QStringLiteral("barcode/spreadValueText");
}

void loadSpreadChoice() {
  const QSettings settings;
  const QVariant stored = settings.value(kSpreadKey);
  if (stored.isValid()) Spread_Barcode_Value_Text.store(stored.toBool());
}

void keepSpreadChoice(bool spread) {
  Spread_Barcode_Value_Text.store(spread);
  QSettings settings;
  settings.setValue(kSpreadKey, spread);
  settings.sync();
  if (settings.status() != QSettings::NoError)
    qCWarning(lcBarcode).noquote()
        << QStringLiteral("The value text choice could not be kept in %1").arg(settings.fileName());
}

}  // namespace barcode
