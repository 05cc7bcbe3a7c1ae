#pragma once
// The main window controller: hosts the three canvases (front, back and the
// scratch temp side) in their zooming scroll views, owns the document, the
// grid and the two page settings records, and is the card host the drawing
// core calls back into (refresh, card background, placement, resources).

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <QSizeF>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolBar>
#include <QUrl>
#include <functional>
#include <memory>
#include <mutex>

#include "canvas/SKTGraphicView.h"
#include "canvas/SKTGrid.h"
#include "canvas/SKTZoomingScrollView.h"
#include "core/CardHost.h"
#include "core/Card_Property.h"
#include "core/SKTDocument.h"
#include "core/render/CardSnapshot.h"
#include "core/render/SKTRenderingView.h"
#include "mainwindow/designfile/DesignFile.h"

class WindowDesignHost;
class ProfileHost;
class CardSettingsTab;
class CardBackgroundTab;
class CardBorderTab;
class TextEditingTab;
class TextPropertiesTab;
class DataSourceTab;
class PictureTab;
class LineTab;
class SignatureTab;
class ShapeTab;
class BarcodeTab;
class AlignmentTab;
class ShownObjectWatch;
class QCheckBox;
namespace panel_edits {
class PanelUndo;
}
class QComboBox;
class QDialog;
class QMenu;
class QPushButton;
class ProductionActions;
namespace production {
class CardExport;
class DataBinding;
}  // namespace production

class SKTWindowController : public QMainWindow, public CardHost {
  Q_OBJECT
 public:
  explicit SKTWindowController(QWidget* parent = nullptr);
  ~SKTWindowController() override;

  // The one instance (none before construction and after destruction).
  static SKTWindowController* defaultInstance();

  // ---- CardHost ------------------------------------------------------------------
  void Refresh_Canvas() override;
  void Card_Base_Drawing(QPainter& painter, const QRectF& rect) override;
  void Show_RHS_Properties(SKTGraphic* graphic) override;
  QPointF Control_New_Point(const QString& side) override;
  QString Resource_Path() override;
  QString App_Name() override { return QStringLiteral("QUVO Gratulo"); }
  QRectF frontCanvasBounds() override;
  DrawingTool Selected_Control_Tool() override { return _selectedControlTool; }
  int Get_OS_Version() override;
  // Opens the barcode designer on the current side's current barcode object.
  // When OK changed the "spread value text" choice, every barcode picture
  // that follows it is drawn again (Redraw_Barcode_Captions).
  void Open_Barcode_Window() override;
  std::optional<GraphicKind> currentGraphicClass() override;
  // Undo and Redo enabled while the front is shown and its history allows.
  void Undo_Redo_Button_state() override;
  void Set_Paste_Button_Status() override;
  CardFont All_Text_font() override;
  QColor All_Text_clr() override;
  QImage No_Image() override { return _no_image; }
  QImage Barcode_Sample_Image() override { return _barcode_sample_img; }
  QImage Signature_Sample_Image() override { return _sign_sample_img; }
  QImage Fingerprint_Sample_Image() override { return _fp_sample_img; }

  // ---- Document and canvases ------------------------------------------------------------
  SKTDocument* document() const { return _document.get(); }
  SKTGraphicView* graphicView() const { return _graphicView; }
  SKTGraphicView* graphicView_BACK() const { return _graphicView_BACK; }
  SKTGraphicView* graphicView_TEMP() const { return _graphicView_TEMP; }
  SKTZoomingScrollView* scrollView(CardSide side) const;
  SKTGrid* grid() const { return _grid; }
  // The canvas of the current side (back when Card_Front_Or_Back is 1, else front).
  SKTGraphicView* currentSideView() const;
  // The canvas on screen (front, back or temp).
  SKTGraphicView* shownView() const;

  Card_Property Front_card_Prop;
  Card_Property Back_card_Prop;
  // The page settings of the side named by Card_Front_Or_Back.
  Card_Property& currentCardProp();

  // ---- Canvas size and zoom -----------------------------------------------------------
  // Sizes the three canvases (points) and refreshes.
  void SetDocumentCanvasSize(const QSizeF& size);
  double zoomFactor() const { return _zoomFactor; }
  void setZoomFactor(double factor);

