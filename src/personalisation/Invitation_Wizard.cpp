#include "personalisation/Invitation_Wizard.h"

#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTextCursor>
#include <QVBoxLayout>
#include <utility>

#include "core/PictureFile.h"
#include "data/dialogs/DialogParts.h"
#include "personalisation/Card_Wizard.h"
#include "personalisation/ProfileHost.h"
#include "personalisation/TemplateStore.h"
#include "personalisation/Template_Wizard.h"
#include "personalisation/globals.h"
#include "platform/FileHelpers.h"
#include "platform/MessageHost.h"
#include "platform/Messages.h"
#include "platform/StringHelpers.h"
#include "platform/globals.h"
#include "platform/widgets/PictureBrowser.h"

namespace {

enum Face { kStart = 0, kSize = 1, kBackground = 2, kTexts = 3, kFromTo = 4 };

QDoubleSpinBox* millimetres(QWidget* parent, const QString& name) {
  auto* box = new QDoubleSpinBox(parent);
  box->setAccessibleName(name);
  box->setRange(10.0, 1000.0);
  box->setDecimals(1);
  box->setSuffix(QStringLiteral(" mm"));
  return box;
}

QLabel* heading(QWidget* parent, const QString& text) {
  QLabel* label = dialog_parts::label(parent, text);
  QFont font = label->font();
  font.setPointSizeF(font.pointSizeF() * 1.4);
  font.setBold(true);
  label->setFont(font);
  return label;
}

}  // namespace

Invitation_Wizard& Invitation_Wizard::defaultInstance() {
  return dialog_parts::singleton<Invitation_Wizard>([] { return new Invitation_Wizard; });
}

Invitation_Wizard::Invitation_Wizard(QWidget* parent) : QDialog(parent) {
  dialog_parts::setUpDialog(*this, tr("Welcome to QUVO Gratulo"));
  setObjectName(QStringLiteral("Invitation_Wizard"));
  // The start window's own background: the wizard pattern, when it is there.
  const QPixmap pattern =
      QPixmap::fromImage(loadPictureFile(Resource_Path() + QStringLiteral("/Wizard_pattern.jpg")));
  if (!pattern.isNull()) {
    QPalette look = palette();
    look.setBrush(QPalette::Window, QBrush(pattern));
    setPalette(look);
    setAutoFillBackground(true);
  }
  faces = new QStackedWidget(this);
  faces->addWidget(buildStartScreen());
  faces->addWidget(buildSizeStep());
  faces->addWidget(buildBackgroundStep());
  faces->addWidget(buildTextStep());
  faces->addWidget(buildFromToStep());

  button_box = new QWidget(this);
  auto* buttons = new QHBoxLayout(button_box);
  buttons->setContentsMargins(0, 0, 0, 0);
  Cancel_btn = dialog_parts::button(button_box, tr("Cancel"));
  Back_Btn = dialog_parts::button(button_box, tr("Back"));
  Next_btn = dialog_parts::button(button_box, tr("Next"));
  Next_btn->setDefault(true);
  buttons->addWidget(Cancel_btn);
  buttons->addStretch(1);
  buttons->addWidget(Back_Btn);
  buttons->addWidget(Next_btn);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(faces, 1);
  layout->addWidget(button_box);
  resize(680, 500);

  // Tab goes through each face as it reads: top to bottom, left to right
  // along a row, then Cancel, Back and Next. The faces share one place, and
  // Tab passes over the hidden ones.
  const QList<QWidget*> readingOrder = {
      wizard_btn,    open_btn,       template_btn,      Help_btn_1, Exit_btn,                // start screen
      width_Stepper, height_Stepper,                                                         // 1
      imageBrowser,                                                                          // 2
      title_bk_btn,  msg_title,      title_nxt_btn,     msg_bk_btn, msg_value, msg_nxt_btn,  // 3
      from_value,    to_value,       clear_details_btn,                                      // 4
      Cancel_btn,    Back_Btn,       Next_btn};
  for (qsizetype i = 1; i < readingOrder.size(); ++i) setTabOrder(readingOrder[i - 1], readingOrder[i]);

  connect(Next_btn, &QPushButton::clicked, this, &Invitation_Wizard::OK_Click);
  connect(Back_Btn, &QPushButton::clicked, this, &Invitation_Wizard::Back_Click);
  connect(Cancel_btn, &QPushButton::clicked, this, &Invitation_Wizard::CancelClick);
}

