// Personalisation through the real main window: the start window at
// start-up, the first card the wizard lays out, the card size dialog, a
// template exported and opened again, and profile fields from data series
// on the cards of a run.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTest>
#include <QUndoStack>

#include "WindowTestSupport.h"
#include "core/SKTText.h"
#include "core/render/SKTRenderingView.h"
#include "data/DataSourceTable.h"
#include "data/SpreadsheetWriter.h"
#include "data/dialogs/Import_Excel.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/designfile/DesignFile.h"
#include "mainwindow/designfile/PlainDesignHost.h"
#include "mainwindow/globals.h"
#include "mainwindow/panels/CardSettingsTab.h"
#include "mainwindow/panels/DataSourceTab.h"
#include "mainwindow/panels/TextEditingTab.h"
#include "personalisation/Card_Wizard.h"
#include "personalisation/Export_Template.h"
#include "personalisation/Invitation_Wizard.h"
#include "personalisation/ProfileDialog.h"
#include "personalisation/Template_Wizard.h"
#include "platform/widgets/PictureBrowser.h"
#include "production/CardExport.h"
#include "production/ExportWindow.h"
#include "support/ModalDismissal.h"
#include "support/ScriptedHost.h"
#include "support/TestFiles.h"

namespace {

class StartWindowShown {
 public:
  StartWindowShown() { SKTWindowController::setStartWindowShown(true); }
  ~StartWindowShown() { SKTWindowController::setStartWindowShown(false); }
};

QStringList controlIDs(const SKTGraphicList& list) {
  QStringList ids;
  for (const SKTGraphicPtr& g : list) ids << g->control_ID;
  return ids;
}

}  // namespace

class PersonalisationWindow : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  QString resources = window_test::useSeededResources(dir);
  testing_support::ScriptedHost host;
};

TEST_F(PersonalisationWindow, ExitOnTheStartScreenEndsWithStatusZeroAndNoSaveQuestion) {
  StartWindowShown shown;
  Invitation_Wizard& wizard = Invitation_Wizard::defaultInstance();
  host.queueModal([&](QDialog& dialog) {
    EXPECT_EQ(&dialog, &wizard);
    EXPECT_EQ(wizard.faces->currentIndex(), 0);
    wizard.Exit_btn->click();
    return wizard.result();
  });
  SKTWindowController window;
  EXPECT_TRUE(window.exitRequested());
  EXPECT_EQ(host.exitStatuses(), QList<int>{0});
  EXPECT_TRUE(host.questions().isEmpty());
}

TEST_F(PersonalisationWindow, TheWizardLaysOutTheFirstCardOnTheFront) {
  StartWindowShown shown;
  Invitation_Wizard& wizard = Invitation_Wizard::defaultInstance();
  host.queueModal([&](QDialog&) {
    wizard.wizard_btn->click();
    wizard.width_Stepper->setValue(90);
    wizard.height_Stepper->setValue(60);
    wizard.Next_btn->click();
    EXPECT_GE(wizard.imageBrowser->pictureModel()->rowCount(), 2);  // the shipped backgrounds
    wizard.Next_btn->click();
    EXPECT_FALSE(wizard.msg_title->text().isEmpty());  // the shipped stock texts
    wizard.title_nxt_btn->click();
    wizard.to_value->setText("Robin");
    wizard.Next_btn->click();
    wizard.from_value->setText("Kai");
    wizard.Next_btn->click();
    return wizard.result();
  });
  SKTWindowController window;
  EXPECT_FALSE(window.exitRequested());
  EXPECT_TRUE(host.exitStatuses().isEmpty());
  const SKTGraphicList& front = window.document()->graphics();
  EXPECT_EQ(controlIDs(front), QStringList({"PARTY_FROM", "PARTY_MSG", "PARTY_TO", "PARTY_TITLE"}));
  EXPECT_EQ(front[2]->Text_Value, "Dear Robin,");
  EXPECT_EQ(front[0]->Text_Value, "From:\nKai");
  EXPECT_TRUE(window.document()->graphics_back().empty());
  EXPECT_FLOAT_EQ(window.frontCanvasBounds().width(), 255.11812f);
  EXPECT_FLOAT_EQ(window.frontCanvasBounds().height(), 170.07874f);
  // A card shorter than the usual places still shows every text whole: on
  // the card, and (the message aside, which may run long) in a box with room
  // for its lines.
  for (const SKTGraphicPtr& text : front) {
    EXPECT_TRUE(window.frontCanvasBounds().contains(text->bounds())) << text->control_ID.toStdString();
    if (text->control_ID != "PARTY_MSG") {
      EXPECT_LE(static_cast<SKTText&>(*text).naturalSize().height(), text->bounds().height())
          << text->control_ID.toStdString();
    }
  }
  EXPECT_EQ(window.Front_card_Prop.Card_fill_style, "I");
  EXPECT_EQ(window.Front_card_Prop.Card_BG_Image_Path, wizard.selected_image);
  EXPECT_FALSE(window.Front_card_Prop.Card_BG_Image.isNull());
  EXPECT_EQ(window.cardSettingsTab()->width_Text->text(), "90");
  EXPECT_FALSE(window.document()->undoStack()->canUndo());  // the first card is no step to undo
}