  // ---- Sides ---------------------------------------------------------------------------
  void Select_front_side();
  void Select_back_side();
  void Select_temp_design_side();
  // Fills the temp canvas with the objects of the current side (the same objects).
  void Temp_Design_Control_Assign();
  QString frontBackLabelText() const { return _frontBackLabel->text(); }

  // Copies both page settings for render workers (GUI thread). Every repaint
  // request and every card background painted on screen takes a fresh copy,
  // so a worker sees the settings as last shown.
  void snapshotPageSettings();

  // A render context for the given side, with copies of its page settings:
  // what a worker needs to render that side without touching the window.
  SidePaintContext sidePaintContext(CardSide side) const;
  // Both sides as they are now, for a worker to render (GUI thread).
  CardSnapshot cardSnapshot() const;

  // ---- New project and design file ------------------------------------------------
  // Back to an empty, untitled card: undo history cleared, placement restarted,
  // both page settings to their start values, the front current, the front and
  // back canvases emptied, the grid hidden. The temp side, the spreadsheet
  // binding and table, the canvas size and the zoom stay.
  void New_Project_Setting_Reset();
  // The design file's view of this window.
  designfile::DesignHost& designHost();
  bool Save_project_file(bool save_as, bool show_msg);
  int Read_and_load_design_Log(const QString& path, const QString& log_or_template);
  // Draws the picture of every barcode object on the front, back and temp
  // sides that follows the designer's spread choice again with the choice in
  // force, so the canvases show what export, print and mail make; after the
  // choice changed and when a design or template comes in. Not an edit of
  // the design: nothing goes on the undo stack and no frame moves.
  void Redraw_Barcode_Captions();
  int Open_Log_File();
  void Set_Log_Name_In_Title();
  // Commands of the File menu.
  void Save_Btn_Clicked();
  void SaveAs_Btn_Clicked();
  void Open_Btn_Clicked();
  // New: offers to save, then New_Project (not when a wanted save was not made).
  void New_Btn_Clicked();
  // Reset, card panels, refresh and the start window.
  void New_Project();
  // Asks whether to save before closing (Yes, No, Cancel) and saves on Yes;
  // false when the window must stay open (Cancel, or Yes but the design was
  // not written). Then the review request and the end of the program. The
  // window's close event runs it; File > Quit closes the window.
  bool Exit_App();
  void Exit_Btn_Clicked() { close(); }
  // A side's background picture (already loaded) into its page settings.
  void setCardBackgroundImage(CardSide side, const QImage& picture);

  // ---- Tools and edit strip (ToolCommands.cpp) --------------------------------------
  // The tools of the strip (DrawingTool), one button each in their order.
  static constexpr int kToolCount = 16;
  // A tool button: the tool, then Select_tool_action (the object is made and
  // the strip falls back to the arrow).
  void selectTool(DrawingTool tool);
  void Select_tool_action();
  // The tool strip back to the arrow.
  void selectArrowTool();
  // Makes the object of the current tool on the current side.
  void selectedToolDidChange();
  QAction* toolAction(DrawingTool tool) const { return _toolActions.value(static_cast<int>(tool)); }
  // Edit strip and Edit menu (act on the canvas of the current side; Undo
  // and Redo on the front's history, only while the front is shown).
  void Undo_Clicked();
  void Redo_Clicked();
  void Cut_Clicked();
  void Copy_Clicked();
  void Paste_Clicked();
  void Delete_Clicked();
  void Begin_Front_Clicked();
  void Send_Back_Clicked();
  void Select_All_Clicked();
  void Lock_Clicked();
  void Unlock_Clicked();
  // The edit buttons' enabled states.
  void Enable_Standard_Button_For_Control();
  void Enable_Standard_Button_For_Unlock();
  void Disable_Standard_Button_For_Lock();
  void Disable_Standard_Button_For_Card();
  // Edit actions by name: "Undo", "Redo", "Cut", "Copy", "Paste", "Delete",
  // "Front", "Back", "Lock", "Unlock", "SelectAll".
  QAction* editAction(const QString& name) const { return _editActions.value(name); }
  void zoomIn();
  void zoomOut();
  void Show_Hide_Ruler_ChkBox(bool show);
  // The objects of each side.
  const SKTGraphicList& Get_Front_Controls_Array() const { return _document->graphics(); }
  const SKTGraphicList& Get_Back_Controls_Array() const { return _document->graphics_back(); }
  SKTGraphicList Get_Temp_Controls_Array() const { return _document->graphics_temp(); }
  int Get_Front_Control_Count() const { return static_cast<int>(_document->graphics().size()); }
  int Get_Back_Control_Count() const { return static_cast<int>(_document->graphics_back().size()); }
  int Get_Temp_Control_Count() const { return static_cast<int>(_document->graphics_temp().size()); }
  // Lets the user pick a picture file for a new picture object; false when
  // cancelled or when the file cannot be used (named). The picture is decoded
  // once and held until it is placed.
  bool Browse_User_Image_Manually();
  // Runs the picture library ("C" pictures, "B" backgrounds); 1 when one was chosen.
  int Open_Image_Library_Window(const QString& mode);

