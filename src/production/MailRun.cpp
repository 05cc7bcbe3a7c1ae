#include "production/MailRun.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <optional>

#include "platform/FileHelpers.h"
#include "platform/Messages.h"
#include "platform/RegularFile.h"
#include "platform/StringHelpers.h"
#include "production/DataBinding.h"
#include "production/globals.h"

namespace production {

namespace {

// No sender: no mail settings have been saved (a file that cannot be read
// is named by the mail window before a run starts).
const QString kNoSettings = QStringLiteral(
    "No e-mail has been sent: the E-mail settings are missing.\nEnter them under Settings... "
    "in this window and save them.");
const QString kUnreadableAttachment = QStringLiteral("The attachment %1 cannot be read: %2.");
const QString kNoRecipient = QStringLiteral("Please specify the Recipient E-mail address.");
const QString kBadRecipient = QStringLiteral("Recipient E-mail address is invalid or incomplete.");
const QString kBadSender = QStringLiteral("Please enter valid sender E-mail address.");
const QString kBadFileName = QStringLiteral("Please enter valid file name.");
const QString kSent = QStringLiteral("E-mail has been sent successfully.");
const QString kStopped = QStringLiteral("Sending was stopped.");
const QString kCounts = QStringLiteral("%1 of %2 e-mails have been sent: %3 failed, %4 skipped.");
const QString kCountsUnconfirmed =
    QStringLiteral("%1 of %2 e-mails have been sent: %3 unconfirmed, %4 failed, %5 skipped.");
const QString kNoRowFor = QStringLiteral("Recipients without a data row got no mail: %1.");
const QString kHandingOver = QStringLiteral("Sending the mail to %1...");
const QString kAwaitingAnswer = QStringLiteral("Waiting for the server to confirm the mail to %1...");
const QString kMayHaveArrived = QStringLiteral("The mail to %1 may have been delivered.");
const QString kMayHaveArrivedMany = QStringLiteral("The mails to %1 may have been delivered.");
const QString kCheckBeforeAgain = QStringLiteral("Please check with the recipient before sending it again.");
const QString kCheckBeforeAgainMany =
    QStringLiteral("Please check with the recipients before sending them again.");
const QString kAndMore = QStringLiteral(" and %1 more");
constexpr int kNamedWithoutRow = 5;  // recipients (or rows) named in that line at most
const QString kOneCardNoMail = QStringLiteral("1 card got no mail:");
const QString kCardsNoMail = QStringLiteral("%1 cards got no mail:");
const QString kCardNoAddress = QStringLiteral("card %1: no address (To: entry %1 is empty)");
const QString kAndMoreRows = QStringLiteral("and %1 more.");
const QString kAskingServer = QStringLiteral("Asking the server whether it takes the addresses...");
const QString kNoSmtpUtf8 = QStringLiteral(
    "No e-mail has been sent: the server does not take addresses that are not plain ASCII before the @ "
    "(it offers no SMTPUTF8).");
const QString kSenderBeyondAscii = QStringLiteral("Sender address: %1");
const QString kRecipientBeyondAscii = QStringLiteral("Recipient address: %1");
const QString kRecipientsBeyondAscii = QStringLiteral("Recipient addresses: %1");
const QString kNoRunFolder =
    QStringLiteral("The card pictures cannot be written: no private temporary folder could be made (%1).");
const QString kCardNotMade = QStringLiteral("The card picture could not be made: %1");
const QString kNotSent = QStringLiteral("Could not send email message.");
const QString kCheckSettings = QStringLiteral(
    "Please make sure that:\n1. Entered E-mail settings are correct.\n2. Internet connectivity to E-mail "
    "server is not interrupted and E-mail server is not down.\n3. Your Firewall or Security software (if "
    "any) is not blocking the software to communicate with your E-mail server.");

constexpr int kFront = 0;
constexpr int kBack = 1;

// The first few of `people`, trimmed, then how many more there are.
QString namedList(const QStringList& people) {
  QStringList named;
  for (const QString& r : people.mid(0, kNamedWithoutRow)) named << Trim_Str(r);
  QString list = named.join(QStringLiteral(", "));
  if (people.size() > kNamedWithoutRow) list += kAndMore.arg(people.size() - kNamedWithoutRow);
  return list;
}

}  // namespace

QString attachmentProblem(const QString& path) {
  QString why;
  if (platform::isReadableRegularFile(path, &why)) return QString();
  // In the words the mail script uses when the file goes during a run.
  const auto systemSays = [&why](int error) { return why == QString::fromLocal8Bit(std::strerror(error)); };
  if (why == QLatin1String(platform::kAFolder)) return QStringLiteral("it is a folder, not a file");
  if (systemSays(ENOENT)) return QStringLiteral("there is no such file");
  if (systemSays(EACCES) || systemSays(EPERM)) return QStringLiteral("permission to read it is denied");
  return platform::reasonAfterColon(why);
}

QString attachmentName(const QString& path) {
  const QString name = QFileInfo(QDir::cleanPath(path)).fileName();
  return withInvisibleShown(name.isEmpty() ? path : name);
}

bool isValidEmail(const QString& address) {
  return readMailbox(address).has_value();
}

QString Calculate_Pause_Time(int ms) {
  const int s = ms / 1000;
  const int h = s / 3600;
  const int m = (s % 3600) / 60;
  const int r = s % 60;
  const QString hours = (h > 1 ? QStringLiteral("%1 Hours ") : QStringLiteral("%1 Hour ")).arg(h);
  const QString minutes = (m > 1 ? QStringLiteral("%1 Minutes ") : QStringLiteral("%1 Minute ")).arg(m);
  const QString seconds = (r > 1 ? QStringLiteral("%1 Seconds.") : QStringLiteral("%1 Second.")).arg(r);
  QString label = QStringLiteral("Pausing the process for ");
  if (h > 0) {
    label += hours + minutes + seconds;
  } else if (m > 0) {
    label += minutes + seconds;
  } else {
    label += seconds;
  }
  return label;
}

QString sendingProgressText() {
  return QStringLiteral("%1 / %2 ").arg(static_cast<int>(curr_barcode_count.load())).arg(list_count.load());
}

QString awaitingAnswerText(const QString& recipient) {
  return kAwaitingAnswer.arg(Trim_Str(recipient));
}

QString mayHaveBeenDeliveredText(const QStringList& recipients, const QString& why) {
  const bool one = recipients.size() == 1;
  QString text = (one ? kMayHaveArrived : kMayHaveArrivedMany).arg(namedList(recipients));
  if (!why.isEmpty()) text += QLatin1Char(' ') + why;
  return text + QLatin1Char('\n') + (one ? kCheckBeforeAgain : kCheckBeforeAgainMany);
}

bool Send_Mail_Run::Watch::stopRequested() {
  return Stop_SMS_Sending_Now.load();
}

void Send_Mail_Run::Watch::awaitingAnswer() {
  awaiting = true;
  if (run_.observer_) run_.observer_->waitTextChanged(awaitingAnswerText(recipient));
}

Send_Mail_Run::Send_Mail_Run(MailTransport& transport, MailCardSource* cards, MailRunObserver* observer)
    : transport_(transport), cards_(cards), observer_(observer) {}

MailRunOutcome Send_Mail_Run::run(const MailRunRequest& request) {
  return run(request, MailAccount{sender_email.get(), sender_pwd.get(), sending_server.get(),
                                  sending_port.get(), send_enable_ssl.get()});
}

MailRunOutcome Send_Mail_Run::run(const MailRunRequest& request, const MailAccount& stored) {
  Stop_SMS_Sending_Now.store(false);
  // A Stop reaches the mail under way too.
  transport_.setWatch(&watch_);
  const auto unwatch = qScopeGuard([this] { transport_.setWatch(nullptr); });
  request_ = request;
  account_ = stored;
  sent_ = 0;
  failed_ = 0;
  sendFailed_ = 0;
  sendFailure_.clear();
  sendFailureIsTheMails_ = false;
  unconfirmed_.clear();
  unconfirmedWhy_.clear();
  cardFailure_.clear();
  cut_ = {};
  attachments_.clear();
  cardFiles_.clear();
  recipients_.clear();
  withoutRow_.clear();
  noAddress_.clear();

  // Checks. Addresses go on in small letters; names keep their letters.
  if (Trim_Str(request.from).isEmpty()) {
    Show_MessageBox(kNoSettings);
    return MailRunOutcome::Refused;
  }
  QString why;
  const auto sender = readMailbox(request.from, &why, MailboxRole::Sender);
  if (!sender) {
    Show_MessageBox(kBadSender + QLatin1Char('\n') + why);
    return MailRunOutcome::Refused;
  }
  account_.sender = sender->lowercased().text();
  if (Trim_Str(request.to).isEmpty()) {
    Show_MessageBox(kNoRecipient);
    return MailRunOutcome::Refused;
  }
  // Every entry must be exactly one mailbox: a typing slip in one of them
  // refuses the run, naming it, rather than leaving that person out or
  // mailing someone nobody named.
  const MailboxList to = readMailboxList(request.to, MailboxRole::Recipient);
  if (to.refused) {
    Show_MessageBox(refusalText(kBadRecipient, *to.refused));
    return MailRunOutcome::Refused;
  }
  for (const Mailbox& mailbox : to.mailboxes) recipients_.append(mailbox.lowercased().text());
  if (recipients_.isEmpty()) {
    Show_MessageBox(kBadRecipient);
    return MailRunOutcome::Refused;
  }
  QString baseName = QStringLiteral("QUVOCard");
  if (request.cardMode) {
    baseName = Trim_Str(Remove_Reserve_Char_In_File_Name(request.fileName));
    if (baseName.isEmpty() || !platform::isPlainFileName(baseName)) {
      Show_MessageBox(kBadFileName);
      return MailRunOutcome::Refused;
    }
  } else if (const QString path = Trim_Str(request.attachment); !path.isEmpty()) {
    // The file the person chose goes with every mail or none goes: one
    // that cannot be read refuses the run before the first mail.
    if (const QString why = attachmentProblem(path); !why.isEmpty()) {
      Show_MessageBox(kUnreadableAttachment.arg(attachmentName(path), why));
      return MailRunOutcome::Refused;
    }
  }

  const bool card = request.cardMode && cards_ != nullptr;
  const bool anyBox = request.seriesChecked || request.excelChecked;
  rowCount_ = 0;
  if (card) rowCount_ = cards_->prepareRows(request.seriesChecked, request.excelChecked);
  // The picture files go into a folder of this run that only the user can
  // enter: the shared temporary folder would let another account plant or
  // read files under the fixed names. The attachments keep their names.
  // A folder that cannot be made stops the run: there is no safe place
  // left for the pictures.
  std::optional<QTemporaryDir> runFolder;
  QString folder = request.tempFolder;
  frontPath_.clear();
  backPath_.clear();
  if (card) {
    if (folder.isEmpty()) {
      runFolder.emplace(QDir::tempPath() + QStringLiteral("/quvo-mail-XXXXXX"));
      if (!runFolder->isValid()) {
        Show_MessageBox(kNoRunFolder.arg(runFolder->errorString()));
        return MailRunOutcome::Refused;
      }
      folder = runFolder->path();
    }
    frontPath_ = folder + QLatin1Char('/') + baseName + QStringLiteral(".jpeg");
    backPath_ = folder + QLatin1Char('/') + baseName + QStringLiteral("_Back.jpeg");
  }

  const int pauseEvery = request.pauseOn ? request.pauseEvery : 0;
  const qint64 pauseMs64 = qint64(request.pauseHours) * 3600000 + qint64(request.pauseMinutes) * 60000 +
                           qint64(request.pauseSeconds) * 1000;
  const int pauseMs = static_cast<int>(std::clamp<qint64>(pauseMs64, 0, std::numeric_limits<int>::max()));

  const bool rows = card && anyBox;
  const bool everyone = rows && request.allToEvery;
  const int R = static_cast<int>(recipients_.size());
  // Row i goes to entry i of the To line. A blank entry (the empty cell of
  // a pasted column) keeps its row's place: that row gets no mail, and the
  // closing message counts it as skipped and names it; blank entries after
  // the last address are none. (In the other modes blank entries are left
  // out.) Recipients past the last row get no card. They are not items of
  // the run (the progress counts the mails that can go), but they are mails
  // the run was asked for: the closing message counts them as skipped and
  // names them.
  const bool onePerRecipient = rows && !everyone;
  if (onePerRecipient) {
    recipients_.clear();
    for (const auto& place : to.places()) recipients_.append(place ? place->lowercased().text() : QString());
  }
  const int places = static_cast<int>(recipients_.size());
  const int L = everyone ? rowCount_ : onePerRecipient ? std::min(places, rowCount_) : R;
  if (onePerRecipient)
    for (const QString& recipient : recipients_.mid(L))
      if (!recipient.isEmpty()) withoutRow_ << recipient;
  // The mails the run means to send; the closing message counts against it.
  recipientCount_ = R;
  planned_ = everyone ? rowCount_ * R : onePerRecipient ? L + static_cast<int>(withoutRow_.size()) : R;

  list_count.store(L);
  curr_barcode_count.store(0);
  curr_msg_count.set(QStringLiteral("%1 / %2").arg(0).arg(L));
  if (observer_) observer_->runStarted(L);
  const QString refusal = serverRefusal(onePerRecipient ? recipients_.mid(0, L) : recipients_, L);

  if (refusal.isEmpty()) {
    int sinceLastPause = 0;
    // A fault while filling or writing a card must still end the run in
    // order (files deleted, panel hidden, closing message): it ends the
    // loop and the run counts as not sent.
    try {
      for (int i = 0; i < L && !Stop_SMS_Sending_Now.load(); ++i) {
        // The progress counts an item once its outcome is known, not while
        // its mail is still being handed over.
        curr_barcode_count.store(i);
        attachments_.clear();
        Item item;
        if (!card && request.cardMode) {
          item = Item::Ended;  // no card to send
        } else if (!request.cardMode) {
          item = withoutCard(i);
        } else if (!rows) {
          item = cardWithoutRows(i);
        } else {
          item = cardWithRows(i, everyone);
        }
        if (item != Item::Ended) curr_barcode_count.store(i + 1);
        if (item == Item::EndLoop || item == Item::Ended) break;
        if (item == Item::Skipped) continue;
        ++sinceLastPause;
        if (pauseEvery > 0 && sinceLastPause == pauseEvery) {
          if (i + 1 != L) {
            pause(pauseMs);
            sinceLastPause = 0;
          }
        }
      }
    } catch (const std::exception& e) {
      // The item under way did not go out.
      qCWarning(lcProduction).noquote() << QString::fromUtf8(e.what());
      ++failed_;
    }
  }
  try {
    if (rows) cards_->restoreFirstRow();
  } catch (const std::exception& e) {
    qCWarning(lcProduction).noquote() << QString::fromUtf8(e.what());
  }
  if (!frontPath_.isEmpty()) Delete_File(frontPath_);
  if (!backPath_.isEmpty()) Delete_File(backPath_);
  if (observer_) observer_->runFinished();
  if (!refusal.isEmpty()) {
    Show_MessageBox(refusal);
    return MailRunOutcome::Refused;
  }

  // The closing message counts what happened: a run that sent less than
  // all it meant to says how many mails went, failed and were skipped.
  const bool all = planned_ > 0 && sent_ == planned_;
  // After the outcome: the cards whose bound texts were cut, then the objects left empty.
  const QString text = all ? kSent : notAllSentText();
  Show_MessageBox(withClosingNote(withClosingNote(text, cut_.note()), request.closingNote));
  return all ? MailRunOutcome::Sent : MailRunOutcome::Failed;
}

QString Send_Mail_Run::notAllSentText() const {
  const int unconfirmed = static_cast<int>(unconfirmed_.size());
  const int skipped = std::max(0, planned_ - sent_ - failed_ - unconfirmed);
  const bool stopped = Stop_SMS_Sending_Now.load();
  QString text = unconfirmed > 0
                     ? kCountsUnconfirmed.arg(sent_).arg(planned_).arg(unconfirmed).arg(failed_).arg(skipped)
                     : kCounts.arg(sent_).arg(planned_).arg(failed_).arg(skipped);
  // A run the person stopped says so; the settings are not blamed for it.
  if (stopped) text = kStopped + QLatin1Char('\n') + text;
  // A mail the server took but did not confirm is never called failed: it
  // may have arrived, and the person checks before sending it again.
  if (unconfirmed > 0)
    text = mayHaveBeenDeliveredText(unconfirmed_, unconfirmedWhy_) + QStringLiteral("\n\n") + text;
  // A card picture that could not be made is named; the mail settings
  // are blamed only when the server was not reached or refused a mail.
  if (!cardFailure_.isEmpty()) text = kCardNotMade.arg(cardFailure_) + QStringLiteral("\n\n") + text;
  if (!withoutRow_.isEmpty()) text += QLatin1Char('\n') + withoutRowText();
  if (!noAddress_.isEmpty()) text += QLatin1Char('\n') + noAddressText();
  const bool nothingHappened =
      sent_ == 0 && unconfirmed == 0 && withoutRow_.isEmpty() && noAddress_.isEmpty();
  if (sendFailed_ > 0 || (!stopped && cardFailure_.isEmpty() && (failed_ > 0 || nothingHappened)))
    text = notSentText() + QStringLiteral("\n\n") + text;
  return text;
}

QString Send_Mail_Run::notSentText() const {
  // The reason the server gave (or the script found) comes first, in its
  // own words; the general checklist follows.
  QString text = kNotSent + QLatin1Char('\n');
  if (!sendFailure_.isEmpty()) text += sendFailure_ + QLatin1Char('\n');
  // A recipient the server refused, or an attachment that cannot be read,
  // is no fault of the settings: the checklist is left out.
  if (sendFailureIsTheMails_) return text.chopped(1);
  return text + kCheckSettings;
}

QString Send_Mail_Run::withoutRowText() const {
  return kNoRowFor.arg(namedList(withoutRow_));
}

QString Send_Mail_Run::noAddressText() const {
  const int count = static_cast<int>(noAddress_.size());
  QStringList lines{count == 1 ? kOneCardNoMail : kCardsNoMail.arg(count)};
  for (const int row : noAddress_.mid(0, kNamedWithoutRow)) lines << kCardNoAddress.arg(row + 1);
  if (count > kNamedWithoutRow) lines << kAndMoreRows.arg(count - kNamedWithoutRow);
  return lines.join(QLatin1Char('\n'));
}

QString Send_Mail_Run::serverRefusal(const QStringList& mailed, int itemCount) {
  if (itemCount == 0) return QString();
  const auto addressOf = [](const QString& text) {
    const auto mailbox = readMailbox(text);
    return mailbox ? mailbox->address : text;
  };
  const QString sender = addressOf(account_.sender);
  const bool senderNeeds = needsSmtpUtf8(sender);
  QStringList recipients;
  for (const QString& recipient : mailed)
    if (!recipient.isEmpty() && needsSmtpUtf8(addressOf(recipient))) recipients << addressOf(recipient);
  if (!senderNeeds && recipients.isEmpty()) return QString();
  if (observer_) observer_->waitTextChanged(kAskingServer);
  std::optional<QStringList> offered;
  try {
    offered = transport_.serverExtensions(account_);
  } catch (const std::exception& e) {
    qCWarning(lcProduction).noquote() << QString::fromUtf8(e.what());
  }
  if (observer_) observer_->waitTextChanged(QString());
  if (!offered) {
    // Stopped meanwhile: the run ends as stopped, nothing sent.
    if (transport_.lastNotSent() == MailNotSent::Stopped) return QString();
    sendFailure_ = transport_.lastFailure();
    sendFailureIsTheMails_ = transport_.lastFailureIsTheMails();
    return notSentText();
  }
  if (offered->contains(QStringLiteral("SMTPUTF8"), Qt::CaseInsensitive)) return QString();
  QString text = kNoSmtpUtf8;
  if (senderNeeds) text += QLatin1Char('\n') + kSenderBeyondAscii.arg(sender);
  if (!recipients.isEmpty())
    text +=
        QLatin1Char('\n') +
        (recipients.size() == 1 ? kRecipientBeyondAscii : kRecipientsBeyondAscii).arg(namedList(recipients));
  return text;
}

bool Send_Mail_Run::send(const QString& recipient) {
  qCDebug(lcProduction).noquote() << "mail to" << recipient;
  MailMessage message{recipient, request_.subject, request_.body, attachments_};
  watch_.recipient = recipient;
  watch_.awaiting = false;
  // While the mail is handed over the panel says to whom; once the server
  // has all of it, that it waits for the server's answer.
  if (observer_) observer_->waitTextChanged(kHandingOver.arg(Trim_Str(recipient)));
  bool ok = false;
  try {
    ok = transport_.send(account_, message);
  } catch (const std::exception& e) {
    qCWarning(lcProduction).noquote() << QString::fromUtf8(e.what());
  }
  if (observer_) observer_->waitTextChanged(QString());
  if (ok) {
    ++sent_;
    return true;
  }
  qCWarning(lcProduction) << "error in mail";
  switch (transport_.lastNotSent()) {
    case MailNotSent::Failed:
      ++failed_;
      ++sendFailed_;
      sendFailure_ = transport_.lastFailure();
      sendFailureIsTheMails_ = transport_.lastFailureIsTheMails();
      break;
    case MailNotSent::Stopped:  // not sent, and not for a fault: it counts as skipped
      break;
    case MailNotSent::Unconfirmed:
      unconfirmed_ << recipient;
      unconfirmedWhy_ = transport_.lastFailure();
      break;
  }
  return false;
}

Send_Mail_Run::Item Send_Mail_Run::cardWithoutRows(int i) {
  qCDebug(lcProduction) << "send card no batch.";
  if (i == 0) {
    // A card picture that could not be written would go out as a mail
    // without its card and still count as sent; the run ends unsent.
    if (!writeCard(0, true)) {
      qCWarning(lcProduction) << "error in mail";
      noteCardFailure();
      ++failed_;
      return Item::EndLoop;
    }
    cardFiles_ = attachments_;
  }
  attachments_ = cardFiles_;
  return send(recipients_.at(i)) ? Item::Sent : Item::EndLoop;
}

void Send_Mail_Run::noteCardFailure() {
  if (cardFailure_.isEmpty()) cardFailure_ = cards_->lastFailure();
}

bool Send_Mail_Run::writeCard(int row, bool asDesigned) {
  const QString& side = request_.cardSide;
  const bool front = side == QLatin1String("BOTH") || side == QLatin1String("F");
  const bool back = !front || side == QLatin1String("BOTH");
  QStringList frontCut, backCut;
  const auto write = [&](int which, const QString& path, QStringList& cut) {
    if (!(asDesigned ? cards_->writeSide(which, path) : cards_->writeRowSide(row, which, path))) return false;
    attachments_.append(path);
    cut = cards_->lastCutTexts();
    return true;
  };
  // The back first: its picture comes first in the mail.
  if (back && !write(kBack, backPath_, backCut)) return false;
  if (front && !write(kFront, frontPath_, frontCut)) return false;
  cut_.add(row, frontCut + backCut);
  return true;
}

Send_Mail_Run::Item Send_Mail_Run::cardWithRows(int i, bool toEveryone) {
  if (i >= rowCount_) {
    curr_barcode_count.store(list_count.load());
    return Item::Ended;
  }
  if (!toEveryone && recipients_.at(i).isEmpty()) {
    noAddress_ << i;
    return Item::Skipped;
  }
  if (!writeCard(i, false)) {
    // The card of this row could not be made: its mails count as failed.
    noteCardFailure();
    failed_ += toEveryone ? recipientCount_ : 1;
    return Item::Skipped;
  }
  if (!toEveryone) {
    qCDebug(lcProduction) << "send card with batch to one to one";
    return send(recipients_.at(i)) ? Item::Sent : Item::EndLoop;
  }
  qCDebug(lcProduction) << "send card with batch to all image to everyone";
  // A mail that did not go out ends the run here as in every other mode:
  // the rest of this card's recipients and the later cards are skipped.
  for (int j = 0; j < recipients_.size() && !Stop_SMS_Sending_Now.load(); ++j) {
    if (!send(recipients_.at(j))) return Item::EndLoop;
  }
  return Item::Sent;
}

Send_Mail_Run::Item Send_Mail_Run::withoutCard(int i) {
  qCDebug(lcProduction) << "send without card.";
  const QString path = Trim_Str(request_.attachment);
  // The path goes to the script whatever is there now: a file gone since
  // the run started stops the run at this mail, the script naming it.
  if (!path.isEmpty()) attachments_ = QStringList{path};
  return send(recipients_.at(i)) ? Item::Sent : Item::EndLoop;
}

void Send_Mail_Run::pause(int ms) {
  if (observer_) observer_->pauseTextChanged(Calculate_Pause_Time(ms));
  Pause_Delay_Time.store((ms / 1000 - 1) * 1000);
  int countdown = Pause_Delay_Time.load();
  const int slice = std::max(1, std::min(50, tickMs_));
  while (countdown >= 1 && !Stop_SMS_Sending_Now.load() && Pause_Delay_Time.load() != 0) {
    // One tick, in short slices so that Stop is noticed at once.
    for (int waited = 0; waited < tickMs_ && !Stop_SMS_Sending_Now.load(); waited += slice) {
      QThread::msleep(static_cast<unsigned long>(slice));
    }
    if (Stop_SMS_Sending_Now.load()) break;
    if (observer_) observer_->pauseTextChanged(Calculate_Pause_Time(Pause_Delay_Time.load()));
    Pause_Delay_Time.fetch_sub(1000);
    countdown -= 1000;
  }
  Pause_Delay_Time.store(0);
  if (observer_) observer_->pauseTextChanged(QStringLiteral(""));
}

}  // namespace production