// A name that needs two lines on a credit-card sized card: its box gets both
// lines, the texts below make room, and nothing on the card is cut.
TEST_F(PersonalisationWindow, TheWizardGivesALongNameTheLinesItNeeds) {
  StartWindowShown shown;
  Invitation_Wizard& wizard = Invitation_Wizard::defaultInstance();
  host.queueModal([&](QDialog&) {
    wizard.wizard_btn->click();
    wizard.width_Stepper->setValue(85.6);
    wizard.height_Stepper->setValue(54);
    wizard.Next_btn->click();
    wizard.Next_btn->click();
    wizard.msg_title->setText("Happy Birthday!");
    wizard.msg_value->setPlainText("See you on Saturday.");
    wizard.Next_btn->click();
    wizard.to_value->setText("Alexandra Whitfield-Baker");
    wizard.from_value->setText("Kai");
    wizard.Next_btn->click();
    return wizard.result();
  });
  SKTWindowController window;
  EXPECT_TRUE(host.messages().isEmpty()) << host.messages().join('|').toStdString();
  const SKTGraphicList& front = window.document()->graphics();
  ASSERT_EQ(controlIDs(front), QStringList({"PARTY_FROM", "PARTY_MSG", "PARTY_TO", "PARTY_TITLE"}));
  EXPECT_EQ(front[2]->Text_Value, "Dear Alexandra Whitfield-Baker,");
  const auto& to = static_cast<SKTText&>(*front[2]);
  EXPECT_GT(to.naturalSize().height(), 20);  // two lines
  for (qsizetype i = front.size() - 1; i >= 0; --i) {
    const auto& text = static_cast<SKTText&>(*front[i]);
    EXPECT_FALSE(text.isContentsCut()) << text.control_ID.toStdString();
    EXPECT_TRUE(window.frontCanvasBounds().contains(text.bounds())) << text.control_ID.toStdString();
    if (i > 0) {
      EXPECT_LE(text.bounds().bottom(), front[i - 1]->bounds().top()) << text.control_ID.toStdString();
    }
  }
}

// With Snap to Grid on, the texts of a new card from the wizard go on the
// grid's lines where the card has room for that, each in a box with room for
// all its lines; on a credit-card sized card they keep the places that give
// them that room. Either way every text lies whole on the card, none over
// another.
TEST_F(PersonalisationWindow, WithSnapToGridTheWizardTextsKeepTheirLines) {
  SKTWindowController window;
  window.toggleGridConstraining();
  ASSERT_TRUE(window.grid()->isConstraining());
  const double s = window.grid()->spacing();
  StartWindowShown shown;
  Invitation_Wizard& wizard = Invitation_Wizard::defaultInstance();
  const struct {
    QSizeF mm;
    QString message;
    bool onGrid;
  } cards[] = {
      {{85.6, 54},
       "Come and celebrate with us on Saturday afternoon in the garden. There will be cake and music.",
       false},
      {{100, 100},
       "Come and celebrate with us on Saturday afternoon in the garden. There will be cake, music and "
       "games for everyone, and we would love to see you there with the whole family. Please tell us "
       "by Friday if you can come.",
       true}};
  for (const auto& card : cards) {
    host.queueYesNo(false);  // nothing to save
    host.queueModal([&](QDialog&) {
      wizard.wizard_btn->click();
      wizard.width_Stepper->setValue(card.mm.width());
      wizard.height_Stepper->setValue(card.mm.height());
      wizard.Next_btn->click();
      wizard.Next_btn->click();
      wizard.msg_title->setText("Happy Birthday!");
      wizard.msg_value->setPlainText(card.message);
      wizard.Next_btn->click();
      wizard.to_value->setText("Alexandra Whitfield-Baker");
      wizard.from_value->setText("Kai");
      wizard.Next_btn->click();
      return wizard.result();
    });
    window.New_Btn_Clicked();
    EXPECT_TRUE(host.messages().isEmpty()) << host.messages().join('|').toStdString();
    const SKTGraphicList& front = window.document()->graphics();
    ASSERT_EQ(controlIDs(front), QStringList({"PARTY_FROM", "PARTY_MSG", "PARTY_TO", "PARTY_TITLE"}));
    for (qsizetype i = front.size() - 1; i >= 0; --i) {
      const auto& text = static_cast<SKTText&>(*front[i]);
      const QRectF b = text.bounds();
      const std::string id = text.control_ID.toStdString();
      EXPECT_FALSE(text.isContentsCut()) << id;
      EXPECT_TRUE(window.frontCanvasBounds().contains(b)) << id;
      if (i > 0) EXPECT_LE(b.bottom(), front[i - 1]->bounds().top()) << id;
      if (card.onGrid) {
        for (double edge : {b.left(), b.top(), b.right(), b.bottom()})
          EXPECT_EQ(std::remainder(edge, s), 0) << id;
      }
    }
  }
}

