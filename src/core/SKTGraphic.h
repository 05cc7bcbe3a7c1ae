#pragma once
// SKTGraphic: the base of every card object. It carries the full property set
// of every kind (93 archived fields), so that any object can be archived,
// copied, shown in the property panels and bound to a data source through one
// record. The kinds (SKTText, SKTImage, SKTLine, Shape_Control, SKTSignature,
// SKTBarcode) add behaviour and hardly any state.
//
// Fields are public and keep the names the design file uses: the property
// panels and dialogs write them directly (plain stores, no notification, no
// undo). Changes that must be observed (and are undoable on the front side)
// go through setValueForKey() or the notifying setters (setBounds and the
// position and size setters, the flip setters).
//
// Threads: a graphic belongs to the GUI thread. Workers render from clone()s
// taken on the GUI thread.

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <memory>
#include <optional>
#include <vector>

#include "core/CardTypes.h"

class QPainter;
class SKTDocument;
class SKTGraphic;

using SKTGraphicPtr = std::shared_ptr<SKTGraphic>;
using SKTGraphicList = std::vector<SKTGraphicPtr>;

// Handle codes.
enum : int {
  SKTGraphicNoHandle = 0,
  SKTGraphicUpperLeftHandle = 1,
  SKTGraphicUpperMiddleHandle = 2,
  SKTGraphicUpperRightHandle = 3,
  SKTGraphicMiddleLeftHandle = 4,
  SKTGraphicMiddleRightHandle = 5,
  SKTGraphicLowerLeftHandle = 6,
  SKTGraphicLowerMiddleHandle = 7,
  SKTGraphicLowerRightHandle = 8,
};
inline constexpr double SKTGraphicHandleWidth = 6.0;
inline constexpr double SKTGraphicHandleHalfWidth = 3.0;

// Observable keys.
namespace SKTKeys {
inline const QString bounds = QStringLiteral("bounds");
inline const QString drawingFill = QStringLiteral("drawingFill");
inline const QString fillColor = QStringLiteral("fillColor");
inline const QString drawingStroke = QStringLiteral("drawingStroke");
inline const QString strokeColor = QStringLiteral("strokeColor");
inline const QString strokeWidth = QStringLiteral("strokeWidth");
inline const QString xPosition = QStringLiteral("xPosition");
inline const QString yPosition = QStringLiteral("yPosition");
inline const QString width = QStringLiteral("width");
inline const QString height = QStringLiteral("height");
inline const QString drawingBounds = QStringLiteral("drawingBounds");
inline const QString drawingContents = QStringLiteral("drawingContents");
inline const QString keysForValuesToObserveForUndo = QStringLiteral("keysForValuesToObserveForUndo");
inline const QString className = QStringLiteral("className");
inline const QString canSetDrawingFill = QStringLiteral("canSetDrawingFill");
inline const QString canSetDrawingStroke = QStringLiteral("canSetDrawingStroke");
inline const QString flippedHorizontally = QStringLiteral("flippedHorizontally");
inline const QString flippedVertically = QStringLiteral("flippedVertically");
inline const QString beginPoint = QStringLiteral("beginPoint");
inline const QString endPoint = QStringLiteral("endPoint");
inline const QString undoContents = QStringLiteral("undoContents");
}  // namespace SKTKeys

// Receives key-value change notices of graphics it observes.
class SKTGraphicObserver {
 public:
  virtual ~SKTGraphicObserver() = default;
  // oldValue / newValue are the values of the key before and after the change
  // (invalid QVariant for keys without a value, such as "drawingContents").
  virtual void observeValueForKey(SKTGraphic& graphic, const QString& key, const QVariant& oldValue,
                                  const QVariant& newValue, int context) = 0;
  // Around one change of an observed graphic: every key one change announces
  // (a line's two ends, the flips and bounds of a resize) is reported between
  // these two calls, so that an observer can treat them as one (the document
  // makes them one undo entry). Called once per observer, however many keys
  // it observes; nested changes of the same graphic report only the outermost.
  virtual void graphicWillChange(SKTGraphic& graphic) {}
  virtual void graphicDidChange(SKTGraphic& graphic) {}
};