  // ---- Property panels (PropertyPanels.cpp) -----------------------------------------
  QTabWidget* settingsTabs() const { return sett_tab; }
  void Remove_All_Tab_Items();
  // The tab pages; card_info_tab and card_size_tab are never shown.
  QWidget *card_setting_tab = nullptr, *card_info_tab = nullptr, *card_size_tab = nullptr,
          *card_bkgd_tab = nullptr, *card_brdr_tab = nullptr, *line_tab = nullptr, *shape_tab = nullptr,
          *text_edtng_tab = nullptr, *text_prop_tab = nullptr, *image_tab = nullptr, *sign_tab = nullptr,
          *datasource_tab = nullptr, *aligmnt_tab = nullptr, *barcode_tab = nullptr, *Lock_tab = nullptr;
  // The object the tabs show, held weakly: one that leaves the card is shown
  // by nothing, even when another takes its place in memory.
  std::weak_ptr<SKTGraphic> Last_Selected_Graphic;
  // True when the tabs show `graphic`; nullptr asks whether they were last
  // given no object (an object that has gone is neither).
  bool tabsShow(const SKTGraphic* graphic) const;
  // The tabs load again the values of the object they show, which changed by
  // another route than the tabs (a script, undo, a data row). That is no
  // edit: nothing is written back and no undo step is made. The tab page in
  // front stays, and so does the editor's caret.
  void followShownObject();

  // ---- Object tabs (PropertyPanels.cpp, ObjectUpdates.cpp, DataSourcePanel.cpp,
  // TextInputs.cpp, ArrangeCommands.cpp) ----------------------------------------------
  TextEditingTab* textEditingTab() const { return _textEditing; }
  TextPropertiesTab* textPropertiesTab() const { return _textProperties; }
  DataSourceTab* dataSourceTab() const { return _dataSource; }
  PictureTab* pictureTab() const { return _picture; }
  LineTab* lineTab() const { return _line; }
  SignatureTab* signatureTab() const { return _signature; }
  ShapeTab* shapeTab() const { return _shape; }
  BarcodeTab* barcodeTab() const { return _barcode; }
  AlignmentTab* alignmentTab() const { return _alignment; }
  // The print check box shared by the object tabs (on: the object is left
  // out of pictures, prints and mails).
  QCheckBox* print_object_chk = nullptr;
  // Kind label: "NONE", "T" text, "I" picture, or the signature's kind.
  QString sel_control_name = QStringLiteral("NONE");
  // The text tab's font.
  CardFont Text_font;
  // Each writes the tab of its kind into every selected object of the
  // current side and redraws; nothing while values are being loaded.
  void Update_Shape_Graphics();
  void Update_Line_Graphics();
  void Update_Text_Graphics();
  void Update_Image_Graphics();
  void Update_Sign_Graphics();
  void Reset_Image_Editing_Controls() override;
  void Image_reset_Button();
  // The fill radios ("S" solid, "G" gradient, "H" hatch).
  void Shape_Fill_Radio_Selected(const QString& kind);
  void Text_Fill_Radio_Selected(const QString& kind);
  // The object tabs' combo boxes; false when the combo is not one of them.
  bool objectComboBoxSelectionDidChange(QComboBox* combo);
  // Data sources of the data-source tab.
  QStringList Get_datasheet_File_Name_Array() const;
  void Fill_Excel_Col_Name_In_Combo(QComboBox* combo);
  void Fill_Data_Set_File_Name_In_Combo(QComboBox* combo);
  void Add_Excel_Col_Name_In_Combo(QComboBox* combo);
  void Remove_Excel_Col_Name_In_Combo(QComboBox* combo);
  void View_batch_Series_Button();
  void Data_Source_Help_Button();
  // Text, font and picture inputs.
  static QString Get_date_Value(const QString& format);
  static QString Get_time_Value(const QString& format) { return Get_date_Value(format); }
  void Text_Insert_Date();
  void Text_Insert_Time();
  void textDidChange();
  void Text_Font_Changed();
  void changeTextFont(const CardFont& font);
  void Insert_Template_Button();
  void Manual_Image_Browse_Btn();
  void Manual_Library_Browse_Btn();
  void Sign_Browse_Btn();
  // Arrange commands and the print flag.
  void Print_object_chk_changed();
  void Align_Left_Clicked();
  void Align_Right_Clicked();
  void Align_Top_Clicked();
  void Align_Bottom_Clicked();
  void Align_Horz_Clicked();
  void Align_Vert_Clicked();
  void Align_Center_Clicked();
  void Make_Same_Width_Clicked();
  void Make_Same_Height_Clicked();
  void Make_Natural_Clicked();
  void Align_To_Grid_Clicked();

