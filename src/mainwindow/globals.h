#pragma once
// Program-wide state of the designer main window. Values that a worker
// thread reads while producing cards are atomic; the rest belong to the GUI thread.

#include <QLoggingCategory>
#include <QString>
#include <atomic>

// Start choice of the start window: "W" wizard, "L" open a saved design, "T" template.
extern QString Start_Card_Option;
// Card outline used by the background painter: 1 rounded rectangle, 2 ellipse, otherwise rectangle.
extern std::atomic<int> Card_Shape;
// Path of the current design file; empty while the design is untitled.
extern QString Project_File_Name;
// Template name accepted by the template name panel.
extern QString export_template_name;
// Picture chosen in the picture library.
extern QString lib_window_sel_file;
// Extension of design files.
extern const QString design_file_EXT;
// Whether the design is bound to a spreadsheet (read by production workers).
extern std::atomic<bool> Excel_Binding_Use;
// Path of the spreadsheet the design is bound to (GUI thread).
extern QString Excel_Source_Path;
// Sides of the card: "2" front and back, "1" front only.
extern QString CARD_SIDE_STR;
// Largest design file in bytes, and most values it may hold: the reader
// refuses a larger file, and the writer refuses to write one (tests lower them).
extern std::atomic<qint64> Design_File_Byte_Limit;
extern std::atomic<qint64> Design_File_Value_Limit;

// The log of this subsystem: warnings and failures are written; the
// details of its work only when asked for (QT_LOGGING_RULES="quvo.mainwindow.debug=true").
Q_DECLARE_LOGGING_CATEGORY(lcMainWindow)