class SKTGraphic : public std::enable_shared_from_this<SKTGraphic> {
 public:
  SKTGraphic();
  virtual ~SKTGraphic();

  // ---- Creation and copying ---------------------------------------------
  // A new graphic of the given kind with every field at its new value.
  static SKTGraphicPtr makeGraphic(GraphicKind kind);
  // Deep copy of every field and of the kind's own state (no observers, no
  // scripting container). Used for snapshots handed to render workers.
  SKTGraphicPtr clone() const;
  // The copy command's copy: a new graphic of the same kind with only the
  // bounds, fill and stroke settings copied; kinds may copy more.
  virtual SKTGraphicPtr copyWithZone() const;

  virtual GraphicKind kind() const { return GraphicKind::Graphic; }
  QString className() const { return graphicClassName(kind()); }

  // ---- Property dictionary (no storage format uses it) ---------------------------
  // "bounds" (rectangle string), "drawingFill", "drawingStroke" (booleans),
  // "fillColor", "strokeColor" (colour data, only when set), "strokeWidth"
  // (double); the kinds add their own keys.
  virtual QVariantMap properties() const;
  // A new graphic of the kind taking each known key whose value has the
  // expected type; other values are ignored.
  static SKTGraphicPtr graphicWithProperties(GraphicKind kind, const QVariantMap& properties);
  QString description() const;

  // ---- Plain accessors (no notification) -----------------------------------
  void Set_Ctrl_Is_Visible(bool visible) { ctrl_is_visible = visible; }
  bool Is_Control_Locked() const { return ctrl_is_locked; }
  void Set_Barcode_image(const QImage& image) { _barcode_image = image; }
  QString Get_shape_type() const { return _shape_type; }
  void Set_Shape_Type(const QString& type) { _shape_type = type; }
  void Set_Excel_binding(bool binding) { excel_binding = binding; }
  void Set_Excel_binding_Index(int index) { excel_col_indx = index; }
  CardFont Text_Font_value() const { return text_ctrl_font; }
  QColor Text_Color_Value() const { return txt_clr; }
  int Get_Line_Ori() const { return _line_ori; }
  int Get_Line_Cap_Style() const { return _line_cap_style; }
  void Set_Batch_List_Name(const QString& name) { batch_list_name = name; }
  QString batch_list_name_val() const { return batch_list_name; }
  void Set_Batch_List_Index(int index) { batch_list_index = index; }
  int batch_list_index_val() const { return batch_list_index; }
  void Set_Data_source_type(int type) { data_source_type = type; }
  int data_source_type_val() const { return data_source_type; }
  QString Sign_Or_FP_Val() const { return sign_or_fingureprint; }
  void Set_Sign_Or_FP(const QString& kind) { sign_or_fingureprint = kind; }
  void Set_Control_File_path(const QString& path) { _file_path = path; }
  QString FilePath() const { return _file_path; }
  QRectF bounds() const { return _bounds; }
  double Get_Image_Trnsp_val() const { return img_trnsp_val; }
  double Get_Hue_val() const { return hue_val; }
  double strokeWidth() const { return _strokeWidth; }
  double fill_grad_angle() const { return _fill_grad_angle; }
  QString strokeBorderType() const { return _stroke_border_type; }
  QString fill_type() const { return _fill_type; }
  QString fill_hatch_type() const { return _fill_hatch_type; }
  bool isFlippedHorizontally() const { return _isFlippedHorizontally; }
  bool isFlippedVertically() const { return _isFlippedVertically; }

  // Colour getters: the stored colour with its alpha replaced by alpha_val
  // (stroke: alpha_val_stroke), stored back into the field and returned.
  // An alpha of 1 or more is fully opaque.
  QColor fillColor();
  QColor fill_hatch_bk_clr();
  QColor fill_Grad_clr1();
  QColor fill_Grad_clr2();
  QColor strokeColor();

