// The inputs of the object tabs that do more than mirror a field: the text
// editor (cleaned and limited), today's date or the time in a chosen format,
// the text font, the stock titles and messages, and the files of picture and
// signature objects.
#include <QApplication>
#include <QDateTime>
#include <QFontDialog>
#include <QLocale>
#include <QSignalBlocker>
#include <QTextCursor>

#include "canvas/SKTGraphicView.h"
#include "core/PictureFile.h"
#include "core/SKTImage.h"
#include "core/SKTSignature.h"
#include "core/globals.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/globals.h"
#include "mainwindow/panels/DataSourceTab.h"
#include "mainwindow/panels/SignatureTab.h"
#include "mainwindow/panels/TextEditingTab.h"
#include "mainwindow/panels/TextPropertiesTab.h"
#include "personalisation/Insert_Template.h"
#include "personalisation/StockTexts.h"
#include "platform/FontNames.h"
#include "platform/MessageHost.h"
#include "platform/Messages.h"
#include "platform/StringHelpers.h"

namespace {

const QString kNewTextPlaceholder = QStringLiteral("Text here");

// A date pattern of the usual pattern letters (M d y h H m s a) as Qt writes
// it: "a" is the AM/PM marker, which Qt spells "AP".
QString qtDatePattern(const QString& pattern) {
  QString result;
  bool quoted = false;
  for (qsizetype i = 0; i < pattern.size(); ++i) {
    const QChar c = pattern[i];
    if (c == QLatin1Char('\'')) quoted = !quoted;
    if (!quoted && c == QLatin1Char('a')) {
      while (i + 1 < pattern.size() && pattern[i + 1] == QLatin1Char('a')) ++i;
      result += QStringLiteral("AP");
      continue;
    }
    result += c;
  }
  return result;
}

}  // namespace

// ---------------------------------------------------------------- date and time

QString SKTWindowController::Get_date_Value(const QString& format) {
  return QLocale().toString(QDateTime::currentDateTime(), qtDatePattern(format));
}

void SKTWindowController::Text_Insert_Date() {
  const QString format = Trim_Str(_textEditing->Text_Date_style->currentText());
  if (format.isEmpty()) return Show_MessageBox(QStringLiteral("Please select Date format."));
  _textEditing->Text_value_Edit->textCursor().insertText(Get_date_Value(format));
  Update_Text_Graphics();
}

void SKTWindowController::Text_Insert_Time() {
  const QString format = Trim_Str(_textEditing->Text_Time_style->currentText());
  if (format.isEmpty()) return Show_MessageBox(QStringLiteral("Please select Time format."));
  _textEditing->Text_value_Edit->textCursor().insertText(Get_time_Value(format));
  Update_Text_Graphics();
}

// ---------------------------------------------------------------- the editor

void SKTWindowController::textDidChange() {
  // Loading an object's text into the editor is no change of the text.
  if (Not_Draw_Only_Prop_Change()) return;
  try {
    TextEditingTab* e = _textEditing;
    const QString text = e->text();
    QString cleaned = text;
    cleaned.remove(kNewTextPlaceholder);
    // The limit is for what is typed or pasted. A longer text the object
    // already holds (set by a script, a design file, a data series) is never
    // cut: characters can be taken out of it, but none added. Either way
    // the tab says under the editor what a typed text keeps.
    const qsizetype limit = TextEditingTab::kTypedLimit;
    const qsizetype before = e->keptText().size();
    const bool overLimit = cleaned.size() > limit && cleaned.size() > before;
    if (overLimit) {
      if (before > limit) {
        e->refuseEdit();
        e->showLimitReached();
        QApplication::beep();
        return;
      }
      cleaned = Limit_Text_Length(cleaned, static_cast<int>(limit));
    }
    if (cleaned != text) e->showText(cleaned);
    e->keepText();
    if (overLimit) e->showLimitReached();
    Update_Text_Graphics();
  } catch (const std::exception& e) {
    qCWarning(lcMainWindow).noquote() << QString::fromUtf8(e.what());
  }
}

// ---------------------------------------------------------------- the text font

void SKTWindowController::Text_Font_Changed() {
  QFontDialog chooser(platform::fontForName(Text_font.name, Text_font.size > 0 ? Text_font.size : 14.0),
                      this);
  chooser.setWindowTitle(tr("Font of the Text"));
  chooser.setWindowModality(Qt::WindowModal);
  if (platform::messageHost().runModal(chooser) != 1) return;
  const QFont chosen = chooser.currentFont();
  changeTextFont(CardFont{platform::postScriptNameForFont(chosen), chosen.pointSizeF()});
}

void SKTWindowController::changeTextFont(const CardFont& font) {
  try {
    if (font.isNull() || !(font.size > 0)) return;
    Text_font = font;
    _textProperties->Text_font_value->setText(panels::fontLabel(Text_font));
    Update_Text_Graphics();
  } catch (const std::exception& e) {
    qCWarning(lcMainWindow).noquote() << QString::fromUtf8(e.what());
  }
}

// ---------------------------------------------------------------- stock texts

void SKTWindowController::Insert_Template_Button() {
  const bool title = _textEditing->insert_template_btn->text() == QLatin1String("Use Template Title");
  QString picked;
  if (!Pick_Stock_Text(title ? QStringLiteral("T") : QStringLiteral("M"), &picked)) return;
  _textEditing->replaceText(picked);
  Update_Text_Graphics();
}

// ---------------------------------------------------------------- picture files

void SKTWindowController::Manual_Image_Browse_Btn() {
  const SKTGraphicPtr current = panelGraphic();
  if (!current || current->kind() != GraphicKind::Image) return;
  if (!Browse_User_Image_Manually()) return;
  const QString path = Library_Selected_Image.get();
  _dataSource->Manual_image_path->setText(path);
  writeCurrentGraphic([&](SKTGraphic& g) { static_cast<SKTImage&>(g).setFilePath(path); });
  _chosenPicture = QImage();  // the object holds it now
  Update_Image_Graphics();
}

void SKTWindowController::Manual_Library_Browse_Btn() {
  const SKTGraphicPtr current = panelGraphic();
  if (!current || current->kind() != GraphicKind::Image) return;
  if (Open_Image_Library_Window(QStringLiteral("C")) != 1) return;
  const QString path = lib_window_sel_file;
  Library_Selected_Image.set(path);
  _dataSource->Manual_image_path->setText(path);
  writeCurrentGraphic([&](SKTGraphic& g) { static_cast<SKTImage&>(g).setFilePath(path); });
  Update_Image_Graphics();
}

void SKTWindowController::Sign_Browse_Btn() {
  platform::FilePanelRequest request;
  request.title = tr("Choose a Signature Picture");
  request.nameFilters = {tr("PNG pictures (*.png *.PNG)")};
  const QStringList chosen = platform::messageHost().openPanel(request);
  if (chosen.isEmpty() || chosen.front().isEmpty()) return;
  const QString path = chosen.front();
  // Decoded once: the signatures that take it find it held here.
  const CheckedPicture picture = loadCheckedPictureFile(path);
  if (!picture.problem.isEmpty()) {
    Show_MessageBox(picture.problem);
    return;
  }
  _signature->Sign_image_path->setText(path);
  // Every selected signature takes the file and shows it at once.
  writePanel([&](SKTGraphic& g) {
    if (g.kind() == GraphicKind::Signature) static_cast<SKTSignature&>(g).setFilePath(path);
  });
  Update_Sign_Graphics();
}
