// The card tabs: loading the current side's page settings into them, and
// writing every change back into those settings (then the card is redrawn).
// Also the card size, the outline, background pictures, the colour and font
// of the card's texts, and the card-size list.
#include <QDir>
#include <QFileInfo>
#include <QFontDialog>
#include <QLocale>

#include "core/PictureFile.h"
#include "core/SKTGraphic.h"
#include "core/globals.h"
#include "mainwindow/CardSizes.h"
#include "mainwindow/PictureLibrary.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/designfile/DesignFile.h"
#include "mainwindow/globals.h"
#include "mainwindow/panels/CardBackgroundTab.h"
#include "mainwindow/panels/CardBorderTab.h"
#include "mainwindow/panels/CardSettingsTab.h"
#include "mainwindow/panels/PanelControls.h"
#include "platform/FileHelpers.h"
#include "platform/FontNames.h"
#include "platform/MessageHost.h"
#include "platform/Messages.h"
#include "platform/StringHelpers.h"
#include "platform/globals.h"
#include "platform/widgets/Controls.h"

namespace {

using panels::fontLabel;
using panels::selectItemWithText;

QColor withAlpha(QColor colour, float alpha) {
  colour.setAlphaF(std::clamp(alpha, 0.0f, 1.0f));
  return colour;
}

std::optional<double> parseMillimetres(const QString& text) {
  bool ok = false;
  double value = QLocale().toDouble(text.trimmed(), &ok);
  if (!ok) value = QLocale::c().toDouble(text.trimmed(), &ok);
  if (!ok || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace

// ---------------------------------------------------------------- wiring

void SKTWindowController::connectCardControls() {
  CardSettingsTab* g = _cardSettings;
  CardBackgroundTab* b = _cardBackground;
  CardBorderTab* r = _cardBorder;
  onChosen(g->matrix_card_shape, this, [this](int row) { card_shape_CellClick(row); });
  connect(g->card_name, &QLineEdit::editingFinished, this, &SKTWindowController::Update_Card_Graphics);
  for (QComboBox* combo : {g->Sides_ComboBox, g->Preset_ComboBox, g->Category_ComboBox, b->Card_hatch_style,
                           b->Card_image_layout, r->Card_border_style})
    connect(combo, &QComboBox::currentIndexChanged, this,
            [this, combo] { comboBoxSelectionDidChange(combo); });
  connect(g->ColList, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { cardSizeRowChosen(_cardSettings->ColList->row(item)); });
  connect(g->Apply_Size_btn, &QPushButton::clicked, this, &SKTWindowController::Apply_Size_Clicked);
  connect(g->width_Text, &QLineEdit::returnPressed, this, &SKTWindowController::Apply_Size_Clicked);
  connect(g->height_Text, &QLineEdit::returnPressed, this, &SKTWindowController::Apply_Size_Clicked);
  connect(g->All_Text_clr, &ColorWell::colorChanged, this, [this](const QColor& colour) {
    {
      std::lock_guard lock(_contentMutex);
      _allTextColor = colour;
    }
    Update_All_Card_Content();
  });
  connect(g->Content_Font_btn, &QPushButton::clicked, this, &SKTWindowController::Content_Font_Clicked);

  onToggled(b->Card_fill_chk, this, [this] { Card_Fill_Chk_Box(); });
  const std::pair<QRadioButton*, const char*> radios[] = {{b->Card_solid_fill_rd, "S"},
                                                          {b->Card_gradient_fill_rd, "G"},
                                                          {b->Card_Style_fill_rd, "H"},
                                                          {b->Card_Image_fill_rd, "I"}};
  for (const auto& [radio, kind] : radios) {
    const QString code = QLatin1String(kind);
    onChosen(radio, this, [this, code] { Card_Fill_Radio_Selected(code); });
  }
  for (ColorWell* well : {b->Card_fill_clr, b->Card_fill_Grd_1_clr, b->Card_fill_Grd_2_clr,
                          b->Card_hatch_bk_clr, r->Card_bordr_clr})
    connect(well, &ColorWell::colorChanged, this, &SKTWindowController::Update_Card_Graphics);
  for (QSpinBox* stepper : {b->Card_grad_Stepper, b->Card_alpha_Stepper, r->Card_bor_Stepper})
    connect(stepper, &QSpinBox::valueChanged, this, &SKTWindowController::Update_Card_Graphics);
  connect(b->Card_Image_Browse_btn, &QPushButton::clicked, this, &SKTWindowController::Card_Image_Browse_Btn);
  connect(b->Card_Image_Library_btn, &QPushButton::clicked, this,
          &SKTWindowController::Card_Image_Library_Btn);
  connect(b->imageBrowser, &PictureBrowser::imageBrowserSelectionDidChange, this,
          [this](const QString& path) {
            if (path.isEmpty()) return;
            // The chosen background goes to the side being edited.
            if (!setBackgroundImageOfSide(Card_Front_Or_Back.load() == 1 ? CardSide::Back : CardSide::Front,
                                          path))
              return;
            Update_Card_Graphics();
            Refresh_Canvas();
          });
  onToggled(r->Card_border_chk, this, [this] { Card_Border_ChkBox(); });

  ScopedNotDrawOnlyPropChange starting;
  b->Card_image_layout->setCurrentIndex(1);
  g->Sides_ComboBox->setCurrentIndex(0);
  g->Preset_ComboBox->setCurrentIndex(0);
  g->Category_ComboBox->setCurrentIndex(-1);
  g->Category_ComboBox->setCurrentIndex(0);
  r->Card_bor_Stepper->setValue(3);
  r->Card_border_style->setCurrentIndex(0);
  b->Card_hatch_style->clear();
  const QStringList hatches =
      Get_Files_Array_At_Path(::Resource_Path() + QStringLiteral("/Fill_Style_Image"));
  b->Card_hatch_style->addItems(hatches);
  if (!hatches.isEmpty()) b->Card_hatch_style->setCurrentIndex(0);
}

// ---------------------------------------------------------------- loading

void SKTWindowController::showCardProperties() {
  ScopedNotDrawOnlyPropChange loading;
  currentSideView()->changeSelectionIndexes({});
  Disable_Standard_Button_For_Card();
  Last_Selected_Graphic.reset();
  // The card tabs stay where the person is when they are already shown.
  const bool cardTabsShown = sett_tab->count() == 3 && sett_tab->widget(0) == card_setting_tab;
  if (!cardTabsShown) {
    Remove_All_Tab_Items();
    sett_tab->insertTab(0, card_setting_tab, tr("Card"));
    sett_tab->insertTab(1, card_bkgd_tab, tr("Background"));
    sett_tab->insertTab(2, card_brdr_tab, tr("Border"));
    sett_tab->setCurrentIndex(0);
  }
  Card_Property& page = currentCardProp();
  loadCardControls(page);
  card_prop_set(page.Card_fill_style);
  sett_tab->update();
}

void SKTWindowController::loadCardControls(const Card_Property& constPage) {
  Card_Property& page = const_cast<Card_Property&>(constPage);
  CardSettingsTab* g = _cardSettings;
  CardBackgroundTab* b = _cardBackground;
  CardBorderTab* r = _cardBorder;
  showChecked(r->Card_border_chk, page.Card_border_chk);
  r->Card_bordr_clr->setColor(page.Card_bordr_clr);
  r->Card_bor_Stepper->setValue(page.Card_bor_Stepper);
  if (const int dash = panels::dashIndex(page.Card_border_style); dash >= 0)
    r->Card_border_style->setCurrentIndex(dash);
  showChecked(b->Card_fill_chk, page.Card_fill_chk);
  b->Card_fill_clr->setColor(page.Card_fill_clr);
  b->Card_fill_Grd_1_clr->setColor(page.Card_fill_Grd_1_clr);
  b->Card_fill_Grd_2_clr->setColor(page.Card_fill_Grd_2_clr);
  b->Card_grad_Stepper->setValue(page.Card_grad_Stepper);
  b->Card_hatch_bk_clr->setColor(page.Card_hatch_bk_clr);
  if (page.Card_fill_style == QLatin1String("H")) {
    if (page.Card_hatch_style.isEmpty())
      b->Card_hatch_style->setCurrentIndex(-1);
    else
      selectItemWithText(b->Card_hatch_style, page.Card_hatch_style);
  }
  b->Card_alpha_Stepper->setValue(static_cast<int>(std::lround(page.Card_alpha_Stepper * 100.0f)));
  b->Card_Image_path->setText(page.Card_BG_Image_Path);
  selectItemWithText(b->Card_image_layout, page.Card_BG_Image_Layout);
  g->All_Text_clr->setColor(page.Card_Content_clr);
  {
    std::lock_guard lock(_contentMutex);
    _allTextColor = page.Card_Content_clr;
    if (!page.Card_Content_font.isNull()) _allTextFont = page.Card_Content_font;
  }
  g->All_Text_font_value->setText(fontLabel(All_Text_font()));
  rememberContentSnapshot();
  if (QAbstractButton* shape = g->matrix_card_shape->button(Card_Shape.load())) showChecked(shape, true);
  g->card_name->setText(page.Card_Name);
  const QRectF bounds = frontCanvasBounds();
  page.Card_Location = bounds.topLeft();
  page.Card_Size = bounds.size();
  g->Sides_ComboBox->setCurrentIndex(Front_card_Prop.Card_Side == QLatin1String("1") ? 1 : 0);
  selectItemWithText(g->Preset_ComboBox, page.Card_Preset);
  selectItemWithText(g->Category_ComboBox, page.Card_Category);
  // The list follows the card's size, whatever row was stored with it.
  markCardSizeRow(page.Card_Cat_index);
}

void SKTWindowController::rememberContentSnapshot() {
  std::lock_guard lock(_contentMutex);
  All_Text_clr_COPY = _allTextColor;
  All_Text_font_COPY = _allTextFont;
}

CardFont SKTWindowController::All_Text_font() {
  std::lock_guard lock(_contentMutex);
  return _allTextFont;
}

QColor SKTWindowController::All_Text_clr() {
  std::lock_guard lock(_contentMutex);
  return _allTextColor;
}

void SKTWindowController::card_prop_set(const QString& kind) {
  CardBackgroundTab* b = _cardBackground;
  const bool gradient = kind == QLatin1String("G");
  const bool hatch = kind == QLatin1String("H");
  const bool picture = kind == QLatin1String("I");
  const bool solid = !gradient && !hatch && !picture;
  showChecked(b->Card_solid_fill_rd, solid);
  showChecked(b->Card_gradient_fill_rd, gradient);
  showChecked(b->Card_Style_fill_rd, hatch);
  showChecked(b->Card_Image_fill_rd, picture);
  SetObjEnabled(_cardBorder->Card_Border_Box, _cardBorder->Card_border_chk->isChecked());
  SetObjEnabled(b->Card_Fill_Box, b->Card_fill_chk->isChecked());
  SetObjEnabled(b->Card_fill_clr, solid);
  for (QWidget* control :
       {static_cast<QWidget*>(b->Card_fill_Grd_1_clr), static_cast<QWidget*>(b->Card_fill_Grd_2_clr),
        static_cast<QWidget*>(b->Card_grad_Stepper)})
    SetObjEnabled(control, gradient);
  SetObjEnabled(b->Card_hatch_style, hatch);
  SetObjEnabled(b->Card_hatch_bk_clr, hatch);
  SetObjEnabled(b->Card_image_box, picture && b->Card_fill_chk->isChecked());
  sett_tab->update();
}

// ---------------------------------------------------------------- writing

void SKTWindowController::Update_Card_Graphics() {
  if (Not_Draw_Only_Prop_Change()) return;
  CardSettingsTab* g = _cardSettings;
  CardBackgroundTab* b = _cardBackground;
  CardBorderTab* r = _cardBorder;
  Card_Property& page = currentCardProp();
  const float alpha = static_cast<float>(b->Card_alpha_Stepper->value()) / 100.0f;

  page.Card_border_chk = r->Card_border_chk->isChecked();
  if (page.Card_border_chk) {
    page.Card_bordr_clr = r->Card_bordr_clr->color();
    page.Card_bor_Stepper = r->Card_bor_Stepper->value();
  }
  if (const QString dash = panels::dashCode(r->Card_border_style->currentIndex()); !dash.isEmpty())
    page.Card_border_style = dash;
  page.Card_fill_chk = b->Card_fill_chk->isChecked();
  if (page.Card_fill_chk) page.Card_fill_clr = withAlpha(b->Card_fill_clr->color(), alpha);
  QString kind = QStringLiteral("S");
  if (b->Card_gradient_fill_rd->isChecked())
    kind = QStringLiteral("G");
  else if (b->Card_Style_fill_rd->isChecked())
    kind = QStringLiteral("H");
  else if (b->Card_Image_fill_rd->isChecked())
    kind = QStringLiteral("I");
  if (Card_Front_Or_Back.load() == 1 && !page.Card_fill_chk) kind = QStringLiteral("S");
  page.Card_fill_style = kind;
  page.Card_fill_Grd_1_clr = withAlpha(b->Card_fill_Grd_1_clr->color(), alpha);
  page.Card_fill_Grd_2_clr = withAlpha(b->Card_fill_Grd_2_clr->color(), alpha);
  page.Card_grad_Stepper = b->Card_grad_Stepper->value();
  page.Card_hatch_bk_clr = withAlpha(b->Card_hatch_bk_clr->color(), alpha);
  page.Card_hatch_style = b->Card_hatch_style->currentText();
  page.Card_BG_Image_Path = b->Card_Image_path->text();
  page.Card_BG_Image_Layout = b->Card_image_layout->currentText();
  page.Card_alpha_Stepper = alpha;
  page.Card_Content_clr = g->All_Text_clr->color();
  page.Card_Content_font = All_Text_font();
  page.Card_Side = g->Sides_ComboBox->currentIndex() == 0 ? QStringLiteral("2") : QStringLiteral("1");
  page.Card_Side_Name = Card_Front_Or_Back.load() == 1 ? QStringLiteral("B") : QStringLiteral("F");
  storeCardOutline();
  const QString name = Trim_Str(g->card_name->text());
  page.Card_Name = name.isEmpty() ? QStringLiteral("Untitled") : name;
  const QRectF bounds = frontCanvasBounds();
  page.Card_Location = bounds.topLeft();
  page.Card_Size = bounds.size();
  page.Card_Preset = g->Preset_ComboBox->currentText();
  page.Card_Category = g->Category_ComboBox->currentText();
  markCardSizeRow(g->ColList->currentRow());  // a size typed or set elsewhere may fit no preset
  const int row = g->ColList->currentRow();
  page.Card_Sub_Category = row >= 0 ? Get_Item_Text(row) : QString();
  page.Card_Cat_index = row;
  page.Card_Create_Mode = QStringLiteral("W");
  snapshotPageSettings();
  Refresh_Canvas();
}

void SKTWindowController::Card_Border_ChkBox() {
  SetObjEnabled(_cardBorder->Card_Border_Box, _cardBorder->Card_border_chk->isChecked());
  Update_Card_Graphics();
}

void SKTWindowController::Card_Fill_Chk_Box() {
  SetObjEnabled(_cardBackground->Card_Fill_Box, _cardBackground->Card_fill_chk->isChecked());
  card_prop_set(currentCardProp().Card_fill_style);
  Update_Card_Graphics();
}

void SKTWindowController::Card_Fill_Radio_Selected(const QString& kind) {
  card_prop_set(kind);
  Update_Card_Graphics();
}

// ---------------------------------------------------------------- background pictures

bool SKTWindowController::setBackgroundImageOfSide(CardSide side, const QString& path) {
  if (path.isEmpty()) {
    _cardBackground->Card_Image_path->setText(path);
    return true;
  }
  // Checked and decoded once: a picture that cannot be used, or that went
  // away or changed since it was listed or chosen, is named, and the side
  // keeps its background instead of turning white.
  CheckedPicture picture = loadCheckedPictureFile(path);
  if (!picture.problem.isEmpty()) {
    Show_MessageBox(picture.problem);
    return false;
  }
  _cardBackground->Card_Image_path->setText(path);
  Card_Property& page = side == CardSide::Back ? Back_card_Prop : Front_card_Prop;
  page.Card_BG_Image = std::move(picture.image);
  page.Card_fill_chk = true;
  page.Card_fill_style = QStringLiteral("I");
  page.Card_BG_Image_Path = path;
  snapshotPageSettings();
  Show_RHS_Properties(nullptr);
  return true;
}

void SKTWindowController::set_Front_BG_Image(const QString& path) {
  setBackgroundImageOfSide(CardSide::Front, path);
}

void SKTWindowController::set_Back_BG_Image(const QString& path) {
  setBackgroundImageOfSide(CardSide::Back, path);
}

void SKTWindowController::Card_Image_Browse_Btn() {
  platform::FilePanelRequest request;
  request.title = tr("Choose a Background Picture");
  request.nameFilters = {tr("Pictures (*.jpg *.jpeg *.jpe *.jfif *.gif *.bmp *.png *.tif *.tiff)")};
  const QStringList chosen = platform::messageHost().openPanel(request);
  if (chosen.isEmpty() || chosen.front().isEmpty()) return;
  if (setBackgroundImageOfSide(Card_Front_Or_Back.load() == 1 ? CardSide::Back : CardSide::Front,
                               chosen.front()))
    Update_Card_Graphics();
}

void SKTWindowController::Card_Image_Library_Btn() {
  if (Open_Image_Library_Window(QStringLiteral("B")) == 1)
    setBackgroundImageOfSide(Card_Front_Or_Back.load() == 1 ? CardSide::Back : CardSide::Front,
                             lib_window_sel_file);
  Update_Card_Graphics();
}

void SKTWindowController::Load_and_fill_backgrounds() {
  const QString folder = ::Resource_Path() + QStringLiteral("/Background");
  // Files that cannot be a background stay listed, saying why, so that none
  // goes missing without a word.
  if (QFileInfo(folder).isDir())
    fillNamingUnreadablePictures(*_cardBackground->imageBrowser->pictureModel(), folder);
}

void SKTWindowController::addImageWithPath(const QString& path, const QString& name, const QString& uid) {
  ::addImageWithPath(*_cardBackground->imageBrowser->pictureModel(), path, name, uid);
}

// ---------------------------------------------------------------- size and outline

void SKTWindowController::Set_Card_Size_In_Control(float width, float height) {
  _cardSettings->width_Text->setText(QString::number(width, 'g', 6));
  _cardSettings->height_Text->setText(QString::number(height, 'g', 6));
}

void SKTWindowController::Apply_Size_Clicked() {
  const std::optional<double> width = parseMillimetres(_cardSettings->width_Text->text());
  const std::optional<double> height = parseMillimetres(_cardSettings->height_Text->text());
  auto inRange = [](const std::optional<double>& v) {
    return v && *v >= kMinCardMillimetres && *v <= kMaxCardMillimetres;
  };
  if (!inRange(width) || !inRange(height)) {
    Show_MessageBox(QStringLiteral("Please enter a card width and height from 10 to 1000 mm."));
    const QSizeF current = frontCanvasBounds().size();
    Set_Card_Size_In_Control(Points_to_MM_Convert(current.width()), Points_to_MM_Convert(current.height()));
    return;
  }
  const QSizeF size(MM_to_Points_Convert(static_cast<float>(*width)),
                    MM_to_Points_Convert(static_cast<float>(*height)));
  SetDocumentCanvasSize(size);
  _graphicView->Refresh_ScrollView();
  Update_All_Card_Content();
}

void SKTWindowController::storeCardOutline() {
  // A card has one outline, whichever side it was chosen on.
  Front_card_Prop.Card_Shape = Back_card_Prop.Card_Shape = designfile::cardOutlineCode(Card_Shape.load());
}

void SKTWindowController::card_shape_CellClick(int row) {
  Card_Shape = row;
  storeCardOutline();  // also when the size fields hold a size that is refused
  Apply_Size_Clicked();
  Refresh_Canvas();
  for (SKTZoomingScrollView* scroll : {_scrollFront.data(), _scrollBack.data(), _scrollTemp.data()})
    scroll->viewport()->update();
}

// ---------------------------------------------------------------- content colour and font

void SKTWindowController::Update_All_Card_Content() {
  const SKTGraphicList& graphics =
      Card_Front_Or_Back.load() == 1 ? Get_Back_Controls_Array() : Get_Front_Controls_Array();
  QColor colour, snapshotColour;
  CardFont font, snapshotFont;
  {
    std::lock_guard lock(_contentMutex);
    colour = _allTextColor;
    snapshotColour = All_Text_clr_COPY;
    font = _allTextFont;
    snapshotFont = All_Text_font_COPY;
  }
  const bool colourChanged = colour != snapshotColour;
  const bool fontChanged = font != snapshotFont;
  if (colourChanged || fontChanged) {
    for (const SKTGraphicPtr& graphic : graphics) {
      if (graphic->kind() != GraphicKind::Text) continue;
      if (colourChanged) graphic->txt_clr = colour;
      if (fontChanged) graphic->text_ctrl_font = font;
      currentSideView()->setNeedsDisplayInRect(graphic->drawingBounds());
    }
  }
  // What was applied is the new reference: a later font or size change does
  // not recolour texts coloured by hand since.
  rememberContentSnapshot();
  Update_Card_Graphics();
}

void SKTWindowController::Content_Font_Clicked() {
  const CardFont current = All_Text_font();
  QFontDialog chooser(platform::fontForName(current.name, current.size), this);
  chooser.setWindowTitle(tr("Font of the Card's Texts"));
  chooser.setWindowModality(Qt::WindowModal);
  if (platform::messageHost().runModal(chooser) != 1) return;
  const QFont chosen = chooser.currentFont();
  changeAllTextFont(CardFont{platform::postScriptNameForFont(chosen), chosen.pointSizeF()});
}

void SKTWindowController::changeAllTextFont(const CardFont& font) {
  try {
    {
      std::lock_guard lock(_contentMutex);
      _allTextFont = font;
    }
    _cardSettings->All_Text_font_value->setText(fontLabel(font));
    Update_All_Card_Content();
  } catch (const std::exception& e) {
    qCWarning(lcMainWindow).noquote() << QString::fromUtf8(e.what());
  }
}

// ---------------------------------------------------------------- combo boxes

void SKTWindowController::comboBoxSelectionDidChange(QComboBox* combo) {
  try {
    CardSettingsTab* g = _cardSettings;
    if (objectComboBoxSelectionDidChange(combo)) return;
    if (combo == _cardBackground->Card_image_layout || combo == _cardBorder->Card_border_style ||
        combo == _cardBackground->Card_hatch_style) {
      Update_Card_Graphics();
    } else if (combo == g->Sides_ComboBox) {
      const bool twoSides = combo->currentIndex() == 0;
      CARD_SIDE_STR = twoSides ? QStringLiteral("2") : QStringLiteral("1");
      _backSideButton->setEnabled(twoSides);
      if (auto* back = findChild<QAction*>(QStringLiteral("Back_Side_Action"))) back->setEnabled(twoSides);
      // One or two sides is a choice for the whole card.
      if (!Not_Draw_Only_Prop_Change()) Front_card_Prop.Card_Side = Back_card_Prop.Card_Side = CARD_SIDE_STR;
      if (!twoSides && Card_Front_Or_Back.load() == 1 && !Not_Draw_Only_Prop_Change()) Select_front_side();
      Update_Card_Graphics();
    } else if (combo == g->Preset_ComboBox) {
      const int category = g->Category_ComboBox->currentIndex();
      if (category != -1) {
        g->Category_ComboBox->setCurrentIndex(-1);
        g->Category_ComboBox->setCurrentIndex(category);
      }
    } else if (combo == g->Category_ComboBox) {
      g->ColList->clear();
      const QStringList& names = combo->currentIndex() == 0 ? pvc_card_arry() : paper_card_arry();
      for (const QString& name : names) Create_List(name);
      markCardSizeRow(0);
    }
  } catch (const std::exception& e) {
    qCWarning(lcMainWindow).noquote() << QString::fromUtf8(e.what());
  }
}

// ---------------------------------------------------------------- card-size list

void SKTWindowController::Create_List(const QString& text) {
  const QString name = Trim_Str(text);
  if (name.isEmpty()) return;
  auto* item = new QListWidgetItem(name, _cardSettings->ColList);
  item->setData(Qt::AccessibleTextRole, name);
}

QString SKTWindowController::Get_Item_Text(int row) const {
  const QListWidgetItem* item = _cardSettings->ColList->item(row);
  if (item == nullptr) {
    qCWarning(lcMainWindow).noquote() << QStringLiteral("No card size in row %1").arg(row);
    return QString();
  }
  return item->text();
}

void SKTWindowController::Mark_List_New_Selection(int row) {
  QListWidget* list = _cardSettings->ColList;
  if (row < 0 || row >= list->count()) {
    list->clearSelection();
    list->setCurrentRow(-1);
    return;
  }
  list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

QString SKTWindowController::cardSizeOrientation() const {
  return _cardSettings->Preset_ComboBox->currentText() == QLatin1String("Vertical") ? QStringLiteral("V")
                                                                                    : QStringLiteral("H");
}

void SKTWindowController::markCardSizeRow(int preferred) {
  Mark_List_New_Selection(cardSizePresetRow(_cardSettings->Category_ComboBox->currentText(),
                                            cardSizeOrientation(), frontCanvasBounds().size(), preferred));
}

void SKTWindowController::cardSizeRowChosen(int row) {
  if (row < 0) return;
  Mark_List_New_Selection(row);
  const QSizeF size =
      Get_My_card_Size(_cardSettings->Category_ComboBox->currentText(), cardSizeOrientation(), row);
  Set_Card_Size_In_Control(static_cast<float>(size.width()), static_cast<float>(size.height()));
  Apply_Size_Clicked();
}

// ---------------------------------------------------------------- sample pictures

void SKTWindowController::loadSamplePictures() {
  const QString folder = ::Resource_Path();
  _no_image = loadPictureFile(folder + QStringLiteral("/no.png"));
  _barcode_sample_img = loadPictureFile(folder + QStringLiteral("/barcode_sample.png"));
  _sign_sample_img = loadPictureFile(folder + QStringLiteral("/sign_sample.png"));
  _fp_sample_img = loadPictureFile(folder + QStringLiteral("/fingerprints.png"));
}