// A text that cannot have its lines on the card is named before any card is
// made, the one that takes the room (not a short one below it); the wizard
// stays where it is, so that the text can be changed.
TEST_F(PersonalisationWindow, TheWizardNamesATextWithoutRoomBeforeMakingTheCard) {
  StartWindowShown shown;
  Invitation_Wizard& wizard = Invitation_Wizard::defaultInstance();
  const QString without =
      "\nThe %1 does not fit on a card of this size. Please shorten it or the other texts, "
      "or go back and choose a larger card.";
  host.queueModal([&](QDialog&) {
    wizard.wizard_btn->click();
    wizard.width_Stepper->setValue(60);
    wizard.height_Stepper->setValue(45);
    wizard.Next_btn->click();
    wizard.Next_btn->click();
    wizard.msg_title->setText("Happy Birthday!");
    wizard.msg_value->setPlainText(QString("Many happy returns of the day! ").repeated(8));
    wizard.Next_btn->click();
    EXPECT_EQ(host.messages().join('|').toStdString(), without.arg("message").toStdString());
    EXPECT_EQ(wizard.next_counter, 3);
    EXPECT_EQ(wizard.focusWidget(), wizard.msg_value);
    wizard.msg_value->setPlainText("See you soon.");
    wizard.Next_btn->click();
    EXPECT_EQ(wizard.next_counter, 4);
    wizard.to_value->setText("Robin");
    wizard.from_value->setText("Alexandra, Benedict, Charlotte and Dominic");
    wizard.Next_btn->click();
    EXPECT_EQ(host.messages().value(1).toStdString(), without.arg("sender (From)").toStdString());
    EXPECT_EQ(wizard.next_counter, 4);
    EXPECT_EQ(wizard.focusWidget(), wizard.from_value);
    EXPECT_NE(wizard.result(), 1);
    wizard.from_value->setText("Kai");
    wizard.to_value->setText("Maximilian Alexander von Hohenzollern-Sig");
    wizard.Next_btn->click();
    EXPECT_EQ(host.messages().value(2).toStdString(), without.arg("recipient (To)").toStdString());
    EXPECT_EQ(wizard.focusWidget(), wizard.to_value);
    wizard.to_value->setText("Robin");
    wizard.Next_btn->click();
    return wizard.result();
  });
  SKTWindowController window;
  EXPECT_EQ(host.messages().size(), 3) << host.messages().join('|').toStdString();
  const SKTGraphicList& front = window.document()->graphics();
  EXPECT_EQ(controlIDs(front), QStringList({"PARTY_FROM", "PARTY_MSG", "PARTY_TO", "PARTY_TITLE"}));
  for (const SKTGraphicPtr& text : front)
    EXPECT_FALSE(static_cast<SKTText&>(*text).isContentsCut()) << text->control_ID.toStdString();
}