  // The formatted text, made on first use from Text_Value in black and the
  // font named by Text_Ctrl_Font at 14 points.
  SKTTextStoragePtr Text_contents();

  // ---- Geometry (notifying) -------------------------------------------------
  // Stores the bounds and notifies observers of "bounds" and the keys that
  // depend on it. Kinds customise the store in applyBounds(). A position or a
  // size beyond the limits of GraphicLimits.h is cut back to the limit.
  void setBounds(const QRectF& bounds);
  double xPosition() const { return _bounds.x(); }
  double yPosition() const { return _bounds.y(); }
  double width() const { return _bounds.width(); }
  double height() const { return _bounds.height(); }
  void setXPosition(double x);
  void setYPosition(double y);
  void setWidth(double width);
  void setHeight(double height);

  // The flip flags (observable as "flippedHorizontally"/"flippedVertically").
  virtual void setFlippedHorizontally(bool flipped);
  virtual void setFlippedVertically(bool flipped);

  // ---- Overridable behaviour --------------------------------------------------
  virtual bool isDrawingFill() const { return _isDrawingFill; }
  virtual bool isDrawingStroke() const { return _isDrawingStroke; }
  virtual QRectF drawingBounds() const;
  // Draws the object's contents. The kinds' definitions live in core/draw/.
  virtual void drawContentsInView(QPainter& painter, bool isBeingCreateOrEdited);
  // The outline the drawing uses; the base raises std::logic_error.
  virtual QPainterPath bezierPathForDrawing() const;
  virtual void drawHandlesInView(QPainter& painter, bool lock_hai) const;
  void drawHandleInView(QPainter& painter, const QPointF& point, bool lock_hai) const;
  virtual bool canSetDrawingFill() const { return true; }
  virtual bool canSetDrawingStroke() const { return true; }
  virtual bool canMakeNaturalSize() const;
  virtual bool isContentsUnderPoint(const QPointF& point) const;
  bool isHandleAtPoint(const QPointF& handlePoint, const QPointF& point) const;
  virtual int handleUnderPoint(const QPointF& point) const;
  virtual int resizeByMovingHandle(int handle, const QPointF& point);
  virtual void flipHorizontally() {}
  virtual void flipVertically() {}
  virtual void makeNaturalSize();
  virtual void setColor(const QColor& color);
  virtual void finalizeEditingView() {}
  virtual QStringList keysForValuesToObserveForUndo() const;
  // Presentable (undo) name of a key; nothing means the kind has none.
  virtual std::optional<QString> presentablePropertyNameForKey(const QString& key) const;
  virtual int creationSizingHandle() const { return SKTGraphicLowerRightHandle; }

  // The handle point of a handle code (1 to 8) on the current bounds.
  QPointF handlePoint(int handle) const;

  // ---- Key-value access ------------------------------------------------------
  // Reads an observable key ("bounds", "drawingFill", "fillColor", ...).
  virtual QVariant valueForKey(const QString& key);
  // Sets an observable key and notifies its observers. Unknown keys raise
  // std::invalid_argument.
  virtual void setValueForKey(const QString& key, const QVariant& value);
  // Keys whose values change whenever the given key changes.
  virtual QStringList keysAffectedByKey(const QString& key) const;

  void addObserver(SKTGraphicObserver* observer, const QString& key, int context);
  void removeObserver(SKTGraphicObserver* observer, const QString& key, int context);
  bool hasObservers() const { return !observations_.empty(); }

  // Change announcement around a change of a key (nestable).
  void willChangeValueForKey(const QString& key);
  void didChangeValueForKey(const QString& key);

  // Makes the changes made during its lifetime one change for observers
  // (graphicWillChange / graphicDidChange), like a single key change.
  class ChangeScope {
   public:
    explicit ChangeScope(SKTGraphic& graphic) : graphic_(graphic) { graphic_.beginChange(); }
    ~ChangeScope() { graphic_.endChange(); }
    ChangeScope(const ChangeScope&) = delete;
    ChangeScope& operator=(const ChangeScope&) = delete;

