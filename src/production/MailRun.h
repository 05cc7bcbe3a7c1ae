#pragma once
// The mail run: the work the mail dialog's Send starts on a worker thread.
// It checks the dialog's values, then sends one mail per item (recipient or
// data row) through a MailTransport, with the card pictures as attachments,
// an optional pause after every N mails and a stop request honoured between
// mails. The dialog hands in its values and the hooks below; nothing here
// touches a widget.

#include <QString>
#include <QStringList>
#include <memory>

#include "production/CutTexts.h"
#include "production/MailAddresses.h"
#include "production/MailScript.h"

namespace production {

// The address check of the mail dialogs: exactly one mailbox (an address,
// or a name and the address in angle brackets; see MailAddresses.h) whose
// address has at least 6 characters, one "@" and a dot.
bool isValidEmail(const QString& address);

// Why the file at `path` cannot go as an attachment (it is not there, not a
// file, or cannot be read), in the words the mail script uses; empty when
// it can.
QString attachmentProblem(const QString& path);
// The file's name as a message names it.
QString attachmentName(const QString& path);

// "Pausing the process for ..." for a pause of `ms` milliseconds.
QString Calculate_Pause_Time(int ms);

// "%d / %d " of curr_barcode_count and list_count.
QString sendingProgressText();

// What the progress shows while the server's answer to the mail to
// `recipient` is awaited.
QString awaitingAnswerText(const QString& recipient);
// Says that the mails to `recipients`, which the server took whole but did
// not confirm (`why`), may have been delivered, and to check before sending
// them again.
QString mayHaveBeenDeliveredText(const QStringList& recipients, const QString& why);

// The values of the mail dialog at the moment Send was pressed.
struct MailRunRequest {
  QString from;
  QString to;  // a list of mailboxes separated by "," (MailAddresses.h)
  QString subject;
  QString body;
  bool cardMode = true;                    // send the card; otherwise the attachment field
  QString cardSide = QStringLiteral("F");  // "F", "B" or "BOTH"
  QString fileName = QStringLiteral("QUVOCard");
  bool seriesChecked = false;
  bool excelChecked = false;
  bool allToEvery = true;  // every card to every recipient; else row i to recipient i
  bool pauseOn = false;
  int pauseEvery = 1;
  int pauseHours = 0;
  int pauseMinutes = 0;
  int pauseSeconds = 0;
  QString attachment;   // the file of the mode without card
  QString tempFolder;   // folder of the picture files; empty for a private one of the run
  QString closingNote;  // added to the closing message (objects left empty); may be empty
};

// The card side of a run: rendering and writing the pictures. Implemented
// by the main window, which owns the design and the data rows.
class MailCardSource {
 public:
  virtual ~MailCardSource() = default;
  // Whether data series rows and spreadsheet rows can fill the card (the
  // mail dialog's two check boxes). The dialog asks for the series first,
  // which recomputes the data-row flags; the spreadsheet answer comes from
  // that same check. GUI thread.
  virtual bool seriesRowsAvailable() { return false; }
  virtual bool excelRowsAvailable() { return false; }
  // The source a run started now uses, taken on the GUI thread when Send is
  // pressed: a copy of the card that the run's worker may render from while
  // the user goes on editing. None: the run uses this source itself. Sets
  // `refused` when the card's data cannot be used (a message was shown) or
  // the user chose not to go on; may set the request's closing note.
  virtual std::shared_ptr<MailCardSource> snapshotForRun(MailRunRequest& request, bool* refused) {
    (void)request;
    if (refused) *refused = false;
    return nullptr;
  }
  // Recomputes the data-row flags, narrows them to the two check boxes and
  // gives the number of cards the rows make.
  virtual int prepareRows(bool seriesChecked, bool excelChecked) = 0;
  // Writes the side (0 front, 1 back) of the design as it is to `path`.
  virtual bool writeSide(int side, const QString& path) = 0;
  // Fills the side from data row `row` and writes it to `path`; false when
  // the row gives no picture.
  virtual bool writeRowSide(int row, int side, const QString& path) = 0;
  // Why the last write failed ("file name: reason"); empty when unknown.
  virtual QString lastFailure() const { return QString(); }
  // What the side written last does not show of the design (lostParts).
  virtual QStringList lastCutTexts() const { return {}; }
  // Puts row 0 back on the front side.
  virtual void restoreFirstRow() = 0;
};

// The progress panel's side of a run.
class MailRunObserver {
 public:
  virtual ~MailRunObserver() = default;
  virtual void runStarted(int itemCount) { (void)itemCount; }
  virtual void pauseTextChanged(const QString& text) { (void)text; }
  // The server's answer to the mail under way is awaited (awaitingAnswerText),
  // or no longer (empty).
  virtual void waitTextChanged(const QString& text) { (void)text; }
  virtual void runFinished() {}
};

enum class MailRunOutcome {
  Refused,  // a check failed; its message was shown and nothing was sent
  Sent,     // every mail the run meant to send went out
  Failed,   // some mail failed, is unconfirmed or was skipped (stop, a card that could not be made)
};

class Send_Mail_Run {
 public:
  Send_Mail_Run(MailTransport& transport, MailCardSource* cards, MailRunObserver* observer = nullptr);