TEST_F(PersonalisationWindow, CardSizePresetsOrientationAndOkResizeTheCard) {
  SKTWindowController window;
  Card_Wizard& sizes = Card_Wizard::defaultInstance();
  auto shown = [&] { return QSizeF(sizes.width_Stepper->value(), sizes.height_Stepper->value()); };
  host.queueModal([&](QDialog&) {
    EXPECT_EQ(shown(), QSizeF(85.598, 54.102));
    sizes.Preset_ComboBox->setCurrentText("Vertical");
    EXPECT_EQ(shown(), QSizeF(54.102, 85.598));
    sizes.Category_ComboBox->setCurrentIndex(1);
    sizes.ColList->setCurrentRow(5);
    EXPECT_EQ(shown(), QSizeF(89.916, 59.944));
    sizes.ColList->setCurrentRow(7);
    EXPECT_EQ(shown(), QSizeF(125.984, 150.114));
    sizes.width_Stepper->setValue(100);
    sizes.height_Stepper->setValue(50);
    sizes.shape_rows[2]->click();
    sizes.ok_btn->click();
    return sizes.result();
  });
  EXPECT_EQ(sizes.Open_Wnd(), 1);
  EXPECT_FLOAT_EQ(window.frontCanvasBounds().width(), 283.46457f);
  EXPECT_FLOAT_EQ(window.frontCanvasBounds().height(), 141.73228f);
  EXPECT_EQ(window.graphicView_BACK()->documentSize(), window.frontCanvasBounds().size());
  EXPECT_EQ(window.Front_card_Prop.Card_Shape, "E");
  EXPECT_EQ(window.Back_card_Prop.Card_Size, window.frontCanvasBounds().size());
  EXPECT_EQ(window.cardSettingsTab()->width_Text->text(), "100");
  EXPECT_TRUE(window.cardSettingsTab()->matrix_card_shape->button(2)->isChecked());

  // Cancel puts back the outline the card had, whatever was clicked.
  host.queueModal([&](QDialog&) {
    EXPECT_TRUE(sizes.shape_rows[2]->isChecked());  // the card's outline
    sizes.shape_rows[1]->click();
    sizes.cancel_btn->click();
    return sizes.result();
  });
  EXPECT_EQ(sizes.Open_Wnd(), 0);
  EXPECT_EQ(Card_Shape.load(), 2);
  EXPECT_FLOAT_EQ(window.frontCanvasBounds().width(), 283.46457f);
}

TEST_F(PersonalisationWindow, ATemplateIsExportedWholeAndOpensAgain) {
  SKTWindowController window;
  window.Front_card_Prop.Card_fill_chk = true;
  window.Front_card_Prop.Card_fill_style = "S";
  window.Front_card_Prop.Card_fill_clr = QColor(200, 0, 0);
  window.Back_card_Prop.Card_fill_chk = true;
  window.Back_card_Prop.Card_fill_style = "S";
  window.Back_card_Prop.Card_fill_clr = QColor(0, 0, 200);
  window.setSelectedControlTool(DrawingTool::Text);
  window.graphicView()->createGraphicOfClass(GraphicKind::Text, nullptr, true, QRectF(20, 20, 120, 24), "F",
                                             "Keep me", "PARTY_TITLE");
  Export_Template& panel = Export_Template::defaultInstance();
  auto nameIt = [&](const QString& typed, bool thenCancel) {
    host.queueModal([&panel, typed, thenCancel](QDialog&) {
      panel.template_name->setText(typed);
      panel.ok_btn->click();
      if (thenCancel && panel.result() != 1) panel.cancel_btn->click();
      return panel.result();
    });
  };
  nameIt("  ?Party? ", false);
  window.Export_As_Template_Clicked();
  const QString design = resources + "/Templates/User/Party.dcard";
  const QString picture = resources + "/Templates/User/Party.png";
  EXPECT_EQ(host.messages().last(), "\nTemplate exported successfully.");
  EXPECT_EQ(testing_support::readFile(design).left(5), "<?xml");
  EXPECT_EQ(testing_support::runPython("import plistlib,sys\n"
                                       "d=plistlib.load(open(sys.argv[1],'rb'))\n"
                                       "print(d[0])\n",
                                       {design})
                .trimmed(),
            "QUVOCARDDESIGNLOGFILE");
  QImage preview(picture);
  ASSERT_FALSE(preview.isNull());
  const QSizeF card = window.frontCanvasBounds().size();
  EXPECT_EQ(preview.size(), QSize(qRound(card.width()), 2 * qRound(card.height())));
  EXPECT_EQ(preview.pixelColor(5, preview.height() / 4 + 30), QColor(200, 0, 0));
  EXPECT_EQ(preview.pixelColor(5, preview.height() * 3 / 4), QColor(0, 0, 200));
  const QByteArray before = testing_support::readFile(design);

  // The same name again: No keeps the panel (and the files); Cancel leaves.
  host.queueYesNo(false);
  nameIt("Party", true);
  window.Export_As_Template_Clicked();
  EXPECT_EQ(host.questions().last(),
            "Template with this name already exists, Do you want to replace the existing template?");
  EXPECT_EQ(testing_support::readFile(design), before);

  // Opened from the browser's own category, the design comes back untitled.
  window.New_Project_Setting_Reset();
  ASSERT_TRUE(window.document()->graphics().empty());
  Template_Wizard& browser = Template_Wizard::defaultInstance();
  host.queueModal([&](QDialog&) {
    browser.cat_cmbo_bx->setCurrentIndex(1);
    EXPECT_EQ(browser.imageBrowser->pictureModel()->rowCount(), 1);
    browser.ok_btn->click();
    return browser.result();
  });
  window.Template_Browser_Clicked();
  ASSERT_EQ(window.document()->graphics().size(), 1u);
  EXPECT_EQ(window.document()->graphics()[0]->Text_Value, "Keep me");
  EXPECT_EQ(window.Front_card_Prop.Card_fill_clr, QColor(200, 0, 0));
  EXPECT_TRUE(Project_File_Name.isEmpty());
}

