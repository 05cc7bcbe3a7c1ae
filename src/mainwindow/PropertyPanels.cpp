// The tab view of the main window's right-hand side: the card tabs while no
// object is selected, the tabs of the selected object's kind otherwise.
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/SKTGraphic.h"
#include "core/globals.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/globals.h"
#include "mainwindow/panels/CardBackgroundTab.h"
#include "mainwindow/panels/CardBorderTab.h"
#include "mainwindow/panels/CardSettingsTab.h"
#include "platform/Messages.h"

namespace {

// A page whose controls come with the object panels: it names what it is for.
QWidget* objectPage(const QString& title, QLabel** label) {
  auto* page = new QWidget;
  page->setAccessibleName(title);
  auto* layout = new QVBoxLayout(page);
  *label = new QLabel(title, page);
  (*label)->setWordWrap(true);
  layout->addWidget(*label);
  layout->addStretch(1);
  return page;
}

QString shapeTitle(const QString& code) {
  static const QHash<QString, QString> titles = {
      {QStringLiteral("R"), QStringLiteral("Rectangle Properties")},
      {QStringLiteral("C"), QStringLiteral("Ellipse Properties")},
      {QStringLiteral("RR"), QStringLiteral("Rounded Rectangle Properties")},
      {QStringLiteral("T"), QStringLiteral("Triangle Properties")},
      {QStringLiteral("D"), QStringLiteral("Diamond Properties")},
      {QStringLiteral("S"), QStringLiteral("Star Properties")},
      {QStringLiteral("DS"), QStringLiteral("Double Star Properties")},
      {QStringLiteral("P"), QStringLiteral("Polygon Properties")}};
  return titles.value(code);
}

}  // namespace

void SKTWindowController::buildSettingsTabs() {
  sett_tab = new QTabWidget;
  sett_tab->setObjectName(QStringLiteral("sett_tab"));
  sett_tab->setAccessibleName(tr("Properties"));
  sett_tab->setFixedWidth(370);
  _cardSettings = new CardSettingsTab;
  _cardBackground = new CardBackgroundTab;
  _cardBorder = new CardBorderTab;
  card_setting_tab = _cardSettings;
  card_bkgd_tab = _cardBackground;
  card_brdr_tab = _cardBorder;
  QLabel* unused = nullptr;
  card_info_tab = objectPage(tr("Card Information"), &unused);
  card_size_tab = objectPage(tr("Card Size"), &unused);
  struct Page {
    QWidget** tab;
    const char* title;
  };
  const Page pages[] = {{&line_tab, "Line Properties"},      {&shape_tab, "Shape Properties"},
                        {&text_edtng_tab, "Text"},           {&text_prop_tab, "Text Properties"},
                        {&image_tab, "Image Properties"},    {&sign_tab, "Signature Properties"},
                        {&datasource_tab, "Data Source"},    {&aligmnt_tab, "Alignment"},
                        {&barcode_tab, "Barcode Properties"}};
  for (const Page& page : pages) {
    QLabel* label = nullptr;
    *page.tab = objectPage(QString::fromLatin1(page.title), &label);
    _objectTabLabels.insert(*page.tab, label);
  }
  Lock_tab = objectPage(tr("This object is locked. Unlock it to change it."), &_lockLabel);
  auto* unlock = new QPushButton(tr("Unlock"), Lock_tab);
  unlock->setAccessibleName(tr("Unlock"));
  static_cast<QVBoxLayout*>(Lock_tab->layout())->insertWidget(1, unlock);
  connect(unlock, &QPushButton::clicked, this, &SKTWindowController::Unlock_Clicked);
  // Every page belongs to the window, whether shown or not.
  for (QWidget* page : {card_info_tab, card_size_tab, line_tab, shape_tab, text_edtng_tab, text_prop_tab,
                        image_tab, sign_tab, datasource_tab, aligmnt_tab, barcode_tab, Lock_tab}) {
    page->setParent(sett_tab);
    page->hide();
  }
  sett_tab->addTab(card_setting_tab, tr("Card"));
  sett_tab->addTab(card_bkgd_tab, tr("Background"));
  sett_tab->addTab(card_brdr_tab, tr("Border"));
}

void SKTWindowController::Remove_All_Tab_Items() {
  while (sett_tab->count() > 0) {
    QWidget* page = sett_tab->widget(0);
    sett_tab->removeTab(0);
    page->hide();
  }
}

void SKTWindowController::Show_RHS_Properties(SKTGraphic* graphic) {
  if (Not_Draw_Only_Prop_Change()) return;
  try {
    selectArrowTool();
    if (graphic == nullptr) {
      showCardProperties();
      return;
    }
    Enable_Standard_Button_For_Control();
    if (graphic->ctrl_is_locked)
      Disable_Standard_Button_For_Lock();
    else
      Enable_Standard_Button_For_Unlock();
    if (graphic == Last_Selected_Graphic) return;
    Last_Selected_Graphic = graphic;
    showObjectTabs(graphic);
  } catch (const std::exception& e) {
    qCWarning(lcMainWindow).noquote() << QString::fromUtf8(e.what());
  }
}

void SKTWindowController::showObjectTabs(SKTGraphic* graphic) {
  ScopedNotDrawOnlyPropChange loading;
  Remove_All_Tab_Items();
  QList<std::pair<QWidget*, QString>> tabs;
  QString lockedLabel;
  switch (graphic->kind()) {
    case GraphicKind::Text:
      tabs = {{text_edtng_tab, QStringLiteral("Text")},
              {text_prop_tab, QStringLiteral("Text Properties")},
              {datasource_tab, QStringLiteral("Text Source")}};
      lockedLabel = QStringLiteral("Text Properties");
      break;
    case GraphicKind::Image:
      tabs = {{datasource_tab, QStringLiteral("Image Source")},
              {image_tab, QStringLiteral("Image Properties")}};
      lockedLabel = QStringLiteral("Image Properties");
      break;
    case GraphicKind::Line:
      tabs = {{line_tab, QStringLiteral("Line Properties")}};
      lockedLabel = QStringLiteral("Line Properties");
      break;
    case GraphicKind::Signature: {
      const bool signature = graphic->sign_or_fingureprint == QLatin1String("S");
      tabs = {{sign_tab, signature ? QStringLiteral("Signature Properties")
                                   : QStringLiteral("FingrePrint Properties")}};
      lockedLabel = QStringLiteral("Signature Properties");
      break;
    }
    case GraphicKind::Barcode:
      tabs = {{barcode_tab, QStringLiteral("Barcode Properties")}};
      lockedLabel = QStringLiteral("Barcode Properties");
      break;
    default: {
      QString title = shapeTitle(graphic->Get_shape_type());
      if (title.isEmpty()) title = sett_tab->tabText(sett_tab->indexOf(shape_tab));
      if (title.isEmpty()) title = QStringLiteral("Shape Properties");
      tabs = {{shape_tab, title}};
      lockedLabel = title;
      break;
    }
  }
  if (graphic->ctrl_is_locked) {
    sett_tab->insertTab(0, Lock_tab, lockedLabel);
  } else {
    for (const auto& [page, label] : tabs) {
      sett_tab->addTab(page, label);
      if (QLabel* text = _objectTabLabels.value(page)) text->setText(label);
    }
    sett_tab->addTab(aligmnt_tab, QStringLiteral("Alignment"));
  }
  sett_tab->setCurrentIndex(0);
  sett_tab->update();
}
