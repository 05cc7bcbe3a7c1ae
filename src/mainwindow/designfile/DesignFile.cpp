#include "mainwindow/designfile/DesignFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "core/PictureBudget.h"
#include "core/PictureFile.h"
#include "core/SKTImage.h"
#include "core/globals.h"
#include "mainwindow/globals.h"
#include "platform/MessageHost.h"
#include "platform/Messages.h"
#include "platform/RegularFile.h"
#include "platform/SavedFile.h"
#include "platform/StringHelpers.h"
#include "production/CutTexts.h"

namespace designfile {

namespace {

// Keeps undo registration off for the lifetime of the guard.
class UndoRegistrationOff {
 public:
  explicit UndoRegistrationOff(SKTDocument& document) : document_(document) {
    document_.Enable_Disable_Undo_Registraion(false);
  }
  ~UndoRegistrationOff() { document_.Enable_Disable_Undo_Registraion(true); }
  UndoRegistrationOff(const UndoRegistrationOff&) = delete;
  UndoRegistrationOff& operator=(const UndoRegistrationOff&) = delete;

 private:
  SKTDocument& document_;
};

QString proposedSaveFolder(const QString& designPath) {
  const QString path = Trim_Str(designPath);
  if (!path.isEmpty() && QFileInfo(QFileInfo(path).absolutePath()).isDir())
    return QFileInfo(path).absolutePath();
  return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

bool hasDesignSuffix(const QString& path) {
  return QFileInfo(path).suffix().compare(design_file_EXT, Qt::CaseInsensitive) == 0;
}

// A picture object reloads its picture from its own path, but only from a
// regular file (never a device or a pipe named by a hostile file).
void reloadPictures(const SKTGraphicList& graphics) {
  for (const auto& graphic : graphics) {
    if (graphic->kind() != GraphicKind::Image) continue;
    auto* image = static_cast<SKTImage*>(graphic.get());
    const QString path = image->FilePath();
    if (isRegularPictureFile(path))
      image->setFilePath(path);
    else
      image->_contents = QImage();
  }
}

void insertSide(SKTDocument& document, CardSide side, const SKTGraphicList& graphics) {
  if (graphics.empty()) return;
  document.insertGraphics(side, graphics, indexRange(0, static_cast<int>(graphics.size())));
}

bool usesBackgroundPicture(const Card_Property& side) {
  return side.Card_fill_chk && side.Card_fill_style == QLatin1String("I");
}

}  // namespace

QString failedMessage(const QString& why) {
  return QStringLiteral("%1: %2").arg(kFailedMessage, platform::reasonAfterColon(why));
}

QString failedMessage(const QString& path, const QString& why) {
  const QString shown = QDir::toNativeSeparators(path);
  // The file is named once, before the reason ("existing file ... is not
  // writable" names it again).
  QString reason = platform::reasonAfterColon(why);
  reason.replace(QLatin1Char(' ') + shown, QString());
  return QStringLiteral("%1: \"%2\": %3").arg(kFailedMessage, shown, reason);
}

bool isRegularPictureFile(const QString& path) {
  const QString resolved = standardizedPicturePath(path);
  return !resolved.isEmpty() && QFileInfo(resolved).isFile();
}

QImage loadRegularPictureFile(const QString& path) {
  return isRegularPictureFile(path) ? loadPictureFile(path) : QImage();
}

QStringList missingPictures(DesignHost& host) {
  QStringList lines;
  for (const CardSide side : {CardSide::Front, CardSide::Back}) {
    const Card_Property& page = side == CardSide::Back ? host.backCardProperty() : host.frontCardProperty();
    const bool backgroundMissing = usesBackgroundPicture(page) && page.Card_BG_Image.isNull();
    lines << production::missingPictureLines(host.document().graphicsOfSide(side), side,
                                             backgroundMissing ? page.Card_BG_Image_Path : QString());
  }
  return lines;
}

int cardShapeCode(const QString& outline) {
  if (outline == QLatin1String("RR")) return 1;
  if (outline == QLatin1String("E")) return 2;
  return 0;
}

QString cardOutlineCode(int shape) {
  return shape == 0 ? QStringLiteral("R") : shape == 1 ? QStringLiteral("RR") : QStringLiteral("E");
}

QString designWindowTitle(const QString& appName, const QString& projectFileName) {
  if (!projectFileName.isEmpty() && QFileInfo::exists(projectFileName))
    return QStringLiteral("%1 ( %2 )").arg(appName, QFileInfo(projectFileName).fileName());
  return appName;
}

void Set_Log_Name_In_Title(DesignHost& host) {
  host.setWindowTitle(designWindowTitle(host.App_Name(), Project_File_Name));
}

Design currentDesign(DesignHost& host) {
  Design design;
  for (Card_Property* side : {&host.frontCardProperty(), &host.backCardProperty()})
    if (side->Card_fill_style != QLatin1String("I")) side->Card_BG_Image_Path = QStringLiteral("");
  design.front = host.frontCardProperty();
  design.back = host.backCardProperty();
  design.frontGraphics = host.document().graphics();
  design.backGraphics = host.document().graphics_back();
  design.excelBindingUse = host.excelBindingUse();
  design.excelSourcePath = host.excelSourcePath();
  design.columnTitles = host.dataSourceTable().columnTitles();
  design.rows = host.dataSourceTable().ListData();
  return design;
}

bool writeDesignFile(const QString& path, const Design& design, QString* why) {
  return writeDesignBytes(path, designFileBytes(design), why);
}

bool writeDesignBytes(const QString& path, const QByteArray& bytes, QString* why) {
  return saveWholeFile(path, bytes, why);
}

bool Save_project_file(DesignHost& host, bool save_as, bool show_msg) {
  try {
    const QString remembered = Project_File_Name;
    QString path = save_as ? QString() : Trim_Str(Project_File_Name);
    if (path.isEmpty()) {
      platform::FilePanelRequest request;
      request.title = QStringLiteral("Save");
      request.nameFilters = {QStringLiteral("Design (*.%1)").arg(design_file_EXT)};
      request.suggestedName = QStringLiteral("Untitled.%1").arg(design_file_EXT);
      // The folder of the open design, or the documents folder for a new one
      // (never the program's working folder).
      request.directory = proposedSaveFolder(remembered);
      QString chosen = platform::messageHost().savePanel(request);
      if (chosen.trimmed().isEmpty()) {
        Project_File_Name = remembered;
        return false;
      }
      host.bringToFront();
      if (!hasDesignSuffix(chosen)) {
        chosen += QLatin1Char('.') + design_file_EXT;
        // The panel asked about replacing the name as typed, not this one:
        // another design is never replaced without the person's word.
        if (QFileInfo::exists(chosen) &&
            !Show_YES_NO_MessageBox(kReplaceQuestion.arg(QFileInfo(chosen).fileName()))) {
          Project_File_Name = remembered;
          return false;
        }
      }
      path = chosen;
    }

    // Raises before anything is written; the design stays where it was.
    QByteArray bytes;
    try {
      bytes = designFileBytes(currentDesign(host));
    } catch (const DesignBuildError& e) {
      const QString reason = QString::fromUtf8(e.what());
      qCWarning(lcMainWindow).noquote() << reason;
      Show_MessageBox(QStringLiteral("%1 -- %2").arg(e.elements()).arg(reason));
      Project_File_Name = remembered;
      return false;
    } catch (const DesignRefusedError& e) {
      Show_MessageBox(QString::fromUtf8(e.what()));
      Project_File_Name = remembered;
      return false;
    }
    QString why;
    const bool written = writeDesignBytes(path, bytes, &why);
    // The design belongs to the file it was written to: a path whose save
    // failed is not taken, so a later Save asks again instead of writing there.
    Project_File_Name = written ? path : remembered;
    if (!written)
      qCWarning(lcMainWindow).noquote() << QStringLiteral("Design file not written to %1: %2").arg(path, why);
    // A failure is always reported, once, here; show_msg only asks for the
    // word of success and the title.
    if (!written) {
      Show_MessageBox(failedMessage(path, why));
    } else if (show_msg) {
      Show_MessageBox(kSavedMessage);
      // The title names a file only once the design is in it.
      Set_Log_Name_In_Title(host);
    }
    return written;
  } catch (const std::exception& e) {
    qCWarning(lcMainWindow).noquote() << QString::fromUtf8(e.what());
    Show_MessageBox(failedMessage(QString::fromUtf8(e.what())));
    return false;
  }
}

std::optional<Design> readDesignFile(const QString& path, QString* why, bool* unreadable,
                                     DesignFileFault* fault) {
  if (unreadable) *unreadable = false;
  QString reason;
  const std::optional<QByteArray> bytes = platform::readRegularFile(path, designFileLimits().bytes, &reason);
  if (!bytes) {
    if (why) *why = reason;
    if (unreadable) *unreadable = true;
    return std::nullopt;
  }
  DesignFileFault found;
  std::optional<Design> design = parseDesignFile(*bytes, &found);
  if (!design) {
    if (why) *why = faultText(found);
    if (fault) *fault = found;
  }
  return design;
}

QString corruptMessage(const DesignFileFault& fault) {
  QString why = fault.place.isEmpty() ? fault.reason : fault.place + QStringLiteral(": ") + fault.reason;
  if (why.isEmpty()) return kCorruptMessage;
  why[0] = why[0].toUpper();
  if (!why.endsWith(QLatin1Char('.'))) why += QLatin1Char('.');
  return kCorruptMessage + QStringLiteral("\n\n") + why;
}

QString tooManyPicturesMessage(const QString& path, const DesignFileFault& fault) {
  return PictureBudget::refusedMessage(
      QStringLiteral("The design \"%1\" cannot be opened").arg(QDir::toNativeSeparators(path)), fault.reason);
}

void applyDesign(DesignHost& host, Design design, const QString& path, const QString& log_or_template) {
  SKTDocument& document = host.document();
  UndoRegistrationOff noUndo(document);

  host.resetForLoading();
  document.setGraphicsOfSide(CardSide::Front, {});
  document.setGraphicsOfSide(CardSide::Back, {});
  Project_File_Name = log_or_template == QLatin1String("L") ? path : QString();

  {
    ScopedNotDrawOnlyPropChange loading;
    host.frontCardProperty() = design.front;
    const QSizeF size = design.front.Card_Size;
    if (size.width() > 0.0 && size.height() > 0.0) host.setCardSize(size);
    host.backCardProperty() = design.back;
    host.setExcelBinding(design.excelBindingUse);
    host.setExcelSourcePath(design.excelSourcePath);
    host.dataSourceTable().replaceContents(design.columnTitles, design.rows);

    reloadPictures(design.frontGraphics);
    reloadPictures(design.backGraphics);
    insertSide(document, CardSide::Front, design.frontGraphics);
    insertSide(document, CardSide::Back, design.backGraphics);
    Set_Log_Name_In_Title(host);
  }
  host.showCardProperties();

  const Card_Property& back = host.backCardProperty();
  if (usesBackgroundPicture(back)) host.setBackgroundImage(CardSide::Back, back.Card_BG_Image_Path);
  const Card_Property& front = host.frontCardProperty();
  if (usesBackgroundPicture(front)) host.setBackgroundImage(CardSide::Front, front.Card_BG_Image_Path);
  Card_Shape = cardShapeCode(front.Card_Shape);
  host.finishLoading();
}

int Read_and_load_design_Log(DesignHost& host, const QString& path, const QString& log_or_template) {
  QString why;
  bool unreadable = false;
  DesignFileFault fault;
  std::optional<Design> design = readDesignFile(path, &why, &unreadable, &fault);
  if (!design) {
    qCWarning(lcMainWindow).noquote() << QStringLiteral("Design file %1 not opened: %2").arg(path, why);
    if (unreadable)
      Show_MessageBox(platform::unreadableFileMessage(path, why));
    else if (fault.kind == DesignFileFault::Kind::TooManyPictures)
      Show_MessageBox(tooManyPicturesMessage(path, fault));
    else
      Show_MessageBox(corruptMessage(fault));
    return 0;
  }
  try {
    applyDesign(host, std::move(*design), path, log_or_template);
  } catch (const std::exception& e) {
    qCWarning(lcMainWindow).noquote() << QString::fromUtf8(e.what());
    return 0;
  }
  return 1;
}

int Open_Log_File(DesignHost& host) {
  platform::FilePanelRequest request;
  request.title = QStringLiteral("Open");
  request.nameFilters = {QStringLiteral("Design (*.%1)").arg(design_file_EXT)};
  const QStringList chosen = platform::messageHost().openPanel(request);
  if (chosen.isEmpty() || chosen.front().isEmpty()) return 0;
  return Read_and_load_design_Log(host, chosen.front(), QStringLiteral("L"));
}

}  // namespace designfile