TEST_F(PersonalisationWindow, AnExportThatCannotReplaceBothFilesLeavesTheOldTemplateWhole) {
  SKTWindowController window;
  const QString user = resources + "/Templates/User";
  const QString design = user + "/Fail.dcard";
  const QString picture = user + "/Fail.png";
  ASSERT_TRUE(testing_support::writeFile(design, "old design"));
  ASSERT_TRUE(QDir(picture).mkpath("inside"));  // the picture's place is taken by a folder
  Export_Template& panel = Export_Template::defaultInstance();
  const auto saveAsFail = [&] {
    host.queueYesNo(true);  // replace the existing template
    host.queueModal([&panel](QDialog&) {
      panel.template_name->setText("Fail");
      panel.ok_btn->click();
      return panel.result();
    });
    window.Export_As_Template_Clicked();
  };
  saveAsFail();
  EXPECT_EQ(host.messages().last(), "\nThe template could not be written.");
  EXPECT_EQ(testing_support::readFile(design), "old design");
  EXPECT_TRUE(QFileInfo(picture + "/inside").isDir());
  // Nothing is left over: no new file, no copy of the old one.
  EXPECT_EQ(QDir(user).entryList(QDir::Files | QDir::Hidden), QStringList{"Fail.dcard"});

  // Once the place is free, both files are replaced.
  ASSERT_TRUE(QDir(picture).removeRecursively());
  ASSERT_TRUE(testing_support::writeFile(picture, "old picture"));
  saveAsFail();
  EXPECT_EQ(host.messages().last(), "\nTemplate exported successfully.");
  EXPECT_EQ(testing_support::readFile(design).left(5), "<?xml");
  EXPECT_FALSE(QImage(picture).isNull());
  EXPECT_EQ(QDir(user).entryList(QDir::Files | QDir::Hidden), QStringList({"Fail.dcard", "Fail.png"}));

  // A design that could not be opened again (beyond a lowered limit) is no
  // template: the message says why, and the template stays as it was.
  const QByteArray kept = testing_support::readFile(design);
  const QByteArray keptPicture = testing_support::readFile(picture);
  Design_File_Byte_Limit = kept.size() - 1;
  saveAsFail();
  Design_File_Byte_Limit = designfile::kMaxDesignFileBytes;
  EXPECT_TRUE(host.messages().last().startsWith("\nThe design was not saved: its file would take "));
  EXPECT_EQ(testing_support::readFile(design), kept);
  EXPECT_EQ(testing_support::readFile(picture), keptPicture);
  EXPECT_EQ(QDir(user).entryList(QDir::Files | QDir::Hidden), QStringList({"Fail.dcard", "Fail.png"}));
}