QWidget* Invitation_Wizard::buildStartScreen() {
  auto* page = new QWidget(this);
  page->setAccessibleName(tr("Start screen"));
  wizard_btn = dialog_parts::button(page, tr("Design a New Card"));
  open_btn = dialog_parts::button(page, tr("Open a Saved Design"));
  template_btn = dialog_parts::button(page, tr("Start from a Template"));
  Exit_btn = dialog_parts::button(page, tr("Exit"));
  Help_btn_1 = dialog_parts::button(page, tr("Help"));
  for (QPushButton* b : {wizard_btn, open_btn, template_btn}) b->setMinimumHeight(44);
  // Enter presses the choice that has the focus (the step buttons are hidden
  // here, Next among them).
  for (QPushButton* b : {wizard_btn, open_btn, template_btn, Exit_btn, Help_btn_1}) b->setAutoDefault(true);
  APP_path_label = dialog_parts::label(page, QString());
  APP_path_label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(heading(page, tr("What would you like to do?")));
  layout->addSpacing(12);
  layout->addWidget(wizard_btn);
  layout->addWidget(open_btn);
  layout->addWidget(template_btn);
  layout->addStretch(1);
  layout->addWidget(APP_path_label);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(Help_btn_1);
  bottom->addStretch(1);
  bottom->addWidget(Exit_btn);
  layout->addLayout(bottom);
  connect(wizard_btn, &QPushButton::clicked, this, &Invitation_Wizard::Using_Wizard_Click);
  connect(open_btn, &QPushButton::clicked, this, &Invitation_Wizard::Open_Log_Click);
  connect(template_btn, &QPushButton::clicked, this, &Invitation_Wizard::Using_Template_Click);
  connect(Exit_btn, &QPushButton::clicked, this, &Invitation_Wizard::ExitClick);
  connect(Help_btn_1, &QPushButton::clicked, this, &Invitation_Wizard::HelpClick);
  return page;
}

QWidget* Invitation_Wizard::buildSizeStep() {
  auto* page = new QWidget(this);
  page->setAccessibleName(tr("Card size"));
  width_Stepper = millimetres(page, tr("Card width"));
  height_Stepper = millimetres(page, tr("Card height"));
  auto* form = new QFormLayout;
  form->addRow(dialog_parts::label(page, tr("Width:")), width_Stepper);
  form->addRow(dialog_parts::label(page, tr("Height:")), height_Stepper);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(heading(page, tr("Step 1 of 4: Card size")));
  layout->addWidget(dialog_parts::label(page, tr("How large should the card be?")));
  layout->addLayout(form);
  layout->addStretch(1);
  return page;
}

QWidget* Invitation_Wizard::buildBackgroundStep() {
  auto* page = new QWidget(this);
  page->setAccessibleName(tr("Background"));
  imageBrowser = new PictureBrowser(page);
  imageBrowser->setAccessibleName(tr("Background pictures"));
  imageBrowser->setSelectionMode(QAbstractItemView::SingleSelection);
  imageBrowser->setZoomValue(0.4);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(heading(page, tr("Step 2 of 4: Background")));
  layout->addWidget(dialog_parts::label(page, tr("Click the picture for the card's background.")));
  layout->addWidget(imageBrowser, 1);
  connect(imageBrowser, &PictureBrowser::imageBrowserSelectionDidChange, this, [this](const QString& path) {
    if (path.isEmpty()) return;
    selected_image = path;
    if (!auto_background_selection) OK_Click();
  });
  // A click on the picture already chosen (the first one is chosen on
  // entering the step) accepts it as well; a click that chose another was
  // answered when the choice changed, and is not answered twice.
  imageBrowser->viewport()->installEventFilter(this);
  connect(imageBrowser, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
    if (next_counter != kBackground || !index.isValid()) return;
    const QString path = index.data(PictureItemModel::PathRole).toString();
    if (path != chosenAtPress_) return;
    selected_image = path;
    OK_Click();
  });
  return page;
}

