// The main window's side of personalisation: the start window at start-up
// and after New, the profile button, the card size dialog, the template
// browser and the template export, and the services the personalisation
// dialogs ask of the window (its canvases, card size and outline, design
// loading).
#include <QAbstractButton>
#include <QButtonGroup>
#include <QFile>
#include <QImage>

#include "mainwindow/CardSizes.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/designfile/DesignFile.h"
#include "mainwindow/globals.h"
#include "mainwindow/panels/CardSettingsTab.h"
#include "mainwindow/panels/DataSourceTab.h"
#include "personalisation/Card_Wizard.h"
#include "personalisation/Export_Template.h"
#include "personalisation/Invitation_Wizard.h"
#include "personalisation/ProfileDialog.h"
#include "personalisation/ProfileFill.h"
#include "personalisation/ProfileHost.h"
#include "personalisation/TemplateStore.h"
#include "personalisation/Template_Wizard.h"
#include "personalisation/UserProfiles.h"
#include "personalisation/WizardLayout.h"
#include "personalisation/globals.h"
#include "platform/MessageHost.h"
#include "platform/Messages.h"
#include "platform/widgets/Controls.h"
#include "production/CardImageFile.h"
#include "production/globals.h"

namespace {

bool startWindowShown = false;

class WindowProfileHost : public ProfileHost {
 public:
  explicit WindowProfileHost(SKTWindowController& window) : w_(window) {}

  bool Excel_Binding_Use() override { return ::Excel_Binding_Use.load(); }
  void Add_Excel_Col_Name_In_Combo() override {
    w_.Add_Excel_Col_Name_In_Combo(w_.dataSourceTab()->Data_source_type);
  }
  void Remove_Excel_Col_Name_In_Combo() override {
    w_.Remove_Excel_Col_Name_In_Combo(w_.dataSourceTab()->Data_source_type);
  }
  void Set_Selected_Control_Tool(DrawingTool tool) override { w_.setSelectedControlTool(tool); }
  QSizeF Front_Card_Size() override {
    const QSizeF size = w_.Front_card_Prop.Card_Size;
    return size.isEmpty() ? w_.frontCanvasBounds().size() : size;
  }
  int Run_User_Profile_Dialog(const QString& side, bool load) override {
    return Run_Profile_Dialog(side, load);
  }
  SKTGraphicView* Side_View(CardSide side) override {
    return side == CardSide::Back   ? w_.graphicView_BACK()
           : side == CardSide::Temp ? w_.graphicView_TEMP()
                                    : w_.graphicView();
  }
  void Set_Excel_Binding_Use(bool use) override { ::Excel_Binding_Use = use; }
  QString Excel_Source_Path() override { return ::Excel_Source_Path; }
  void Set_Excel_Source_Path(const QString& path) override { ::Excel_Source_Path = path; }
  void Batch_Series_Button() override { w_.Batch_Series_Button(); }
  void Set_Card_Size_In_Control(float width, float height) override {
    w_.Set_Card_Size_In_Control(width, height);
  }
  void Set_Document_Size(const QSizeF& points) override {
    w_.SetDocumentCanvasSize(points);
    w_.graphicView()->Refresh_ScrollView();
  }
  void Update_Card_Graphics() override {
    // The outline shows in the card tab; both sides take the new size.
    if (QAbstractButton* row = w_.cardSettingsTab()->matrix_card_shape->button(::Card_Shape.load()))
      showChecked(row, true);
    w_.Update_Card_Graphics();
    const QSizeF size = w_.frontCanvasBounds().size();
    w_.Front_card_Prop.Card_Size = size;
    w_.Back_card_Prop.Card_Size = size;
    w_.snapshotPageSettings();
    for (SKTGraphicView* view : {w_.graphicView(), w_.graphicView_BACK(), w_.graphicView_TEMP()})
      view->update();
  }
  int Card_Shape() override { return ::Card_Shape.load(); }
  void Set_Card_Shape(int shape) override { ::Card_Shape = shape; }
  QStringList Card_Size_Presets(const QString& category) override {
    return category == QLatin1String("PVC Card") ? pvc_card_arry() : paper_card_arry();
  }
  QSizeF Get_My_card_Size(const QString& category, const QString& preset, int row) override {
    return ::Get_My_card_Size(category, preset, row);
  }
  int Open_Log_File() override { return w_.Open_Log_File(); }
  int Open_Template_Design(const QString& path) override {
    return w_.Read_and_load_design_Log(path, QStringLiteral("T"));
  }
  void set_Front_BG_Image(const QString& path) override {
    if (path.isEmpty()) return;
    w_.set_Front_BG_Image(path);
    w_.Update_Card_Graphics();
  }