TEST_F(PersonalisationWindow, ATemplateReplacesTheDesignOnlyOnceTheUserCouldKeepIt) {
  SKTWindowController window;
  window.setSelectedControlTool(DrawingTool::Text);
  window.graphicView()->createGraphicOfClass(GraphicKind::Text, nullptr, true, QRectF(20, 20, 120, 24), "F",
                                             "My own card", "");
  Template_Wizard& browser = Template_Wizard::defaultInstance();
  const auto chooseFirstTemplate = [&] {
    host.queueModal([&](QDialog&) {
      browser.cat_cmbo_bx->setCurrentIndex(0);
      browser.ok_btn->click();
      return browser.result();
    });
  };
  const auto frontTexts = [&] {
    QStringList texts;
    for (const SKTGraphicPtr& g : window.document()->graphics()) texts << g->Text_Value;
    return texts;
  };

  // Yes, but the save panel is cancelled: the design stays as it was.
  chooseFirstTemplate();
  host.queueYesNo(true);
  host.queueSavePanel(QString());
  window.Template_Browser_Clicked();
  EXPECT_EQ(host.questions(), QStringList{"Do you want to save changes before opening document?"});
  EXPECT_EQ(frontTexts(), QStringList{"My own card"});

  // Yes and a file: the design is written there, then the template opens untitled.
  const QString kept = dir.filePath("Mine.dcard");
  chooseFirstTemplate();
  host.queueYesNo(true);
  host.queueSavePanel(kept);
  window.Template_Browser_Clicked();
  EXPECT_TRUE(controlIDs(window.document()->graphics()).contains("PARTY_TITLE"));
  EXPECT_TRUE(Project_File_Name.isEmpty());
  ASSERT_EQ(window.Read_and_load_design_Log(kept, QStringLiteral("L")), 1);
  EXPECT_EQ(frontTexts(), QStringList{"My own card"});
}

TEST_F(PersonalisationWindow, TheProfileButtonFillsTheSideAndTheTabsFollowWhatItSelected) {
  SKTWindowController window;
  Show_User_Profile& dialog = Show_User_Profile::defaultInstance();
  const auto unbind = qScopeGuard([] {
    Data_From_Excel_Table().replaceContents({"No."}, {});
    Excel_Binding_Use = false;
  });
  // A workbook browsed, then Cancel: the design is not bound to it, and the
  // data-source tab offers no "Excel"; OK binds it.
  const auto browsed = [] {
    Data_From_Excel_Table().replaceContents({"No.", "Name"}, {{{"Extension", "1"}, {"Column1", "Ada"}}});
  };
  host.queueModal([&](QDialog&) {
    browsed();
    dialog.cancel_btn->click();
    return dialog.result();
  });
  window.User_Profile_Button_Clicked();
  EXPECT_FALSE(Data_From_Excel_Table().hasRows());
  window.toolAction(DrawingTool::Text)->trigger();
  EXPECT_EQ(window.dataSourceTab()->Data_source_type->count(), 2);
  window.toolAction(DrawingTool::Rectangle)->trigger();
  ASSERT_NE(window.settingsTabs()->tabText(0), "Text");
  host.queueModal([&](QDialog&) {
    browsed();
    dialog.rows[0].value->setText(QStringLiteral("Jane Doe"));
    dialog.ok_btn->click();
    return dialog.result();
  });
  window.User_Profile_Button_Clicked();
  const SKTGraphicPtr name = window.graphicView()->Selcect_Ctrl_With_ID(QStringLiteral("Fup_Name"));
  ASSERT_TRUE(name);
  EXPECT_EQ(name->Text_Value, "Jane Doe");
  // The tabs show the object the fill left selected, and typing there changes it.
  ASSERT_EQ(window.graphicView()->selectedGraphics(), SKTGraphicList{name});
  EXPECT_EQ(window.settingsTabs()->tabText(0), "Text");
  EXPECT_EQ(window.textEditingTab()->Text_value_Edit->toPlainText(), "Jane Doe");
  window.textEditingTab()->Text_value_Edit->setPlainText(QStringLiteral("Dr Jane Doe"));
  EXPECT_EQ(name->Text_contents()->string, "Dr Jane Doe");
  EXPECT_EQ(window.dataSourceTab()->Data_source_type->itemText(2), "Excel");
}

