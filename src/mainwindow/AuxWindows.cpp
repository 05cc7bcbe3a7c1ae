#include "mainwindow/AuxWindows.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPointer>
#include <QSettings>
#include <QUrl>
#include <QVBoxLayout>

#include "canvas/PatternViews.h"
#include "canvas/SKTGrid.h"
#include "core/PictureFile.h"
#include "mainwindow/globals.h"
#include "platform/FileHelpers.h"
#include "platform/MessageHost.h"
#include "platform/Messages.h"
#include "platform/StringHelpers.h"
#include "platform/globals.h"
#include "platform/widgets/Controls.h"
#include "platform/widgets/DialogLook.h"

namespace {

const QString kLinksFile = QStringLiteral(":/links.ini");

// A dialog singleton that lives until the program ends, or until the window
// it was last shown over goes (it is that window's child then).
template <typename Dialog>
QPointer<Dialog>& slot() {
  static QPointer<Dialog> instance;
  return instance;
}
template <typename Dialog>
void deleteSingleton() {
  delete slot<Dialog>().data();
}
template <typename Dialog>
Dialog& singleton() {
  QPointer<Dialog>& instance = slot<Dialog>();
  if (instance.isNull()) {
    instance = new Dialog;
    qAddPostRoutine(deleteSingleton<Dialog>);
  }
  return *instance;
}

int runOver(QDialog& dialog, QWidget* owner) {
  if (owner != nullptr && dialog.parentWidget() != owner)
    dialog.setParent(owner, dialog.windowFlags() | Qt::Dialog);
  dialog.setWindowModality(owner != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
  const int code = platform::messageHost().runModal(dialog) == 1 ? 1 : 0;
  dialog.hide();
  return code;
}

QPushButton* linkButton(const QString& text, QWidget* parent, std::function<void()> action) {
  auto* button = new QPushButton(text, parent);
  button->setAccessibleName(text);
  styleAsLink(button);
  QObject::connect(button, &QPushButton::clicked, parent, std::move(action));
  return button;
}

QDialogButtonBox* okBox(QDialog* dialog, bool withCancel) {
  auto* box = new QDialogButtonBox(
      withCancel ? QDialogButtonBox::Ok | QDialogButtonBox::Cancel : QDialogButtonBox::Ok, dialog);
  for (QAbstractButton* b : box->buttons()) b->setAccessibleName(b->text().remove(QLatin1Char('&')));
  QObject::connect(box, &QDialogButtonBox::accepted, dialog, [dialog] { dialog->done(1); });
  QObject::connect(box, &QDialogButtonBox::rejected, dialog, [dialog] { dialog->done(0); });
  return box;
}

void prepare(QDialog& dialog, const QString& title) {
  dialog.setWindowTitle(title);
  dialog.setAccessibleName(title);
  platform::applyDialogLook(dialog);
}

// A strip of the banner pattern across the top of a window, with a title in it.
Repeat_Image* bannerStrip(QLabel** title, QWidget* parent) {
  auto* banner = new Repeat_Image(parent);
  banner->setObjectName(QStringLiteral("banner"));
  banner->setAccessibleName(QObject::tr("Banner"));
  banner->setPatternImage(loadBannerPattern(Resource_Path()));
  banner->setMinimumHeight(48);
  auto* layout = new QHBoxLayout(banner);
  layout->setContentsMargins(12, 8, 12, 8);
  *title = new QLabel(banner);
  QFont bold = (*title)->font();
  bold.setBold(true);
  bold.setPointSize(bold.pointSize() + 3);
  (*title)->setFont(bold);
  (*title)->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
  layout->addWidget(*title);
  return banner;
}

}  // namespace

// ---------------------------------------------------------------- links

QString configuredLink(const QString& key) {
  const QSettings links(kLinksFile, QSettings::IniFormat);
  return links.value(key).toString();
}

QString mailLink(const QString& address, const QString& subject, const QString& body) {
  auto encode = [](QString text) {
    text = Replace_char_in_string(text, QStringLiteral("\n"), QStringLiteral("%0A%0A"));
    return Replace_char_in_string(text, QStringLiteral(" "), QStringLiteral("%20"));
  };
  return QStringLiteral("mailto:%1?subject=%2&body=%3").arg(address, encode(subject), encode(body));
}

void Open_Link(const QString& address) {
  try {
    if (!address.isEmpty()) platform::openOrTell(QUrl(address, QUrl::TolerantMode));
  } catch (const std::exception& e) {
    qCWarning(lcMainWindow).noquote() << QString::fromUtf8(e.what());
  }
}

void Open_Support_Mail() {
  Open_Link(mailLink(configuredLink(QStringLiteral("mail/support")),
                     configuredLink(QStringLiteral("mail/support_subject")), QString()));
}

void Open_Reseller_Mail() {
  Open_Link(mailLink(configuredLink(QStringLiteral("mail/partner")),
                     configuredLink(QStringLiteral("mail/partner_subject")),
                     configuredLink(QStringLiteral("mail/partner_body"))));
}

void Open_Website(int number) {
  Open_Link(configuredLink(QStringLiteral("web/website_%1").arg(number)));
}

void Open_Share_Page(int number) {
  Open_Link(configuredLink(QStringLiteral("share/page_%1").arg(number)));
}

void Open_Like_Page() {
  Open_Link(configuredLink(QStringLiteral("share/like")));
}

void Open_Share_It_Dl() {
  Open_Link(configuredLink(QStringLiteral("web/comments")));
}

void styleAsLink(QPushButton* button) {
  button->setFlat(true);
  button->setCursor(Qt::PointingHandCursor);
  QFont font = button->font();
  font.setBold(true);
  font.setPointSize(11);
  font.setUnderline(true);
  button->setFont(font);
  button->setStyleSheet(
      QStringLiteral("QPushButton { color: rgb(0, 0, 238); border: none; text-align: left; "
                     "background: rgb(241, 244, 250); }"));
}

// ---------------------------------------------------------------- grid settings

Grid_Wizard& Grid_Wizard::defaultInstance() {
  return singleton<Grid_Wizard>();
}

Grid_Wizard::Grid_Wizard(QWidget* parent) : QDialog(parent) {
  prepare(*this, tr("Grid Settings"));
  auto* layout = new QVBoxLayout(this);
  Show_hide_grid_chk = new QCheckBox(tr("Show grid"), this);
  Show_hide_grid_chk->setAccessibleName(tr("Show grid"));
  layout->addWidget(Show_hide_grid_chk);
  Grid_Opt_box = new QGroupBox(tr("Grid"), this);
  Grid_Opt_box->setAccessibleName(tr("Grid options"));
  auto* form = new QFormLayout(Grid_Opt_box);
  Grid_clr = new ColorWell(tr("Grid colour"), Grid_Opt_box);
  Grid_Space_slidr = new QSlider(Qt::Horizontal, Grid_Opt_box);
  Grid_Space_slidr->setRange(2, 72);
  Grid_Space_slidr->setAccessibleName(tr("Grid spacing"));
  Grid_Space_value = new QLabel(Grid_Opt_box);
  auto* spacing = new QHBoxLayout;
  spacing->addWidget(Grid_Space_slidr, 1);
  spacing->addWidget(Grid_Space_value);
  form->addRow(tr("Colour"), Grid_clr);
  form->addRow(tr("Spacing"), spacing);
  layout->addWidget(Grid_Opt_box);
  Snap_to_grid_chk = new QCheckBox(tr("Snap objects to the grid"), this);
  Snap_to_grid_chk->setAccessibleName(tr("Snap objects to the grid"));
  layout->addWidget(Snap_to_grid_chk);
  layout->addWidget(okBox(this, true));

  connect(Grid_clr, &ColorWell::colorChanged, this, &Grid_Wizard::Grid_Clr_Changed);
  connect(Grid_Space_slidr, &QSlider::valueChanged, this, [this] {
    Grid_Space_value->setText(tr("%1 pt").arg(Grid_Space_slidr->value()));
    if (grid_ != nullptr && Grid_Space_slidr->isSliderDown() + Grid_Space_slidr->hasFocus() > 0)
      Grid_Slider_Changed();
  });
  connect(Grid_Space_slidr, &QSlider::sliderReleased, this, &Grid_Wizard::Grid_Slider_Changed);
  onToggled(Show_hide_grid_chk, this, [this] { Grid_Show_Hide_Changed(); });
  onToggled(Snap_to_grid_chk, this, [this] {
    if (grid_ != nullptr) grid_->setConstraining(Snap_to_grid_chk->isChecked());
  });
}

void Grid_Wizard::Open_Wnd(SKTGrid* grid, QWidget* owner) {
  grid_ = grid;
  if (grid_ == nullptr) return;
  {
    const QSignalBlocker a(Grid_clr), b(Grid_Space_slidr);
    Grid_clr->setColor(grid->color());
    Grid_Space_slidr->setValue(static_cast<int>(grid->spacing()));
    Grid_Space_value->setText(tr("%1 pt").arg(Grid_Space_slidr->value()));
    showChecked(Show_hide_grid_chk, grid->isAlwaysShown());
    showChecked(Snap_to_grid_chk, grid->isConstraining());
  }
  SetObjEnabled(Grid_Opt_box, grid->isAlwaysShown());
  runOver(*this, owner);
}

void Grid_Wizard::Grid_Clr_Changed() {
  if (grid_ == nullptr) return;
  grid_->setColor(Grid_clr->color());
  grid_->setAlwaysShown(true);
}

void Grid_Wizard::Grid_Slider_Changed() {
  if (grid_ == nullptr) return;
  grid_->setSpacing(static_cast<double>(static_cast<float>(Grid_Space_slidr->value())));
  grid_->setAlwaysShown(true);
  showChecked(Show_hide_grid_chk, true);
  SetObjEnabled(Grid_Opt_box, true);
}

void Grid_Wizard::Grid_Show_Hide_Changed() {
  if (grid_ == nullptr) return;
  const bool shown = Show_hide_grid_chk->isChecked();
  grid_->setAlwaysShown(shown);
  SetObjEnabled(Grid_Opt_box, shown);
}

// ---------------------------------------------------------------- help

Help_Support::Help_Support(QWidget* parent) : QDialog(parent) {
  prepare(*this, tr("Help and Support"));
  auto* layout = new QVBoxLayout(this);
  QLabel* title = nullptr;
  layout->addWidget(bannerStrip(&title, this));
  title->setText(tr("QUVO Gratulo — help and support"));
  auto* helpFile = new QPushButton(tr("Open the User Guide (Help.pdf)"), this);
  helpFile->setAccessibleName(tr("Open the User Guide"));
  helpFile->setObjectName(QStringLiteral("_Help_File_Label"));
  connect(helpFile, &QPushButton::clicked, this, &Help_Support::HelpFilePressed);
  layout->addWidget(helpFile);
  layout->addWidget(linkButton(tr("Visit the QUVO Gratulo web site"), this, [] { Open_Website(1); }));
  layout->addWidget(linkButton(tr("Write to support"), this, [] { Open_Support_Mail(); }));
  layout->addWidget(linkButton(tr("Become a partner or reseller"), this, [] { Open_Reseller_Mail(); }));
  layout->addWidget(linkButton(tr("Download page"), this, [] { Open_Website(2); }));
  layout->addWidget(linkButton(tr("More products"), this, [] { Open_Website(3); }));
  auto* share = new QHBoxLayout;
  for (int page = 1; page <= 3; ++page)
    share->addWidget(linkButton(tr("Share %1").arg(page), this, [page] { Open_Share_Page(page); }));
  share->addWidget(linkButton(tr("Like"), this, [] { Open_Like_Page(); }));
  layout->addLayout(share);
  layout->addWidget(okBox(this, false));
}

void Help_Support::HelpFilePressed() {
  Open_Help_File();
}

// ---------------------------------------------------------------- review request

Review_Form& Review_Form::defaultInstance() {
  return singleton<Review_Form>();
}

Review_Form::Review_Form(QWidget* parent) : QDialog(parent) {
  prepare(*this, tr("Thank You"));
  auto* layout = new QVBoxLayout(this);
  auto* text =
      new QLabel(tr("Thank you for using QUVO Gratulo.\nA short review helps other people find it."), this);
  text->setWordWrap(true);
  layout->addWidget(text);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* review = buttons->addButton(tr("Write a Review"), QDialogButtonBox::AcceptRole);
  review->setAccessibleName(tr("Write a Review"));
  QPushButton* later = buttons->addButton(tr("Not Now"), QDialogButtonBox::RejectRole);
  later->setAccessibleName(tr("Not Now"));
  connect(review, &QPushButton::clicked, this, &Review_Form::Review_Clicked);
  connect(later, &QPushButton::clicked, this, [this] { done(0); });
  layout->addWidget(buttons);
}

int Review_Form::Open_Review_Form_Window(QWidget* owner) {
  try {
    return runOver(*this, owner);
  } catch (const std::exception& e) {
    qCWarning(lcMainWindow).noquote() << QString::fromUtf8(e.what());
    return 0;
  }
}

void Review_Form::Review_Clicked() {
  Open_Link(configuredLink(QStringLiteral("web/review")));
  done(1);
}

void openReviewRequest(QWidget* owner) {
  Review_Form::defaultInstance().Open_Review_Form_Window(owner);
}

// ---------------------------------------------------------------- promotion

Promotion_Form& Promotion_Form::defaultInstance() {
  return singleton<Promotion_Form>();
}

Promotion_Form::Promotion_Form(QWidget* parent) : QDialog(parent) {
  prepare(*this, tr("More from QUVO"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(bannerStrip(&Software_title, this));
  auto* top = new QHBoxLayout;
  // The product's picture over the promotion pattern.
  bundle_image = new Promotion_Pattern(this);
  bundle_image->setAccessibleName(tr("Product picture"));
  bundle_image->setFixedSize(160, 100);
  short_descp = new QLabel(this);
  short_descp->setWordWrap(true);
  top->addWidget(bundle_image);
  top->addWidget(short_descp, 1);
  layout->addLayout(top);
  long_descp = new QLabel(this);
  long_descp->setWordWrap(true);
  layout->addWidget(long_descp);
  auto* links = new QHBoxLayout;
  links->addWidget(linkButton(tr("Ask by mail"), this, [this] { Mail_Clicked(); }));
  links->addWidget(linkButton(tr("Contact us"), this, [this] { Contact_us_Clicked(); }));
  links->addWidget(linkButton(tr("Order"), this, [this] { Order_Clicked(); }));
  links->addWidget(linkButton(tr("Videos"), this, [this] { videos_Clicked(); }));
  layout->addLayout(links);
  layout->addWidget(okBox(this, false));
}

bool Promotion_Form::knownProduct() const {
  return software_type == QLatin1String("S") || software_type == QLatin1String("R") ||
         software_type == QLatin1String("B");
}

QString Promotion_Form::linkOf(const QString& what) const {
  if (!knownProduct()) return QString();
  return configuredLink(QStringLiteral("promotion_%1/%2").arg(software_type, what));
}

int Promotion_Form::Open_Promotion_Window(QWidget* owner) {
  try {
    Software_title->setText(linkOf(QStringLiteral("title")));
    short_descp->setText(linkOf(QStringLiteral("short")));
    long_descp->setText(linkOf(QStringLiteral("long")));
    bundle_image->setPatternImage(loadPromotionPattern(Resource_Path()));
    bundle_image->setImage(
        knownProduct()
            ? loadPictureFile(
                  QDir(Resource_Path()).filePath(QStringLiteral("promotion_%1.png").arg(software_type)))
            : QImage());
    return runOver(*this, owner);
  } catch (const std::exception& e) {
    qCWarning(lcMainWindow).noquote() << QString::fromUtf8(e.what());
    return 0;
  }
}

void Promotion_Form::Mail_Clicked() {
  if (linkOf(QStringLiteral("mail")).isEmpty()) return Open_Link(QString());
  Open_Link(mailLink(linkOf(QStringLiteral("mail")), linkOf(QStringLiteral("mail_subject")),
                     linkOf(QStringLiteral("mail_body"))));
}

void Promotion_Form::Contact_us_Clicked() {
  const QString app = QApplication::applicationName().isEmpty() ? QStringLiteral("QUVO Gratulo")
                                                                : QApplication::applicationName();
  Open_Link(mailLink(linkOf(QStringLiteral("mail")),
                     linkOf(QStringLiteral("contact_subject")) + QLatin1Char(' ') + app,
                     linkOf(QStringLiteral("contact_body")).replace(QStringLiteral("%@"), app)));
}

void Promotion_Form::Order_Clicked() {
  Open_Link(linkOf(QStringLiteral("order")));
}

void Promotion_Form::videos_Clicked() {
  Open_Link(configuredLink(QStringLiteral("web/videos")));
}

// ---------------------------------------------------------------- share

Share_It_Dlg::Share_It_Dlg(QWidget* parent) : QDialog(parent) {
  prepare(*this, tr("Share QUVO Gratulo"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(tr("Tell your friends about QUVO Gratulo:"), this));
  for (int page = 1; page <= 3; ++page)
    layout->addWidget(linkButton(tr("Share on page %1").arg(page), this, [page] { Open_Share_Page(page); }));
  layout->addWidget(linkButton(tr("Like QUVO Gratulo"), this, [] { Open_Like_Page(); }));
  layout->addWidget(linkButton(tr("Leave a comment"), this, [] { Open_Share_It_Dl(); }));
  layout->addWidget(okBox(this, false));
}