  // ---- Card settings (CardSettings.cpp) ---------------------------------------------
  CardSettingsTab* cardSettingsTab() const { return _cardSettings; }
  CardBackgroundTab* cardBackgroundTab() const { return _cardBackground; }
  CardBorderTab* cardBorderTab() const { return _cardBorder; }
  // The card tabs of the current side, loaded from its page settings.
  void showCardProperties();
  // The fill radios and the enabled fill and picture controls for a fill kind.
  void card_prop_set(const QString& kind);
  // Writes the card tabs into the current side's page settings and redraws.
  void Update_Card_Graphics();
  void Card_Border_ChkBox();
  void Card_Fill_Chk_Box();
  void Card_Fill_Radio_Selected(const QString& kind);
  void Card_Image_Browse_Btn();
  void Card_Image_Library_Btn();
  // Reads the millimetre fields and resizes the card; a size that is not a
  // number or lies outside 10 to 1000 mm is refused with a message.
  void Apply_Size_Clicked();
  // The card's one outline: both sides take it.
  void card_shape_CellClick(int row);
  // Recolours or refonts the texts of the current side when the content
  // colour or font changed since the last application, then updates.
  void Update_All_Card_Content();
  void Content_Font_Clicked();
  void changeAllTextFont(const CardFont& font);
  void set_Front_BG_Image(const QString& path);
  void set_Back_BG_Image(const QString& path);
  // Width and height (millimetres) into the size fields.
  void Set_Card_Size_In_Control(float width, float height);
  // The combo boxes' common handler (the card's sides, preset, category,
  // layout, border and hatch style; the object tabs' combo boxes).
  void comboBoxSelectionDidChange(QComboBox* combo);
  // The card-size list.
  void Create_List(const QString& text);
  QString Get_Item_Text(int row) const;
  // Selects row `row` alone; -1 selects none.
  void Mark_List_New_Selection(int row);
  // Marks the row whose preset has the card's size (`preferred` first), or
  // none when no preset of the category and orientation has it.
  void markCardSizeRow(int preferred);
  // A person chose a size row: its preset size becomes the card's size.
  void cardSizeRowChosen(int row);
  // The embedded background browser.
  void Load_and_fill_backgrounds();
  void addImageWithPath(const QString& path, const QString& name, const QString& uid);
  // The sample pictures of new objects, loaded from the resource folder.
  void loadSamplePictures();