// A design bound to a workbook keeps it when another workbook was browsed in
// the profile window and the window was left without OK (Cancel, Escape, the
// close button): the table, the workbook the saved design names, and the card;
// and through the OK of the window for both sides, which shows it.
TEST_F(PersonalisationWindow, LeavingTheProfileWindowWithoutOkKeepsTheDesignsWorkbook) {
  const auto unbind = qScopeGuard([] {
    Data_From_Excel_Table().replaceContents({"No."}, {});
    Excel_Binding_Use = false;
    Excel_Source_Path.clear();
    Project_File_Name.clear();
  });
  const QString guests = dir.filePath("guests.xlsx");
  const QString other = dir.filePath("other.xlsx");
  ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(guests, {{"Name"}, {"Ada Lovelace"}, {"Alan Turing"}}, true));
  ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(other, {{"City", "Name"}, {"Oslo", "Zed"}}, true));
  SKTWindowController window;
  Show_User_Profile& dialog = Show_User_Profile::defaultInstance();
  const auto browse = [&](const QString& workbook, ProfileDialog& in) {
    host.queueOpenPanel({workbook});
    host.queueModal([](QDialog& columns) {
      auto& picker = static_cast<Import_Excel&>(columns);
      picker.Select_ALL_Pressed();
      picker.OKPressed();
      return picker.result();
    });
    in.excel_browse_btn->click();
  };
  host.queueModal([&](QDialog&) {
    browse(guests, dialog);
    dialog.rows[0].ds_combo->setCurrentIndex(2);
    dialog.rows[0].ser_col_cb->setCurrentIndex(1);
    dialog.ok_btn->click();
    return dialog.result();
  });
  window.User_Profile_Button_Clicked();
  const SKTGraphicPtr name = window.graphicView()->Selcect_Ctrl_With_ID(QStringLiteral("Fup_Name"));
  ASSERT_TRUE(name);
  ASSERT_EQ(name->Text_Value, "Ada Lovelace");
  const DataSourceTable& table = Data_From_Excel_Table();
  const QStringList titles = table.columnTitles();
  const QList<DataSourceRow> rows = table.ListData();
  ASSERT_EQ(rows.size(), 2);
  ASSERT_EQ(Excel_Source_Path, guests);

  using testing_support::Dismissal;
  for (const std::optional<Dismissal> how : {std::optional<Dismissal>(), std::optional(Dismissal::Escape),
                                             std::optional(Dismissal::CloseButton)}) {
    SCOPED_TRACE(how ? testing_support::dismissalName(*how) : "Cancel");
    host.queueModal([&](QDialog&) {
      browse(other, dialog);
      EXPECT_EQ(table.value(0, 2), "Zed");
      EXPECT_EQ(dialog.excel_path_field->text(), other);
      dialog.show();
      if (!how)
        dialog.cancel_btn->click();
      else if (*how == Dismissal::Escape)
        QTest::keyClick(&dialog, Qt::Key_Escape);
      else
        dialog.close();
      EXPECT_FALSE(dialog.isVisible());
      return dialog.result();
    });
    window.User_Profile_Button_Clicked();
    EXPECT_EQ(table.columnTitles(), titles);
    EXPECT_EQ(table.ListData(), rows);
    EXPECT_EQ(Excel_Source_Path, guests);
    EXPECT_TRUE(Excel_Binding_Use.load());
    EXPECT_EQ(name->Text_Value, "Ada Lovelace");
    EXPECT_EQ(name->excel_col_indx, 1);
  }
  // The window for both sides (Card Size > User Profile) shows the design's
  // workbook from its first opening on, and its OK keeps it, also with the
  // path field emptied by hand; so does an OK after a cancelled run.
  ProfileDialog& general = User_profile::defaultInstance();
  QString shown;
  host.queueModal([](QDialog& sizes) {
    static_cast<Card_Wizard&>(sizes).profile_btn->click();
    return 0;
  });
  host.queueModal([&](QDialog&) {
    shown = general.excel_path_field->text();
    general.excel_path_field->clear();
    general.ok_btn->click();
    return general.result();
  });
  window.Card_Size_Clicked();
  EXPECT_EQ(shown, guests);
  EXPECT_EQ(Excel_Source_Path, guests);
  for (const bool ok : {false, true}) {
    host.queueModal([&](QDialog&) {
      if (!ok) browse(other, general);
      (ok ? general.ok_btn : general.cancel_btn)->click();
      return general.result();
    });
    EXPECT_EQ(Run_Profile_Dialog(QString(), false), ok ? 1 : 0);
  }
  EXPECT_EQ(Excel_Source_Path, guests);
  EXPECT_EQ(table.ListData(), rows);
  const QString saved = dir.filePath("bound.dcard");
  host.queueSavePanel(saved);
  ASSERT_TRUE(window.Save_project_file(false, false));
  designfile::PlainDesignHost reread;
  ASSERT_EQ(designfile::Read_and_load_design_Log(reread, saved, QStringLiteral("L")), 1);
  EXPECT_EQ(reread.excelSourcePath(), guests);
  EXPECT_EQ(reread.dataSourceTable().ListData(), rows);
}