QWidget* Invitation_Wizard::buildTextStep() {
  auto* page = new QWidget(this);
  page->setAccessibleName(tr("Title and message"));
  msg_title = dialog_parts::lineEdit(page, tr("Title"));
  msg_value = new QPlainTextEdit(page);
  msg_value->setAccessibleName(tr("Message"));
  msg_value->setTabChangesFocus(true);
  title_bk_btn = dialog_parts::button(page, QStringLiteral("<"));
  title_bk_btn->setAccessibleName(tr("Previous title"));
  title_nxt_btn = dialog_parts::button(page, QStringLiteral(">"));
  title_nxt_btn->setAccessibleName(tr("Next title"));
  msg_bk_btn = dialog_parts::button(page, QStringLiteral("<"));
  msg_bk_btn->setAccessibleName(tr("Previous message"));
  msg_nxt_btn = dialog_parts::button(page, QStringLiteral(">"));
  msg_nxt_btn->setAccessibleName(tr("Next message"));
  auto* titleRow = new QHBoxLayout;
  titleRow->addWidget(title_bk_btn);
  titleRow->addWidget(msg_title, 1);
  titleRow->addWidget(title_nxt_btn);
  auto* msgRow = new QHBoxLayout;
  msgRow->addWidget(msg_bk_btn, 0, Qt::AlignTop);
  msgRow->addWidget(msg_value, 1);
  msgRow->addWidget(msg_nxt_btn, 0, Qt::AlignTop);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(heading(page, tr("Step 3 of 4: Title and message")));
  layout->addWidget(dialog_parts::label(page, tr("Title:")));
  layout->addLayout(titleRow);
  layout->addWidget(dialog_parts::label(page, tr("Message:")));
  layout->addLayout(msgRow, 1);
  limitLineEdit(msg_title, kTitleLimit);
  connect(msg_value, &QPlainTextEdit::textChanged, this, [this] {
    const QString text = msg_value->toPlainText();
    const QString limited = Limit_Text_Length(text, kMessageLimit);
    if (limited == text) return;
    const QSignalBlocker block(msg_value);
    msg_value->setPlainText(limited);
    msg_value->moveCursor(QTextCursor::End);
  });
  connect(title_bk_btn, &QPushButton::clicked, this, &Invitation_Wizard::Title_Back_Click);
  connect(title_nxt_btn, &QPushButton::clicked, this, &Invitation_Wizard::Title_Next_Click);
  connect(msg_bk_btn, &QPushButton::clicked, this, &Invitation_Wizard::Msg_Back_Click);
  connect(msg_nxt_btn, &QPushButton::clicked, this, &Invitation_Wizard::Msg_Next_Click);
  return page;
}

QWidget* Invitation_Wizard::buildFromToStep() {
  auto* page = new QWidget(this);
  page->setAccessibleName(tr("From and to"));
  from_value = dialog_parts::lineEdit(page, tr("From"));
  to_value = dialog_parts::lineEdit(page, tr("To"));
  clear_details_btn = dialog_parts::button(page, tr("Clear Details"));
  auto* form = new QFormLayout;
  form->addRow(dialog_parts::label(page, tr("From:")), from_value);
  form->addRow(dialog_parts::label(page, tr("To:")), to_value);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(heading(page, tr("Step 4 of 4: From and to")));
  layout->addWidget(
      dialog_parts::label(page, tr("Who sends the card, and who is it for? Both may stay empty.")));
  layout->addLayout(form);
  layout->addWidget(clear_details_btn, 0, Qt::AlignLeft);
  layout->addStretch(1);
  limitLineEdit(from_value, kFromToLimit);
  limitLineEdit(to_value, kFromToLimit);
  connect(clear_details_btn, &QPushButton::clicked, this, &Invitation_Wizard::Clear_Details_Click);
  return page;
}

void Invitation_Wizard::limitLineEdit(QLineEdit* field, int limit) {
  connect(field, &QLineEdit::textChanged, this, [this, field, limit](const QString& text) {
    const QString limited = Limit_Text_Length(text, limit);
    if (limited != text) field->setText(limited);
    if ((field == from_value || field == to_value) && !limited.isEmpty()) clear_details_btn->setEnabled(true);
  });
}

// ---------------------------------------------------------------- opening and faces

int Invitation_Wizard::Open_Wnd() {
  try {
    width_Stepper->setValue(120);
    height_Stepper->setValue(120);
    APP_path_label->setText(tr("Your designs and pictures: %1").arg(Resource_Path()));
    imageBrowser->pictureModel()->clear();
    Show_Hide_Card_Start_Screen(true);
    imageBrowser->setZoomValue(0.4);
    Reset_All();
    Load_Msg_And_Title();
    msg_title->setText(Get_Title());
    msg_value->setPlainText(Get_Message());
    setResult(0);
    return platform::messageHost().runModal(*this);
  } catch (const std::exception& e) {
    qCWarning(lcPersonalisation).noquote() << QString::fromUtf8(e.what());
    return 0;
  }
}

void Invitation_Wizard::showStep(int counter) {
  next_counter = counter;
  faces->setCurrentIndex(counter);
  button_box->setVisible(counter != kStart);
  wizard_btn->setDefault(counter == kStart);
  Next_btn->setDefault(counter != kStart);
  // Each face opens on its first control, however it was reached.
  QWidget* const first[] = {wizard_btn, width_Stepper, imageBrowser, msg_title, from_value};
  first[counter]->setFocus();
  Back_Btn->setEnabled(counter != kStart);
  Next_btn->setText(counter == kFromTo ? tr("Finish") : tr("Next"));
  Next_btn->setAccessibleName(Next_btn->text());
}

