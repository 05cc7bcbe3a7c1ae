#pragma once
// Print_Wnd: the print dialog. It prints the card several to a sheet:
// copies of the design, or one card per data row when objects are bound to
// data. The user chooses the printer, orientation, side or sides, rows and
// columns, gaps, the number of cards, automatic centring or one of nine
// alignments, and whether cards take data rows; the dialog fits the layout
// to the printable area, shows a sample sheet, and starts a print preview
// or a print job. It stays open after a job; Cancel or closing ends it.

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QToolButton>
#include <array>
#include <memory>

#include "production/print/SheetCards.h"
#include "production/print/SheetLayout.h"

class QButtonGroup;
class QPrinter;
class Sample_Preview;

namespace production {

// What the dialog needs of the main window.
class PrintHost {
 public:
  virtual ~PrintHost() = default;
  // Copies of both sides and their page settings, taken now (GUI thread).
  virtual std::shared_ptr<const ::CardSnapshot> takeCardSnapshot() = 0;

  // The data sources in use and the rows of a run.
  struct DataUse {
    bool series = false;  // Use_Data_Sheet_Values
    bool excel = false;   // Use_Excel_Binding_Values
    int rows = 0;         // Total_Batch_Excel_Card
  };
  // The state the last use check left.
  virtual DataUse dataUse() = 0;
  // Checks the card's bindings afresh, then switches off the sources whose
  // box is unticked and recounts the rows.
  virtual DataUse verifyDataUse(bool seriesTicked, bool excelTicked) = 0;
  // Fills a data row into copies of a side's objects, from the rows in use
  // now; callable on worker threads.
  virtual SheetRowFiller rowFiller() = 0;
  // Before a job that fills the sources in use: when bound sources of the
  // sides it prints (`sides`: "F", "B" or "BOTH") no longer exist, names
  // them and asks whether to go on with those objects empty. False stops
  // the job; `closingNote` gets what the job's end then says.
  virtual bool confirmMissingSources(const DataUse& use, const QString& sides, QString* closingNote) {
    (void)use;
    (void)sides;
    if (closingNote) closingNote->clear();
    return true;
  }
};

}  // namespace production

class Print_Wnd : public QDialog {
  Q_OBJECT

 public:
  // The single instance, made on first use on the GUI thread.
  static Print_Wnd& defaultInstance();
  ~Print_Wnd() override;

  // Fills the dialog for the card of `host` and runs it modally (through the
  // message host). True when the run ended with OK or Cancel.
  bool Open_Print_Wnd(production::PrintHost& host);

  // The layout as the fields say now.
  const production::SheetLayout& layout() const { return layout_; }
  // The print settings: printer, paper, orientation; kept between openings.
  QPrinter& printInfo() { return *printInfo_; }

  // Operations.
  void Set_values_From_Printer();
  void Check_Max_Cell_Value();
  void Refresh_Preview();
  // Starts the print preview (true) or the print job (false); true when a
  // job or preview ran.
  bool Execute_Printing(bool preview);
  void Set_Reset_Alignemnt_Image();
  void Verify_Card_Count();

  // Actions.
  void pagesetup();
  void PreviewButtonPressed() { Execute_Printing(true); }
  void PrintButtonPressed() { Execute_Printing(false); }
  void CancelButtonPressed();
  void Show_Margin_Checked();
  void Auto_Center_Checked();
  void alignmentClicked(int position);
  void card_side_CellClick(int row);
  void Print_With_Batch_Changed();
  void Print_With_Excel_Changed();
  void printerChosen(int index);
  void orientationChosen(int index);
  void arrangementChosen(int index);

  // Pages the last job or preview painted (tests).
  std::int64_t lastJobPages() const { return lastJobPages_; }
  // Workers that prepare data rows for a job (0: one per core).
  int workers = 0;

  // Controls.
  Sample_Preview* PrintView = nullptr;
  QScrollArea* Print_sclview = nullptr;
  QComboBox* Printer_ComboBox = nullptr;
  QComboBox* Orient_ComboBox = nullptr;  // "Portrait", "Landscape"
  QLabel* Paper_id = nullptr;
  QLabel* Size_id = nullptr;
  QLabel* l_mar_id = nullptr;
  QLabel* r_mar_id = nullptr;
  QLabel* t_mar_id = nullptr;
  QLabel* b_mar_id = nullptr;
  // Each field is its text field and stepper in one.
  QDoubleSpinBox* horz_mar_Text = nullptr;
  QDoubleSpinBox* vert_mar_Text = nullptr;
  QDoubleSpinBox* width_Text = nullptr;
  QDoubleSpinBox* height_Text = nullptr;
  QSpinBox* Row_Text = nullptr;
  QSpinBox* Col_Text = nullptr;
  QSpinBox* Total_Text = nullptr;
  QCheckBox* Show_Margins = nullptr;
  QLabel* test_image_view = nullptr;
  QGroupBox* align_Gp_Bx = nullptr;
  std::array<QToolButton*, 9> alignButtons{};
  QCheckBox* Auto_Center_chk_bx = nullptr;
  QCheckBox* print_with_batch_chk = nullptr;
  QCheckBox* print_with_excel_chk = nullptr;
  QButtonGroup* matrix_card_side = nullptr;  // ids 0 "BOTH", 1 "F", 2 "B"
  QComboBox* print_alignment = nullptr;      // 0 one above the other, 1 side by side
  QPushButton* pageSetupButton = nullptr;
  QPushButton* previewButton = nullptr;
  QPushButton* printButton = nullptr;
  QPushButton* cancelButton = nullptr;

  QString card_side_str = QStringLiteral("F");

 private:
  Print_Wnd();
  void buildControls();
  void loadAlignmentPictures();
  production::SheetFitting fieldsNow() const;
  bool dataMode() const;
  void showTotal(int total, int maximum);
  // The job's cards: the design, or one data row per cell.
  // The cards of a job; `leftEmpty`: the user went on without missing data.
  std::unique_ptr<production::SheetCards> jobCards(bool leftEmpty);
  bool runPreview(production::SheetCards& cards);
  // `closingNote` ends the job's closing message; may be empty.
  bool runPrint(production::SheetCards& cards, const QString& closingNote);

  // The card's size in points and as the fields first show it: while a
  // field still shows its first value, the exact size counts, not the
  // rounded millimetres.
  QSizeF card_;
  double shownWidthMm_ = 0, shownHeightMm_ = 0;
  production::PrintHost* host_ = nullptr;
  std::shared_ptr<const ::CardSnapshot> design_;
  production::SheetLayout layout_;
  production::PrintHost::DataUse data_;
  std::unique_ptr<QPrinter> printInfo_;
  QString printerName_ = QStringLiteral("PDF file");  // the printer printInfo_ was made for
  std::array<QIcon, 9> normalPictures_, selectedPictures_;
  bool loading = false;
  std::int64_t lastJobPages_ = 0;
};