  // ---- Start, exit and dialog buttons (DialogButtons.cpp) -----------------------------
  void Open_Start_Window();
  void newDocumentWindow() { Open_Start_Window(); }
  void Batch_Series_Button();
  void Import_Wizard_Button();
  void Create_Series_Button();
  void Export_Button();
  void Mail_Button();
  void Print_Button();
  void Print_method();
  void Help_Button();
  void User_Profile_Button_Clicked();
  void Card_Prop_Clicked();
  void Card_Bckgrnd_Clicked();
  void Export_As_Template_Clicked();
  void Share_It_Button_Clicked();
  void Promotion_Button_Clicked(const QString& software_type);
  void toggleGridShowing();
  void toggleGridConstraining();
  // The dialog buttons by action name ("Export_Button" ...).
  QAction* dialogAction(const QString& name) const { return _dialogActions.value(name); }

  // ---- Personalisation (PersonalisationActions.cpp) ---------------------------------
  // Whether a new project opens the start window. The program turns it on
  // once its window is made (and opens the start window itself then); tests
  // that do not drive the start window leave it off.
  static void setStartWindowShown(bool shown);
  // True once the start window was left without a card: the program ends.
  bool exitRequested() const { return _exitRequested; }
  void Card_Size_Clicked();
  void Template_Browser_Clicked();
  // The tool the canvas makes next, set without touching the strip (the
  // profile fill and the wizard layout select text and picture this way).
  void setSelectedControlTool(DrawingTool tool) { _selectedControlTool = tool; }
  // The front above the back, as a template's preview picture.
  QImage templatePreviewPicture() const;

  // ---- Progress sheets and path helpers (ProgressSheets.cpp) -------------------------
  static QString Convert_Path_From_URL(const QUrl& url);
  // 0 when the trimmed path names an existing file or folder, else the
  // message "Please select valid file path." and 1.
  static int Check_And_Validate_File_Path(const QString& path);
  // Any thread: the sheets are shown and hidden on the GUI thread.
  void Show_Create_Modeless();
  void Hide_Destroy_Modeless();
  void Show_One_By_One_Modeless();
  void Hide_One_By_One_Modeless();
  QDialog* pleaseWaitSheet() const { return plz_wait_Window; }

  // ---- Production: data binding and export (ProductionActions.cpp) ---------------------
  bool Check_Series_Or_Excel_Use_or_not();
  void Get_total_Card_count();
  QString Get_First_Value_Of_Dataset(const QString& name);
  QString Get_First_Value_Of_Excel_Binding(int column);
  bool Export_Single_File(const QString& path, bool show_msg);
  bool Export_Batch_File(const QString& folder);
  void Select_first_row_value_for_design(bool print_box);
  production::DataBinding& dataBinding();
  production::CardExport& cardExport();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildWindow();
  void buildMenus();
  void buildToolStrips();
  void buildEditMenu(QMenu* edit);
  void buildSettingsTabs();
  void connectCardControls();
  void buildDialogButtons();
  void installPersonalisation();
  void uninstallPersonalisation();
  void changeViewController(int index);
  void showObjectTabs(SKTGraphic* graphic);
  void buildObjectTabs();
  void connectObjectControls();
  void loadObjectControls(SKTGraphic& graphic);
  void loadTextControls(SKTGraphic& graphic);
  void loadPictureControls(SKTGraphic& graphic);
  void loadLineControls(SKTGraphic& graphic);
  void loadSignatureControls(SKTGraphic& graphic);
  void loadShapeControls(SKTGraphic& graphic);
  void loadDataSourceControls(SKTGraphic& graphic);
  void setShapeFillEnabling(const QString& kind);
  void setTextFillEnabling(const QString& kind);
  // The current side's selection, and its current object when that is selected.
  SKTGraphicList panelTargets() const;
  SKTGraphicPtr panelGraphic() const;
  // Writes into every selected object of the current side (one undo entry on the front).
  void writePanel(const std::function<void(SKTGraphic&)>& write);
  void writeCurrentGraphic(const std::function<void(SKTGraphic&)>& write);
  void panelFieldsRestored();
  void dataSourceKindChosen();
  void dataSourceItemChosen();
  void setEditButtons(std::initializer_list<std::pair<const char*, bool>> states);
  void setLockOfSelection(bool locked);
  // The tabs show the selection of the side being edited: its current object
  // when that is selected, else its last one, else the card. Runs whenever a
  // change of a canvas's list ended (a command, a script, undo or redo), so an
  // object that left the list leaves the tabs. `reload` loads the values again
  // even when the tabs show that object already (they may have been put back).
  void followSelection(SKTGraphicView* view, bool reload);
  // Graphics of the canvas or a picture: what Paste can paste.
  bool pasteboardHoldsGraphics() const;
  // The edit commands follow the clipboard and the current side's selection.
  void followEditState();
  // The picture file as the side's background, checked and decoded once;
  // false, with the problem shown and the side unchanged, when it cannot be used.
  bool setBackgroundImageOfSide(CardSide side, const QString& path);
  void loadCardControls(const Card_Property& page);
  // The outline (Card_Shape) into both sides' page settings.
  void storeCardOutline();
  // "V" when the card tab's orientation is vertical, else "H".
  QString cardSizeOrientation() const;
  void rememberContentSnapshot();