   private:
    SKTGraphic& graphic_;
  };

  // ---- Scripting container (the document holding it in its front list) --------
  void setScriptingContainer(SKTDocument* document) { _scriptingContainer = document; }
  SKTDocument* scriptingContainer() const { return _scriptingContainer; }

  // ---- Class operations on lists of graphics ----------------------------------
  static QRectF boundsOfGraphics(const SKTGraphicList& graphics);
  static QRectF drawingBoundsOfGraphics(const SKTGraphicList& graphics);
  // Moves every unlocked graphic by the offset, cut back so that none leaves
  // the limits (GraphicLimits.h); answers the offset applied.
  static QPointF translateGraphics(const SKTGraphicList& graphics, double dx, double dy);
  // Deep copies (clone()) of every graphic of a list, in list order.
  static SKTGraphicList cloneGraphics(const SKTGraphicList& graphics);
  static void Paste_Location_Of_Graphics(const SKTGraphicList& graphics, double x, double y,
                                         const QString& card_side);

  // Copies the 38 barcode settings from another graphic.
  void copyBarcodeSettingsFrom(const SKTGraphic& other);

  // ---- Fields, in declaration order, with their new values -------------------
  QRectF _bounds;
  bool _isDrawingFill = true;
  QColor _fillColor = Qt::white;
  bool _isDrawingStroke = true;
  QColor _strokeColor = Qt::black;
  double _strokeWidth = 1.0;
  QString _stroke_border_type = QStringLiteral("S");
  QString _fill_type = QStringLiteral("S");
  QColor _fill_Grad_clr1 = Qt::white;
  QColor _fill_Grad_clr2 = Qt::white;
  double _fill_grad_angle = 0.0;
  QColor _fill_htch_clr = Qt::white;
  QString _fill_hatch_type;
  bool _isFlippedHorizontally = false;
  bool _isFlippedVertically = false;
  bool invert_clr = false;
  bool gray_Scale = false;
  bool Sepia = false;
  float img_trnsp_val = 100.0f;
  float hue_val = 0.0f;
  float sat_val = 1.0f;
  float brt_val = 0.0f;
  float con_val = 1.0f;
  float srp_val = 0.0f;
  float ev_val = 0.0f;
  float blr_val = 0.0f;
  int data_source_type = 0;
  float rotate_image = 0.0f;
  QString _file_path;  // resource folder + "/no.png"
  QString sign_or_fingureprint = QStringLiteral("S");
  QString batch_list_name;
  int batch_list_index = 0;
  int _line_ori = 0;
  int _line_cap_style = 0;
  float cor_rad_val_val = 10.0f;
  float alpha_val = 100.0f;
  float alpha_val_stroke = 100.0f;
  CardFont text_ctrl_font;  // the main window's All_Text_font
  QColor txt_clr;           // the main window's All_Text_clr
  SKTTextStoragePtr _Text_contents;
  QString _shape_type = QStringLiteral("R");
  QImage _barcode_image;
  // The 38 barcode settings.
  int linear_or_2d = 0;
  int barcode_font_index = 0;
  QString linear_font_val = QStringLiteral("0123");
  QString two_d_font_val = QStringLiteral("0123");
  QString header_val = QStringLiteral("HEADER");
  QString footer_val = QStringLiteral("FOOTER");
  int show_hide_hdr = 0;
  int show_hide_ftr = 0;
  int show_hide_val = 0;
  int show_val_on_top = 0;
  int align_hdr_index = 1;
  int align_ftr_index = 1;
  float linear_height_val = 0.6f;
  float linear_width_val = 20.0f;
  int qr_size_val = 60;
  int qr_version_index = 0;
  int qr_ec_index = 0;
  int pdf_hgt_val = 20;
  int pdf_wdt_val = 100;
  int pdf_ec_val = 2;
  int dm_module_val = 2;
  int dm_format_index = 0;
  int dm_encoding_index = 0;
  float hdr_margin_val = 0.1f;
  float ftr_margin_val = 0.1f;
  float val_margin_val = 0.1f;
  float TB_marging_val = 0.1f;
  float LR_margin_val = 0.1f;
  CardFont value_font_val{QStringLiteral("Times New Roman"), 10.0};
  CardFont header_font_val{QStringLiteral("Times New Roman"), 10.0};
  CardFont footer_font_val{QStringLiteral("Times New Roman"), 10.0};
  QColor barcode_hdr_clr_val = Qt::black;
  QColor barcode_ftr_clr_val = Qt::black;
  QColor barcode_val_clr_val = Qt::black;
  QColor barcode_back_clr_val = Qt::white;
  QColor barcode_clr_val = Qt::black;
  int dpi_val_index = 0;
  QString dpi_custom_val = QStringLiteral("0");
  // End of the barcode settings.
  int barcode_unit_val = 1;
  bool ctrl_is_locked = false;
  int text_alignmnet = 0;
  int text_transfrom_case = 0;
  float text_kerning = 0.0f;
  int print_object = 0;
  QString control_ID;
  bool excel_binding = false;
  int excel_col_indx = 0;
  QString Text_Value = QStringLiteral("Text here");
  bool ctrl_is_visible = true;
  int double_star_type = 1;
  int polygon_type = 1;

