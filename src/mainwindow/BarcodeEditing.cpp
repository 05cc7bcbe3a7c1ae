#include "mainwindow/BarcodeEditing.h"

#include <QPointer>
#include <algorithm>
#include <exception>
#include <optional>

#include "barcode/designer/CardBarcodePicture.h"
#include "barcode/designer/GraphicBarcodeSettings.h"
#include "barcode/dialog/Barcode_Gen.h"
#include "canvas/SKTGraphicView.h"
#include "canvas/SKTGrid.h"
#include "core/CardHost.h"
#include "core/SKTUndoRecorder.h"
#include "mainwindow/SeriesBindings.h"
#include "mainwindow/globals.h"
#include "platform/Messages.h"

namespace barcode_editing {

namespace {

struct BarcodeState {
  barcode::BarcodeSettings settings;
  QImage picture;
  int printObject = 0;
};

void restore(const SKTGraphicList& graphics, const std::vector<BarcodeState>& states, SKTUndoRecorder* undo) {
  std::vector<BarcodeState> current;
  for (const SKTGraphicPtr& g : graphics)
    current.push_back({barcode::barcodeSettingsOf(*g), g->_barcode_image, g->print_object});
  for (size_t i = 0; i < graphics.size(); ++i) {
    barcode::setBarcodeSettings(*graphics[i], states[i].settings);
    graphics[i]->Set_Barcode_image(states[i].picture);
    graphics[i]->print_object = states[i].printObject;
  }
  // Undo and redo bring back the settings; the pictures show the spread
  // choice in force now, which is the program's and not undone with them.
  if (undo)
    undo->registerUndo([graphics, current, undo] {
      restore(graphics, current, undo);
      barcode::redrawSpreadCaptions(graphics);
    });
}

// The object takes the binding; its undo puts back the one it had.
void rebind(const SKTGraphicPtr& graphic, const SourceBinding& binding, SKTUndoRecorder* undo) {
  const SourceBinding current = SourceBinding::of(*graphic);
  binding.applyTo(*graphic);
  if (undo) undo->registerUndo([graphic, current, undo] { rebind(graphic, current, undo); });
}

bool holds(const SKTGraphicList& list, const SKTGraphic* graphic) {
  return std::any_of(list.begin(), list.end(),
                     [graphic](const SKTGraphicPtr& g) { return g.get() == graphic; });
}

// While the designer runs, tells it when the object it edits leaves the canvas's list.
class RemovalWatch {
 public:
  RemovalWatch(SKTGraphicView* view, const SKTGraphic* edited, Barcode_Gen& dialog) {
    if (view->document() == nullptr) return;
    const QPointer<SKTGraphicView> canvas(view);
    connection_ = QObject::connect(view->document(), &SKTDocument::graphicsChanged, &dialog,
                                   [canvas, edited, &dialog](CardSide) {
                                     if (!canvas || !holds(canvas->graphics(), edited))
                                       dialog.objectRemoved();
                                   });
  }
  ~RemovalWatch() { QObject::disconnect(connection_); }
  RemovalWatch(const RemovalWatch&) = delete;
  RemovalWatch& operator=(const RemovalWatch&) = delete;