  std::unique_ptr<SKTDocument> _document;
  QPointer<SKTGrid> _grid;
  QPointer<SKTGraphicView> _graphicView, _graphicView_BACK, _graphicView_TEMP;
  QPointer<SKTZoomingScrollView> _scrollFront, _scrollBack, _scrollTemp;
  QStackedWidget* _sideStack = nullptr;
  QLabel* _frontBackLabel = nullptr;
  double _zoomFactor = 1.0;
  DrawingTool _selectedControlTool = DrawingTool::Arrow;
  QList<QAction*> _zoomActions;
  QAction* _showGridAction = nullptr;
  QAction* _snapAction = nullptr;
  std::unique_ptr<WindowDesignHost> _designHost;
  std::unique_ptr<ProfileHost> _profileHost;
  bool _exitRequested = false;
  std::shared_ptr<ProductionActions> _production;  // made on first use

  // Tool and edit strips, dialog buttons.
  QToolBar* _toolStrip = nullptr;
  QToolBar* _editStrip = nullptr;
  QToolBar* _dialogStrip = nullptr;
  QActionGroup* _toolGroup = nullptr;
  QMap<int, QAction*> _toolActions;
  QMap<QString, QAction*> _editActions;
  QMap<QString, QAction*> _dialogActions;
  QPushButton* _backSideButton = nullptr;

  // Property tabs and card settings.
  QTabWidget* sett_tab = nullptr;
  CardSettingsTab* _cardSettings = nullptr;
  CardBackgroundTab* _cardBackground = nullptr;
  CardBorderTab* _cardBorder = nullptr;
  QLabel* _lockLabel = nullptr;
  TextEditingTab* _textEditing = nullptr;
  TextPropertiesTab* _textProperties = nullptr;
  DataSourceTab* _dataSource = nullptr;
  PictureTab* _picture = nullptr;
  LineTab* _line = nullptr;
  SignatureTab* _signature = nullptr;
  ShapeTab* _shape = nullptr;
  BarcodeTab* _barcode = nullptr;
  AlignmentTab* _alignment = nullptr;
  std::unique_ptr<panel_edits::PanelUndo> _panelUndo;
  std::unique_ptr<ShownObjectWatch> _shownObjectWatch;
  // The content colour and font as last loaded into the card tabs (a change
  // since then recolours or refonts the side's texts).
  QColor All_Text_clr_COPY;
  CardFont All_Text_font_COPY;
  CardFont _allTextFont;
  QColor _allTextColor = Qt::black;
  mutable std::mutex _contentMutex;  // the two above are read by render workers
  QStringList _hatchNames;

  // Sample pictures of new objects.
  QImage _no_image, _barcode_sample_img, _sign_sample_img, _fp_sample_img;
  // The picture file chosen for a picture object, decoded when it was
  // checked, held until the object takes it.
  QImage _chosenPicture;

  // The please-wait sheet.
  QDialog* plz_wait_Window = nullptr;
  QLabel* modeless_msg_lbl = nullptr;

  // Copies of the page settings, readable from render workers.
  mutable std::mutex _pageSnapshotMutex;
  Card_Property _frontSnapshot, _backSnapshot;

  // The front canvas's bounds, readable from render workers.
  mutable std::mutex _canvasBoundsMutex;
  QRectF _canvasBounds;
};

// The main window controller, reached from every part of the program.
extern SKTWindowController* Main_App_wnd;