 private:
  SKTWindowController& w_;
};

}  // namespace

void SKTWindowController::setStartWindowShown(bool shown) {
  startWindowShown = shown;
}

void SKTWindowController::installPersonalisation() {
  _profileHost = std::make_unique<WindowProfileHost>(*this);
  setProfileHost(_profileHost.get());
}

void SKTWindowController::uninstallPersonalisation() {
  setProfileHost(nullptr);
}

// ---------------------------------------------------------------- start window

void SKTWindowController::Open_Start_Window() {
  if (!startWindowShown) return;
  Invitation_Wizard& wizard = Invitation_Wizard::defaultInstance();
  const int result = wizard.Open_Wnd();
  Start_Card_Option = wizard.Start_Card_Option;
  if (result != 1) {
    // Leaving the start window leaves the program, without a save question.
    _exitRequested = true;
    platform::messageHost().exitProcess(0);
    return;
  }
  if (Start_Card_Option != QLatin1String("W")) return;
  _document->Enable_Disable_Undo_Registraion(false);
  Update_Card_Graphics();
  if (QAbstractButton* row = _cardSettings->matrix_card_shape->button(Card_Shape.load()))
    showChecked(row, true);
  Fill_Party_Invidation_Details(*_graphicView, InviteAnswers::fromGlobals());
  Show_RHS_Properties(nullptr);
  _document->Enable_Disable_Undo_Registraion(true);
  Refresh_Canvas();
}

// ---------------------------------------------------------------- profile, card size, templates

void SKTWindowController::User_Profile_Button_Clicked() {
  const bool back = Card_Front_Or_Back.load() == 1;
  if (Open_User_Profile_Window(true, back ? QStringLiteral("B") : QStringLiteral("F")) == 1) {
    UserProfiles& profiles = User_Profiles();
    if (back)
      Fill_User_profile_info_back_side(profiles.Back_user_profile, *_graphicView_BACK);
    else
      Fill_User_profile_info_front_side(profiles.Front_user_profile, *_graphicView);
    // The fill also wrote into objects the tabs may show.
    followSelection(currentSideView(), true);
  }
  Refresh_Canvas();
}

void SKTWindowController::Card_Size_Clicked() {
  Card_Wizard::defaultInstance().Open_Wnd();
}

void SKTWindowController::Template_Browser_Clicked() {
  if (Template_Wizard::defaultInstance().Open_Template_Window() != 1) return;
  // The template takes the place of the design on the canvas: as with Open,
  // the user may keep that design first, and one that was to be kept but was
  // not written stays.
  if (Show_YES_NO_MessageBox(QStringLiteral("Do you want to save changes before opening document?")) &&
      !Save_project_file(false, true))
    return;
  if (Read_and_load_design_Log(Selected_Template_Path, QStringLiteral("T")) == 1)
    Show_RHS_Properties(nullptr);
}

// The template's picture is the card export's combined picture: the front
// above the back.
QImage SKTWindowController::templatePreviewPicture() const {
  return production::combinedCardPicture(
      SKTRenderingView::image_From_Card_Graphics(_document->graphics(), sidePaintContext(CardSide::Front)),
      SKTRenderingView::image_From_Card_Graphics(_document->graphics_back(),
                                                 sidePaintContext(CardSide::Back)));
}

void SKTWindowController::Export_As_Template_Clicked() {
  commitFocusedEdit(this);
  Export_Template& panel = Export_Template::defaultInstance();
  if (panel.Run_Name_Panel(QString(), QString()) != 1) return;
  export_template_name = panel.export_template_name;
  snapshotPageSettings();
  // A template is a design file: one the reader would refuse is not written,
  // and the earlier template of the name stays.
  QByteArray design;
  try {
    design = designfile::designFileBytes(designfile::currentDesign(designHost()));
  } catch (const std::exception& e) {
    Show_MessageBox(QString::fromUtf8(e.what()));
    return;
  }
  const QImage preview = templatePreviewPicture();
  const templates::Outcome outcome = templates::Export_Template_Files(
      export_template_name,
      [&design](const QString& path) { return designfile::writeDesignBytes(path, design); },
      [&preview](const QString& path) {
        QString reason;
        return !preview.isNull() &&
               production::Save_gen_image(preview, path, production::CardImageFormat::Png, &reason);
      });
  export_card_side = QStringLiteral("BOTH");
  if (outcome == templates::Outcome::Done)
    Show_MessageBox(QStringLiteral("Template exported successfully."));
  else
    Show_MessageBox(QStringLiteral("The template could not be written."));
}