 private:
  QMetaObject::Connection connection_;
};

// The picture, in a frame of its size from the frame's origin.
void showPicture(SKTGraphic& barcode, const QImage& picture) {
  barcode.Set_Barcode_image(picture);
  barcode.setBounds(QRectF(barcode.bounds().topLeft(), picture.deviceIndependentSize()));
}

// The picture of card 1's value in the object's settings: a blank one for
// an empty value or one its symbology cannot draw, as that card shows.
QImage cardOnePicture(const SKTGraphic& barcode, const QString& value) {
  QString why;
  const QImage picture = value.isEmpty() ? QImage() : barcode::cardPictureOf(barcode, value, &why);
  if (!picture.isNull()) return picture;
  if (!why.isEmpty()) qCWarning(lcMainWindow).noquote() << "card 1 shows no barcode:" << why;
  return barcode::blankCardPicture(barcode);
}

// After Cancel: a source chosen in the designer stays, as choosing it bound
// the object at once. The object then shows the value card 1 takes with it
// (its own typed value once "Manual" was chosen), as every output does; on
// the front that is one undo step, which puts back the former source and value.
void showKeptSource(const SKTGraphicPtr& edited, const SourceBinding& before, SKTUndoRecorder* undo) {
  const SourceBinding chosen = SourceBinding::of(*edited);
  if (chosen == before) return;
  barcode::BarcodeSettings settings = barcode::barcodeSettingsOf(*edited);
  const QString value = cardOneValueOf(*edited).value_or(settings.value());
  (settings.isTwoD() ? settings.two_d_font_val : settings.linear_font_val) = value;
  const QImage picture = cardOnePicture(*edited, value);
  before.applyTo(*edited);
  std::optional<SKTUndoGroup> step;
  if (undo) step.emplace(*undo);
  rebind(edited, chosen, undo);
  writeBarcodes({edited}, settings, picture, edited->print_object, undo);
}

}  // namespace

void writeBarcodes(const SKTGraphicList& graphics, const barcode::BarcodeSettings& settings,
                   const QImage& picture, int printObject, SKTUndoRecorder* undo) {
  if (graphics.empty()) return;
  if (undo) undo->beginGroup();
  restore(graphics, std::vector<BarcodeState>(graphics.size(), BarcodeState{settings, picture, printObject}),
          undo);
  // The object's frame follows its new picture (its bounds are undone with it on the front).
  const QSizeF size = picture.deviceIndependentSize();
  if (!size.isEmpty())
    for (const SKTGraphicPtr& g : graphics) g->setBounds(QRectF(g->bounds().topLeft(), size));
  if (undo) undo->endGroup();
}

bool showBoundValue(SKTGraphic& barcode, const QString& value) {
  barcode::BarcodeSettings settings = barcode::barcodeSettingsOf(barcode);
  if (settings.value() == value && !barcode._barcode_image.isNull()) return false;
  (settings.isTwoD() ? settings.two_d_font_val : settings.linear_font_val) = value;
  barcode::setBarcodeSettings(barcode, settings);
  showPicture(barcode, cardOnePicture(barcode, value));
  return true;
}

void drawNewBarcode(SKTGraphic& barcode) {
  if (barcode.kind() != GraphicKind::Barcode || !barcode._barcode_image.isNull()) return;
  const QImage picture = barcode::cardPictureOf(barcode, barcode::barcodeSettingsOf(barcode).value());
  if (!picture.isNull()) showPicture(barcode, picture);
}

void openDesigner(SKTGraphicView* view, int printObject, SKTUndoRecorder* undo) {
  if (view == nullptr) return;
  try {
    const SKTGraphicPtr edited = view->Selected_Graphic();
    if (!edited || edited->kind() != GraphicKind::Barcode) return;
    Barcode_Gen& dialog = Barcode_Gen::defaultInstance();
    // Choosing a series or a column binds the object at once (and Cancel
    // keeps it), so that the designer shows its first value.
    const SourceBinding before = SourceBinding::of(*edited);
    int code = 0;
    {
      const RemovalWatch watch(view, edited.get(), dialog);
      code = dialog.Open_Wnd(edited.get());
    }
    if (!holds(view->graphics(), edited.get())) return;
    if (code != 1 || dialog.Barcode_output_image.isNull()) {
      showKeptSource(edited, before, undo);
      cardHost().Refresh_Canvas();
      return;
    }
    SKTGraphicList targets;
    for (const SKTGraphicPtr& g : view->selectedGraphics())
      if (g->kind() == GraphicKind::Barcode) targets.push_back(g);
    if (std::find(targets.begin(), targets.end(), edited) == targets.end()) targets.push_back(edited);
    // The series or column chosen is part of the designer's one undo step:
    // an undo gives the object its former source along with its former value.
    const SourceBinding chosen = SourceBinding::of(*edited);
    before.applyTo(*edited);
    std::optional<SKTUndoGroup> step;
    if (undo) step.emplace(*undo);
    rebind(edited, chosen, undo);
    writeBarcodes(targets, dialog.settings(), dialog.Barcode_output_image, printObject, undo);
    cardHost().Refresh_Canvas();
  } catch (const std::exception& e) {
    qCWarning(lcMainWindow).noquote() << QString::fromLocal8Bit(e.what());
  }
}

}  // namespace barcode_editing
