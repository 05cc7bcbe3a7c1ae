#pragma once
// What every picture run of the guide starts from: a resource folder of
// its own, seeded from the shipped resources, and the main window shown at
// the size the pictures are made at; and the pictures of windows too wide
// for the guide's text, cut to the part that matters.
#include <QRect>
#include <QSize>
#include <QString>
#include <QTemporaryDir>

class QDialog;
class QWidget;
class SKTWindowController;

// The room left around the part of a window a picture is cut to.
constexpr int kCropMargin = 8;

// The size the Print window is pictured at: every setting shows without scrolling.
inline constexpr QSize kPrintWindowSize(1250, 760);

// Seeds a resource folder inside `home` and makes it the program's; returns its path.
QString seedGuideResources(const QTemporaryDir& home);

// Shows the window at the pictures' size and waits until it is on the screen.
void showGuideWindow(SKTWindowController& window);

// Where a widget lies in one of its ancestors.
QRect rectIn(const QWidget* widget, const QWidget* ancestor);

// The lowest edge of the visible controls of `area`, in its coordinates.
int lastControlBottom(QWidget* area);

// Saves the part of the widget (in its coordinates) as the picture `name`.
void shootPart(QWidget* widget, const QRect& part, const QString& name);

// The Print window's settings, left of the sample of the sheet (which is
// as wide again): the printer, the cards on the sheet, the sides, the
// alignment, the boxes and the small picture of the whole sheet.
void shootPrintSettings(QDialog& print, const QString& name);

// The barcode designer's settings, left of its preview (mostly white).
void shootDesignerSettings(QDialog& designer, const QString& name);

// The profile window's fields, their sources and columns and the
// spreadsheet's row, without the photo and the preview at the right.
void shootProfileFields(QDialog& profile, const QString& name);