 protected:
  // Copying is for clone() only; observers and the container are never copied.
  SKTGraphic(const SKTGraphic& other);
  SKTGraphic& operator=(const SKTGraphic&) = delete;

  // A copy of the whole object (fields and kind state) through the copy
  // constructor; clone() then deepens shared parts.
  virtual SKTGraphicPtr cloneShallow() const;
  // Called on the fresh copy made by clone(), to replace references to shared
  // mutable state (the text storage) by copies of their own.
  virtual void deepenClonedState(const SKTGraphic& original);
  // Takes the property dictionary's keys (see properties()).
  virtual void initWithProperties(const QVariantMap& properties);
  // Stores new bounds; the kinds that follow their bounds override it.
  virtual void applyBounds(const QRectF& bounds) { _bounds = bounds; }

 private:
  struct Observation {
    SKTGraphicObserver* observer;
    QString key;
    int context;
  };
  struct PendingChange {
    QString key;
    QVariant oldValue;
  };
  void notifyObservers(const QString& key, const QVariant& oldValue, const QVariant& newValue);
  bool isObserved(const QString& key) const;
  void beginChange();
  void endChange();

  SKTDocument* _scriptingContainer = nullptr;  // not owned, never archived
  std::vector<Observation> observations_;
  std::vector<PendingChange> pendingChanges_;
  int changeDepth_ = 0;
  std::vector<SKTGraphicObserver*> changeParticipants_;  // told of the outermost change
};

// Where an object's value comes from on each card: typed (0), a data series
// (1) or a spreadsheet column (2), with the series and the column it names.
struct SourceBinding {
  int type = 0;
  int column = 0;
  QString series;
  int seriesIndex = 0;

  static SourceBinding of(const SKTGraphic& graphic) {
    return {graphic.data_source_type, graphic.excel_col_indx, graphic.batch_list_name,
            graphic.batch_list_index};
  }
  void applyTo(SKTGraphic& graphic) const {
    graphic.data_source_type = type;
    graphic.excel_col_indx = column;
    graphic.batch_list_name = series;
    graphic.batch_list_index = seriesIndex;
  }
  bool operator==(const SourceBinding&) const = default;
};

// Forms of the property dictionary's values.
QString propertyRectString(const QRectF& rect);
std::optional<QRectF> parsePropertyRectString(const QString& text);
QByteArray propertyColorData(const QColor& color);
std::optional<QColor> parsePropertyColorData(const QVariant& value);

// Raised by code paths that are programming errors (unknown keys, a kind with
// neither drawing nor outline).
QString SKTGraphicNeitherDrawingMessage();