void Invitation_Wizard::Show_Hide_Card_Start_Screen(bool start) {
  if (start) {
    auto_background_selection = false;
    showStep(kStart);
    Reset_All();
    msg_title->setText(Get_Title());
    msg_value->setPlainText(Get_Message());
  } else {
    showStep(kSize);
  }
}

void Invitation_Wizard::Select_card_option(int option) {
  if (option == 0) Start_Card_Option = QStringLiteral("T");
  if (option == 1) Start_Card_Option = QStringLiteral("W");
  if (option == 2) Start_Card_Option = QStringLiteral("L");
  if (option == 0) {
    openTemplate();
    return;
  }
  OK_Click();
}

void Invitation_Wizard::openTemplate() {
  if (Template_Wizard::defaultInstance().Open_Template_Window() != 1) return;
  if (profileHost().Open_Template_Design(Selected_Template_Path) == 1) done(1);
}

// ---------------------------------------------------------------- Next and Back

void Invitation_Wizard::OK_Click() {
  if (Start_Card_Option == QLatin1String("L")) {
    if (profileHost().Open_Log_File() == 1) done(1);
    return;
  }
  switch (next_counter) {
    case kStart:
      Show_Hide_Card_Start_Screen(false);
      return;
    case kSize:
      if (width_Stepper->value() < kMinCardWidthMM) {
        Show_MessageBox(QStringLiteral("Please enter a card width of at least 30 mm."));
        width_Stepper->setFocus();
        return;
      }
      // A picture put into the folder since the start screen opened is listed too.
      Load_and_fill_backgrounds();
      showStep(kBackground);
      auto_background_selection = true;
      if (imageBrowser->pictureModel()->rowCount() > 0) {
        imageBrowser->selectionModel()->clearSelection();
        imageBrowser->setCurrentIndex(imageBrowser->pictureModel()->index(0));
      }
      auto_background_selection = false;
      return;
    case kBackground:
      if (selected_image.isEmpty()) {
        Show_MessageBox(QStringLiteral("Please select background."));
        return;
      }
      // Decoded once, and held for the card that takes it.
      if (CheckedPicture chosen = loadCheckedPictureFile(selected_image); chosen.problem.isEmpty()) {
        chosenBackground_ = std::move(chosen.image);
      } else {
        Show_MessageBox(chosen.problem);
        return;
      }
      showStep(kTexts);
      // Said where the stock texts would show, once for each reading.
      if (!unreadStockTexts_.isEmpty()) Show_MessageBox(std::exchange(unreadStockTexts_, QString()));
      return;
    case kTexts:
      selected_title = msg_title->text();
      selected_msg = msg_value->toPlainText();
      if (selected_title.isEmpty()) {
        Show_MessageBox(QStringLiteral("Please select title."));
        msg_title->setFocus();
        return;
      }
      if (selected_msg.isEmpty()) {
        Show_MessageBox(QStringLiteral("Please select message."));
        msg_value->setFocus();
        return;
      }
      {
        InviteAnswers answers;
        answers.title = Trim_Str(selected_title);
        answers.message = Trim_Str(selected_msg);
        if (!textsFitTheCard(answers)) return;
      }
      showStep(kFromTo);
      return;
    default:
      finish();
  }
}

void Invitation_Wizard::finish() {
  InviteAnswers answers;
  answers.title = Trim_Str(selected_title);
  answers.message = Trim_Str(selected_msg);
  answers.from = Trim_Str(from_value->text());
  answers.to = Trim_Str(to_value->text());
  answers.background = Trim_Str(selected_image);
  // The card is made only once every text has room on it.
  if (!textsFitTheCard(answers)) return;
  // The background was read when it was chosen; one that went away or
  // changed since is named here, and another is chosen, instead of a white card.
  if (const QString problem = loadCheckedPictureFile(answers.background).problem; !problem.isEmpty()) {
    Show_MessageBox(problem);
    showStep(kBackground);
    return;
  }
  ProfileHost& host = profileHost();
  host.Set_Card_Shape(0);
  const float w = static_cast<float>(width_Stepper->value());
  const float h = static_cast<float>(height_Stepper->value());
  host.Set_Card_Size_In_Control(w, h);
  host.Set_Document_Size(QSizeF(Card_MM_To_Points(w), Card_MM_To_Points(h)));
  Invite_Title = answers.title;
  Invite_Message = answers.message;
  Invite_From = answers.from;
  Invite_To = answers.to;
  Invite_Venue = QString();
  Invite_Date = QString();
  Invite_Time = QString();
  Invite_BG_IMG = answers.background;
  done(1);
}

