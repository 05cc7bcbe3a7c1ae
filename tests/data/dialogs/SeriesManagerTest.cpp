// The series manager end to end: opening, editing, saving and reopening a
// series, renaming it, a refused name, a failed save that keeps the old
// file, deleting series, export to xlsx (read back by openpyxl) and text,
// the viewer, what the main window's series buttons say with no data, and
// the clear-or-append question left with Escape or its close button.
#include <sys/resource.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <csignal>

#include "DialogTestSupport.h"
#include "data/dialogs/BatchWizard.h"
#include "data/dialogs/Generate_List.h"
#include "data/dialogs/Import_Wizard.h"
#include "data/dialogs/SeriesButtons.h"
#include "data/dialogs/SeriesWriting.h"
#include "data/dialogs/ValueListModel.h"
#include "data/dialogs/View_Data_Series.h"
#include "platform/widgets/Open_Export_Log.h"
#include "platform/widgets/QtMessageHost.h"
#include "support/ModalDismissal.h"

namespace {

// The texts as this file's static objects see them while they are made,
// before those of the libraries (the test's own files come first): a text
// that waited for a static object of another file would be empty here.
const QString kTextsAtStart =
    QString(DataSeriesStore::kFileAccessError) + "|" + series_writing::kReplaceQuestion;

TEST(SeriesTexts, CompleteBeforeAnyStaticObjectIsMade) {
  EXPECT_EQ(kTextsAtStart,
            "Error in file accessing.|Batch Processing Series already exists. Do you want to replace it?");
}

class SeriesManagerTest : public dialog_test::DataDialogTest {
 protected:
  void TearDown() override {
    series_writing::setDesignBindingsProvider({});
    DataDialogTest::TearDown();
  }
  // Opens the manager with the main window's button; `act` works in it.
  void inManager(std::function<void(BatchWizard&)> act) {
    whenShown<BatchWizard>([act](BatchWizard& m) {
      act(m);
      m.Close_Btn_Clicked();
    });
    series_buttons::Batch_Series_Button();
  }
  static void select(QTableView* table, const QList<int>& rows) {
    table->clearSelection();
    for (int row : rows)
      table->selectionModel()->select(table->model()->index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    if (!rows.isEmpty())
      table->selectionModel()->setCurrentIndex(table->model()->index(rows.last(), 0),
                                               QItemSelectionModel::NoUpdate);
  }
  // Designs in which the named series are bound to a text object.
  static void bindText(const QStringList& names) {
    series_writing::setDesignBindingsProvider([names] {
      QList<SeriesBinding> front;
      for (const QString& name : names) front.append({"SKTText", 1, name});
      return SeriesBindingList(front, {}, "1");
    });
  }
};

TEST_F(SeriesManagerTest, EditSaveReopenAndRename) {
  writeSeries("Guests", "a\n\n  b  \n");
  writeSeries("Other", "o\n");
  inManager([&](BatchWizard& m) {
    EXPECT_EQ(m.ListData->values(), QStringList({"Guests", "Other"}));
    EXPECT_EQ(m.batch_list_count->text(), "Total List : 2");
    select(m.List, {0});
    m.doubleClickInTable(m.List);
    EXPECT_TRUE(m.avl_list_box->isHidden());
    EXPECT_EQ(m.batch_list_name->text(), "Guests");
    // The empty value keeps its place: it is card 2's.
    EXPECT_EQ(m.ListData_value->values(), QStringList({"a", "", "b"}));
    EXPECT_EQ(m.batch_value_count->text(), "Total Rows : 3");

    // Edit row 2, add rows, delete two: the sheet edits the row in place.
    select(m.List_value, {2});
    whenShown<Update_Ex_Num>([](Update_Ex_Num& e) {
      EXPECT_EQ(e.m_ex_num_str->text(), "b");
      e.m_ex_num_str->setText("   ");
      e.OKPressed();  // refused: stays open
      e.m_ex_num_str->setText(" c ");
      e.OKPressed();
    });
    m.doubleClickInTable(m.List_value);
    m.appendValues({"d", " ", "e", "f"});
    EXPECT_EQ(m.batch_value_count->text(), "Total Rows : 6");
    select(m.List_value, {4, 3});
    m.Delete_Rows_Btn_Clicked();
    EXPECT_EQ(m.ListData_value->values(), QStringList({"a", "", "c", "f"}));
    EXPECT_EQ(m.List_value->selectionModel()->selectedRows().value(0).row(), 2);
    m.Save_Btn_Clicked();
    EXPECT_FALSE(m.avl_list_box->isHidden());
  });
  EXPECT_EQ(series("Guests"), QByteArray("a\n\nc\nf\n"));
  EXPECT_EQ(messages(), QStringList{"Please enter a valid value."});
  EXPECT_TRUE(host.questions().isEmpty());

  // Reopen and save under a free name: the series moves there.
  inManager([&](BatchWizard& m) {
    select(m.List, {0});
    m.Update_Btn_Clicked();
    EXPECT_EQ(m.ListData_value->values(), QStringList({"a", "", "c", "f"}));
    m.batch_list_name->setText(" Guests 2025 ");
    m.Save_Btn_Clicked();
    EXPECT_EQ(m.ListData->values(), QStringList({"Guests 2025", "Other"}));
  });
  EXPECT_EQ(series("Guests 2025"), QByteArray("a\n\nc\nf\n"));
  EXPECT_FALSE(QFileInfo::exists(seriesFile("Guests")));

  // Saving over another series asks first; the opened one stays.
  host.queueYesNo(true);
  inManager([&](BatchWizard& m) {
    select(m.List, {0});
    m.Update_Btn_Clicked();
    m.batch_list_name->setText("Other");
    m.Save_Btn_Clicked();
  });
  EXPECT_EQ(host.questions(),
            QStringList{"Batch Processing Series already exists. Do you want to replace it?"});
  EXPECT_EQ(series("Other"), QByteArray("a\n\nc\nf\n"));
  EXPECT_EQ(series("Guests 2025"), QByteArray("a\n\nc\nf\n"));
  // Each save told the main window, which shows the new values in bound objects.
  EXPECT_EQ(seriesChanges, 3);
}

TEST_F(SeriesManagerTest, RefusedNamesInUseSeriesAndAFailedSaveKeepTheOldFiles) {
  writeSeries("Guests", "a\nb\n");
  inManager([&](BatchWizard& m) {
    m.AddNew_Btn_Clicked();
    EXPECT_EQ(m.batch_list_name->text(), "Untitled");
    m.appendValues({"x"});
    for (const char* name : {"..", "../Guests", "a\\b", "/ /"}) {
      m.batch_list_name->setText(name);
      m.Save_Btn_Clicked();
    }
    EXPECT_TRUE(m.avl_list_box->isHidden());  // still in the editor
  });
  EXPECT_EQ(messages(), QStringList(3, "Error in file accessing.") << "Please enter list name.");
  EXPECT_EQ(seriesNames(), QStringList{"Guests.txt"});

  // A series bound to a card object can be neither saved nor deleted.
  host.clear();
  bindText({"Guests"});
  inManager([&](BatchWizard& m) {
    select(m.List, {0});
    m.Update_Btn_Clicked();
    m.Save_Btn_Clicked();
    m.Back_Btn_Clicked();
    select(m.List, {0});
    m.Delete_List_Btn_Clicked();
  });
  EXPECT_EQ(messages(),
            QStringList({"Batch Processing Series can't be update because it is currently in use.",
                         "Batch Processing Series can't be delete because it is currently in use."}));
  EXPECT_EQ(series("Guests"), QByteArray("a\nb\n"));
  series_writing::setDesignBindingsProvider({});

  // A write that fails (the file size limit stops it) leaves the old series whole.
  host.clear();
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  inManager([&](BatchWizard& m) {
    select(m.List, {0});
    m.Update_Btn_Clicked();
    m.appendValues({QString(4096, 'z')});
    m.batch_list_name->setText("Moved");
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 1024;
    ::setrlimit(RLIMIT_FSIZE, &small);
    m.Save_Btn_Clicked();
    ::setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_TRUE(m.avl_list_box->isHidden());
    EXPECT_EQ(m.ListData_value->size(), 3);
  });
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(messages(), QStringList{"Error in file accessing."});
  EXPECT_EQ(series("Guests"), QByteArray("a\nb\n"));
  EXPECT_FALSE(QFileInfo::exists(seriesFile("Moved")));
  EXPECT_EQ(seriesChanges, 0);
}

TEST_F(SeriesManagerTest, DeletingSeveralSeries) {
  for (const char* name : {"a", "b", "c", "d"}) writeSeries(name, "v\n");
  host.queueYesNo(false);
  host.queueYesNo(true);
  inManager([&](BatchWizard& m) {
    select(m.List, {1, 2});
    m.Delete_List_Btn_Clicked();  // No
    EXPECT_EQ(m.ListData->size(), 4);
    select(m.List, {3, 1});
    m.Delete_List_Btn_Clicked();  // Yes
    EXPECT_EQ(m.ListData->values(), QStringList({"a", "c"}));
    EXPECT_EQ(m.List->selectionModel()->selectedRows().value(0).row(), 0);
  });
  EXPECT_EQ(seriesNames(), QStringList({"a.txt", "c.txt"}));
  EXPECT_EQ(host.questions(),
            QStringList(2, "Are you sure want to delete selected Batch Processing Series?"));
  EXPECT_EQ(seriesChanges, 1);
}

TEST_F(SeriesManagerTest, ExportToWorkbookAndText) {
  const QString folder = root.path() + "/out";
  ASSERT_TRUE(QDir().mkpath(folder));
  ASSERT_TRUE(QFile::copy(data_test::templateWorkbook(), root.path() + "/Template.xlsx"));
  QList<QUrl> opened;
  inManager([&](BatchWizard& m) {
    m.AddNew_Btn_Clicked();
    m.appendValues({"Zoë", "42", "a,b", "x <y> & z"});
    m.Save_Ext_ComboBox->setCurrentIndex(0);
    host.queueSavePanel(folder + "/list.txt");  // the chosen format decides the extension
    whenShown<Open_Export_Log>([](Open_Export_Log& box) {
      EXPECT_EQ(box._open_log_message->text(), "Record has been exported successfully.");
      box.OKPressed();
    });
    m.Export_Value_Btn_Clicked();
    m.Save_Ext_ComboBox->setCurrentIndex(1);
    host.queueSavePanel(folder + "/list.xlsx");
    whenShown<Open_Export_Log>([](Open_Export_Log& box) {
      box._open_log_chk->setChecked(false);
      box.OKPressed();
    });
    m.Export_Value_Btn_Clicked();
    host.queueSavePanel(QString());  // cancelled
    m.Export_Value_Btn_Clicked();
  });
  EXPECT_EQ(host.openedUrls(), QList<QUrl>{QUrl::fromLocalFile(folder + "/list.xlsx")});
  const QByteArray cells = data_test::python(R"(
import sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
for row in ws.iter_rows(values_only=True):
    print('|'.join(str(v) for v in row))
)",
                                             {folder + "/list.xlsx"});
  EXPECT_EQ(cells, QString("Batch Value\nZoë\n42\na,b\nx <y> & z\n").toUtf8());
  EXPECT_EQ(data_test::readAll(folder + "/list.txt"), QString("Zoë\n42\na,b\nx <y> & z\n").toUtf8());
  EXPECT_TRUE(messages().isEmpty()) << messages().join(" | ").toStdString();
}

// The clear-or-append question runs as a real modal window; the dialogs it
// would let through are only noted.
class QuestionShownByQt : public testing_support::ScriptedHost {
 public:
  int runModal(QDialog& dialog) override {
    shown << dialog.metaObject()->className();
    if (qobject_cast<Load_Num_Info*>(&dialog) == nullptr) return 0;
    testing_support::dismissNextModal(how);
    return platform::QtMessageHost().runModal(dialog);
  }
  testing_support::Dismissal how = testing_support::Dismissal::Escape;
  QStringList shown;
};

TEST_F(SeriesManagerTest, EscapeOrClosingTheClearOrAppendQuestionCancels) {
  inManager([&](BatchWizard& m) {
    m.AddNew_Btn_Clicked();
    m.appendValues({"a", "b"});
    QuestionShownByQt qt;
    for (const auto how : {testing_support::Dismissal::Escape, testing_support::Dismissal::CloseButton}) {
      qt.how = how;
      m.Import_Value_Btn_Clicked();
      m.Series_Value_Btn_Clicked();
    }
    EXPECT_EQ(qt.shown.join(", "), QStringList(4, "Load_Num_Info").join(", "));  // nothing else opened
    EXPECT_EQ(m.ListData_value->values(), QStringList({"a", "b"}));
    EXPECT_EQ(m.batch_value_count->text(), "Total Rows : 2");
  });
}

TEST_F(SeriesManagerTest, TheViewerShowsTheTrimmedValues) {
  writeSeries("Guests", "  \nx\n\ny \r\nx\n");
  whenShown<View_Data_Series>([](View_Data_Series& v) {
    EXPECT_EQ(v.series_name->text(), "Guests");
    EXPECT_EQ(v.ListData->values(), QStringList({"", "x", "", "y", "x"}));
    EXPECT_EQ(v.list_count->text(), "Total Rows : 5");
    v.OK_Btn_Clicked();
  });
  View_Data_Series::defaultInstance().Open_Wnd("  Guests ");
  whenShown<View_Data_Series>([](View_Data_Series& v) {
    EXPECT_EQ(v.list_count->text(), "Total Rows : 0");
    v.OK_Btn_Clicked();
  });
  View_Data_Series::defaultInstance().Open_Wnd("Nobody");
  View_Data_Series::defaultInstance().Open_Wnd("   ");
  EXPECT_EQ(messages(), QStringList{"Please select the series."});
}

// A file larger than a run takes, in bytes or in lines, is refused by the
// viewer and the editor as a run refuses it, and neither reads it.
TEST_F(SeriesManagerTest, ASeriesFileLargerThanARunTakesIsRefusedByTheViewerAndTheEditor) {
  const dialog_test::LoweredValueLimit limit(2);
  writeHugeSeries("Huge");
  writeSeries("Long", "a\nb\nc\n");
  writeSeries("Small", "a\n");
  View_Data_Series::defaultInstance().Open_Wnd("Huge");  // no modal run: the host would fail it
  View_Data_Series::defaultInstance().Open_Wnd("Long");
  inManager([&](BatchWizard& m) {
    for (const int row : {0, 1}) {
      select(m.List, {row});
      m.Update_Btn_Clicked();
      EXPECT_FALSE(m.avl_list_box->isHidden());  // still the list of series
      EXPECT_TRUE(m.ListData_value->values().isEmpty());
    }
    select(m.List, {2});
    m.Update_Btn_Clicked();
    EXPECT_EQ(m.ListData_value->values(), QStringList{"a"});
  });
  const QString huge = dialog_test::refusedSeriesMessage("Huge"),
                lines = dialog_test::refusedSeriesMessage("Long");
  EXPECT_EQ(messages(), QStringList({huge, lines, huge, lines}));
  EXPECT_EQ(QFileInfo(seriesFile("Huge")).size(), kHugeSeriesBytes);
}

TEST_F(SeriesManagerTest, TheSeriesButtonsWithNoData) {
  inManager([&](BatchWizard& m) {
    EXPECT_EQ(m.batch_list_count->text(), "Total List : 0");
    m.Update_Btn_Clicked();
    m.Delete_List_Btn_Clicked();
    m.AddNew_Btn_Clicked();
    m.Save_Btn_Clicked();
    m.Export_Value_Btn_Clicked();
    m.Delete_Rows_Btn_Clicked();
  });
  whenShown<Import_Wizard>([](Import_Wizard& w) {
    EXPECT_EQ(w.file_name_required, 1);
    EXPECT_EQ(w.file_name_Insert, 0);
    EXPECT_FALSE(w.Text_file_name->isHidden());
    for (auto source : {&Import_Wizard::Excel_RD_Pressed, &Import_Wizard::Text_RD_Pressed,
                        &Import_Wizard::Image_RD_Pressed}) {
      (w.*source)();
      w.OKPressed();
    }
  });
  series_buttons::Import_Wizard_Button();
  whenShown<Generate_List>([](Generate_List& g) {
    EXPECT_EQ(g.file_name_required, 1);
    EXPECT_EQ(g.file_name_Insert, 0);
    g.OKPressed();
  });
  series_buttons::Create_Series_Button();
  EXPECT_EQ(messages(), QStringList({"Available list is empty.", "Available list is empty.", "List is empty.",
                                     "List is empty.", "List is empty.", "Please select valid file path.",
                                     "Please select valid file path.", "Please select valid file path.",
                                     "Please enter valid 'From' value."}));
  EXPECT_TRUE(seriesNames().isEmpty());
}

}  // namespace