// Profile fields taken from data series show what card 1 of a run shows: the
// dialog's values, its preview and the card after OK hold each series' first
// value read and trimmed as the run fills it (here from a file with CR LF line
// ends and blanks before its first value), and a field whose series starts
// with an empty value still gets its object, bound, empty on card 1 and
// carrying the second value on card 2.
TEST_F(PersonalisationWindow, ProfileFieldsFromSeriesShowWhatCardOneShows) {
  ASSERT_TRUE(QDir().mkpath(Data_Folder_Path()));
  testing_support::writeFile(Data_Folder_Path() + "/Names.txt", "  Ada Lovelace\r\nBob\r\n");
  testing_support::writeFile(Data_Folder_Path() + "/Titles.txt", "\nDr.\n");
  SKTWindowController window;
  Show_User_Profile& dialog = Show_User_Profile::defaultInstance();
  QStringList values;
  QImage preview;
  host.queueModal([&](QDialog&) {
    const auto choose = [&](int row, const QString& series) {
      dialog.rows[row].ds_combo->setCurrentIndex(1);
      dialog.rows[row].ser_col_cb->setCurrentIndex(dialog.rows[row].ser_col_cb->findText(series));
      values << dialog.rows[row].value->text();
    };
    choose(0, QStringLiteral("Names"));
    choose(1, QStringLiteral("Titles"));
    dialog.preview_btn->click();
    preview = dialog.previewImage;
    dialog.ok_btn->click();
    return dialog.result();
  });
  window.User_Profile_Button_Clicked();
  EXPECT_EQ(values, QStringList({"Ada Lovelace", ""}));
  const SKTGraphicPtr name = window.graphicView()->Selcect_Ctrl_With_ID(QStringLiteral("Fup_Name"));
  const SKTGraphicPtr title = window.graphicView()->Selcect_Ctrl_With_ID(QStringLiteral("Fup_Title"));
  ASSERT_TRUE(name && title);
  EXPECT_EQ(name->Text_contents()->string, "Ada Lovelace");
  EXPECT_EQ(title->Text_contents()->string, "");
  EXPECT_TRUE(title->ctrl_is_visible);
  EXPECT_EQ(title->data_source_type, 1);
  EXPECT_EQ(title->batch_list_name, "Titles");
  const auto front = [&] {
    return SKTRenderingView::image_From_Card_Graphics(window.document()->graphics(), false);
  };
  const QImage canvas = front();
  EXPECT_EQ(preview.convertToFormat(canvas.format()), canvas);

  window_test::exportEveryRow(window, host, dir.path());
  const QString cards = dir.path() + "/QUVO Gratulo/";
  EXPECT_EQ(QDir(cards).entryList(QDir::Files, QDir::Name), QStringList({"Card_1.PNG", "Card_2.PNG"}));
  EXPECT_EQ(QImage(cards + "Card_1.PNG").convertToFormat(canvas.format()), canvas);
  // Card 2 is the design with the second value of each series.
  name->Text_contents()->string = QStringLiteral("Bob");
  title->Text_contents()->string = QStringLiteral("Dr.");
  const QImage second = front();
  EXPECT_EQ(QImage(cards + "Card_2.PNG").convertToFormat(second.format()), second);
  EXPECT_EQ(host.messages(), QStringList());
}

TEST_F(PersonalisationWindow, EveryShippedTemplateOpens) {
  SKTWindowController window;
  Template_Wizard& browser = Template_Wizard::defaultInstance();
  for (int row = 0;; ++row) {
    int count = 0;
    host.queueModal([&](QDialog&) {
      PictureItemModel* model = browser.imageBrowser->pictureModel();
      count = model->rowCount();
      if (row < count) browser.imageBrowser->setCurrentIndex(model->index(row));
      browser.ok_btn->click();
      return browser.result();
    });
    window.New_Project_Setting_Reset();
    window.Template_Browser_Clicked();
    if (row >= count) break;
    EXPECT_TRUE(window.document()->graphicsOfSide(CardSide::Front).size() >= 2) << row;
    EXPECT_TRUE(controlIDs(window.document()->graphics()).contains("PARTY_TITLE")) << row;
    // The card tab shows the outline the card is drawn with (the round badge is an ellipse).
    EXPECT_EQ(window.cardSettingsTab()->matrix_card_shape->checkedId(), Card_Shape.load()) << row;
    EXPECT_EQ(Card_Shape.load(), designfile::cardShapeCode(window.Front_card_Prop.Card_Shape)) << row;
  }
  EXPECT_TRUE(host.messages().isEmpty());
}