bool Invitation_Wizard::textsFitTheCard(const InviteAnswers& answers) {
  const QSizeF card(Card_MM_To_Points(static_cast<float>(width_Stepper->value())),
                    Card_MM_To_Points(static_cast<float>(height_Stepper->value())));
  const QString without = Party_Text_Without_Room(answers, card);
  if (without.isEmpty()) return true;
  const struct {
    const char* ctrl_ID;
    const char* name;
    QWidget* field;
  } texts[] = {{"PARTY_TITLE", "title", msg_title},
               {"PARTY_MSG", "message", msg_value},
               {"PARTY_TO", "recipient (To)", to_value},
               {"PARTY_FROM", "sender (From)", from_value}};
  QString name = QStringLiteral("text");
  QWidget* field = nullptr;
  for (const auto& t : texts)
    if (without == QLatin1String(t.ctrl_ID)) {
      name = QLatin1String(t.name);
      field = t.field;
    }
  Show_MessageBox(QStringLiteral("The %1 does not fit on a card of this size. Please shorten it or the "
                                 "other texts, or go back and choose a larger card.")
                      .arg(name));
  if (field != nullptr && faces->currentWidget()->isAncestorOf(field)) field->setFocus();
  return false;
}

void Invitation_Wizard::Back_Click() {
  switch (next_counter) {
    case kSize:
      Show_Hide_Card_Start_Screen(true);
      return;
    case kBackground:
    case kTexts:
    case kFromTo:
      showStep(next_counter - 1);
      return;
    default:
      return;
  }
}

void Invitation_Wizard::CancelClick() {
  Show_Hide_Card_Start_Screen(true);
}

bool Invitation_Wizard::eventFilter(QObject* watched, QEvent* event) {
  if (watched == imageBrowser->viewport() && event->type() == QEvent::MouseButtonPress)
    chosenAtPress_ = selected_image;
  return QDialog::eventFilter(watched, event);
}

void Invitation_Wizard::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Escape) {
    QDialog::keyPressEvent(event);
    return;
  }
  if (next_counter != kStart) CancelClick();
  event->accept();
}

void Invitation_Wizard::ExitClick() {
  Start_Card_Option = QString();
  done(0);
}

void Invitation_Wizard::HelpClick() {
  Open_Help_File();
}

// ---------------------------------------------------------------- stock texts

void Invitation_Wizard::Load_Msg_And_Title() {
  titles_.load(Stock_Title_File());
  messages_.load(Stock_Message_File());
  QStringList unread;
  for (const StockTextCycle* list : {&titles_, &messages_})
    if (!list->unreadable().isEmpty()) unread << list->unreadable();
  unreadStockTexts_ = unread.join(QLatin1Char('\n'));
}

void Invitation_Wizard::Title_Back_Click() {
  msg_title->setText(titles_.back());
}

void Invitation_Wizard::Title_Next_Click() {
  msg_title->setText(titles_.next());
}

void Invitation_Wizard::Msg_Back_Click() {
  msg_value->setPlainText(messages_.back());
}

void Invitation_Wizard::Msg_Next_Click() {
  msg_value->setPlainText(messages_.next());
}

// ---------------------------------------------------------------- resets

void Invitation_Wizard::Clear_Details_Click() {
  if (Show_YES_NO_MessageBox(QStringLiteral("Are you sure you want to clear details?"))) Clear_Details();
}

void Invitation_Wizard::Clear_Details() {
  from_value->clear();
  to_value->clear();
  clear_details_btn->setEnabled(false);
}

void Invitation_Wizard::Reset_All() {
  selected_image.clear();
  chosenBackground_ = QImage();
  selected_title.clear();
  selected_msg.clear();
  next_counter = 0;
  titles_.reset();
  messages_.reset();
  msg_title->clear();
  msg_value->clear();
  clear_details_btn->setEnabled(false);
  Clear_Details();
}

void Invitation_Wizard::Load_and_fill_backgrounds() {
  const QString folder = Resource_Path() + QStringLiteral("/Background");
  PictureItemModel* model = imageBrowser->pictureModel();
  model->clear();
  if (!QFileInfo(folder).isDir()) return;
  for (const QString& path : templates::Picture_Files(folder)) {
    const QString name = QFileInfo(path).fileName();
    MyImageObject item = MyImageObject::initWithImage_Path(path, name, name);
    // A file that cannot be a background says why where it is listed.
    item.problem = pictureFileProblem(path);
    model->append(item);
  }
}