  // The whole run (checks, loop, clean-up, closing message). Reads the
  // account from the mail globals. Any thread.
  MailRunOutcome run(const MailRunRequest& request);
  MailRunOutcome run(const MailRunRequest& request, const MailAccount& account);

  // Length of one pause tick in milliseconds (1000; shorter in tests).
  void setPauseTickMs(int ms) { tickMs_ = ms; }

 private:
  // EndLoop: the item's outcome ends the run; Ended: no item was left.
  enum class Item { Sent, Skipped, EndLoop, Ended };
  // Stop of the person for the mail under way, and its wait for the server.
  class Watch : public MailSendWatch {
   public:
    explicit Watch(Send_Mail_Run& run) : run_(run) {}
    bool stopRequested() override;
    void awaitingAnswer() override;
    QString recipient;
    bool awaiting = false;

   private:
    Send_Mail_Run& run_;
  };

  bool send(const QString& recipient);
  Item cardWithoutRows(int i);
  Item cardWithRows(int i, bool toEveryone);
  Item withoutCard(int i);
  // Writes the sides of card `row` (from 0; the card as it is with
  // `asDesigned`) and notes the bound texts they cut.
  bool writeCard(int row, bool asDesigned);
  // Keeps the first reason a card picture could not be made.
  void noteCardFailure();
  void pause(int ms);
  // Asks the server, once before the first mail, whether it takes the
  // addresses of the run (the sender and `mailed`) that need its SMTPUTF8. The message refusing the
  // run when it does not, or could not be asked; empty when the run goes on
  // (also when it was stopped meanwhile).
  QString serverRefusal(const QStringList& mailed, int itemCount);
  // The closing line naming the recipients left without a data row.
  QString withoutRowText() const;
  // The closing lines naming the data rows whose To entry is blank.
  QString noAddressText() const;
  // The closing message of a run that did not send all it meant to.
  QString notAllSentText() const;
  // "Could not send email message.", the reason of the last failed mail and
  // the checklist of the settings.
  QString notSentText() const;

  MailTransport& transport_;
  MailCardSource* cards_;
  MailRunObserver* observer_;
  Watch watch_{*this};
  int tickMs_ = 1000;

  // State of the run under way.
  MailRunRequest request_;
  MailAccount account_;
  QStringList recipients_;
  QStringList withoutRow_;  // recipients past the last data row: no card for them
  QList<int> noAddress_;    // data rows (from 0) whose To entry is blank: no mail for them
  QStringList attachments_;
  QStringList cardFiles_;  // written once in the mode without rows
  QString frontPath_;
  QString backPath_;
  int rowCount_ = 0;
  int recipientCount_ = 0;
  int planned_ = 0;  // mails the run means to send
  int sent_ = 0;
  int failed_ = 0;
  int sendFailed_ = 0;                  // of failed_: mails the server did not take
  QString sendFailure_;                 // why the last of them did not go out
  bool sendFailureIsTheMails_ = false;  // ... for a reason of the mail itself
  QStringList unconfirmed_;             // the server took the mail whole but did not confirm it
  QString unconfirmedWhy_;              // why, for the last of them
  QString cardFailure_;                 // why the first card picture could not be made
  CutTexts cut_;                        // bound texts the cards made do not show whole
};

}  // namespace production
