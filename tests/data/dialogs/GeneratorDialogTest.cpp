// The series generator driven through its dialog, opened by the main
// window's button: the three modes into series files and into the manager's
// list, the refusals, the clamps while typing, the replace question and a
// cancelled long run.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include "DialogTestSupport.h"
#include "data/dialogs/BatchWizard.h"
#include "data/dialogs/Generate_List.h"
#include "data/dialogs/ProgressSheet.h"
#include "data/dialogs/SeriesButtons.h"
#include "data/dialogs/ValueListModel.h"

namespace {

using GeneratorTest = dialog_test::DataDialogTest;

// Opens the generator with the main window's button, fills it as `fill` says and presses OK.
void generateWith(testing_support::ScriptedHost& host, std::function<void(Generate_List&)> fill) {
  host.queueModal([fill](QDialog& d) {
    auto& g = static_cast<Generate_List&>(d);
    g.setResult(-1);
    fill(g);
    g.OKPressed();
    return g.result();
  });
  series_buttons::Create_Series_Button();
}

TEST_F(GeneratorTest, SequentialConstantAndRandomSeriesFiles) {
  generateWith(host, [](Generate_List& g) {
    EXPECT_EQ(g.seq_file_name->text(), "Untitled");
    g.prefix_txt->setText("INV-");
    g.suffix_txt->setText("/A");
    g.from_txt->setText("8");
    g.to_txt->setText("11");
    g.manage_digit_chk->setChecked(true);
    g.seq_file_name->setText(" Invoices? ");
  });
  EXPECT_EQ(series("Invoices?"), QByteArray("INV-08/A\nINV-09/A\nINV-10/A\nINV-11/A\n"));

  // Padding follows the longer text as typed; negative numbers keep their sign.
  generateWith(host, [](Generate_List& g) {
    g.from_txt->setText("001");
    g.to_txt->setText("00200");
    g.manage_digit_chk->setChecked(true);
    g.seq_file_name->setText("Padded");
  });
  const QList<QByteArray> padded = series("Padded").split('\n');
  ASSERT_EQ(padded.size(), 201);
  EXPECT_EQ(padded.first(), "00001");
  EXPECT_EQ(padded[199], "00200");
  generateWith(host, [](Generate_List& g) {
    g.from_txt->setText("-3");
    g.to_txt->setText("2");
    g.manage_digit_chk->setChecked(true);
    g.seq_file_name->setText("Signed");
  });
  EXPECT_EQ(series("Signed"), QByteArray("-3\n-2\n-1\n00\n01\n02\n"));

  // A constant value is written as typed, blanks included.
  generateWith(host, [](Generate_List& g) {
    g.Constant_Radio_Pressed();
    EXPECT_FALSE(g.from_txt->isEnabled());
    EXPECT_TRUE(g.value_txt->isEnabled());
    g.value_txt->setText(" x ");
    g.count_txt->setText("3");
    g.const_file_name->setText("Same");
  });
  EXPECT_EQ(series("Same"), QByteArray(" x \n x \n x \n"));

  generateWith(host, [](Generate_List& g) {
    g.Random_Radio_Pressed();
    g.rand_prefix_txt->setText("R");
    g.rand_suffix_txt->setText("!");
    g.rand_length_txt->setText("3");
    g.rand_count_txt->setText("500");
    g.rndm_file_name->setText("Draws");
  });
  const QList<QByteArray> draws = series("Draws").split('\n');
  ASSERT_EQ(draws.size(), 501);
  QSet<QByteArray> distinct;
  for (int i = 0; i < 500; ++i) {
    EXPECT_TRUE(QRegularExpression("^R[1-9][0-9]{2}!$").match(QString::fromUtf8(draws[i])).hasMatch())
        << draws[i].data();
    distinct.insert(draws[i]);
  }
  EXPECT_GT(distinct.size(), 300);  // 500 draws from 900 numbers
  EXPECT_TRUE(messages().isEmpty()) << messages().join(" | ").toStdString();
  EXPECT_EQ(seriesChanges, 5);
}

TEST_F(GeneratorTest, RefusalsComeBeforeAnythingIsWritten) {
  struct Case {
    std::function<void(Generate_List&)> fill;
    QString message;
  };
  const QList<Case> cases = {
      {[](Generate_List& g) { g.to_txt->setText("5"); }, "Please enter valid 'From' value."},
      {[](Generate_List& g) { g.from_txt->setText("5"); }, "Please enter valid 'To' value."},
      {[](Generate_List& g) {
         g.from_txt->setText("5");
         g.to_txt->setText("5");
       },
       "'From' value must be smaller than 'To' value."},
      {[](Generate_List& g) {
         g.from_txt->setText("10");
         g.to_txt->setText("2");
       },
       "'From' value must be smaller than 'To' value."},
      {[](Generate_List& g) {
         g.from_txt->setText("-2147483649");
         g.to_txt->setText("2");
       },
       "Please enter valid 'From' value."},
      {[](Generate_List& g) {
         g.from_txt->setText("-2147483648");
         g.to_txt->setText("2147483647");
       },
       "Please enter valid 'To' value."},
      {[](Generate_List& g) {
         g.Constant_Radio_Pressed();
         g.count_txt->setText("3");
       },
       "Please enter valid 'Value'."},
      {[](Generate_List& g) {
         g.Constant_Radio_Pressed();
         g.value_txt->setText("v");
         g.count_txt->setText("20000");
       },
       "Please enter valid 'Count' value."},
      {[](Generate_List& g) {
         g.Random_Radio_Pressed();
         g.rand_count_txt->clear();
       },
       "Please enter valid 'Count' value."},
      {[](Generate_List& g) {
         g.Random_Radio_Pressed();
         g.rand_length_txt->setText("0");
       },
       "Please enter valid 'Length' value."},
      {[](Generate_List& g) {
         g.Random_Radio_Pressed();
         g.rand_length_txt->clear();
       },
       "Please enter valid 'Length' value."},
      // A name of reserved characters and blanks is no name: nothing was accessed.
      {[](Generate_List& g) {
         g.from_txt->setText("1");
         g.to_txt->setText("3");
         g.seq_file_name->setText("*/ \\");
       },
       "Please enter list name."},
  };
  for (const Case& c : cases) {
    host.clear();
    int result = 0;
    host.queueModal([&](QDialog& d) {
      auto& g = static_cast<Generate_List&>(d);
      g.setResult(-1);
      c.fill(g);
      g.OKPressed();
      result = g.result();
      return 0;
    });
    series_buttons::Create_Series_Button();
    EXPECT_EQ(messages(), QStringList{c.message});
    EXPECT_EQ(result, -1) << "the dialog stays open after: " << c.message.toStdString();
  }
  EXPECT_TRUE(seriesNames().isEmpty());
}

TEST_F(GeneratorTest, CountAndLengthFieldsClampWhileTyping) {
  host.queueModal([](QDialog& d) {
    auto& g = static_cast<Generate_List&>(d);
    g.Constant_Radio_Pressed();
    const auto typed = [](QLineEdit* field, const QString& text) {
      field->clear();
      QTest::keyClicks(field, text);
      return field->text();
    };
    EXPECT_EQ(typed(g.count_txt, "25000"), "10000");
    EXPECT_EQ(typed(g.count_txt, "123456"), "10000");
    EXPECT_EQ(typed(g.count_txt, "0"), "1");
    g.Random_Radio_Pressed();
    EXPECT_EQ(typed(g.rand_length_txt, "12"), "1");
    EXPECT_EQ(typed(g.rand_length_txt, "x"), "1");
    EXPECT_EQ(typed(g.rand_length_txt, "7"), "7");
    return 0;
  });
  series_buttons::Create_Series_Button();
}

TEST_F(GeneratorTest, ReplaceQuestionAndCancelledRunKeepTheOldSeries) {
  writeSeries("Untitled", "keep\n");
  host.queueYesNo(false);
  generateWith(host, [](Generate_List& g) {
    g.from_txt->setText("1");
    g.to_txt->setText("3");
  });
  EXPECT_EQ(host.questions(),
            QStringList{"Batch Processing Series already exists. Do you want to replace it?"});
  EXPECT_EQ(series("Untitled"), QByteArray("keep\n"));

  // Yes, then Cancel on the please-wait sheet of a long run: nothing is written.
  host.queueYesNo(true);
  int sheets = 0;
  setProgressSheetObserver([&](ProgressSheet& sheet) {
    ++sheets;
    sheet.cancel_button->click();
  });
  generateWith(host, [](Generate_List& g) {
    g.from_txt->setText("1");
    g.to_txt->setText("1000000");
  });
  setProgressSheetObserver({});
  EXPECT_EQ(sheets, 1);
  EXPECT_EQ(series("Untitled"), QByteArray("keep\n"));

  // Yes, then the program is asked to end during a long run (every running
  // event loop ends): the run stops instead of going on, nothing is written.
  host.queueYesNo(true);
  int sheets2 = 0;
  setProgressSheetObserver([&sheets2](ProgressSheet&) {
    ++sheets2;
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
  });
  QTimer::singleShot(0, [&] {
    generateWith(host, [](Generate_List& g) {
      g.from_txt->setText("1");
      g.to_txt->setText("1000000");
    });
    QCoreApplication::exit(0);
  });
  QCoreApplication::exec();
  setProgressSheetObserver({});
  EXPECT_EQ(sheets2, 1);
  EXPECT_EQ(series("Untitled"), QByteArray("keep\n"));

  host.queueYesNo(true);
  generateWith(host, [](Generate_List& g) {
    g.from_txt->setText("1");
    g.to_txt->setText("3");
  });
  EXPECT_EQ(series("Untitled"), QByteArray("1\n2\n3\n"));
}

TEST_F(GeneratorTest, ListOutputFeedsTheManagersEditor) {
  // Manager: a new list holding one value, then generated values appended after it.
  whenShown<BatchWizard>([this](BatchWizard& m) {
    m.AddNew_Btn_Clicked();
    m.Create_Value_List("  first ");
    m.Create_Value_List("   ");
    whenShown<Load_Num_Info>([](Load_Num_Info& q) { q.NOPressed(); });
    whenShown<Generate_List>([](Generate_List& g) {
      EXPECT_TRUE(g.seq_file_name->isHidden());
      g.Constant_Radio_Pressed();
      g.value_txt->setText(" v ");
      g.count_txt->setText("2");
      g.OKPressed();
    });
    m.Series_Value_Btn_Clicked();
    EXPECT_EQ(m.ListData_value->values(), QStringList({"first", "v", "v"}));
    // Cancel in the clear-or-append question opens nothing.
    whenShown<Load_Num_Info>([](Load_Num_Info& q) { q.CancelPressed(); });
    m.Series_Value_Btn_Clicked();
    EXPECT_EQ(m.ListData_value->size(), 3);
    m.Close_Btn_Clicked();
  });
  series_buttons::Batch_Series_Button();
  EXPECT_TRUE(seriesNames().isEmpty());
  EXPECT_TRUE(messages().isEmpty()) << messages().join(" | ").toStdString();
}

}  // namespace
